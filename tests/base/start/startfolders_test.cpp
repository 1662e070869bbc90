#include "base/start/startfolders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "tests/base/dialogfixture.h"
#include "tests/base/testdata.h"
#include "tests/support/scopedvariable.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace fs = std::filesystem;

unsigned Mode(const std::string& path) {
  struct stat info {};
  ::lstat(path.c_str(), &info);
  return info.st_mode & 07777u;
}

// A build tree with the shipped files beside the program, and a user whose data and runtime
// folders lie in the test's folder.
class StartFolders : public DialogTest {
 protected:
  StartFolders() {
    fs::create_directories(Path("build/data/src"));
    fs::create_directories(Path("run"));
    for (const char* name :
         {"material.dbf", "material.dbt", "p3g.dbf", "rkm1base.dbf", "kv3wstyp.dbf", "printout.dbf",
          "start.plt", "kv6.dbh", "kv6.hlp", "kv6.err", "init.kv6", "README"}) {
      Put(std::string("build/data/") + name, std::string("shipped ") + name);
    }
    Put("build/data/src/makedata.py", "source");
  }

  void Start() {
    InitWbrelvar();
    InitBrelvar();
    SetUpFolders(Path("build/wkv6"));
  }

  std::string Working(const std::string& name = "") const {
    return Path("xdg/brelcor/kv6/") + name;
  }
  std::vector<std::string> WorkingFiles() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Working())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  ScopedVariable dataHome_{"XDG_DATA_HOME", Path("xdg")};
  ScopedVariable runtime_{"XDG_RUNTIME_DIR", Path("run")};
};

TEST_F(StartFolders, FirstStartSeedsTheWorkingFolderAndPointsTheUnsetFoldersThere) {
  Start();
  EXPECT_EQ(BrelcorDir, Path("build/data"));
  for (const std::string* folder : {&DefaultDataDir, &DbfDir, &PltDir, &CadDir}) {
    EXPECT_EQ(*folder, Working());
  }
  EXPECT_THAT(WorkingFiles(),
              ElementsAre("kv3wstyp.dbf", "kv6.dbh", "kv6.err", "kv6.hlp", "material.dbf",
                          "material.dbt", "p3g.dbf", "printout.dbf", "rkm1base.dbf", "start.plt"));
  EXPECT_EQ(Bytes("xdg/brelcor/kv6/material.dbf"), "shipped material.dbf");
  EXPECT_EQ(TempDir, Path("run/kv6"));
  EXPECT_EQ(Mode(TempDir), 0700u);
  EXPECT_THAT(script_.Transcript(), IsEmpty());
}

TEST_F(StartFolders, SeedingNeverOverwritesAFileOfTheUser) {
  fs::create_directories(Working());
  const std::pair<const char*, const char*> own[] = {{"MATERIAL.DBF", "mine, in capitals"},
                                                     {"start.plt", "my start image"},
                                                     {"init.kv6", "my defaults"},
                                                     {"calc1.kv6", "my calculation"}};
  for (const auto& [name, bytes] : own) Put(std::string("xdg/brelcor/kv6/") + name, bytes);
  // Even a file the user has closed to reading keeps its name.
  Put("xdg/brelcor/kv6/kv6.hlp", "my help");
  ::chmod(Working("kv6.hlp").c_str(), 0200);

  EXPECT_TRUE(SeedWorkingFolder(Path("build/data"), Working()));
  for (const auto& [name, bytes] : own) {
    EXPECT_EQ(Bytes(std::string("xdg/brelcor/kv6/") + name), bytes) << name;
  }
  ::chmod(Working("kv6.hlp").c_str(), 0600);
  EXPECT_EQ(Bytes("xdg/brelcor/kv6/kv6.hlp"), "my help");
  EXPECT_THAT(WorkingFiles(), ElementsAre("MATERIAL.DBF", "calc1.kv6", "init.kv6", "kv3wstyp.dbf",
                                          "kv6.dbh", "kv6.err", "kv6.hlp", "material.dbt",
                                          "p3g.dbf", "printout.dbf", "rkm1base.dbf", "start.plt"));
}

