// The folders checked after the configuration: empty ones filled, and a temporary folder that
// cannot be written never left in place for the run.
#include "app/main/checkdirectories.h"

#include <gtest/gtest.h>

#include "tests/app/main/configfixture.h"
#include "tests/support/scopedvariable.h"

namespace {

class CheckDirectoriesTest : public ConfigTest {
 protected:
  ScopedVariable temp{"TEMP", folder.Dir()};
};

TEST_F(CheckDirectoriesTest, EmptyFoldersAreFilled) {
  TempDir = " ";
  CadDir = "";
  DbfDir = "";
  StartDir = folder.Dir();
  CheckDirectories();
  EXPECT_EQ(TempDir, folder.Dir());
  EXPECT_EQ(CadDir, folder.Dir());
  EXPECT_EQ(DbfDir, folder.Dir() + "/");
}

// The question for another folder is cancelled, as on the command line: the run goes on with
// the environment's temporary folder.
TEST_F(CheckDirectoriesTest, UnwritableTemporaryFolderGivesWayToTheEnvironments) {
  folder.Put("file", "x");
  TempDir = folder.Path("file/below");
  CheckDirectories();
  EXPECT_EQ(TempDir, folder.Dir());
}

}  // namespace
