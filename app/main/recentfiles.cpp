#include "app/main/recentfiles.h"

#include <vector>

#include "base/dialogs/utilcrtfile.h"
#include "base/files/listfile.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "platform/files/dirservices.h"
#include "platform/files/fileidentity.h"

namespace {

constexpr std::size_t kShortenFrom = 50;

std::string RecentFilesPath() {
  return AddBackslash(ConfigDir) + ShortName + ".cff";
}

// Linux names differ by letter case, so only the same bytes or the same file on disk match.
bool SameRecentFile(const std::string& a, const std::string& b) {
  if (a == b) return true;
  platform::FileIdentity first, second;
  return platform::IdentityOfPath(a, first) && platform::IdentityOfPath(b, second) &&
         first == second;
}

std::string DoubledAmpersands(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    shown += c;
    if (c == '&') shown += '&';
  }
  return shown;
}

std::string ShortenedPath(const std::string& path) {
  if (path.size() < kShortenFrom) return path;
  // An absolute path keeps its first folder: "/" alone tells nothing.
  const std::size_t headEnd = path.find('/', path[0] == '/' ? 1 : 0);
  const std::size_t tailStart = path.rfind('/');
  if (headEnd == std::string::npos || headEnd >= tailStart) return path;
  return path.substr(0, headEnd + 1) + "..." + path.substr(tailStart);
}

}  // namespace

void ReadRecentFiles() {
  ListFile.Assign(RecentFilesPath());
  ListFile.Reset();
  if (ListFile.IoResult() != 0) {
    for (std::string& entry : RecentFiles) entry.clear();
    return;
  }
  std::string session;
  ReadTextLine(session);
  for (int n = 1; n <= kRecentFileCount; ++n) ReadTextLine(RecentFiles[n]);
  ListFile.Close();
}

void WriteRecentFiles() {
  if (RecentFiles[1].empty()) return;
  AbortFlag = 0;
  std::vector<std::string> lines = {ShortName + " Session " + DataDir};
  for (int n = 1; n <= kRecentFileCount; ++n) lines.push_back(RecentFiles[n]);
  if (!ConfigDir.empty()) platform::MakeFolders(ConfigDir);
  ReplaceFileLines(RecentFilesPath(), lines);
}

std::string ShortenPath(const std::string& path) {
  return DoubledAmpersands(ShortenedPath(path));
}

void DeleteRecentFile(std::int32_t n) {
  if (n < 1 || n > kRecentFileCount) return;
  for (int i = n; i < kRecentFileCount; ++i) RecentFiles[i] = RecentFiles[i + 1];
  RecentFiles[kRecentFileCount].clear();
}

void AddRecentFile(const std::string& name) {
  const std::string full = AbsolutePath(AddBackslash(DataDir) + name + "." + FileExt);
  for (int n = kRecentFileCount; n >= 1; --n) {
    if (!RecentFiles[n].empty() && SameRecentFile(full, RecentFiles[n])) DeleteRecentFile(n);
  }
  for (int n = kRecentFileCount; n > 1; --n) RecentFiles[n] = RecentFiles[n - 1];
  RecentFiles[1] = full;
}
