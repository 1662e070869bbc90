// The in-change mark of an index: carried while the index changes, cleared when it is whole
// again; an index left marked is rebuilt when its table is opened exclusively and refused with a
// message to rebuild it otherwise, so that an index a program left half changed never answers.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4pack.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tests/tables/core/inchild.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;
using platform::FileFaults;

constexpr std::size_t kMarkOffset = 480;

std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const EDadavError& e) {
    return e.what();
  }
  return {};
}

class IndexMark : public ndxtest::IndexTest {
 protected:
  void SetUp() override {
    IndexTest::SetUp();
    NewTable(Path("k.dbf"), {Def("NAME", 'C', 10), Def("CODE", 'C', 6)}, 40, [](int i) {
      SetText(1, "N" + std::to_string(i * 7919 % 1000));
      SetText(2, "C" + std::to_string(i % 9));
    });
    MakeIndexExpr("NAME", Path("n.ndx"));
    MakeIndexExpr("CODE+NAME", Path("c.ndx"));
    CloseAll();
  }

  bool Marked(const std::string& index) {
    const std::vector<std::uint8_t> bytes = ReadBytes(Path(index));
    return bytes.size() >= kMarkOffset + 8 &&
           std::string(bytes.begin() + kMarkOffset, bytes.begin() + kMarkOffset + 8) == "INCHANGE";
  }

  void SetMark(const std::string& index) {
    std::vector<std::uint8_t> bytes = ReadBytes(Path(index));
    std::copy_n("INCHANGE", 8, bytes.begin() + kMarkOffset);
    WriteBytes(Path(index), bytes);
  }

  void Open(const std::string& mode) {
    USE(Path("k.dbf") + mode);
    CloseAndSetIndexTo(Path("n.ndx") + " " + Path("c.ndx"));
  }

  // Appends a record and changes record 3's keys: both indexes change.
  static void Change(int n) {
    ClearRecord();
    SetText(1, "A" + std::to_string(n));
    SetText(2, "X" + std::to_string(n % 4));
    Append();
    GO(3);
    SetText(1, "R" + std::to_string(n));
    SetText(2, "Y");
    Replace();
  }

  // Each index file holds exactly one entry for each record of the table, under its key.
  void ExpectIndexesFindEveryRecord() {
    USE(Path("k.dbf") + " EXCLUSIVE");
    std::vector<Entry> names, codes;
    for (int r = 1; r <= RecCount(); ++r) {
      names.emplace_back(Stored(1, r), r);
      codes.emplace_back(Stored(2, r) + Stored(1, r), r);
    }
    CloseAll();
    for (auto [index, expected] : {std::pair{"n.ndx", names}, std::pair{"c.ndx", codes}}) {
      ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path(index));
      EXPECT_EQ(report.problem, "") << index;
      std::sort(report.entries.begin(), report.entries.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(report.entries, expected) << index;
      EXPECT_FALSE(Marked(index)) << index;
    }
  }
};

TEST_F(IndexMark, AnExclusiveTableMarksItsIndexesFromTheFirstChangeUntilTheyClose) {
  Open(" EXCLUSIVE");
  GO(5);
  SKIP(3);
  EXPECT_FALSE(Marked("n.ndx") || Marked("c.ndx")) << "reading changes nothing";
  Change(1);
  EXPECT_TRUE(Marked("n.ndx") && Marked("c.ndx"));
  Change(2);
  EXPECT_TRUE(Marked("n.ndx") && Marked("c.ndx"));
  CloseAll();
  ExpectIndexesFindEveryRecord();
}

// Watches a close: at each write, whether both indexes still carry their marks, and whether a
// sync has run since the table's header counted every record.
class CloseWatch : public FileFaults {
 public:
  struct Seen {
    bool marked = false;
    bool tableSynced = false;
  };
  std::string table, names, codes;
  std::uint32_t records = 0;
  std::vector<Seen> writes;

