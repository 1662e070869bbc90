// Tables in a folder "Prüfstand" (UTF-8 on disk) named in Windows-1252: created, opened in
// another letter case, found, dated and erased; a table whose name has no Windows-1252 form is
// "file not found".
#include <gtest/gtest.h>

#include <filesystem>

#include "enginetest.h"
#include "tables/core/tzfiles.h"

namespace {

using namespace dadav;
using namespace enginetest;

class TableNames : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    std::filesystem::create_directory(Path("Pr\303\274fstand"));
  }
  std::string Folder() const { return Path("Pr\374fstand"); }  // octal: three digits at most
};

TEST_F(TableNames, TheEngineReachesTheUtf8Table) {
  const std::string table = Folder() + "/Gu\337eisen.dbf";
  NewTable(table, {Def("NAME", 'C', 10)}, 2);
  CloseAll();
  EXPECT_TRUE(std::filesystem::exists(Path("Pr\303\274fstand/Gu\303\237eisen.dbf")));
  USE(Folder() + "/GU\337EISEN.DBF");
  EXPECT_EQ(RecCount(), 2);
  CloseAll();
  EXPECT_TRUE(FileExists(Folder() + "/gu\337eisen.dbf"));
  EXPECT_EQ(EraseFile(Folder() + "/GU\337EISEN.dbf"), 0);
  EXPECT_FALSE(std::filesystem::exists(Path("Pr\303\274fstand/Gu\303\237eisen.dbf")));
}

TEST_F(TableNames, ATableWithoutAWindows1252NameIsNotFound) {
  std::ofstream(Path("Pr\303\274fstand/\344\270\255.dbf")) << "x";
  EXPECT_THROW(USE(Folder() + "/?.dbf"), EDadavError);
  EXPECT_EQ(LastErrorCode, 2);
  EXPECT_FALSE(FileExists(Folder() + "/?.dbf"));
}

}  // namespace
