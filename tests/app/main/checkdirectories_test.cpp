// The folders checked after the configuration: empty ones filled, and a temporary folder that
// cannot be written never left in place for the run.
#include "app/main/checkdirectories.h"

#include <gtest/gtest.h>

#include "base/settings/wbrelvar.h"
#include "platform/headless/dialogscript.h"
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

// The folders are tested for writing only where the run writes: a command-line output only into
// the temporary folder, the usage text nowhere, a run with a window everywhere.
TEST_F(CheckDirectoriesTest, OnlyTheFoldersTheRunWritesToAreTestedForWriting) {
  platform::headless::DialogScript script;
  ErrorBoxOn = 1;
  CadDir = EdiDir = DefaultDataDir = folder.Path("missing/");
  DbfDir = PltDir = TempDir = folder.Dir();
  CheckDirectories(StartMode::Report);
  CheckDirectories(StartMode::Cad);
  EXPECT_TRUE(script->Transcript().empty());

  TempDir = folder.Path("missing");
  CheckDirectories(StartMode::Usage);
  EXPECT_TRUE(script->Transcript().empty());
  EXPECT_EQ(TempDir, folder.Path("missing"));

  TempDir = folder.Dir();
  CheckDirectories(StartMode::Plain);
  ASSERT_EQ(script->Transcript().size(), 3u);
  EXPECT_NE(script->Transcript()[0].find("invalid CAD Directory configured"), std::string::npos);
  EXPECT_NE(script->Transcript()[1].find("invalid EDI Directory configured"), std::string::npos);
  EXPECT_NE(script->Transcript()[2].find("invalid Data Directory configured"), std::string::npos);
}

}  // namespace
