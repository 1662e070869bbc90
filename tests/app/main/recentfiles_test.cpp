// The recent-files list: one entry per file whatever its spelling, the oldest dropped, menu
// texts of long paths, and the file that keeps the list.
#include "app/main/recentfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/main/configfixture.h"

namespace {

namespace fs = std::filesystem;

class RecentFilesTest : public ConfigTest {
 protected:
  void SetUp() override {
    ConfigTest::SetUp();
    for (std::string& entry : RecentFiles) entry.clear();
    DataDir = folder.Dir();
  }
  std::array<std::string, 4> Entries() const {
    return {RecentFiles[1], RecentFiles[2], RecentFiles[3], RecentFiles[4]};
  }
};

TEST_F(RecentFilesTest, SameFileMovesToTheTopAndAFifthDropsTheOldest) {
  for (const char* name : {"a", "b", "c", "d", "e"}) AddRecentFile(name);
  const std::string dir = folder.Dir() + "/";
  EXPECT_EQ(Entries(), (std::array<std::string, 4>{dir + "e.kv6", dir + "d.kv6", dir + "c.kv6",
                                                   dir + "b.kv6"}));
  AddRecentFile("c");
  EXPECT_EQ(Entries(), (std::array<std::string, 4>{dir + "c.kv6", dir + "e.kv6", dir + "d.kv6",
                                                   dir + "b.kv6"}));
  // Names that differ in case are two files here; a link to a listed file is the same file.
  folder.Put("d.kv6", "x");
  fs::create_symlink("d.kv6", folder.Path("link.kv6"));
  AddRecentFile("D");
  AddRecentFile("link");
  EXPECT_EQ(Entries(), (std::array<std::string, 4>{dir + "link.kv6", dir + "D.kv6", dir + "c.kv6",
                                                   dir + "e.kv6"}));
  DeleteRecentFile(1);
  EXPECT_EQ(RecentFiles[1], dir + "D.kv6");
  EXPECT_EQ(RecentFiles[4], "");
}

TEST_F(RecentFilesTest, RelativeDataFolderGivesAnAbsoluteEntry) {
  DataDir = "";
  AddRecentFile("x");
  ASSERT_FALSE(RecentFiles[1].empty());
  EXPECT_EQ(RecentFiles[1][0], '/');
}

TEST_F(RecentFilesTest, LongPathsLoseTheirMiddleFolders) {
  const std::string name49 = "/home/" + std::string(34, 'u') + "/test.kv6";
  ASSERT_EQ(name49.size(), 49U);
  EXPECT_EQ(ShortenPath(name49), name49);
  const std::string name50 = "/home/" + std::string(35, 'u') + "/test.kv6";
  EXPECT_EQ(ShortenPath(name50), "/home/.../test.kv6");
  const std::string oneFolder = "/" + std::string(50, 'u') + ".kv6";
  EXPECT_EQ(ShortenPath(oneFolder), oneFolder);
  const std::string relative = std::string(45, 'r') + "/mid/x.kv6";
  EXPECT_EQ(ShortenPath(relative), std::string(45, 'r') + "/.../x.kv6");
  EXPECT_EQ(ShortenPath("/a/R&D.kv6"), "/a/R&&D.kv6");
}

TEST_F(RecentFilesTest, ListKeptInTheFileBesideTheConfiguration) {
  WriteRecentFiles();
  EXPECT_FALSE(fs::exists(folder.Path("kv6.cff")));
  RecentFiles[1] = "/x/one.kv6";
  RecentFiles[2] = "/x/two.kv6";
  DataDir = "/x/";
  WriteRecentFiles();
  EXPECT_EQ(folder.Bytes("kv6.cff"), "kv6 Session /x/\r\n/x/one.kv6\r\n/x/two.kv6\r\n\r\n\r\n");
  // An empty list leaves the old file.
  RecentFiles = {};
  WriteRecentFiles();
  ReadRecentFiles();
  EXPECT_EQ(Entries(), (std::array<std::string, 4>{"/x/one.kv6", "/x/two.kv6", "", ""}));
  fs::remove(folder.Path("kv6.cff"));
  ReadRecentFiles();
  EXPECT_EQ(RecentFiles[1], "");
}

TEST_F(RecentFilesTest, SymlinkedListStaysALink) {
  folder.Put("real.cff", "old");
  fs::create_symlink("real.cff", folder.Path("kv6.cff"));
  RecentFiles[1] = "/x/one.kv6";
  WriteRecentFiles();
  EXPECT_TRUE(fs::is_symlink(folder.Path("kv6.cff")));
  EXPECT_NE(folder.Bytes("real.cff").find("/x/one.kv6"), std::string::npos);
}

}  // namespace
