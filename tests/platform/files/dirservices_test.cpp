#include "platform/files/dirservices.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/tempfolder.h"

namespace {

class DirServices : public testing::Test, protected TempFolder {};

TEST_F(DirServices, WildcardsMatchRegularFilesWithoutRegardToCase) {
  for (const char* name : {"Parts.DBF", "parts.dbt", "other.dbf", "p1.dbf", "p12.dbf", "readme"}) {
    Put(name, "x");
  }
  std::filesystem::create_directory(Path("sub.dbf"));
  const std::string d = dir_ + "/";
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {d + "*.dbf", {d + "Parts.DBF", d + "other.dbf", d + "p1.dbf", d + "p12.dbf"}},
      {d + "P?.DBF", {d + "p1.dbf"}},
      {d + "PARTS.*", {d + "Parts.DBF", d + "parts.dbt"}},
      {d + "*e*", {d + "other.dbf", d + "readme"}},
      {d + "*",
       {d + "Parts.DBF", d + "other.dbf", d + "p1.dbf", d + "p12.dbf", d + "parts.dbt",
        d + "readme"}},
      {d + "x*", {}},
      {d + "missing/*", {}},
  };
  for (const auto& [mask, found] : cases) EXPECT_EQ(platform::MatchFiles(mask), found) << mask;
}

unsigned Mode(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777u : 0u;
}

TEST_F(DirServices, PrivateFolderIsOursAndClosedToOthers) {
  EXPECT_TRUE(platform::MakePrivateFolder(Path("new")));
  EXPECT_EQ(Mode(Path("new")), 0700u);
  std::filesystem::create_directory(Path("open"));
  ::chmod(Path("open").c_str(), 0777);
  EXPECT_TRUE(platform::MakePrivateFolder(Path("open")));
  EXPECT_EQ(Mode(Path("open")), 0700u);

  std::filesystem::create_directory_symlink(Path("new"), Path("link"));
  Put("file", "x");
  EXPECT_FALSE(platform::MakePrivateFolder(Path("link")));
  EXPECT_FALSE(platform::MakePrivateFolder(Path("file")));
  EXPECT_FALSE(platform::MakePrivateFolder(Path("missing/kv6")));
}

TEST_F(DirServices, PrivateFolderOfAnotherUserIsRefused) {
  std::filesystem::create_directory(Path("theirs"));
  ::chmod(Path("theirs").c_str(), 0700);
  if (::chown(Path("theirs").c_str(), 65534, 65534) != 0) {
    GTEST_SKIP() << "only the superuser can give a folder away";
  }
  EXPECT_FALSE(platform::MakePrivateFolder(Path("theirs")));
}

TEST_F(DirServices, FoldersAreMadeWithTheirParents) {
  EXPECT_TRUE(platform::MakeFolders(Path("a/b/c")));
  EXPECT_TRUE(platform::MakeFolders(Path("a/b/c")));
  EXPECT_EQ(Mode(Path("a/b")), 0700u);
  Put("file", "x");
  EXPECT_FALSE(platform::MakeFolders(Path("file/sub")));
}

}  // namespace
