#include "base/files/runfolder.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "platform/files/osfiles.h"

namespace {

// A forked child inherits the parent's folder name and exit handler; the folder belongs to the
// process that made it, under the TempDir of that moment.
struct Made {
  pid_t owner = 0;
  std::string parent;
  std::string path;
};

Made& made() {
  static Made folder;
  return folder;
}

}  // namespace

std::string RunFolder() {
  const std::string parent = AddBackslash(TempDir);
  Made& folder = made();
  if (folder.owner == ::getpid() && folder.parent == parent) return folder.path;
  RemoveRunFolder();
  std::string pattern = parent + "kv6-run-XXXXXX";
  if (!platform::os::MakeTempFolder(pattern)) return parent;
  // Registered after the record above exists, so it runs before the record is destroyed.
  static const int registered = std::atexit(RemoveRunFolder);
  static_cast<void>(registered);
  folder = {::getpid(), parent, AddBackslash(pattern)};
  return folder.path;
}

void RemoveRunFolder() {
  Made& folder = made();
  if (folder.owner != ::getpid()) return;
  std::vector<std::string> names;
  platform::os::FolderEntries(folder.path, names);
  for (const std::string& name : names) platform::os::Unlink(folder.path + name);
  platform::os::RemoveFolder(folder.path);
  folder = {};
}
