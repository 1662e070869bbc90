#include "tables/modules/ndx/ndxupdate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/tztext.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tests/support/smallfilesystem.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;

std::string Padded(const std::string& text, std::size_t length) {
  std::string key = text;
  key.resize(length, ' ');
  return key;
}

std::uint32_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
         std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

class IndexUpdate : public ndxtest::IndexTest {
 protected:
  // A table of NAME C(width) with the given names, indexed on NAME as order 1.
  void Indexed(const std::vector<std::string>& names, int width = 10) {
    NewTable(Path("u.dbf"), {Def("NAME", 'C', width), Def("QTY", 'N', 10, 2)},
             static_cast<int>(names.size()),
             [&names](int i) { SetText(1, names[static_cast<std::size_t>(i - 1)]); });
    IndexOnExpr("NAME", Path("u.ndx"));
  }

  // The entries of an index the engine keeps: every separator its subtree's largest key.
  std::vector<Entry> Entries(const char* file = "u.ndx") {
    const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path(file), true);
    EXPECT_EQ(report.problem, "") << file;
    return report.entries;
  }

  static std::vector<std::string> Names(int n, const char* prefix = "A") {
    std::vector<std::string> names;
    for (int i = 1; i <= n; ++i)
      names.push_back(prefix + std::string(i < 10 ? "0" : "") + std::to_string(i));
    return names;
  }

  void AppendName(const std::string& name) {
    ClearRecord();
    SetText(1, name);
    Append();
  }
};

TEST_F(IndexUpdate, AFullLeafSplitsThirteenToTwelveAndTheNewKeyJoinsItsHalf) {
  for (const char* added : {"A30", "A05"}) {
    SCOPED_TRACE(added);
    CloseAll();
    Indexed(Names(25));
    AppendName(added);
    const std::vector<std::uint8_t> bytes = ReadBytes(Path("u.ndx"));
    ASSERT_EQ(Word(bytes, 0), 3u) << "a new root above the two halves";
    EXPECT_EQ(Word(bytes, 4), 4u);
    const bool left = std::string(added) < "A14";
    EXPECT_EQ(bytes[512], left ? 14 : 13) << "the old node";
    EXPECT_EQ(bytes[1024], left ? 12 : 13) << "node 2, the old next free";
    const std::vector<Entry> entries = Entries();
    ASSERT_EQ(entries.size(), 26u);
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                               [](const Entry& a, const Entry& b) { return a.first < b.first; }));
  }
}

