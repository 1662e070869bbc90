// PACK of tables with memos: the packed file in each layout, and its safety: a child process
// ended at every step of the pack, a full disk at every step, a damaged memo and too little
// free space all leave table and memo file as they were or fully packed.
#include <cstdio>
#include <filesystem>

#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tables/core/dbf4pack.h"
#include "tables/core/tzfiles.h"
#include "tables/modules/memo/memowrite.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;
using platform::FileFaults;

class MemoPackTest : public MemoTest {
 protected:
  // Memos of one to three blocks, with umlauts.
  static std::string MemoOf(std::int32_t id) {
    std::string text = "Memo " + std::to_string(id) + " \xE4\xF6\xFC";
    if (id % 5 == 0) text += "\r\n" + std::string(static_cast<std::size_t>(id) * 7 % 1100, 'x');
    return text;
  }

  // A table of n records with the ID and its memo; every other record deleted when asked, and
  // every third memo replaced, so that the old one is dead space.
  std::string MakeTable(std::uint8_t type, int n, bool deleteEveryOther) {
    NewMemoTable(type);
    for (int id = 1; id <= n; ++id) AppendWithMemo(id, "old " + MemoOf(id));
    for (int id = 1; id <= n; ++id) {
      GO(id);
      SetReference(static_cast<std::int32_t>(AddMemo(MemoOf(id))));
      if (deleteEveryOther && id % 2 == 0) DeleteRec();
      Replace();
    }
    CloseAll();
    return Path("t.dbf");
  }

  // Every record the table holds shows the memo of its ID.
  void ExpectMemosMatchIds(std::uint8_t type) {
    USE(Path("t.dbf"));
    for (std::int32_t n = 1; n <= RecCount(); ++n) {
      GO(n);
      std::string expected = MemoOf(Int(1));
      if (const std::size_t end = expected.find("\r\n"); end != std::string::npos) {
        expected.replace(end, 2, "|");
      }
      ASSERT_EQ(Lines(Reference()), expected) << "record " << n;
    }
    CloseAll();
    EXPECT_TRUE(FileExists(Path(MemoName(type))));
    ExpectNoPackFiles();
  }

  // None of the files a pack writes beside the table and its memo file is left.
  void ExpectNoPackFiles() const {
    for (const char* name : kPackFiles) EXPECT_FALSE(FileExists(Path(name))) << name;
  }
  static constexpr const char* kPackFiles[] = {"t.dbf.pack$", "t.dbf.packed$", "t.dbt.packmemo$",
                                               "t.fpt.packmemo$"};
};

TEST_F(MemoPackTest, PackKeepsEveryLiveMemoAndDropsTheRest) {
  for (std::uint8_t type : kTypes) {
    SCOPED_TRACE(int{type});
    MakeTable(type, 30, true);
    const std::size_t before = MemoFileBytes(type).size();
    USE(Path("t.dbf") + " EXCLUSIVE");
    GO(3);
    ASSERT_TRUE(Pack());
    EXPECT_EQ(RecCount(), 15);
    EXPECT_EQ(Int(1), 1);
    EXPECT_EQ(Lines(Reference()), "Memo 1 \xE4\xF6\xFC") << "the current record is reloaded";
    const std::string bytes = MemoFileBytes(type);
    EXPECT_LT(bytes.size(), before / 2);
    EXPECT_EQ(NextFree(type, bytes), Ceil(bytes.size(), 512));
    EXPECT_EQ(Stored(2, 1), "         1") << "the first memo moves to block 1";
    CloseAll();
    ExpectMemosMatchIds(type);
  }
}

TEST_F(MemoPackTest, PackingNoMemosLeavesAnEmptyFile) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, "");
  AddMemo("unreferenced");
  ASSERT_TRUE(Pack());
  const std::string bytes = MemoFileBytes(0x8B);
  EXPECT_EQ(bytes.size(), 24u);
  EXPECT_EQ(NextFree(0x8B, bytes), 1u);
}

TEST_F(MemoPackTest, ABlockOutsideTheFileAbortsThePackWithNothingChanged) {
  MakeTable(0xF5, 6, false);
  USE(Path("t.dbf") + " EXCLUSIVE");
  GO(4);
  PutStoredField(2, "  99999999");
  Replace();
  CloseAll();
  const std::string dbf = Bytes("t.dbf"), memo = MemoFileBytes(0xF5);
  USE(Path("t.dbf") + " EXCLUSIVE");
  EXPECT_EQ(ErrorOf([] { Pack(); }), "Error # 1003 (Invalid memo address)\r\n" + Path("t.fpt") +
                                         " Memo block # 99999999 Record # 4 [PackMemo]");
  CloseAll();
  EXPECT_EQ(Bytes("t.dbf"), dbf);
  EXPECT_EQ(MemoFileBytes(0xF5), memo);
  ExpectNoPackFiles();
}