  bool Marked() const { return MarkedFile(names) && MarkedFile(codes); }
  int WriteFault() override {
    writes.push_back({Marked(), tableSynced_});
    return FileFaults::WriteFault();
  }
  int SyncOrRenameFault() override {
    const std::vector<std::uint8_t> bytes = ReadBytes(table);
    tableSynced_ =
        tableSynced_ || (bytes.size() >= 8 && (bytes[4] | bytes[5] << 8 | bytes[6] << 16 |
                                               bytes[7] << 24) == static_cast<int>(records));
    return FileFaults::SyncOrRenameFault();
  }

 private:
  static bool MarkedFile(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return bytes.size() >= kMarkOffset + 8 &&
           std::equal(bytes.begin() + kMarkOffset, bytes.begin() + kMarkOffset + 8, "INCHANGE");
  }
  bool tableSynced_ = false;
};

// At the close of an exclusive table its records and header reach the disk before the marks of
// its indexes go, so that after a power cut an unmarked index never names a record the table
// lost: the write that clears the first mark comes after a sync of the whole table.
TEST_F(IndexMark, AnExclusiveCloseSyncsTheTableBeforeItClearsTheMarks) {
  Open(" EXCLUSIVE");
  Change(1);
  Change(2);
  std::vector<CloseWatch::Seen> writes;
  {
    platform::Substitute<FileFaults, CloseWatch> watch;
    watch->table = Path("k.dbf");
    watch->names = Path("n.ndx");
    watch->codes = Path("c.ndx");
    watch->records = static_cast<std::uint32_t>(RecCount());
    ASSERT_TRUE(watch->Marked());
    CloseAll();
    writes = watch->writes;
    writes.push_back({watch->Marked(), true});
  }
  int cleared = 0;
  for (std::size_t i = 0; i + 1 < writes.size(); ++i) {
    if (!writes[i].marked || writes[i + 1].marked) continue;
    ++cleared;
    EXPECT_TRUE(writes[i].tableSynced) << "write " << i;
  }
  EXPECT_EQ(cleared, 1);
  ExpectIndexesFindEveryRecord();
}

// A KeyMaker runs inside the change, so it sees what a crash at that moment would leave.
std::vector<bool> MarksSeen;
std::string MarkedPath;

void WatchingKeyMaker(void*, std::uint8_t, std::string& key) {
  const std::vector<std::uint8_t> bytes = ReadBytes(MarkedPath);
  MarksSeen.push_back(bytes.size() >= kMarkOffset + 8 &&
                      std::string(bytes.begin() + kMarkOffset, bytes.begin() + kMarkOffset + 8) ==
                          "INCHANGE");
  key = FieldText(1);
}

TEST_F(IndexMark, ASharedTableMarksItsIndexesAroundEachChange) {
  USE(Path("k.dbf") + " EXCLUSIVE");
  MakeIndexCB(Path("w.ndx"), &WatchingKeyMaker, nullptr);
  CloseAll();
  MarkedPath = Path("w.ndx");
  USE(Path("k.dbf"));
  SetIndexToCB(Path("w.ndx"), 1, &WatchingKeyMaker, nullptr);
  ASSERT_TRUE(FLock());
  MarksSeen.clear();
  for (int n = 1; n <= 3; ++n) {
    ClearRecord();
    SetText(1, "S" + std::to_string(n));
    Append();
    EXPECT_FALSE(Marked("w.ndx")) << "cleared once the change is done";
  }
  ASSERT_FALSE(MarksSeen.empty());
  EXPECT_EQ(std::count(MarksSeen.begin(), MarksSeen.end(), false), 0);
  CloseAll();
}

