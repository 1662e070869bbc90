#include "platform/dirservices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/base/tempfolder.h"

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

}  // namespace
