#include "platform/dirservices.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

TEST(DirServices, WildcardsMatchRegularFilesWithoutRegardToCase) {
  std::string pattern = (fs::temp_directory_path() / "kv6-dirservices-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;
  for (const char* name : {"Parts.DBF", "parts.dbt", "other.dbf", "p1.dbf", "p12.dbf", "readme"}) {
    std::ofstream(dir / name) << "x";
  }
  fs::create_directory(dir / "sub.dbf");
  const std::string d = dir.string() + "/";
  struct Case {
    std::string mask;
    std::vector<std::string> found;
  } cases[] = {
      {d + "*.dbf", {d + "Parts.DBF", d + "other.dbf", d + "p1.dbf", d + "p12.dbf"}},
      {d + "P?.DBF", {d + "p1.dbf"}},
      {d + "PARTS.*", {d + "Parts.DBF", d + "parts.dbt"}},
      {d + "*e*", {d + "other.dbf", d + "readme"}},
      {d + "*", {d + "Parts.DBF", d + "other.dbf", d + "p1.dbf", d + "p12.dbf", d + "parts.dbt", d + "readme"}},
      {d + "x*", {}},
      {d + "missing/*", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::MatchFiles(c.mask), c.found) << c.mask;
  fs::remove_all(dir);
}

}  // namespace
