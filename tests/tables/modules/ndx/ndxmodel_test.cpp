// Random appends, key-changing replaces, packs, walks and finds on a table with three
// indexes, checked against a model of the table's keys and by the structure checker, which
// holds every separator to its subtree's largest key.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tables/core/dbf4pack.h"
#include "tables/core/tztext.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/ndx/ndxbuild.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;

struct Row {
  std::string name;
  double qty = 0;
  int day = 1;
};

class IndexModel : public ndxtest::IndexTest {
 protected:
  std::mt19937 random_{20261207};
  std::vector<Row> rows_;  // record i at i - 1
  // Width of NAME: at 100 bytes a node holds four keys, so a thousand records make a deep tree.
  int nameWidth_ = 10;
  // The unique QTY index: a key is entered by the first record that brings it and leaves with
  // that record's key only.
  std::map<double, std::uint32_t> unique_;

  void RebuildUnique() {
    unique_.clear();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      unique_.emplace(rows_[i].qty, static_cast<std::uint32_t>(i + 1));
    }
  }

  Row RandomRow() {
    Row row;
    row.name = "K" + std::to_string(random_() % 400);
    row.qty = static_cast<double>(static_cast<int>(random_() % 200) - 100);
    row.day = static_cast<int>(random_() % 9);
    return row;
  }

  static std::string DateOf(int day) { return "2026010" + std::to_string(day + 1); }

  void Fill(const Row& row) {
    SetText(1, row.name);
    SetReal(2, row.qty);
    PutStoredField(3, DateOf(row.day));
  }

  void Open(int records) {
    CloseAll();
    NewTable(Path("m.dbf"),
             {Def("NAME", 'C', nameWidth_), Def("QTY", 'N', 10, 2), Def("BORN", 'D', 8)});
    for (int i = 0; i < records; ++i) {
      rows_.push_back(RandomRow());
      ClearRecord();
      Fill(rows_.back());
      Append();
    }
    MakeIndexExpr("NAME", Path("name.ndx"));
    MakeIndexExpr("QTY", Path("qty.ndx"));
    MakeIndexExpr("BORN", Path("born.ndx"));
    MakeIndexExpr("QTY", Path("uqty.ndx UNIQUE"));
    CloseAndSetIndexTo(Path("name.ndx") + " " + Path("qty.ndx") + " " + Path("born.ndx") + " " +
                       Path("uqty.ndx"));
    RebuildUnique();
  }

  std::string Key(const Row& row, int index) {
    std::string key(index == 0 ? static_cast<std::size_t>(nameWidth_) : 8, ' ');
    if (index == 0) {
      std::memcpy(key.data(), row.name.data(), row.name.size());
      return key;
    }
    const double value = index == 1 ? row.qty : DtosToJulianOf(row.day);
    StoreNdxDouble(value, reinterpret_cast<std::uint8_t*>(key.data()));
    return key;
  }

  static double DtosToJulianOf(int day);

  // With perl, the independent reader checks the files too.
  void CheckIndexes(const char* when, bool perl = false) {
    SCOPED_TRACE(when);
    const char* files[] = {"name.ndx", "qty.ndx", "born.ndx"};
    for (int index = 0; index < 3; ++index) {
      const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path(files[index]), true);
      ASSERT_EQ(report.problem, "") << files[index];
      std::vector<Entry> found = report.entries;
      std::vector<Entry> expected;
      for (std::size_t i = 0; i < rows_.size(); ++i) {
        expected.emplace_back(Key(rows_[i], index), static_cast<std::uint32_t>(i + 1));
      }
      std::sort(found.begin(), found.end());
      std::sort(expected.begin(), expected.end());
      ASSERT_EQ(found, expected) << files[index];
      if (perl && ndxtest::HavePerlReader()) {
        EXPECT_EQ(ndxtest::PerlDisagreement(Path(files[index]), expected, Path("list.txt")), "")
            << files[index];
      }
    }
    const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path("uqty.ndx"), true);
    ASSERT_EQ(report.problem, "") << "uqty.ndx";
    std::vector<Entry> expected;
    for (const auto& [qty, record] : unique_) {
      Row row;
      row.qty = qty;
      expected.emplace_back(Key(row, 1), record);
    }
    ASSERT_EQ(report.entries, expected) << "uqty.ndx";
  }

  // The table in index order through the core's moves: every visible record once, names
  // never falling.
  void CheckWalk() {
    GoTop();
    std::vector<int> seen;
    std::string previous;
    while (!dEOF()) {
      const std::string name = RTrim(FieldText(1));
      EXPECT_LE(previous, name);
      previous = name;
      seen.push_back(RecNo());
      SKIP(1);
    }
    std::vector<int> expected;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      expected.push_back(static_cast<int>(i + 1));
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, expected);
    GoBottom();
    std::vector<int> back;
    while (!dBOF()) {
      back.push_back(RecNo());
      SKIP(-1);
    }
    std::sort(back.begin(), back.end());
    EXPECT_EQ(back, expected);
  }

  void CheckFind() {
    const Row& row = rows_[random_() % rows_.size()];
    Find(row.name);
    bool any = false;
    for (const Row& r : rows_) any = any || r.name == row.name;
    if (!any) return;
    EXPECT_TRUE(FindFound) << row.name;
    EXPECT_EQ(RTrim(FieldText(1)), row.name);
    SetFindExact();
    Find(row.name);
    EXPECT_TRUE(FindFound) << row.name;
    EXPECT_EQ(RTrim(FieldText(1)), row.name) << "exactly, not one that only begins with it";
    ClearFindExact();
    Find("ZZ");
    EXPECT_FALSE(FindFound);
    EXPECT_TRUE(dEOF());
    EXPECT_EQ(RecNo(), RecCount() + 1);
  }

  void RandomStep() {
    const auto kind = random_() % 10;
    if (kind < 4 || rows_.empty()) {
      rows_.push_back(RandomRow());
      ClearRecord();
      Fill(rows_.back());
      Append();
      EXPECT_EQ(RecNo(), static_cast<int>(rows_.size()));
      unique_.emplace(rows_.back().qty, static_cast<std::uint32_t>(rows_.size()));
      return;
    }
    const int record = static_cast<int>(random_() % rows_.size()) + 1;
    GO(record);
    Row& row = rows_[static_cast<std::size_t>(record - 1)];
    const Row changed = RandomRow();
    row.name = changed.name;
    if (kind < 8 && changed.qty != row.qty) {
      const auto held = unique_.find(row.qty);
      if (held != unique_.end() && held->second == static_cast<std::uint32_t>(record)) {
        unique_.erase(held);
      }
      unique_.emplace(changed.qty, static_cast<std::uint32_t>(record));
      row.qty = changed.qty;
    }
    if (kind == 9) row.day = changed.day;
    Fill(row);
    Replace();
  }

  void Run(int records, int steps) {
    Open(records);
    CheckIndexes("opened");
    for (int step = 1; step <= steps; ++step) {
      RandomStep();
      if (step % 100 == 0) {
        CheckIndexes("steps");
        CheckFind();
      }
      if (step % 500 == 0) CheckWalk();
    }
    CheckIndexes("end", true);
    CheckWalk();
    std::set<int> gone;
    for (int i = 0; i < 20; ++i) {
      const int record = static_cast<int>(random_() % rows_.size()) + 1;
      GO(record);
      DeleteRec();
      gone.insert(record);
    }
    Pack();
    std::vector<Row> alive;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
      if (gone.count(static_cast<int>(i + 1)) == 0) alive.push_back(rows_[i]);
    }
    rows_ = alive;
    RebuildUnique();
    ASSERT_EQ(RecCount(), static_cast<int>(rows_.size()));
    CheckIndexes("packed", true);
    CheckWalk();
  }
};

double IndexModel::DtosToJulianOf(int day) {
  return DtosToJulian(DateOf(day));
}

TEST_F(IndexModel, AppendsAndReplacesKeepFourIndexesRightUnderTheDefaultCache) {
  Run(1000, 1500);
}

// Deleting a leaf's last key, where the leaf is the last child of an inner node, must reach
// the separators above that node too.
TEST_F(IndexModel, DeepIndexesOfLongKeysKeepEverySeparatorExact) {
  nameWidth_ = 100;
  Run(1000, 600);
}

TEST_F(IndexModel, ALargeTableKeepsItsIndexesRightToo) {
  Run(20000, 300);
}

TEST_F(IndexModel, AppendsAndReplacesKeepFourIndexesRightUnderAnEightNodeCache) {
  const std::size_t saved = NodeCacheBytes;
  NodeCacheBytes = 4096;
  Run(3000, 1500);
  NodeCacheBytes = saved;
}

}  // namespace