TEST_F(IndexMark, AMarkedIndexIsRebuiltFromItsOwnKeyWhenItsTableIsOpenedExclusively) {
  USE(Path("k.dbf") + " EXCLUSIVE");
  MakeIndexCB(Path("u.ndx UNIQUE"), &WatchingKeyMaker, nullptr);
  // Records the indexes never saw.
  for (int n = 1; n <= 5; ++n) {
    ClearRecord();
    SetText(1, "Z" + std::to_string(n));
    SetText(2, "C1");
    Append();
  }
  CloseAll();
  for (const char* index : {"n.ndx", "c.ndx", "u.ndx"}) SetMark(index);
  MarkedPath = Path("u.ndx");
  USE(Path("k.dbf") + " EXCLUSIVE");
  SetIndexToCB(Path("u.ndx"), 1, &WatchingKeyMaker, nullptr);
  IndexInfoRecord info;
  IndexInfo(info, Path("u.ndx"));
  EXPECT_TRUE(info.unique);
  Find("Z3");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 43);
  CloseAll();
  EXPECT_FALSE(Marked("u.ndx"));
  Open(" EXCLUSIVE");
  EXPECT_FALSE(Marked("n.ndx") || Marked("c.ndx")) << "rebuilt at the open";
  Find("Z5");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 45);
  CloseAll();
  ExpectIndexesFindEveryRecord();
}

TEST_F(IndexMark, AMarkedIndexOfASharedTableIsRefusedWithAMessageToRebuildIt) {
  SetMark("c.ndx");
  const std::vector<std::uint8_t> before = ReadBytes(Path("c.ndx"));
  USE(Path("k.dbf"));
  const std::string error = ErrorOf([this] { SetIndexTo(Path("c.ndx"), 1, nullptr, nullptr); });
  EXPECT_EQ(LastErrorCode, 222);
  EXPECT_NE(error.find(Path("c.ndx")), std::string::npos) << error;
  EXPECT_NE(error.find("must be rebuilt (REINDEX). The rebuild needs the table closed in every "
                       "other program."),
            std::string::npos)
      << error;
  EXPECT_EQ(ReadBytes(Path("c.ndx")), before);
  IndexOnExpr("CODE+NAME", Path("c.ndx"));
  EXPECT_FALSE(Marked("c.ndx"));
  CloseAll();
  ExpectIndexesFindEveryRecord();
}

TEST_F(IndexMark, ASharedWriterRefusesAnIndexItFindsMarkedWhenItTakesTheLock) {
  Open("");
  ASSERT_TRUE(FLock());
  Change(1);
  const std::int32_t records = RecCount();
  const std::string name = Stored(1, 3);
  SetMark("c.ndx");
  std::string error = ErrorOf([] { Change(2); });
  EXPECT_EQ(LastErrorCode, 222);
  EXPECT_NE(error.find(Path("c.ndx")), std::string::npos) << error;
  EXPECT_NE(error.find("must be rebuilt (REINDEX)"), std::string::npos) << error;
  EXPECT_EQ(RecCount(), records) << "nothing is appended";
  GO(3);
  SetText(1, "REFUSED");
  error = ErrorOf([] { Replace(); });
  EXPECT_EQ(LastErrorCode, 222) << error;
  EXPECT_EQ(Stored(1, 3), name) << "nothing is replaced";
  EXPECT_FALSE(Marked("n.ndx")) << "the mark of the other index is taken back";
  CloseAll();
}

// With error reporting off a change goes on after an error it meets: one whose mark cannot be
// written, or written but not synced, must still change nothing, and the close leaves no mark.
TEST_F(IndexMark, AChangeWhoseMarkCannotBeWrittenChangesNothing) {
  for (const bool failSync : {false, true}) {
    SCOPED_TRACE(failSync ? "sync" : "write");
    Open(" EXCLUSIVE");
    const std::int32_t records = RecCount();
    const std::string name = Stored(1, 3);
    const bool reporting = SetReportErrors(false);
    {
      platform::Substitute<FileFaults, FileFaults> faults;
      // The mark's write is a step of its own; its sync is the step after it.
      const auto failNext = [&faults, failSync] {
        failSync ? faults->FailStep(2) : faults->FailWrite(1);
      };
      failNext();
      ClearRecord();
      SetText(1, "NEW");
      Append();
      EXPECT_EQ(LastErrorCode, 101);
      EXPECT_EQ(RecCount(), records);
      failNext();
      GO(3);
      SetText(1, "CHANGED");
      Replace();
      EXPECT_EQ(LastErrorCode, 101);
      EXPECT_EQ(Stored(1, 3), name);
    }
    SetReportErrors(reporting);
    CloseAll();
    ExpectIndexesFindEveryRecord();
  }
}

