#include "tables/core/tzfiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include "platform/files/blockfile.h"
#include "platform/files/dirservices.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/system/clock.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"
#include "tables/core/tztext.h"

namespace dadav {

std::int32_t DosError = 0;
std::uint16_t DefaultOpenMode = platform::kModeExclusive;

namespace {

constexpr std::int32_t kNoMoreFiles = 18;

bool HasLowerLetter(std::string_view text) {
  for (char c : text) {
    if (c >= 'a' && c <= 'z') return true;
  }
  return false;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return out;
}

}  // namespace

void FSplit(std::string_view path, std::string& dir, std::string& name, std::string& ext) {
  std::size_t slash = path.rfind('/');
  std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  dir = std::string(path.substr(0, nameStart));
  std::string_view rest = path.substr(nameStart);
  std::size_t dot = rest.rfind('.');
  if (dot == std::string_view::npos || dot == 0) {
    name = std::string(rest);
    ext.clear();
  } else {
    name = std::string(rest.substr(0, dot));
    ext = std::string(rest.substr(dot));
  }
}

std::string AddDefaultExt(std::string_view name, std::string_view ext) {
  std::string trimmed = AllTrim(name);
  std::string dir, base, oldExt;
  FSplit(trimmed, dir, base, oldExt);
  if (!oldExt.empty()) return trimmed;
  return trimmed + "." + std::string(ext);
}

std::string ForceExt(std::string_view name, std::string_view ext) {
  std::string dir, base, oldExt;
  FSplit(name, dir, base, oldExt);
  return dir + base + "." + std::string(ext);
}

std::string CompanionExt(std::string_view tableName, std::string_view ext) {
  std::string dir, base, tableExt;
  FSplit(tableName, dir, base, tableExt);
  return HasLowerLetter(tableExt) ? LowerAscii(ext) : UpperStr(ext);
}

std::string FExpand(std::string_view name) {
  std::string path(name);
  if (path.empty() || path.front() == '/') return path;
  std::string base = platform::os::CurrentFolder();
  if (base.empty()) return path;
  if (base.back() != '/') base += '/';
  return base + path;
}

std::string ShortPathName(std::string_view path) {
  return std::string(path);
}

bool FileExists(std::string_view name) {
  struct stat info {};
  return platform::os::Stat(platform::ResolveFileName(std::string(name)), info) == 0 &&
         S_ISREG(info.st_mode);
}

void FileDateOf(std::string_view name, std::int32_t& stamp) {
  platform::CivilDateTime when;
  if (!platform::FileModTime(platform::ResolveFileName(std::string(name)), when)) {
    stamp = 0;
    DosError = platform::IoCodeFromErrno(errno);
    return;
  }
  DosError = 0;
  stamp = PackFileStamp(when);
}

bool FileDatedToday(std::string_view name) {
  std::string path = platform::ResolveFileName(std::string(name));
  platform::BlockFile probe;
  if (probe.Open(path, platform::kModeShared) != 0 &&
      probe.Open(path, platform::kModeSharedRead) != 0) {
    return false;
  }
  probe.Close();
  std::int32_t stamp = 0;
  FileDateOf(path, stamp);
  if (DosError != 0) return false;
  std::uint16_t year, month, day, hour, minute, second, todayYear, todayMonth, todayDay, dow;
  FileDateTime(stamp, year, month, day, hour, minute, second);
  GetDate(todayYear, todayMonth, todayDay, dow);
  return year == todayYear && month == todayMonth && day == todayDay;
}

int EraseFile(std::string_view name) {
  std::string path = platform::ResolveFileName(std::string(name));
  platform::BlockFile probe;
  int code = probe.Open(path, platform::kModeExclusiveRead);
  if (code != 0) return code;
  // The exclusive lock is held until the name is gone, so no other program is using it.
  if (platform::os::Unlink(path) != 0) code = platform::IoCodeFromErrno(errno);
  return code;
}

void EraseFiles(std::string_view mask) {
  if (mask.find_first_of("*?") == std::string_view::npos) {
    int code = EraseFile(mask);
    if (code != 0)
      ReportError(static_cast<std::uint16_t>(code), "Error erasing " + std::string(mask));
    return;
  }
  int failed = 0;
  for (const std::string& path : platform::MatchFiles(FExpand(mask))) {
    if (EraseFile(path) != 0) ++failed;
  }
  if (failed > 0) {
    ReportError(5,
                "Could not erase " + std::to_string(failed) + " files like " + std::string(mask));
  }
}

long double DiskFree(std::string_view path) {
  std::string dir, name, ext;
  FSplit(path, dir, name, ext);
  return platform::DiskFreeBytes(dir.empty() ? "." : dir);
}

long double DiskFreeOfDrive(int) {
  return platform::DiskFreeBytes(".");
}

void UniqueFilename(std::string& name) {
  int code = platform::MakeTempFile(platform::TempFolder(), "TZP", name);
  if (code != 0) {
    ReportError(static_cast<std::uint16_t>(code),
                "Error requesting unique file name [UniqueFilename]");
  }
}

void FindFirstFile(std::string_view mask, SearchRec& rec) {
  const std::string expanded = FExpand(mask);
  if (expanded.find_first_of("*?") != std::string::npos) {
    rec.pending = platform::MatchFiles(expanded);
  } else if (FileExists(expanded)) {
    rec.pending = {platform::ResolveFileName(expanded)};
  } else {
    rec.pending.clear();
  }
  std::reverse(rec.pending.begin(), rec.pending.end());  // handed out from the back
  FindNextFile(rec);
}

void FindNextFile(SearchRec& rec) {
  if (rec.pending.empty()) {
    rec.Name.clear();
    DosError = kNoMoreFiles;
    return;
  }
  const std::string& path = rec.pending.back();
  rec.Name = path.substr(path.rfind('/') + 1);
  rec.pending.pop_back();
  DosError = 0;
}

void FindCloseFile(SearchRec& rec) {
  rec.pending.clear();
}

void GetMem(void*& pointer, std::uint16_t size) {
  pointer = std::malloc(size == 0 ? 1 : size);
  if (pointer == nullptr) ReportError(217, "Out of memory [GetMem()]");
}

void FreeMem(void*& pointer, std::uint16_t) {
  if (pointer == nullptr) {
    ReportError(9, "Attempt to free NIL pointer [FreeMem()]");
    return;
  }
  std::free(pointer);
  pointer = nullptr;
}

std::int32_t MaxAvail() {
  return 0x7FFFFFFF;
}

}  // namespace dadav
