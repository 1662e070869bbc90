// Opening a table's memo file: found whatever its letter case, refused when missing or already
// open, and memo operations on a table without one.
#include <filesystem>

#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tables/modules/memo/memodevice.h"
#include "tables/modules/memo/memoopen.h"
#include "tables/modules/memo/memowrite.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

class MemoOpen : public MemoTest {};

TEST_F(MemoOpen, TheMemoFileIsFoundInAnyCaseAndAMissingOneFailsTheUse) {
  NewMemoTable(0xF5);
  AppendWithMemo(1, "upper");
  CloseAll();
  std::filesystem::rename(Path("t.fpt"), Path("T.FPT"));
  USE(Path("t.dbf"));
  EXPECT_EQ(Lines(Reference()), "upper");
  EXPECT_EQ(ErrorOf([this] { OpenMemofile(Path("t")); }),
            "Error # 1007 (Memo file is already open)\r\n" + Path("T.FPT") + " [USE]");
  CloseAll();
  std::filesystem::remove(Path("T.FPT"));
  EXPECT_EQ(ErrorOf([this] { USE(Path("t.dbf")); }).substr(0, 53),
            "Error # 2 (File not found)\r\nProblem opening memo file");
  EXPECT_EQ(Area(), nullptr);
}

TEST_F(MemoOpen, MemoOperationsOnATableWithoutMemoFileAre1019) {
  NewTable(Path("plain.dbf"), {Def("ID", 'N', 4)});
  EXPECT_EQ(ErrorOf([] { AddMemo("x"); }),
            "Error # 1019 (Invalid memo operation: database not open or no memo field in "
            "database)\r\n" +
                Path("plain.dbf") + " No Memo Field [AddMemo]");
  CloseAll();
  EXPECT_EQ(ErrorOf([] { GetMemo(1); }).substr(0, 31), "Error # 215 (No database in use");
}

TEST_F(MemoOpen, ReopenEmptiesTheMemoFile) {
  NewMemoTable(0x83);
  AddMemo("gone");
  MemoHooks.reopenMemofile();
  EXPECT_EQ(MemoFileBytes(0x83).size(), 513u);
  EXPECT_EQ(AddMemo("new"), 1);
}

TEST_F(MemoOpen, EditingOnAFullDiskIs1004AndWritesNothing) {
  NewMemoTable(0x8B);
  const std::int64_t block = AddMemo("kept");
  const std::string before = MemoFileBytes(0x8B);
  platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
  faults->SetFreeBytes(1024);
  ASSERT_TRUE(GetMemo(block));
  MemoLines.Add(std::string(2000, 'x'), kLineEndNone);
  EXPECT_EQ(ErrorOf([] { EditMemo(); }),
            "Error # 1004 (Disk full)\r\n" + Path("t.dbt") + " [EditMemo/CloseMemo]");
  EXPECT_EQ(MemoFileBytes(0x8B), before);
}

TEST_F(MemoOpen, AFailedWriteLeavesTheDevicesMemoWhereItWas) {
  NewMemoTable(0x8B);
  std::int32_t block = static_cast<std::int32_t>(AddMemo("kept"));
  MemoTextDevice device(block);
  ASSERT_TRUE(device.Append());
  device.Write(" longer\r\n");
  {
    platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
    faults->FailWrite(1);
    EXPECT_FALSE(ErrorOf([&] { device.Close(); }).empty());
  }
  EXPECT_EQ(device.Error(), 101);
  EXPECT_EQ(block, 1);
  EXPECT_EQ(Lines(block), "kept");
}

}  // namespace
