#include <sys/stat.h>
#include <unistd.h>

#include "base/text/messages.h"
#include "browsetest.h"
#include "tables/access/tableaccess.h"
#include "tables/core/dbf4lock.h"
#include "tests/tables/core/haltrecorder.h"

namespace {

using namespace dadav;
using namespace accesstest;

class tableaccess : public BrowseTest {
 protected:
  void SetUp() override {
    BrowseTest::SetUp();
    DbfWriteChecked = 0;
  }
  bool Said(const std::string& text) {
    for (std::size_t i = 1; i <= MessageCount; ++i) {
      if (Messages[i].find(text) != std::string::npos) return true;
    }
    return false;
  }
};

TEST_F(tableaccess, ANameWithoutExtensionGetsDbfAndAnUpperCaseFileIsFound) {
  MakeTable("RKM1BASE.DBF", 3);
  AbortFlag = 0;
  OpenTable("rkm1base");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(TableRecCount(), 3);
  CloseTableFile();
  OpenTable("missing.dbf");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(Shown("File " + Path("tables") + "/missing.dbf not found."));
}

TEST_F(tableaccess, AReadOnlyTableIsCopiedWithItsMemoAndTheCopyIsReusedLater) {
  const std::string path = MakeTable("printout.dbf", 2);
  Put("tables/printout.dbt", "memo bytes");
  chmod(path.c_str(), 0444);
  const std::string original = Bytes("tables/printout.dbf");
  OpenTable("printout.dbf");
  ASSERT_EQ(AbortFlag, 0);
  EXPECT_EQ(Form().Get<platform::Label>("Label_filename").Caption(), TempPath("printout.dbf"));
  EXPECT_EQ(Bytes("temp/printout.dbt"), "memo bytes");
  EXPECT_EQ(AppendTableRecord(), 1);
  CloseTableFile();
  EXPECT_EQ(Bytes("tables/printout.dbf"), original);
  OpenTable("printout.dbf");
  EXPECT_EQ(TableRecCount(), 3);  // the copy of this run, with the append in between
  CloseTableFile();
}

TEST_F(tableaccess, AnUnwritableFolderOpensEveryTableFromACopyAndTheCheckIsCached) {
  MakeTable("p3g.dbf", 2);
  std::filesystem::create_directory(Path("tables/TEST.$$$"));  // no file can take that name
  OpenTable("p3g");
  ASSERT_EQ(AbortFlag, 0);
  EXPECT_EQ(DbfWriteChecked, 1);
  EXPECT_EQ(DbfWritable, 0);
  EXPECT_EQ(Form().Get<platform::Label>("Label_filename").Caption(), TempPath("p3g.dbf"));
  CloseTableFile();
  std::filesystem::remove(Path("tables/TEST.$$$"));
  EXPECT_FALSE(CheckTableDirWritable(Path("tables"), "p3g.dbf"));
  DbfWriteChecked = 0;
  EXPECT_TRUE(CheckTableDirWritable(Path("tables"), "p3g.dbf"));
  EXPECT_FALSE(std::filesystem::exists(Path("tables/TEST.$$$")));
}

// The check writes no other user's file under its name in a shared folder, and finds it writable.
TEST_F(tableaccess, TheFolderCheckLeavesAnotherUsersFileAlone) {
  MakeTable("p3g.dbf", 2);
  Put("tables/TEST.$$$", "theirs");
  if (::chown(Path("tables/TEST.$$$").c_str(), 1, 1) != 0) GTEST_SKIP() << "not the superuser";
  ASSERT_EQ(::chmod(Path("tables").c_str(), 01777), 0);
  EXPECT_TRUE(CheckTableDirWritable(Path("tables"), "p3g.dbf"));
  EXPECT_EQ(Bytes("tables/TEST.$$$"), "theirs");
}

TEST_F(tableaccess, RecordNumbersAreClampedWithTheirMessage) {
  MakeTable("p.dbf", 4);
  OpenTable("p");
  GotoTableRecord(0);
  EXPECT_EQ(TableRecNo(), 1);
  EXPECT_EQ(MessageCount, 0);
  GotoTableRecord(9);
  EXPECT_EQ(TableRecNo(), 4);
  EXPECT_TRUE(Said("DBF #9 not found."));
  GotoClamped(7);
  EXPECT_EQ(TableRecNo(), 1);
  EXPECT_EQ(TableFieldName(0), "");
  EXPECT_EQ(TableFieldName(4), "");
  EXPECT_EQ(TableFieldName(2), "VALUE");
  CloseTableFile();
  EXPECT_EQ(Form().Grid().RowCount(), 0);  // no rows of a closed table stay on show
}

TEST_F(tableaccess, OnAnEmptyTableGotoOnlyAddsItsMessageEvenWhileErrorsHalt) {
  MakeTable("e.dbf", 0);
  OpenTable("e");
  const bool exceptions = SetExceptionMode(false);
  GotoTableRecord(3);
  GotoClamped(2);
  SetExceptionMode(exceptions);
  EXPECT_FALSE(Halting);
  EXPECT_TRUE(Said("DBF #3 not found."));
  EXPECT_EQ(TableRecNo(), 0);
  CloseTableFile();
}

// In the program's own error mode every engine or dataset error of a table access is its text in
// the error box and AbortFlag, never a halt; a failed read answers empty.
TEST_F(tableaccess, AnEngineErrorIsABoxAndAbortFlagAndNeverAHalt) {
  const EngineHaltRecorder halts;
  Put("tables/p.dbf", "NAME;VALUE\r\nR1;1.5\r\n");
  OpenTable("p");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(Shown("Error  : |Error # 210 (Not a dBASE data file)"));
  EXPECT_FALSE(Form().tzdbf.Active());

  MakeTable("p.dbf", 2);
  AbortFlag = 0;
  OpenTable("p");
  ASSERT_EQ(AbortFlag, 0);
  EXPECT_EQ(GetTableField(4), "");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(Shown("Error  : |Error # 220 (Invalid parameter)"));
  AbortFlag = 0;
  EXPECT_FALSE(GetTableBool("LANDSCAPE"));
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(Shown("LANDSCAPE"));
  EXPECT_EQ(GetTableField(1), "R1      ");
  CloseTableFile();
  EXPECT_EQ(Boxes().size(), 3u);
  EXPECT_TRUE(EngineHaltRecorder::Statuses().empty());
  EXPECT_FALSE(Halting);
}

TEST_F(tableaccess, ThePrintSetupSequenceAppendsOneRecordAndLeavesTheCurrentOne) {
  MakeTable("printout.dbf", 2);
  OpenTable("printout");
  GotoTableRecord(1);
  constexpr std::size_t kHeader = 32 + 3 * 32 + 1;
  constexpr std::size_t kRecord = 1 + 8 + 8 + 1;
  const std::string first = Bytes("tables/printout.dbf").substr(kHeader, kRecord);
  PutTableStr("NAME",
              "Gu\xE1"
              "eisen");
  PutTableFloat("VALUE", 2.25);
  PutTableBool("OK", false);
  EXPECT_EQ(AppendTableRecord(), 1);
  EXPECT_EQ(TableRecCount(), 3);
  EXPECT_EQ(TableRecNo(), 3);
  EXPECT_EQ(GetTableField(1),
            "Gu\xE1"
            "eisen");
  EXPECT_EQ(GetTableField(2), "    2.25");
  EXPECT_FALSE(GetTableBool("OK"));
  CloseTableFile();
  const std::string table = Bytes("tables/printout.dbf");
  EXPECT_EQ(table.substr(kHeader, kRecord), first);
  EXPECT_EQ(table.substr(kHeader + 2 * kRecord, kRecord),
            " Gu\xE1"
            "eisen    2.25F");
}

TEST_F(tableaccess, AFieldNameOfTwelveLettersWritesTheFieldOfItsFirstTen) {
  NewTable(Path("tables/d.dbf"), {Def("DESCRIPTIO", 'C', 12)}, 1);
  CloseAll();
  OpenTable("d");
  PutTableStr("DESCRIPTION1", "cut name");
  EXPECT_EQ(AppendTableRecord(), 1);
  GotoTableRecord(2);
  EXPECT_EQ(GetTableField(1), "cut name    ");
  CloseTableFile();
}

TEST_F(tableaccess, TheMaterialPickFindsItsKeyThroughATemporaryIndex) {
  MakeTable("rkm1base.dbf", 30);
  OpenTable("rkm1base");
  IndexOnTemp("NAME", "rkm1base");
  EXPECT_TRUE(std::filesystem::exists(TempPath("rkm1base.ndx")));
  TableFind("R17");
  EXPECT_TRUE(TableFound());
  EXPECT_EQ(TableRecNo(), 17);
  TableFind("R99");
  EXPECT_FALSE(TableFound());
  CloseTableFile();
}

TEST_F(tableaccess, AFailedTemporaryIndexIsAMessageAndNaturalOrder) {
  MakeTable("p3g.dbf", 3);
  std::filesystem::create_directory(TempPath("p3g.ndx"));
  OpenTable("p3g");
  IndexOnTemp("NAME", "p3g");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(MessageCount, 1);
  EXPECT_EQ(DbfForm->ControllingIndex(), "");
  EXPECT_FALSE(TableFound());
  // The pick's seek finds nothing without an error, so the browse that follows still picks.
  TableFind("R2");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(MessageCount, 1);
  EXPECT_FALSE(TableFound());
  GotoTableRecord(2);
  EXPECT_EQ(TableRecNo(), 2);
  CloseTableFile();
}

TEST_F(tableaccess, AReadOnlyTableInTheTemporaryFolderItselfIsMadeWritableInPlace) {
  MakeTable("p.dbf", 2);
  std::filesystem::copy_file(Path("tables/p.dbf"), TempPath("p.dbf"));
  chmod(TempPath("p.dbf").c_str(), 0444);
  TablesInTempDir = 1;
  OpenTable("p");
  TablesInTempDir = 0;
  ASSERT_EQ(AbortFlag, 0);
  EXPECT_EQ(Form().Get<platform::Label>("Label_filename").Caption(), TempPath("p.dbf"));
  struct stat info {};
  stat(TempPath("p.dbf").c_str(), &info);
  EXPECT_NE(info.st_mode & S_IWUSR, 0u);
  EXPECT_EQ(AppendTableRecord(), 1);
  CloseTableFile();
}

}  // namespace