TEST_F(MemoPackTest, ALengthPastTheEndIsCopiedToTheEndAndCorrected) {
  NewMemoTable(0x8B);
  AppendWithMemo(1, "first");
  AppendWithMemo(2, "last memo");
  CloseAll();
  std::string bytes = MemoFileBytes(0x8B);
  bytes[1024 + 5] = '\x10';  // states 4 KiB more than the file holds
  Put("t.dbt", bytes);
  USE(Path("t.dbf") + " EXCLUSIVE");
  ASSERT_TRUE(Pack());
  bytes = MemoFileBytes(0x8B);
  EXPECT_EQ(bytes.substr(1024), std::string("\xFF\xFF\x08\0\x11\0\0\0last memo", 17));
}

TEST_F(MemoPackTest, TooLittleFreeSpaceIsError1012) {
  MakeTable(0x83, 4, true);
  platform::Substitute<FileFaults, FileFaults> faults;
  faults->SetFreeBytes(static_cast<long double>(MemoFileBytes(0x83).size()));
  USE(Path("t.dbf") + " EXCLUSIVE");
  const std::string memo = MemoFileBytes(0x83);
  EXPECT_EQ(ErrorOf([] { Pack(); }),
            "Error # 1012 (Insufficient disk space to pack memo file)\r\n" + Path("t.dbt") +
                " [PackMemofile]");
  EXPECT_EQ(MemoFileBytes(0x83), memo);
}

// A full disk at each step of the pack, one run per step: before the rename that commits, table
// and memo file stay byte for byte; after it, the next open finishes the pack.
TEST_F(MemoPackTest, AFullDiskAtAnyStepLeavesTheOldFilesOrAFinishedPack) {
  for (std::uint8_t type : kTypes) {
    SCOPED_TRACE(int{type});
    MakeTable(type, 20, false);
    const std::string dbf = Bytes("t.dbf"), memo = MemoFileBytes(type);
    int before = 0, after = 0;
    for (std::uint64_t k = 1;; ++k) {
      Put("t.dbf", dbf);
      Put(MemoName(type), memo);
      USE(Path("t.dbf") + " EXCLUSIVE");
      std::string error;
      bool reached = false;
      {
        platform::Substitute<FileFaults, FileFaults> faults;
        faults->FailStep(k);
        error = ErrorOf([] { Pack(); });
        reached = faults->Steps() >= k;
      }
      CloseAll();
      if (!reached) break;
      // A folder sync that fails after the rename leaves the pack committed.
      if (error.empty()) continue;
      if (Bytes("t.dbf") == dbf && MemoFileBytes(type) == memo) {
        ++before;
        ExpectNoPackFiles();
      } else {
        ++after;
        ExpectMemosMatchIds(type);
      }
    }
    EXPECT_GT(before, 20);
    std::printf("PACK on a full disk, type %02X: %d steps before the commit, %d after\n", type,
                before, after);
    ExpectMemosMatchIds(type);
  }
}

// The pack of 200 records, every other one deleted, in a child process that the seam ends at
// its k-th write, sync or rename, for every k until the pack completes.
TEST_F(MemoPackTest, APackEndedAtAnyStepLeavesEveryRecordWithTheMemoOfItsId) {
  for (std::uint8_t type : kTypes) {
    SCOPED_TRACE(int{type});
    MakeTable(type, 200, true);
    const std::string dbf = Bytes("t.dbf"), memo = MemoFileBytes(type);
    std::uint64_t k = 1;
    for (;; ++k) {
      Put("t.dbf", dbf);
      Put(MemoName(type), memo);
      const int status = InChild([this, k] {
        USE(Path("t.dbf"));
        platform::Substitute<FileFaults, FileFaults> faults;
        faults->CrashAtStep(k);
        if (!Pack()) throw 1;
      });
      if (status == 0) break;
      ASSERT_EQ(status, FileFaults::kCrashStatus) << "step " << k;
      ExpectMemosMatchIds(type);
      if (HasFatalFailure()) return;
    }
    ExpectMemosMatchIds(type);
    USE(Path("t.dbf"));
    EXPECT_EQ(RecCount(), 100);
    CloseAll();
    std::printf("PACK crash test, type %02X: ended at each of %llu steps\n", type,
                static_cast<unsigned long long>(k - 1));
  }
}

