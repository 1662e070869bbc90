#include "base/files/utilfile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <tuple>

#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "tests/support/tempfolder.h"

namespace {

namespace fs = std::filesystem;

TEST(PathTest, SeparatorRoutines) {
  const std::array<std::string, 3> cases[] = {
      // clang-format off
      {"  /a/b/ ", "/a/b/", "/a/b"}, {"   ", "", ""},     {"/", "/", "/"},
      {"C:", "C:/", "C:"},           {"x.", "x./", "x."},
      // clang-format on
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
      // clang-format off
      {"../x/file.tar.gz", "../x/", "file.tar", "../x/file.tar", "tar.gz", "file.tar"},
      {"../x", "../", "x", "../x", "", "x"}, {"./a.b/c.kv6", "./a.b/", "c", "./a.b/c", "kv6", "c"},
      {"name.", "", "name", "name", "", "name."},
      {"C:\\data\\x.kv6", "", "C:\\data\\x", "C:\\data\\x", "kv6", "C:\\data\\x"},
      // clang-format on
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
  EXPECT_EQ(std::tuple(ShortenMiddle("abcdefghij", 10), ShortenMiddle("abcdefghijkl", 10),
                       ShortenMiddle("abcdefghijkl", 3)),
            std::tuple("abcdefghij", "ab ... jkl", " ... l"));
  // clang-format off
  const std::tuple<const char*, const char*, bool> masks[] = {
      {"*.*", "noext", true},     {"$*.dx$", "$LOGO_1.DX$", true}, {"$*.dx$", "logo.dx$", false},
      {"?.txt", "ab.txt", false}, {"a*b*c", "aXbYbZc", true},      {"a*b*c", "aXbYbZ", false}};
  // clang-format on
  for (const auto& [mask, name, matches] : masks)
    EXPECT_EQ(MaskMatches(mask, name), matches) << mask;
}

class FileServiceTest : public ::testing::Test, public TempFolder {
 protected:
  void SetUp() override { InitWbrelvar(); }
  void TearDown() override { AbortFlag = 0; }
};

TEST_F(FileServiceTest, ExistenceAndFolderChecks) {
  Put("Data.KV6", "x");
  fs::create_directory(Path("sub"));
  // Found case-blind; folders are no files and files no folders.
  EXPECT_TRUE(FileThere(Path("data.kv6")) && FolderUsable(Path("sub/")) && DirExists(Path("sub/")));
  EXPECT_FALSE(FileThere(Path("sub")) || FolderUsable(Path("missing")) ||
               FolderUsable(Path("Data.KV6")) || DirExists(Path("Data.KV6")) ||
               FolderWritable(Path("missing")));

  // The writability probe is created exclusively, so another copy's probe stays untouched.
  const std::string taken = "x.$$$" + std::to_string(::getpid()) + ".0";
  Put(taken, "another copy's probe");
  EXPECT_TRUE(FolderWritable(dir_));
  EXPECT_EQ(Bytes(taken), "another copy's probe");
  EXPECT_EQ(fs::directory_iterator(Path("sub")), fs::directory_iterator());
}

// The bound keeps a huge or endless file from filling memory; the case-blind resolver finds it.
TEST_F(FileServiceTest, WholeFileReadStopsAtItsBound) {
  const std::string content(20000, 'k');
  Put("Big.KV6", content);
  std::string bytes;
  EXPECT_TRUE(ReadWholeFile(Path("big.kv6"), bytes, 9000));
  EXPECT_EQ(bytes, content.substr(0, 9000));
  EXPECT_TRUE(ReadWholeFile(Path("big.kv6"), bytes, 20001));
  EXPECT_EQ(bytes, content);
  EXPECT_FALSE(ReadWholeFile(Path("missing"), bytes, 10) || ReadWholeFile(dir_, bytes, 10));
}

TEST_F(FileServiceTest, DeletingByMaskAndByName) {
  for (const char* name : {"$a.dx$", "$B.DX$", "Old.TXT"}) Put(name, "");
  fs::create_directory(Path("$c.dx$"));
  DeleteFiles(dir_ + "/", "$*.dx$");
  DeleteListFile(Path("old.txt"));
  DeleteListFile(Path("old.txt"));
  EXPECT_EQ(AbortFlag, 0);
  for (const char* name : {"$a.dx$", "$B.DX$", "Old.TXT"}) EXPECT_FALSE(fs::exists(Path(name)));
  EXPECT_TRUE(fs::is_directory(Path("$c.dx$")));
}

TEST_F(FileServiceTest, CopiesIntoFolders) {
  const std::string content(20000, 'q');
  for (const char* folder : {"src", "dst"}) fs::create_directory(Path(folder));
  Put("src/a.txt", content);
  for (const char* name : {"src/B.TXT", "src/c.dat"}) Put(name, "x");
  CopyFile(Path("src/A.TXT"), Path("dst"));
  CopyFileBlocks(Path("src/A.TXT"), Path("blocks.dat"));
  CopyFiles("*.txt", Path("src"), Path("dst"));  // a folder without its "/"
  EXPECT_EQ(
      std::tuple(AbortFlag, Bytes("dst/a.txt"), Bytes("blocks.dat"), fs::exists(Path("dst/B.TXT"))),
      std::tuple(0, content, content, true));
  EXPECT_FALSE(fs::exists(Path("dst/c.dat")) || fs::exists(Path("dstB.TXT")));
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
  EXPECT_TRUE(AbortFlag == 1 && !fs::exists(Path("t1")));
  AbortFlag = 0;
  CopyFileBlocks(Path("src.dat"), "/dev/full");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(fs::exists("/dev/full")) << "only regular targets are removed";

  // A file-size limit makes the kernel accept only part of a block. In a child, so the limit
  // cannot reach other tests.
  AbortFlag = 0;
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{5000, 5000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    CopyFileBlocks(Path("src.dat"), Path("cut.dat"));
    ::_exit(AbortFlag == 1 && !fs::exists(Path("cut.dat")) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a short write ends as success";
}

}  // namespace
