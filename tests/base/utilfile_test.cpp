#include "base/utilfile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/utilpath.h"
#include "base/wbrelvar.h"
#include "tempfolder.h"

namespace {

namespace fs = std::filesystem;

TEST(PathTest, SeparatorRoutines) {
  const std::array<std::string, 3> cases[] = {
      {"  /a/b/ ", "/a/b/", "/a/b"}, {"   ", "", ""},     {"/", "/", "/"},
      {"C:", "C:/", "C:"},           {"x.", "x./", "x."},
  };
  for (const auto& [path, added, removed] : cases) {
    EXPECT_EQ(AddBackslash(path), added) << path;
    EXPECT_EQ(AddBackslashDrive(path), added) << path;
    EXPECT_EQ(RemoveBackslash(path), removed) << path;
  }
}

// Dotted folders must not disturb the name routines.
TEST(PathTest, NamePartsLookOnlyAtTheLastComponent) {
  const std::array<std::string, 6> cases[] = {
      {"../x/file.tar.gz", "../x/", "file.tar", "../x/file.tar", "tar.gz", "file.tar"},
      {"../x", "../", "x", "../x", "", "x"},
      {"./a.b/c.kv6", "./a.b/", "c", "./a.b/c", "kv6", "c"},
      {"name.", "", "name", "name", "", "name."},
      {"C:\\data\\x.kv6", "", "C:\\data\\x", "C:\\data\\x", "kv6", "C:\\data\\x"},
  };
  for (const auto& [path, dir, noExt, pathNoExt, ext, bare] : cases) {
    EXPECT_EQ(DirOfPath(path), dir) << path;
    EXPECT_EQ(NameWithoutExt(path), noExt) << path;
    EXPECT_EQ(PathWithoutExt(path), pathNoExt) << path;
    EXPECT_EQ(ExtOfName(path), ext) << path;
    EXPECT_EQ(BareFileName(path), bare) << path;
    EXPECT_EQ(DriveOfPath(path), "") << path;
  }
}

TEST(PathTest, ShortenMiddleAndMasks) {
  EXPECT_EQ(ShortenMiddle("abcdefghij", 10), "abcdefghij");
  EXPECT_EQ(ShortenMiddle("abcdefghijkl", 10), "ab ... jkl");
  EXPECT_EQ(ShortenMiddle("abcdefghijkl", 3), " ... l");
  EXPECT_TRUE(MaskMatches("*.*", "noext"));
  EXPECT_TRUE(MaskMatches("$*.dx$", "$LOGO_1.DX$"));
  EXPECT_FALSE(MaskMatches("$*.dx$", "logo.dx$"));
  EXPECT_FALSE(MaskMatches("?.txt", "ab.txt"));
  EXPECT_TRUE(MaskMatches("a*b*c", "aXbYbZc"));
  EXPECT_FALSE(MaskMatches("a*b*c", "aXbYbZ"));
}

class FileServiceTest : public ::testing::Test, public TempFolder {
 protected:
  void SetUp() override {
    ASSERT_FALSE(dir_.empty());
    InitWbrelvar();
  }
  void TearDown() override { AbortFlag = 0; }
};

TEST_F(FileServiceTest, ExistenceAndFolderChecks) {
  Put("Data.KV6", "x");
  fs::create_directory(Path("sub"));
  EXPECT_TRUE(FileThere(Path("data.kv6")));
  EXPECT_FALSE(FileThere(Path("sub")));
  EXPECT_TRUE(FolderUsable(Path("sub/")));
  EXPECT_FALSE(FolderUsable(Path("missing")));
  EXPECT_FALSE(FolderUsable(Path("Data.KV6")));
  EXPECT_TRUE(DirExists(Path("sub/")));
  EXPECT_FALSE(DirExists(Path("Data.KV6")));
  EXPECT_FALSE(FolderWritable(Path("missing")));

  // The writability probe is created exclusively, so another copy's probe stays untouched.
  const std::string taken = "x.$$$" + std::to_string(::getpid()) + ".0";
  Put(taken, "another copy's probe");
  EXPECT_TRUE(FolderWritable(dir_));
  EXPECT_EQ(Bytes(taken), "another copy's probe");
  EXPECT_EQ(fs::directory_iterator(Path("sub")), fs::directory_iterator());
}

TEST_F(FileServiceTest, DeletingByMaskAndByName) {
  Put("$a.dx$", "");
  Put("$B.DX$", "");
  Put("Old.TXT", "");
  fs::create_directory(Path("$c.dx$"));
  DeleteFiles(dir_ + "/", "$*.dx$");
  DeleteListFile(Path("old.txt"));
  DeleteListFile(Path("old.txt"));
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_FALSE(fs::exists(Path("$a.dx$")));
  EXPECT_FALSE(fs::exists(Path("$B.DX$")));
  EXPECT_FALSE(fs::exists(Path("Old.TXT")));
  EXPECT_TRUE(fs::is_directory(Path("$c.dx$")));
}

TEST_F(FileServiceTest, CopiesIntoFolders) {
  const std::string content(20000, 'q');
  fs::create_directory(Path("src"));
  fs::create_directory(Path("dst"));
  Put("src/a.txt", content);
  Put("src/B.TXT", "b");
  Put("src/c.dat", "c");
  CopyFile(Path("src/A.TXT"), Path("dst"));
  CopyFileBlocks(Path("src/A.TXT"), Path("blocks.dat"));
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Bytes("dst/a.txt"), content);
  EXPECT_EQ(Bytes("blocks.dat"), content);

  CopyFiles("*.txt", Path("src"), Path("dst"));  // a folder without its "/"
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(fs::exists(Path("dst/B.TXT")));
  EXPECT_FALSE(fs::exists(Path("dst/c.dat")));
  EXPECT_FALSE(fs::exists(Path("dstB.TXT")));
  CopyFiles("*.none", Path("src"), Path("dst"));
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(FileServiceTest, CopyOntoItselfIsRefusedAndKeepsTheSource) {
  Put("self.txt", "precious");
  fs::create_hard_link(Path("self.txt"), Path("link.txt"));
  for (const std::string& target : {Path("self.txt"), Path("link.txt"), dir_}) {
    AbortFlag = 0;
    CopyFile(Path("self.txt"), target);
    EXPECT_EQ(AbortFlag, 1) << target;
    EXPECT_EQ(Bytes("self.txt"), "precious") << target;
  }
}

TEST_F(FileServiceTest, FailedCopiesSetAbortAndLeaveNoPartialTarget) {
  Put("src.dat", std::string(10000, 'z'));
  CopyFile(Path("missing"), Path("t1"));
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(fs::exists(Path("t1")));
  AbortFlag = 0;
  CopyFileBlocks(Path("src.dat"), "/dev/full");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(fs::exists("/dev/full")) << "only regular targets are removed";

  // A file-size limit makes the kernel accept only part of a block. In a child, so the limit
  // cannot reach other tests.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{5000, 5000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    AbortFlag = 0;
    CopyFileBlocks(Path("src.dat"), Path("cut.dat"));
    ::_exit(AbortFlag == 1 && !fs::exists(Path("cut.dat")) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a short write ends as success";
}

}  // namespace
