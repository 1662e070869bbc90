#include "platform/fileresolve.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class FileResolve : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kv6-resolve-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Make(const std::string& name) {
    const fs::path p = dir_ / name;
    std::ofstream(p) << "x";
    return p.string();
  }
  std::string In(const std::string& name) const { return (dir_ / name).string(); }

  fs::path dir_;
};

TEST_F(FileResolve, FindsTheFirstCaseInsensitiveMatchInByteOrder) {
  Make("P3g.dbf");
  Make("p3G.dbf");
  Make("p3g.dbfx");
  EXPECT_EQ(platform::ResolveFileName(In("P3G.DBF")), In("P3g.dbf"));
}

TEST_F(FileResolve, LeavesAbsentNamesAndOnlyComparesAsciiCase) {
  Make("\xC4nderung.txt");  // the umlaut is not an ASCII letter
  EXPECT_EQ(platform::ResolveFileName(In("new.cfg")), In("new.cfg"));
  EXPECT_EQ(platform::ResolveFileName(In("\xE4NDERUNG.TXT")), In("\xE4NDERUNG.TXT"));
  EXPECT_EQ(platform::ResolveFileName(In("\xC4NDERUNG.TXT")), In("\xC4nderung.txt"));
}

TEST_F(FileResolve, MatchesOnlyTheLastComponent) {
  fs::create_directory(dir_ / "Sub");
  const std::string inside = (dir_ / "Sub" / "Help.hlp").string();
  std::ofstream(inside) << "x";
  EXPECT_EQ(platform::ResolveFileName(In("Sub/HELP.HLP")), inside);
  EXPECT_EQ(platform::ResolveFileName(In("SUB/HELP.HLP")), In("SUB/HELP.HLP"));
  EXPECT_EQ(platform::ResolveFileName(In("sub")), In("Sub"));
}

TEST_F(FileResolve, ResolvesARelativeNameInTheCurrentFolder) {
  Make("Start.PLT");
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  const std::string found = platform::ResolveFileName("start.plt");
  fs::current_path(before);
  EXPECT_EQ(found, "Start.PLT");
}

}  // namespace