// A key that cannot be written after the record was: the record is taken back, and the indexes,
// which may have taken its key in part, stay marked and the next open rebuilds them.
TEST_F(IndexMark, IndexesAChangeLeftWithoutTheirKeysStayMarkedForTheNextOpen) {
  Open(" EXCLUSIVE");
  Change(1);
  {
    platform::Substitute<FileFaults, FileFaults> faults;
    // The record, then each index's leaf and anchor: the second index's leaf fails.
    faults->FailWrite(4);
    ClearRecord();
    SetText(1, "LOST");
    EXPECT_THROW(Append(), EDadavError);
  }
  CloseAll();
  EXPECT_TRUE(Marked("n.ndx") && Marked("c.ndx"));
  Open(" EXCLUSIVE");
  Find("LOST");
  EXPECT_FALSE(FindFound) << "rebuilt without the record taken back";
  CloseAll();
  ExpectIndexesFindEveryRecord();
}

// Ends the build at its k-th write or sync, for every k: the next exclusive open rebuilds what
// the build left, or finds no index at all to open.
TEST_F(IndexMark, AnIndexBuildEndedAtAnyStepIsRebuiltAtTheNextExclusiveOpen) {
  int ended = 0;
  for (std::uint64_t k = 1;; ++k) {
    std::filesystem::remove(Path("n.ndx"));
    const int status = InChild([this, k] {
      USE(Path("k.dbf") + " EXCLUSIVE");
      platform::Substitute<FileFaults, FileFaults> faults;
      faults->CrashAtStep(k);
      MakeIndexExpr("NAME", Path("n.ndx"));
      CloseAll();
    });
    if (status == 0) break;
    ASSERT_EQ(status, FileFaults::kCrashStatus) << k;
    ++ended;
    USE(Path("k.dbf") + " EXCLUSIVE");
    if (!std::filesystem::exists(Path("n.ndx"))) {
      EXPECT_EQ(ErrorOf([this] { SetIndexTo(Path("n.ndx"), 1, nullptr, nullptr); }).empty(), false);
      CloseAll();
      continue;
    }
    SetIndexTo(Path("n.ndx"), 1, nullptr, nullptr);
    SetIndexTo(Path("c.ndx"), 2, nullptr, nullptr);
    CloseAll();
    ExpectIndexesFindEveryRecord();
    if (HasFailure()) return;
  }
  EXPECT_GE(ended, 2);
}

// Rebuilds an index in a child ended at its k-th write or sync, for every k: the file is
// never emptied or removed unmarked, so the next open rebuilds it (exclusive) or refuses it
// with the message to rebuild it (shared).
TEST_F(IndexMark, ARebuildEndedAtAnyStepLeavesAnIndexThatIsRebuiltOrRefused) {
  for (const std::string mode : {" EXCLUSIVE", ""}) {
    SCOPED_TRACE(mode);
    int ended = 0;
    for (std::uint64_t k = 1;; ++k) {
      const int status = InChild([this, k, mode] {
        USE(Path("k.dbf") + mode);
        platform::Substitute<FileFaults, FileFaults> faults;
        faults->CrashAtStep(k);
        MakeIndexExpr("NAME", Path("n.ndx"));
        CloseAll();
      });
      if (status == 0) break;
      ASSERT_EQ(status, FileFaults::kCrashStatus) << k;
      ++ended;
      USE(Path("k.dbf") + mode);
      const std::string error = ErrorOf([this] { SetIndexTo(Path("n.ndx"), 1, nullptr, nullptr); });
      if (!error.empty()) {
        ASSERT_TRUE(mode.empty()) << k << ": " << error;
        ASSERT_NE(error.find("must be rebuilt (REINDEX)"), std::string::npos) << error;
        MakeIndexExpr("NAME", Path("n.ndx"));
      }
      CloseAll();
      ExpectIndexesFindEveryRecord();
      if (HasFailure()) return;
    }
    EXPECT_GE(ended, 2);
  }
}

