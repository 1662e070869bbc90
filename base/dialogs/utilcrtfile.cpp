#include "base/dialogs/utilcrtfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/dialogs/utilcrt.h"
#include "base/draw/breldraw.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "platform/files/codepage.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "platform/ui/dialog.h"

bool OverwriteQuestion = true;

namespace {

constexpr int kRewriteAttempts = 3;

std::string RewriteErrorText(std::int32_t code, int error) {
  if (code == IoWriteProtected) return "remove write protect !";
  if (code == IoDriveNotReady) return "put program disk into drive A !";
  return "I/O-Error " + IntText(error != 0 ? error : code);
}

// The failure's text in a box with Retry and Cancel; true for Retry.
bool OfferRetry(const std::string& text) {
  platform::MessageBoxRequest box;
  box.caption = "Error  : ";
  box.text = ToDisplayText(text);
  box.buttons = platform::MessageButtons::RetryCancel;
  return platform::Dialogs().ShowBox(box) == platform::MessageAnswer::Retry;
}

std::string FilePart(const std::string& path) {
  const std::size_t cut = path.find_last_of("/\\:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

void RefuseFileName(const std::string& fullName) {
  ShowError("invalid file name \"" + PathInText(fullName) + "\" !");
  AbortFlag = 1;
}

// Why a file cannot be written, as the user can mend it; empty when the system gave no such
// cause. A file without any write permission is read-only to its owner as well.
std::string WriteRefusalCause(const std::string& fullName, int error) {
  if (error == EROFS) return "read-only";
  if (error == ENOSPC || error == EDQUOT) return "disk full";
  if (error != EACCES && error != EPERM) return "";
  struct stat info {};
  const bool noWriteBits = platform::os::Stat(fullName, info) == 0 &&
                           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  return error == EACCES && noWriteBits ? "read-only" : "access denied";
}

void RefuseUnwritable(const std::string& fullName, const std::string& cause) {
  ShowError("file \"" + PathInText(fullName) + "\" cannot be written" +
            (cause.empty() ? "" : " (" + cause + ")") + " !");
  AbortFlag = 1;
}

// An existing file must open for writing; it is neither emptied nor created. The system's error
// when it does not, else 0.
int ExistingFileError(const std::string& fullName) {
  const int fd = platform::os::Open(fullName, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  ::close(fd);
  return 0;
}

// A new name must be creatable; the probe is removed again. The system's error when it is not,
// else 0.
int NewFileError(const std::string& fullName) {
  const int fd = platform::os::Open(fullName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
  if (fd < 0) return errno;
  ::close(fd);
  return platform::os::Unlink(fullName) == 0 ? 0 : errno;
}

// A name the system cannot make keeps the check's own text; a name it refuses to write says why.
void RefuseNewName(const std::string& fullName, int error) {
  const std::string cause = WriteRefusalCause(fullName, error);
  if (cause.empty()) {
    RefuseFileName(fullName);
  } else {
    RefuseUnwritable(fullName, cause);
  }
}

platform::FileResult Choose(platform::DialogKind kind, const std::string& folder,
                            const std::string& mask, const std::string& name = "") {
  platform::FileRequest request;
  request.kind = kind;
  request.folder = folder;
  request.name = name;
  if (!mask.empty()) request.filters.push_back({mask, mask});
  const platform::FileResult chosen = platform::Dialogs().ChooseFile(request);
  if (chosen.unusableName.empty()) return chosen;
  RefuseUnusableName(chosen.unusableName);
  return {};
}

bool PlainFolderName(const std::string& id) {
  return !id.empty() && id != "." && id != ".." && id.find_first_of("/\\:") == std::string::npos;
}

void RefuseUserId(const std::string& id) {
  ShowError("Invalid user ID " + id + " !");
  platform::Dialogs().Exit(1);
}

}  // namespace

bool ReplaceFileLines(const std::string& target, const std::vector<std::string>& lines) {
  std::string data;
  for (const std::string& line : lines) data += line + "\r\n";
  platform::NewOutput out;
  bool ok = platform::OpenOutput(target, out) == 0;
  int error = ok ? 0 : errno;
  if (ok) {
    // The data is on the disk before the rename makes it the file; a file written in place (a
    // device among them) has no rename to wait for.
    ok = platform::os::WriteAll(out.fd, data.data(), data.size()) &&
         (out.inPlace || ::fsync(out.fd) == 0);
    if (!ok) {
      error = errno;
      platform::DropOutput(out);
    } else if (platform::PlaceOutput(out, true) != 0) {
      ok = false;
      error = errno;
    }
  }
  if (!ok) {
    ShowError(error == ENOSPC || error == EDQUOT ? "disk full" : "file write error");
    AbortFlag = 1;
  }
  return ok;
}

void CheckOutputFileName(const std::string& fullName) {
  const std::string filePart = FilePart(fullName);
  if (std::count(filePart.begin(), filePart.end(), '.') >= 2) {
    ShowPlainText(PathInText(fullName) + " not allowed (too many dots)!");
    AbortFlag = 1;
    return;
  }
  struct stat info {};
  if (platform::os::Stat(fullName, info) != 0) {
    const int error = errno == ENOENT ? NewFileError(fullName) : errno;
    if (error != 0) RefuseNewName(fullName, error);
    return;
  }
  if (S_ISDIR(info.st_mode)) {
    RefuseFileName(fullName);
    return;
  }
  if (fullName.find("actual") == std::string::npos && OverwriteQuestion) {
    SetHelpNumber(3055);
    if (!AskYesNo(PathInText(fullName) + " " + "already exists" + ".   " + "overwrite" + " ?")) {
      AbortFlag = 1;
      return;
    }
  }
  if (const int error = ExistingFileError(fullName); error != 0) {
    RefuseUnwritable(fullName, WriteRefusalCause(fullName, error));
  }
}

void CheckOldOutputWritable(const std::string& fullName) {
  struct stat info {};
  if (platform::os::Stat(fullName, info) != 0) return;
  const int error = ExistingFileError(fullName);
  if (error == EACCES || error == EPERM || error == EROFS)
    RefuseUnwritable(fullName, WriteRefusalCause(fullName, error));
}

void SaveFileDialog(std::string name, std::string& fullName) {
  if (ArchiveMode != 0 && ArchiveFlag != 0 && name != "actual") {
    ShowArchiveNote();
    AbortFlag = 1;
    return;
  }
  if (ArchiveFlag == 0) ArchiveMode = 0;
  const bool ask = name.empty();
  // The chosen folder becomes the data folder only with a name the check lets through: a refused
  // name must not send the next plain Save into that folder.
  std::string folder = AddBackslash(DataDir);
  if (ask) {
    name = CurrentFile;
    const auto chosen = Choose(platform::DialogKind::SaveFile, folder, "*." + FileExt, name);
    HourglassOff();
    if (!chosen.chosen || FilePart(chosen.path).empty()) {
      AbortFlag = 1;
      return;
    }
    folder = AddBackslash(DirOfPath(chosen.path));
    name = NameWithoutExt(chosen.path);
  }
  fullName = ask ? folder + name + "." + FileExt : CalcFileOfName(name);
  CheckOutputFileName(fullName);
  if (ask && AbortFlag == 0) {
    DataDir = folder;
    CurrentFile = name;
  }
}

void SelectFile(const std::string& currentPath, const std::string& mask, std::string& file) {
  const auto chosen = Choose(platform::DialogKind::OpenFile,
                             RemoveBackslash(DirOfPath(TrimBlanks(currentPath))), mask);
  if (chosen.chosen) {
    file = chosen.path;
  } else {
    file = currentPath;
    AbortFlag = 1;
  }
}

void SelectFileOfKind(std::uint16_t kind, std::string& folder, const std::string& mask,
                      std::string& file) {
  const auto chosen = Choose(platform::DialogKind::OpenFile, RemoveBackslash(folder), mask);
  if (!chosen.chosen) {
    file.clear();
    AbortFlag = 1;
    return;
  }
  folder = AddBackslash(DirOfPath(chosen.path));
  file = kind == 5 ? chosen.path : NameWithoutExt(chosen.path);
  if (kind == 4) FileExt = ExtOfName(FilePart(chosen.path));
}

void SelectDirectory(const std::string& startFolder, std::string& folder) {
  const auto chosen = Choose(platform::DialogKind::Folder,
                             DirExists(startFolder) ? startFolder : std::string(), "");
  folder = chosen.chosen ? RemoveBackslash(chosen.path) : startFolder;
}

void CheckFileReadable(const std::string& name) {
  TextFile file;
  file.Assign(name);
  file.Reset();
  if (file.IoResult() == 0) {
    file.Close();
    return;
  }
  ShowError("file " + PathInText(TrimBlanks(name)) + " " + "not found or no access" + " !");
  AbortFlag = 1;
}

void RefuseUnusableName(const std::string& hostName) {
  AbortFlag = 1;
  if (ErrorBoxOn == 0) return;
  platform::MessageBoxRequest box;
  box.caption = "Error  : ";
  box.text = hostName +
             ": the name holds letters KV6 cannot use: " + platform::LettersLostInCp1252(hostName);
  box.codePage = platform::kCodePageUtf8;
  platform::Dialogs().ShowBox(box);
}

void RewriteChecked(TextFile& file) {
  for (int attempt = 1;; ++attempt) {
    errno = 0;
    file.Rewrite();
    const std::int32_t code = file.IoResult();
    if (code == 0) return;
    const int error = errno;
    // Without boxes nobody can mend the cause, so the first failure is final.
    if (ErrorBoxOn == 0) break;
    const std::string text = RewriteErrorText(code, error);
    if (attempt == kRewriteAttempts) {
      ShowError(text);
      break;
    }
    if (!OfferRetry(text)) break;
  }
  file.Close();
  AbortFlag = 1;
}

void RewriteOrFail(TextFile& file) {
  file.Rewrite();
  const std::int32_t code = file.IoResult();
  if (code == 0) return;
  ShowError(code == IoWriteError ? "disk full" : "file write error");
  AbortFlag = 1;
}

void WriteLineChecked(TextFile& file, const std::string& text) {
  if (AbortFlag != 0) return;
  file.WriteLine(text);
  const std::int32_t code = file.IoResult();
  if (code == 0) return;
  ShowError(code == IoReadError    ? "read error"
            : code == IoWriteError ? "disk full"
            : code == 106          ? "invalid numeric code"
                                   : "file access error");
  AbortFlag = 1;
}

void CloseChecked(TextFile& file) {
  file.Close();
  const std::int32_t code = file.IoResult();
  if (code == 0) return;
  ShowError(code == IoWriteError ? "disk full" : "file close error");
  AbortFlag = 1;
}

void AskUserId() {
  SetHelpNumber(1120);
  std::string id;
  InputText("Enter User ID ...", 8, id);
  if (AbortFlag != 0) {
    platform::Dialogs().Exit(1);
    return;
  }
  if (!PlainFolderName(id)) {
    RefuseUserId(id);
    return;
  }
  DataDir = TextAsPath(id);
  if (platform::os::ChangeFolder(RemoveBackslash(DefaultDataDir)) != 0) {
    ShowError("Invalid Directory " + PathInText(DefaultDataDir));
  }
  if (platform::os::ChangeFolder(DataDir) != 0 || platform::os::ChangeFolder("..") != 0)
    RefuseUserId(id);
}