TEST_F(IndexUpdate, DeletingTheOnlyKeyLeavesAnEmptyRootAndTheFileLength) {
  Indexed({"ONLY"});
  const std::size_t length = ReadBytes(Path("u.ndx")).size();
  TargetRecord = 1;
  const std::string key = Padded("ONLY", 10);
  EXPECT_EQ(DeleteKey(reinterpret_cast<const std::uint8_t*>(key.data()), 1), 0);
  const std::vector<std::uint8_t> bytes = ReadBytes(Path("u.ndx"));
  EXPECT_EQ(bytes.size(), length);
  EXPECT_EQ(Word(bytes, 0), 1u);
  EXPECT_EQ(Word(bytes, 4), 2u);
  EXPECT_TRUE(std::all_of(bytes.begin() + 512, bytes.begin() + 1024,
                          [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(DeleteKey(reinterpret_cast<const std::uint8_t*>(key.data()), 1), -1);
}

TEST_F(IndexUpdate, AnInnerRootWithoutKeysGivesWayToItsChild) {
  Indexed(Names(26));
  ASSERT_EQ(Word(ReadBytes(Path("u.ndx")), 0), 3u);
  TargetRecord = 26;
  const std::string key = Padded("A26", 10);
  EXPECT_EQ(DeleteKey(reinterpret_cast<const std::uint8_t*>(key.data()), 1), 0);
  EXPECT_EQ(Word(ReadBytes(Path("u.ndx")), 0), 1u);
  EXPECT_EQ(Entries().size(), 25u);
}

// Four keys a node at key length 100: deleting keys in random order empties inner nodes down
// to their trailing child again and again; every key left must stay reachable.
TEST_F(IndexUpdate, RemovalsNeverLoseTheKeysUnderANodeLeftWithItsTrailingChild) {
  std::vector<std::string> names;
  for (int i = 1; i <= 150; ++i) names.push_back("K" + std::to_string(1000 + i * 7 % 150));
  Indexed(names, 100);
  std::vector<int> order(names.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i + 1);
  std::shuffle(order.begin(), order.end(), std::mt19937(17));
  std::vector<Entry> expected;
  for (std::size_t i = 0; i < names.size(); ++i) {
    expected.emplace_back(Padded(names[i], 100), static_cast<std::uint32_t>(i + 1));
  }
  for (int record : order) {
    TargetRecord = record;
    const std::string key = Padded(names[static_cast<std::size_t>(record - 1)], 100);
    ASSERT_EQ(DeleteKey(reinterpret_cast<const std::uint8_t*>(key.data()), 1), 0) << record;
    expected.erase(std::find(expected.begin(), expected.end(),
                             Entry(key, static_cast<std::uint32_t>(record))));
    std::vector<Entry> found = Entries();
    std::sort(found.begin(), found.end());
    std::vector<Entry> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    ASSERT_EQ(found, sorted) << "after removing record " << record;
    for (const Entry& left : expected) {
      SeekKey(reinterpret_cast<const std::uint8_t*>(left.first.data()));
      ASSERT_TRUE(FindFound) << "lost " << left.first.substr(0, 5);
    }
  }
}

// Four keys a node: record 20's A20 ends the fifth leaf, the trailing child of the first inner
// node, and record 21 holds A20 too, at the start of the sixth leaf. When A20 leaves the fifth
// leaf, the root's separator for the inner node must fall to A19, or a reader that descends by
// separators alone looks for A20 in the fifth leaf only.
TEST_F(IndexUpdate, ALargestKeyThatGoesTakesEverySeparatorAboveItsLeafAlong) {
  std::vector<std::string> names = Names(40);
  names[20] = "A20";
  Indexed(names, 100);
  ASSERT_EQ(ndxtest::CheckIndexFile(Path("u.ndx")).depth, 2) << "leaves under inner nodes";
  GO(20);
  SetText(1, "Z99");
  Replace();
  std::vector<Entry> expected;
  for (std::size_t i = 0; i < names.size(); ++i) {
    expected.emplace_back(Padded(i == 19 ? "Z99" : names[i], 100),
                          static_cast<std::uint32_t>(i + 1));
  }
  std::vector<Entry> found = Entries();
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
  if (ndxtest::HavePerlReader()) {
    EXPECT_EQ(ndxtest::PerlDisagreement(Path("u.ndx"), expected, Path("u.txt")), "");
  }
}

TEST_F(IndexUpdate, AFailedInsertTakesTheKeysOutOfTheLowerIndexesAgain) {
  NewTable(Path("u.dbf"), {Def("NAME", 'C', 10), Def("QTY", 'N', 10, 2)}, 5,
           [](int i) { SetText(1, "N" + std::to_string(i)); });
  MakeIndexExpr("NAME", Path("a.ndx"));
  MakeIndexExpr("QTY", Path("b.ndx"));
  MakeIndexExpr("UPPER(NAME)", Path("c.ndx"));
  CloseAndSetIndexTo(Path("a.ndx") + " " + Path("b.ndx") + " " + Path("c.ndx"));
  // The first change marks the indexes as in change; the appends after it write keys only.
  AppendName("N6");
  platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
  std::uint64_t before = faults->Writes();
  AppendName("N7");
  const std::uint64_t perAppend = faults->Writes() - before;
  ASSERT_GE(perAppend, 6u);
  // Each index writes its leaf and its anchor: the fifth index write is the third index's leaf.
  faults->FailWrite(perAppend - 6 + 5);
  EXPECT_THROW(AppendName("N8"), EDadavError);
  EXPECT_EQ(LastErrorCode, 101);
  EXPECT_EQ(RecCount(), 7) << "the record was taken back with its keys";
  for (const char* file : {"a.ndx", "b.ndx", "c.ndx"}) {
    const std::vector<Entry> entries = Entries(file);
    EXPECT_EQ(entries.size(), 7u) << file;
    for (const Entry& e : entries) EXPECT_NE(e.second, 8u) << file;
  }
}

// A table in the folder ("" or ending in "/") of 60 records under two indexes, a.ndx on NAME and
// b.ndx on QTY, that APPEND fails at each write in turn or on a file system that fills up.
class FailingAppend : public IndexUpdate {
 protected:
  void MakeTable(const std::string& folder) {
    CloseAll();
    folder_ = folder;
    NewTable(Path(folder + "u.dbf"),
             {Def("NAME", 'C', 10), Def("QTY", 'N', 10, 2), Def("NOTE", 'C', 200)}, 60, [](int i) {
               SetText(1, "N" + std::to_string(100 + i));
               SetReal(2, i);
             });
    MakeIndexExpr("NAME", Path(folder + "a.ndx"));
    MakeIndexExpr("QTY", Path(folder + "b.ndx"));
    CloseAll();
  }

  void Open(const std::string& mode) {
    USE(Path(folder_ + "u.dbf") + mode);
    CloseAndSetIndexTo(Path(folder_ + "a.ndx") + " " + Path(folder_ + "b.ndx"));
    ASSERT_TRUE(!mode.empty() || FLock());
  }

  // A record with the smallest keys, which go into the indexes' full first leaves; the error it
  // raised, empty when none.
  static std::string AppendFirst(int n) {
    try {
      ClearRecord();
      SetText(1, "A" + std::to_string(1000 + n));
      SetReal(2, -n);
      Append();
    } catch (const EDadavError& error) {
      return error.what();
    }
    return {};
  }

  // After the next exclusive open, which rebuilds an index a failure left marked, each index
  // holds one entry for each record of the table, whose header counts them all.
  void ExpectIndexesFindEveryRecord() {
    Open(" EXCLUSIVE");
    const auto records = static_cast<std::size_t>(RecCount());
    CloseAll();
    for (const char* index : {"a.ndx", "b.ndx"}) {
      const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path(folder_ + index));
      EXPECT_EQ(report.problem, "") << index;
      EXPECT_EQ(report.entries.size(), records) << index;
    }
  }

  std::vector<std::uint8_t> Table() const { return ReadBytes(Path(folder_ + "u.dbf")); }

  std::string folder_;
};

// The write that fails is each write of the APPEND in turn: the indexes' marks, the record, the
// header count of a shared table and the nodes of both indexes' splits. The table stays byte for
// byte as it was and the caller gets the error, also when the record itself was written.
TEST_F(FailingAppend, AWriteFailingAtAnyPointLeavesTheTableAsItWas) {
  for (const std::string mode : {" EXCLUSIVE", ""}) {
    SCOPED_TRACE(mode);
    int failed = 0;
    for (std::uint64_t k = 1;; ++k) {
      MakeTable("");
      const std::vector<std::uint8_t> old = Table();
      Open(mode);
      std::string error;
      {
        platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
        faults->FailWrite(k);
        error = AppendFirst(1);
      }
      CloseAll();
      if (error.empty()) break;
      ++failed;
      EXPECT_EQ(Table(), old) << "write " << k << ": " << error;
      ExpectIndexesFindEveryRecord();
      if (HasFailure()) return;
    }
    EXPECT_GE(failed, 8);
  }
}

// Appends until a small file system is full, from a little more room each time, so that the
// space runs out in the table or in either index: the failed APPEND leaves the table with the
// records that were acknowledged, no more, and indexes that find them all.
TEST_F(FailingAppend, AFileSystemThatFillsUpLeavesTheTableAsItWas) {
  SmallFileSystem small(Path("small"));
  if (!small.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  for (const std::string mode : {" EXCLUSIVE", ""}) {
    SCOPED_TRACE(mode);
    int inIndex = 0;
    for (std::uintmax_t free = 0; free <= 40960; free += 4096) {
      small.Empty();
      MakeTable("small/");
      Open(mode);
      small.LeaveFree(free);
      std::string error;
      int acknowledged = -1;
      while (error.empty()) error = AppendFirst(++acknowledged + 1);
      small.Empty();
      CloseAll();
      if (error.find(".ndx") != std::string::npos) ++inIndex;
      const std::uintmax_t records = 60u + static_cast<std::uintmax_t>(acknowledged);
      EXPECT_EQ(std::filesystem::file_size(Path("small/u.dbf")), 129 + records * 221 + 1)
          << free << " bytes free: " << error;
      ExpectIndexesFindEveryRecord();
      if (HasFailure()) return;
    }
    EXPECT_GT(inIndex, 0) << "no APPEND ran out of space in an index";
  }
}

TEST_F(IndexUpdate, InRecordOrderAppendAndReplaceStillKeepEveryIndex) {
  NewTable(Path("u.dbf"), {Def("NAME", 'C', 10), Def("QTY", 'N', 10, 2)}, 30,
           [](int i) { SetText(1, "N" + std::to_string(i)); });
  MakeIndexExpr("NAME", Path("a.ndx"));
  MakeIndexExpr("QTY", Path("b.ndx"));
  CloseAndSetIndexTo(Path("a.ndx") + " " + Path("b.ndx"));
  Set_Order_To(0);
  AppendName("AAA");
  GO(3);
  SetText(1, "ZZZ");
  SetReal(2, 99);
  Replace();
  GoTop();
  EXPECT_EQ(RecNo(), 1) << "record order";
  Set_Order_To(1);
  GoTop();
  EXPECT_EQ(RecNo(), 31);
  GoBottom();
  EXPECT_EQ(RecNo(), 3);
  Set_Order_To(2);
  GoBottom();
  EXPECT_EQ(RecNo(), 3);
  EXPECT_EQ(Entries("a.ndx").size(), 31u);
}

TEST_F(IndexUpdate, ClosingTheAreaInRecordOrderClosesItsIndexes) {
  Indexed(Names(3));
  Set_Order_To(0);
  CloseArea();
  EXPECT_FALSE(IndexActive());
  USE(Path("u.dbf"));
  SetIndexToNames(Path("u.ndx"), 1);
  EXPECT_EQ(CurrentOrder(), 1);
}

TEST_F(IndexUpdate, AChangedKeyIsFoundUnderItsNewKeyOnly) {
  Indexed(Names(60));
  Find("A01");
  ASSERT_TRUE(FindFound);
  SetText(1, "Z99");
  Replace();
  Find("A01");
  EXPECT_FALSE(FindFound);
  Find("Z99");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 1);
  SKIP(1);
  EXPECT_TRUE(dEOF()) << "the moved key is the last";
}

TEST_F(IndexUpdate, AUniqueIndexTakesADuplicateWithoutError) {
  NewTable(Path("u.dbf"), {Def("NAME", 'C', 10)}, 2, [](int i) { SetText(1, i == 1 ? "A" : "B"); });
  IndexOnExpr("NAME", Path("u.ndx UNIQUE"));
  AppendName("A");
  EXPECT_EQ(LastErrorCode, 0);
  EXPECT_EQ(Entries().size(), 2u);
}

}  // namespace
