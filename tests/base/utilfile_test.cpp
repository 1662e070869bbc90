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

namespace {

namespace fs = std::filesystem;

TEST(PathTest, SeparatorRoutines) {
  struct Case {
    std::string path, added, removed;
  };
  const Case cases[] = {
      {"/a/b", "/a/b/", "/a/b"}, {"  /a/b/ ", "/a/b/", "/a/b"}, {"   ", "", ""},
      {"/", "/", "/"},           {"C:", "C:/", "C:"},           {"a\\b", "a\\b/", "a\\b"},
      {"x.", "x./", "x."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AddBackslash(c.path), c.added) << c.path;
    EXPECT_EQ(AddBackslashDrive(c.path), c.added) << c.path;
    EXPECT_EQ(RemoveBackslash(c.path), c.removed) << c.path;
  }
}

TEST(PathTest, NamePartsLookOnlyAtTheLastComponent) {
  struct Case {
    std::string path, dir, noExt, pathNoExt, ext, bare;
  };
  const Case cases[] = {
      {"../x/file.tar.gz", "../x/", "file.tar", "../x/file.tar", "tar.gz", "file.tar"},
      {"../x", "../", "x", "../x", "", "x"},
      {"v1.2/readme", "v1.2/", "readme", "v1.2/readme", "", "readme"},
      {"./a.b/c.kv6", "./a.b/", "c", "./a.b/c", "kv6", "c"},
      {"name.", "", "name", "name", "", "name."},
      {"C:\\data\\x.kv6", "", "C:\\data\\x", "C:\\data\\x", "kv6", "C:\\data\\x"},
      {"/t/", "/t/", "", "/t/", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DirOfPath(c.path), c.dir) << c.path;
    EXPECT_EQ(NameWithoutExt(c.path), c.noExt) << c.path;
    EXPECT_EQ(PathWithoutExt(c.path), c.pathNoExt) << c.path;
    EXPECT_EQ(ExtOfName(c.path), c.ext) << c.path;
    EXPECT_EQ(BareFileName(c.path), c.bare) << c.path;
    EXPECT_EQ(DriveOfPath(c.path), "") << c.path;
  }
}

TEST(PathTest, ShortenMiddle) {
  struct Case {
    std::string text;
    std::int32_t width;
    std::string result;
  };
  const Case cases[] = {
      {"abcdefghij", 10, "abcdefghij"},   {"abcdefghijkl", 10, "ab ... jkl"},
      {"abcdefghijkl", 11, "ab ... jkl"}, {"abcdefghijkl", 6, " ... l"},
      {"abcdefghijkl", 3, " ... l"},
  };
  for (const Case& c : cases) EXPECT_EQ(ShortenMiddle(c.text, c.width), c.result) << c.width;
  std::string text = "  x y  ";
  TrimInPlace(text);
  EXPECT_EQ(text, "x y");
}

TEST(PathTest, MaskMatching) {
  struct Case {
    std::string mask, name;
    bool matches;
  };
  const Case cases[] = {
      {"*.*", "noext", true},        {"*.*", "a.b", true},       {"$*.dx$", "$LOGO_1.DX$", true},
      {"$*.dx$", "logo.dx$", false}, {"*.TXT", "a.txt", true},   {"?.txt", "ab.txt", false},
      {"a*b*c", "aXbYbZc", true},    {"a*b*c", "aXbYbZ", false}, {"*", "", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MaskMatches(c.mask, c.name), c.matches) << c.mask << " " << c.name;
}

class FileServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    char pattern[] = "/tmp/kv6-utilfile-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    AbortFlag = 0;
    fs::remove_all(dir_);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  std::string Bytes(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }

  std::string dir_;
};

TEST_F(FileServiceTest, ExistenceAndFolderChecks) {
  Put("Data.KV6", "x");
  fs::create_directory(Path("sub"));
  EXPECT_TRUE(FileThere(Path("Data.KV6")));
  EXPECT_TRUE(FileThere(Path("data.kv6")));
  EXPECT_FALSE(FileThere(Path("sub")));
  EXPECT_FALSE(FileThere(Path("none")));

  EXPECT_TRUE(FolderUsable(Path("sub")));
  EXPECT_TRUE(FolderUsable(Path("sub/")));
  EXPECT_FALSE(FolderUsable(Path("missing")));
  EXPECT_FALSE(FolderUsable(Path("Data.KV6")));

  EXPECT_TRUE(DirExists(Path("sub/")));
  EXPECT_FALSE(DirExists(Path("Data.KV6")));
  EXPECT_FALSE(DirExists(Path("missing")));

  EXPECT_TRUE(FolderWritable(dir_));
  EXPECT_FALSE(FolderWritable(Path("missing")));
  EXPECT_FALSE(FolderWritable(Path("Data.KV6")));
  EXPECT_EQ(fs::directory_iterator(Path("sub")), fs::directory_iterator());
}

TEST_F(FileServiceTest, WritableProbeNeverTouchesAnExistingName) {
  const std::string taken = "x.$$$" + std::to_string(::getpid()) + ".0";
  Put(taken, "another copy's probe");
  EXPECT_TRUE(FolderWritable(dir_));
  EXPECT_EQ(Bytes(taken), "another copy's probe");
}

TEST_F(FileServiceTest, DeleteFilesMatchesRegularFilesOnly) {
  Put("$a.dx$", "");
  Put("$B.DX$", "");
  Put("keep.txt", "");
  fs::create_directory(Path("$c.dx$"));
  DeleteFiles(dir_ + "/", "$*.dx$");
  EXPECT_FALSE(fs::exists(Path("$a.dx$")));
  EXPECT_FALSE(fs::exists(Path("$B.DX$")));
  EXPECT_TRUE(fs::exists(Path("keep.txt")));
  EXPECT_TRUE(fs::is_directory(Path("$c.dx$")));
}

TEST_F(FileServiceTest, DeleteListFile) {
  Put("Old.TXT", "x");
  DeleteListFile(Path("old.txt"));
  EXPECT_FALSE(fs::exists(Path("Old.TXT")));
  DeleteListFile(Path("old.txt"));
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(FileServiceTest, CopyFileIntoFolderAndByName) {
  const std::string content(20000, 'q');
  Put("src.dat", content);
  fs::create_directory(Path("out"));
  CopyFile(Path("src.dat"), Path("out"));
  CopyFileBlocks(Path("SRC.DAT"), Path("blocks.dat"));
  CopyFileInto(Path("src.dat"), Path("out/ignored.name"));
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Bytes("out/src.dat"), content);
  EXPECT_EQ(Bytes("blocks.dat"), content);
  EXPECT_FALSE(fs::exists(Path("out/ignored.name")));
}

TEST_F(FileServiceTest, CopyFilesTreatsTheTargetAsAFolder) {
  fs::create_directory(Path("src"));
  fs::create_directory(Path("dst"));
  std::ofstream(Path("src/a.txt")) << "a";
  std::ofstream(Path("src/B.TXT")) << "b";
  std::ofstream(Path("src/c.dat")) << "c";
  CopyFiles("*.txt", Path("src"), Path("dst"));
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(fs::exists(Path("dst/a.txt")));
  EXPECT_TRUE(fs::exists(Path("dst/B.TXT")));
  EXPECT_FALSE(fs::exists(Path("dst/c.dat")));
  EXPECT_FALSE(fs::exists(Path("dsta.txt")));

  CopyFiles("*.none", Path("src"), Path("dst"));
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(FileServiceTest, CopyOntoItselfIsRefusedAndKeepsTheSource) {
  Put("self.txt", "precious");
  fs::create_hard_link(Path("self.txt"), Path("link.txt"));
  const std::string targets[] = {Path("self.txt"), Path("link.txt"), dir_};
  for (const std::string& target : targets) {
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

  AbortFlag = 0;
  CopyFile(Path("src.dat"), Path("src.dat/below"));
  EXPECT_EQ(AbortFlag, 1);
}

// A file-size limit makes the kernel accept only part of a block: the copy must fail and remove
// what it wrote. Run in a child so the limit cannot reach other tests.
TEST_F(FileServiceTest, ShortWriteFailsTheCopy) {
  Put("big.dat", std::string(20000, 'b'));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{5000, 5000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    AbortFlag = 0;
    CopyFile(Path("big.dat"), Path("cut.dat"));
    const bool first = AbortFlag == 1 && !fs::exists(Path("cut.dat"));
    AbortFlag = 0;
    CopyFileBlocks(Path("big.dat"), Path("cut2.dat"));
    const bool second = AbortFlag == 1 && !fs::exists(Path("cut2.dat"));
    ::_exit(first && second ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