// The worked example goes only into a folder the start made: not into one the user made, nor
// again into one it made before, and never over a file of its name.
TEST_F(StartFolders, OnlyANewWorkingFolderGetsTheWorkedExample) {
  Put("build/data/p3g60.kv6", "the worked example");
  fs::create_directories(Working());
  Start();
  EXPECT_FALSE(fs::exists(Working("p3g60.kv6")));
  fs::remove_all(Working());
  Start();
  EXPECT_EQ(Bytes("xdg/brelcor/kv6/p3g60.kv6"), "the worked example");
  fs::remove(Working("p3g60.kv6"));
  Start();
  EXPECT_FALSE(fs::exists(Working("p3g60.kv6")));
  Put("xdg/brelcor/kv6/P3G60.KV6", "mine");
  EXPECT_TRUE(PlaceWorkedExample(Path("build/data"), Working()));
  EXPECT_EQ(Bytes("xdg/brelcor/kv6/P3G60.KV6"), "mine");
  EXPECT_FALSE(fs::exists(Working("p3g60.kv6")));
  EXPECT_THAT(script_.Transcript(), IsEmpty());
}

TEST_F(StartFolders, TheShippedExampleIsTheWorkedExampleOfTheReportTests) {
  EXPECT_EQ(FileBytes(DataPath("p3g60.kv6")),
            FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
}

// A copy cut short (here by a file size limit) fails the seeding and leaves no partial file that
// would pass for the user's own at the next start.
TEST_F(StartFolders, ACutCopyFailsAndLeavesNothingBehind) {
  fs::create_directories(Working());
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{8, 8};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::_exit(SeedWorkingFolder(Path("build/data"), Working()) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_THAT(WorkingFiles(), IsEmpty());
}

// A folder counts only with the message texts and the tables in it: an empty "data" beside a
// folder named wkv6 is not the program's.
TEST_F(StartFolders, InstalledFilesComeBeforeTheBuildTreeOnes) {
  fs::create_directories(Path("prefix/bin"));
  fs::copy(Path("build/data"), Path("prefix/bin/data"));
  EXPECT_EQ(ShippedFilesFolder(Path("prefix/bin/wkv6")), Path("prefix/bin/data"));
  fs::create_directories(Path("prefix/share/kv6"));
  EXPECT_EQ(ShippedFilesFolder(Path("prefix/bin/wkv6")), Path("prefix/bin/data"));
  fs::copy(Path("build/data"), Path("prefix/share/kv6"));
  EXPECT_EQ(ShippedFilesFolder(Path("prefix/bin/wkv6")), Path("prefix/share/kv6"));
  EXPECT_EQ(ShippedFilesFolder(Path("elsewhere/wkv6")), "");
  EXPECT_EQ(ShippedFilesFolder(""), "");
}

TEST_F(StartFolders, WorkingFolderFollowsXdgDataHomeElseHome) {
  ScopedVariable home("HOME", Path("home"));
  EXPECT_EQ(UserWorkingFolder(), Path("xdg/brelcor/kv6"));
  {
    ScopedVariable relative("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(UserWorkingFolder(), Path("home/.local/share/brelcor/kv6"));
  }
  ScopedVariable unset("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(UserWorkingFolder(), Path("home/.local/share/brelcor/kv6"));
  ScopedVariable noHome("HOME", std::nullopt);
  EXPECT_EQ(UserWorkingFolder(), "");
}

TEST_F(StartFolders, ConfiguredFoldersAreKept) {
  InitWbrelvar();
  InitBrelvar();
  DbfDir = "/tables/";
  TempDir = Path("mytemp");
  SetUpFolders(Path("build/wkv6"));
  EXPECT_EQ(DbfDir, "/tables/");
  EXPECT_EQ(PltDir, Working());
  EXPECT_EQ(TempDir, Path("mytemp"));
  EXPECT_FALSE(fs::exists(Path("run/kv6")));
}

TEST_F(StartFolders, TempFolderIsTheRuntimeFolderElseOneOfTheUserInTmp) {
  const std::string inTmp = "/tmp/kv6-" + std::to_string(::getuid());
  EXPECT_EQ(UserTempFolder(), Path("run/kv6"));
  {
    // A session's runtime folder is gone once the session ends; a tool started from it then
    // must not stop at a box.
    ScopedVariable gone("XDG_RUNTIME_DIR", Path("ended-session"));
    EXPECT_EQ(UserTempFolder(), inTmp);
  }
  ScopedVariable unset("XDG_RUNTIME_DIR", std::nullopt);
  EXPECT_EQ(UserTempFolder(), inTmp);
}

TEST_F(StartFolders, ATempFolderThatIsALinkIsRefused) {
  fs::create_directory(Path("elsewhere"));
  fs::create_directory_symlink(Path("elsewhere"), Path("run/kv6"));
  Start();
  EXPECT_EQ(TempDir, "");
  EXPECT_THAT(script_.Transcript(),
              ElementsAre(testing::EndsWith("|invalid temporary directory configured")));
}

}  // namespace
