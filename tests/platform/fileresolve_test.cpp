#include "platform/fileresolve.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/base/tempfolder.h"

namespace {

class FileResolve : public testing::Test, protected TempFolder {};

TEST_F(FileResolve, ExactNamesFirstThenTheFirstAsciiCaseMatchOfTheLastComponent) {
  for (const char* name : {"P3g.dbf", "p3G.dbf", "p3g.dbfx", "\xC4nderung.txt", "Start.PLT"}) {
    Put(name, "x");
  }
  std::filesystem::create_directory(Path("Sub"));
  Put("Sub/Help.hlp", "x");
  const std::pair<const char*, const char*> cases[] = {
      {"P3G.DBF", "P3g.dbf"},  // byte order decides between two matches
      {"p3G.dbf", "p3G.dbf"},
      {"new.cfg", "new.cfg"},
      {"\xE4NDERUNG.TXT", "\xE4NDERUNG.TXT"},  // the umlaut is not an ASCII letter
      {"\xC4NDERUNG.TXT", "\xC4nderung.txt"},
      {"Sub/HELP.HLP", "Sub/Help.hlp"},
      {"SUB/HELP.HLP", "SUB/HELP.HLP"},
      {"sub", "Sub"},
  };
  for (const auto& [asked, found] : cases) {
    EXPECT_EQ(platform::ResolveFileName(Path(asked)), Path(found)) << asked;
  }
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  const std::string relative = platform::ResolveFileName("start.plt");
  std::filesystem::current_path(before);
  EXPECT_EQ(relative, "Start.PLT");
}

}  // namespace