// PACK marks the indexes before it puts the packed table in place and rebuilds them after: a
// pack ended at any step leaves indexes that are rebuilt at the next open, never ones that
// still point at the records as they stood before.
TEST_F(IndexMark, APackEndedAtAnyStepLeavesIndexesThatFindEveryRecord) {
  Open(" EXCLUSIVE");
  for (int r : {2, 3, 5, 8, 13, 21, 34}) {
    GO(r);
    DeleteRec();
  }
  CloseAll();
  const std::vector<std::uint8_t> table = ReadBytes(Path("k.dbf"));
  const std::vector<std::uint8_t> names = ReadBytes(Path("n.ndx"));
  const std::vector<std::uint8_t> codes = ReadBytes(Path("c.ndx"));
  int ended = 0;
  for (std::uint64_t k = 1;; ++k) {
    WriteBytes(Path("k.dbf"), table);
    WriteBytes(Path("n.ndx"), names);
    WriteBytes(Path("c.ndx"), codes);
    const int status = InChild([this, k] {
      Open(" EXCLUSIVE");
      platform::Substitute<FileFaults, FileFaults> faults;
      faults->CrashAtStep(k);
      if (!Pack()) throw 1;
      CloseAll();
    });
    if (status == 0) break;
    ASSERT_EQ(status, FileFaults::kCrashStatus) << k;
    ++ended;
    Open(" EXCLUSIVE");
    const std::int32_t records = RecCount();
    EXPECT_TRUE(records == 40 || records == 33) << k << ": " << records;
    CloseAll();
    ExpectIndexesFindEveryRecord();
    if (HasFailure()) return;
  }
  EXPECT_GE(ended, 5);
}

// Appends and replaces in a child ended at its k-th write or sync, for every k until the
// changes complete: the next open finds every record under its key in both indexes, having
// rebuilt (exclusive) or refused (shared, then rebuilt by the test) an index left marked.
TEST_F(IndexMark, ChangesEndedAtAnyStepLeaveIndexesThatFindEveryRecord) {
  for (const std::string mode : {" EXCLUSIVE", ""}) {
    SCOPED_TRACE(mode);
    int ended = 0, refused = 0;
    for (std::uint64_t k = 1;; ++k) {
      const int status = InChild([this, k, mode] {
        Open(mode);
        if (mode.empty() && !FLock()) throw 1;
        platform::Substitute<FileFaults, FileFaults> faults;
        faults->CrashAtStep(k);
        Change(static_cast<int>(k));
        Change(static_cast<int>(k + 1000));
        CloseAll();
      });
      if (status == 0) break;
      ASSERT_EQ(status, FileFaults::kCrashStatus) << k;
      ++ended;
      USE(Path("k.dbf") + mode);
      for (auto [index, key] : {std::pair{"n.ndx", "NAME"}, std::pair{"c.ndx", "CODE+NAME"}}) {
        if (ErrorOf([this, index] { SetIndexTo(Path(index), 1, nullptr, nullptr); }).empty())
          continue;
        ASSERT_EQ(LastErrorCode, 222) << k;
        ASSERT_TRUE(mode.empty()) << "an exclusive open rebuilds";
        ++refused;
        MakeIndexExpr(key, Path(index));
      }
      CloseAll();
      ExpectIndexesFindEveryRecord();
      if (HasFailure()) return;
    }
    EXPECT_GE(ended, 10);
    if (mode.empty()) {
      EXPECT_GT(refused, 0);
    }
  }
}

}  // namespace
