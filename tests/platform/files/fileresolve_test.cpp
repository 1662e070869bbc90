#include "platform/files/fileresolve.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/tempfolder.h"

namespace {

class FileResolve : public testing::Test, protected TempFolder {};

// Names on disk are UTF-8; the program asks in Windows-1252 and gets Windows-1252 back.
TEST_F(FileResolve, ExactNamesFirstThenTheFirstCaseMatchOfTheLastComponent) {
  for (const char* name : {"P3g.dbf", "p3G.dbf", "p3g.dbfx", "\xC3\x84nderung.txt", "Start.PLT",
                           "Ma\xC3\x9F"
                           "e.kv6"}) {
    Put(name, "x");
  }
  std::filesystem::create_directory(Path("Sub"));
  Put("Sub/Help.hlp", "x");
  const std::pair<const char*, const char*> cases[] = {
      {"P3G.DBF", "P3g.dbf"},  // byte order decides between two matches
      {"p3G.dbf", "p3G.dbf"},
      {"new.cfg", "new.cfg"},
      {"\xE4NDERUNG.TXT", "\xC4nderung.txt"},  // case-blind for 1252 letters too
      {"\xC4NDERUNG.TXT", "\xC4nderung.txt"},
      {"MA\xDF"
       "E.KV6",
       "Ma\xDF"
       "e.kv6"},
      {"MASSE.KV6", "MASSE.KV6"},  // no spelling rules, only letter case
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