TEST_F(MemoPackTest, AfterAPackOfASharedTableAnotherProcessCanUseIt) {
  MakeTable(0x8B, 10, true);
  USE(Path("t.dbf"));
  ASSERT_TRUE(Pack());
  EXPECT_EQ(InChild([this] {
              USE(Path("t.dbf"));
              GO(5);
              if (Lines(Reference()) != "Memo 9 \xE4\xF6\xFC") throw 2;
            }),
            0);
}

TEST_F(MemoPackTest, AnInterruptedPackIsFinishedOrUndoneAtTheNextOpen) {
  MakeTable(0x83, 6, true);
  const std::string dbf = Bytes("t.dbf"), memo = MemoFileBytes(0x83);
  Put("t.dbf.pack$", "partial copy");
  Put("t.dbt.packmemo$", "partial copy");
  ExpectMemosMatchIds(0x83);
  EXPECT_EQ(Bytes("t.dbf"), dbf) << "no marker: the pack never committed";
  EXPECT_EQ(MemoFileBytes(0x83), memo);
  std::uint64_t steps = 0;
  {
    USE(Path("t.dbf") + " EXCLUSIVE");
    platform::Substitute<FileFaults, FileFaults> faults;
    ASSERT_TRUE(Pack());
    steps = faults->Steps();
    CloseAll();
  }
  const std::string packedDbf = Bytes("t.dbf"), packedMemo = MemoFileBytes(0x83);
  // A pack ended between its two renames: the memo file is the packed one, the table not yet.
  for (std::uint64_t k = 1; k <= steps; ++k) {
    for (const char* name : kPackFiles) std::filesystem::remove(Path(name));
    Put("t.dbf", dbf);
    Put("t.dbt", memo);
    ASSERT_NE(InChild([this, k] {
                USE(Path("t.dbf") + " EXCLUSIVE");
                platform::Substitute<FileFaults, FileFaults> faults;
                faults->CrashAtStep(k);
                Pack();
              }),
              0);
    if (MemoFileBytes(0x83) == packedMemo && Bytes("t.dbf") == dbf) break;
  }
  ASSERT_TRUE(FileExists(Path("t.dbf.packed$")));
  ASSERT_TRUE(FileExists(Path("t.dbf.pack$")));
  ASSERT_EQ(MemoFileBytes(0x83), packedMemo);
  // Even an open that only reads finishes the swap.
  ForcedOpenMode = platform::kModeSharedRead;
  USE(Path("t.dbf"));
  CloseAll();
  ForcedOpenMode = 65535;
  EXPECT_EQ(Bytes("t.dbf"), packedDbf);
  ExpectMemosMatchIds(0x83);
  // A marker that is not the engine's is refused with its name, and nothing is renamed.
  Put("t.dbf", dbf);
  Put("t.dbt", memo);
  Put("t.dbf.pack$", packedDbf);
  Put("t.dbf.packed$", "KV6 PACK\n../elsewhere.dbt\n");
  EXPECT_EQ(ErrorOf([this] { USE(Path("t.dbf")); }).substr(0, 34),
            "Error # 30 (Device read fault)\r\nCa");
  EXPECT_EQ(Bytes("t.dbf"), dbf);
  EXPECT_EQ(Bytes("t.dbf.pack$"), packedDbf);
}

TEST_F(MemoPackTest, PackFileNamesFollowTheCaseOfTheTablesExtension) {
  MemoType = 0x8B;
  NewTable(Path("UP.DBF"), {Def("ID", 'N', 4), Def("NOTE", 'M', 10)});
  AppendWithMemo(1, "x");
  CloseAll();
  ASSERT_TRUE(std::filesystem::exists(Path("UP.DBT")));
  const std::string dbf = Bytes("UP.DBF"), memo = Bytes("UP.DBT");
  bool seen = false;
  for (std::uint64_t k = 1; k < 20 && !seen; ++k) {
    Put("UP.DBF", dbf);
    Put("UP.DBT", memo);
    InChild([this, k] {
      USE(Path("UP.DBF"));
      platform::Substitute<FileFaults, FileFaults> faults;
      faults->CrashAtStep(k);
      Pack();
    });
    seen = std::filesystem::exists(Path("UP.DBT.PACKMEMO$"));
    EXPECT_FALSE(std::filesystem::exists(Path("UP.DBT.packmemo$")));
  }
  EXPECT_TRUE(seen);
  USE(Path("UP.DBF"));
  CloseAll();
  EXPECT_FALSE(std::filesystem::exists(Path("UP.DBT.PACKMEMO$"))) << "the stale copy is gone";
}

}  // namespace
