#include "base/start/startfolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "base/dialogs/utilcrt.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/utilstr.h"
#include "platform/files/dirservices.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "platform/system/programsearch.h"
#include "platform/ui/backend.h"

namespace {

// Tables with their memo and index files; help and help images with the auxiliary-image list.
// The common defaults "init.kv6" are read where they are shipped and are not copied.
constexpr const char* kSeededKinds[] = {"*.dbf", "*.dbt", "*.ndx", "*.plt",
                                        "*.dbh", "*.hlp", "*.err"};
// The message texts every report quotes and the tables the forms and the printout open: a folder
// without them is not the program's, whatever its name. Looked at by name, so that a start costs
// a few stats and never a listing or a read.
constexpr const char* kEssentialFiles[] = {"kv6.err", "p3g.dbf", "rkm1base.dbf", "kv3wstyp.dbf",
                                           "printout.dbf"};
// The worked example, the connection whose results the documentation shows: a new user finds it
// in File, Open.
constexpr const char* kWorkedExample = "p3g60.kv6";

bool foldersComplete = false;

// An environment variable that holds an absolute path, else empty: a relative one would name a
// different folder in every working directory.
std::string AbsolutePathVariable(const char* name) {
  const std::string value = platform::os::Variable(name);
  if (value.empty() || value[0] != '/') return {};
  return RemoveBackslash(value);
}

std::string FolderOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Any entry of that name, in any letter case, even one the user cannot read, keeps the shipped
// file out.
bool NameTaken(const std::string& path) {
  struct stat info {};
  return platform::os::LinkStat(platform::ResolveFileName(path), info) == 0;
}

bool HoldsShippedFiles(const std::string& folder) {
  for (const char* name : kEssentialFiles) {
    struct stat info {};
    if (platform::os::Stat(AddBackslash(folder) + name, info) != 0 || !S_ISREG(info.st_mode)) {
      return false;
    }
  }
  return true;
}

void SetIfUnset(std::string& folder, const std::string& value) {
  if (TrimBlanks(folder).empty()) folder = value;
}

// False where the working folder cannot be made or filled.
bool SetUpWorkingFolders() {
  const std::string working = UserWorkingFolder();
  if (working.empty()) return true;
  const bool made = !DirExists(working);
  if (!platform::MakeFolders(working)) {
    // Said on standard error, so that a command-line run fails with it; the window goes on in
    // the folders the settings name.
    platform::WriteErrorLine("wkv6: cannot make the data folder " + working);
    return false;
  }
  const std::string folder = AddBackslash(working);
  // The current folder that the settings record at start is no place for the user's files.
  DefaultDataDir = folder;
  SetIfUnset(DbfDir, folder);
  SetIfUnset(PltDir, folder);
  SetIfUnset(CadDir, folder);
  if (BrelcorDir.empty()) return true;
  const bool seeded = SeedWorkingFolder(BrelcorDir, working);
  if (!seeded || (made && !PlaceWorkedExample(BrelcorDir, working))) {
    ShowError("cannot copy the program's files to " + working);
    return false;
  }
  return true;
}

// Without them the tables are missing and a report has no message texts, so every mode says so.
void ReportMissingShippedFiles(const std::string& programPath) {
  const std::string why = programPath.empty() ? std::string(": ") + platform::kProgramFileUnknown
                                              : " beside " + programPath;
  ShowError("the program's own files (tables, help, message texts) are not found" + why);
}

void SetUpTempFolder() {
  if (!TrimBlanks(TempDir).empty()) return;
  const std::string folder = UserTempFolder();
  if (platform::MakePrivateFolder(folder)) {
    TempDir = folder;
  } else {
    ShowError("invalid temporary directory configured");
  }
}

}  // namespace

std::string ShippedFilesFolder(const std::string& programPath) {
  const std::string programFolder = FolderOf(programPath);
  if (programFolder.empty()) return {};
  for (const std::string& folder :
       {FolderOf(programFolder) + "/share/kv6", programFolder + "/data"}) {
    if (HoldsShippedFiles(folder)) return folder;
  }
  return {};
}

std::string UserWorkingFolder() {
  std::string dataHome = AbsolutePathVariable("XDG_DATA_HOME");
  if (dataHome.empty()) {
    const std::string home = AbsolutePathVariable("HOME");
    if (home.empty()) return {};
    dataHome = AddBackslash(home) + ".local/share";
  }
  return AddBackslash(dataHome) + "brelcor/kv6";
}

std::string UserTempFolder() {
  // A runtime folder that is gone (its session ended) or closed to us gives way to the next.
  const std::string runtime = AbsolutePathVariable("XDG_RUNTIME_DIR");
  if (platform::UsableFolder(runtime)) return AddBackslash(runtime) + "kv6";
  return "/tmp/kv6-" + std::to_string(::getuid());
}

bool SeedWorkingFolder(const std::string& shipped, const std::string& working) {
  const std::uint8_t abort = AbortFlag;
  AbortFlag = 0;
  const std::string from = AddBackslash(shipped);
  const std::string to = AddBackslash(working);
  // One listing of the shipped folder serves every kind.
  const std::vector<std::string> shippedFiles = MatchingFiles(from, "*.*");
  for (const char* kind : kSeededKinds) {
    for (const std::string& name : shippedFiles) {
      if (MaskMatches(kind, name) && !NameTaken(to + name)) CopyFile(from + name, to + name);
    }
  }
  const bool copied = AbortFlag == 0;
  AbortFlag = abort;
  return copied;
}

bool PlaceWorkedExample(const std::string& shipped, const std::string& working) {
  const std::string from = AddBackslash(shipped) + kWorkedExample;
  const std::string to = AddBackslash(working) + kWorkedExample;
  // An older installation ships none.
  if (!NameTaken(from) || NameTaken(to)) return true;
  const std::uint8_t abort = AbortFlag;
  AbortFlag = 0;
  CopyFile(from, to);
  const bool copied = AbortFlag == 0;
  AbortFlag = abort;
  return copied;
}

void SetUpFolders(const std::string& programPath) {
  BrelcorDir = ShippedFilesFolder(programPath);
  if (BrelcorDir.empty()) ReportMissingShippedFiles(programPath);
  const bool working = SetUpWorkingFolders();
  SetUpTempFolder();
  foldersComplete = working && !BrelcorDir.empty();
}

bool StartFoldersComplete() {
  return foldersComplete;
}
