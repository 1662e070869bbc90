// Random appends, replaces, deletes, packs, steps, jumps and locates on a table of several
// read-ahead blocks, checked against a plain model of its records: the record shown after every
// move, and the bytes on disk after every write, with the table exclusive and shared.
#include <algorithm>
#include <random>

#include "enginetest.h"
#include "tables/core/dbf4locate.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4pack.h"

namespace {

using namespace dadav;
using namespace enginetest;

// 38 bytes a record, so records straddle every 64 KiB edge of the file.
constexpr int kNameLength = 17;
constexpr int kRecordLength = 1 + kNameLength + 11 + 8 + 1;
constexpr int kFirstRecords = 4000;

struct ModelRecord {
  std::string name;
  std::int64_t count = 0;
  int day = 1;
  bool ok = false;
  bool deleted = false;
};

std::string Padded(const std::string& text) {
  return text + std::string(kNameLength - text.size(), ' ');
}

std::string DateText(int day) {
  return std::string("01/") + (day < 10 ? "0" : "") + std::to_string(day) + "/26";
}

// The record as the table stores it (texts in the DOS code page).
std::string StoredRecord(const ModelRecord& r) {
  std::string name = Padded(r.name);
  for (char& c : name) c = static_cast<char>(c == '\xE4' ? '\x84' : c);
  const std::string count = std::to_string(r.count);
  return std::string(1, r.deleted ? '*' : ' ') + name + std::string(11 - count.size(), ' ') +
         count + "202601" + (r.day < 10 ? "0" : "") + std::to_string(r.day) + (r.ok ? "T" : "F");
}

class RecordModel : public EngineTest {
 protected:
  std::mt19937 random_{32};
  std::vector<ModelRecord> model_;
  std::string path_;
  bool shared_ = false;

  int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

  ModelRecord RandomRecord() {
    ModelRecord r;
    r.name = "R" + std::to_string(random_() % 100000) + (Below(2) == 0 ? "\xE4" : "");
    r.count = static_cast<std::int64_t>(random_() % 2000000) - 1000000;
    r.day = 1 + Below(28);
    r.ok = Below(2) == 0;
    return r;
  }

  static void Fill(const ModelRecord& r) {
    SetText(1, r.name);
    SetInt64(2, r.count);
    SetText(3, DateText(r.day));
    SetLogical(4, r.ok);
  }

  // Writes go through area 2 when the table is shared, so that the reading area 1 sees them
  // only by reading the file again.
  template <typename Change>
  void Write(std::int32_t record, Change change) {
    if (shared_) Select(2);
    if (record > 0) GO(record);
    if (shared_) {
      ASSERT_TRUE(record > 0 ? RLock() : ALock());
    }
    change();
    if (shared_) {
      Unlock();
      Select(1);
    }
  }

  void Open(bool shared) {
    shared_ = shared;
    path_ = Path("model.dbf");
    CreateDBF(path_, {Def("NAME", 'C', kNameLength), Def("COUNT", 'N', 11), Def("BORN", 'D', 8),
                      Def("OK", 'L', 1)});
    USE(path_ + (shared ? "" : " EXCLUSIVE"));
    if (shared) {
      Select(2);
      USE(path_ + " ALIAS WRITER");
      Select(1);
    }
    for (int i = 0; i < kFirstRecords; ++i) AppendOne();
  }

  void AppendOne() {
    ModelRecord r = RandomRecord();
    Write(0, [&] {
      ClearRecord();
      Fill(r);
      Append();
    });
    model_.push_back(r);
  }

  // Replaces the whole record or, half the time, only its count: the fields nobody touched
  // must keep their values.
  void ReplaceOne(int record) {
    ModelRecord r = RandomRecord();
    const bool whole = Below(2) == 0;
    if (!whole) {
      const std::int64_t count = r.count;
      r = model_[record - 1];
      r.count = count;
    }
    r.deleted = model_[record - 1].deleted;
    Write(record, [&] {
      whole ? Fill(r) : SetInt64(2, r.count);
      Replace();
    });
    model_[record - 1] = r;
  }

  void FlipDeleted(int record) {
    const bool deleted = !model_[record - 1].deleted;
    Write(record, [&] { deleted ? DeleteRec() : RecallRec(); });
    model_[record - 1].deleted = deleted;
  }

  void PackAll() {
    ASSERT_TRUE(Pack());
    std::erase_if(model_, [](const ModelRecord& r) { return r.deleted; });
  }

  ::testing::AssertionResult ShowsModel() {
    const std::int32_t n = RecNo();
    if (n < 1 || n > static_cast<std::int32_t>(model_.size()))
      return ::testing::AssertionFailure() << "at record " << n;
    const ModelRecord& r = model_[static_cast<std::size_t>(n - 1)];
    std::int64_t count = 0;
    std::memcpy(&count, FieldAddress(2), 8);
    if (FieldText(1) != Padded(r.name) || count != r.count || FieldText(3) != DateText(r.day) ||
        (*FieldAddress(4) != 0) != r.ok || Deleted() != r.deleted)
      return ::testing::AssertionFailure()
             << "record " << n << " shows " << FieldText(1) << "|" << count << "|" << FieldText(3);
    return ::testing::AssertionSuccess();
  }

  ::testing::AssertionResult FileHoldsModel() {
    const std::vector<std::uint8_t> bytes = ReadBytes(path_);
    const std::size_t header = 32 * 5 + 1;
    for (std::size_t i = 0; i < model_.size(); ++i) {
      const std::size_t at = header + i * kRecordLength;
      if (bytes.size() < at + kRecordLength ||
          std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      bytes.begin() + static_cast<std::ptrdiff_t>(at + kRecordLength)) !=
              StoredRecord(model_[i]))
        return ::testing::AssertionFailure() << "record " << i + 1 << " on disk";
    }
    return ::testing::AssertionSuccess();
  }

  // Steps of `direction` from record `from`, each record checked, to the end or `steps` on.
  ::testing::AssertionResult Walk(int from, int direction, int steps) {
    GO(from);
    for (int i = 0; i < steps && !dEOF() && !dBOF(); ++i) {
      if (auto shown = ShowsModel(); !shown) return shown;
      SKIP(direction);
    }
    return ::testing::AssertionSuccess();
  }

  int RandomRecordNo() { return 1 + Below(static_cast<int>(model_.size())); }

  // Reads a stretch, changes a record inside it and reads the stretch again.
  void ChangeInsideARead() {
    const int from = RandomRecordNo();
    const int direction = Below(2) == 0 ? 1 : -1;
    ASSERT_TRUE(Walk(from, direction, 40));
    const int changed =
        std::clamp(from + direction * Below(40), 1, static_cast<int>(model_.size()));
    Below(3) == 0 ? FlipDeleted(changed) : ReplaceOne(changed);
    ASSERT_TRUE(FileHoldsModel());
    ASSERT_TRUE(Walk(from, direction, 40));
    GO(changed);
    ASSERT_TRUE(ShowsModel());
    ASSERT_TRUE(LocatesLikeTheModel());
  }

  // LOCATE of a name finds the first record whose name starts with it, or none.
  ::testing::AssertionResult LocatesLikeTheModel() {
    const std::string sought = model_[static_cast<std::size_t>(RandomRecordNo() - 1)].name;
    const auto first = std::find_if(model_.begin(), model_.end(), [&](const ModelRecord& r) {
      return Padded(r.name).compare(0, sought.size(), sought) == 0;
    });
    const bool found = LocateValue("NAME", LocateVariant{sought}, false, 1, false);
    if (!found || RecNo() != first - model_.begin() + 1)
      return ::testing::AssertionFailure() << sought << " found at " << RecNo();
    return ShowsModel();
  }

  void RunModel() {
    for (int round = 0; round < 120; ++round) {
      const int op = Below(10);
      if (op < 4) {
        ChangeInsideARead();
      } else if (op < 6) {
        ReplaceOne(RandomRecordNo());
      } else if (op < 7) {
        AppendOne();
        ASSERT_TRUE(FileHoldsModel());
      } else if (op < 9) {
        const int steps = 1 + Below(2500);
        ASSERT_TRUE(Walk(RandomRecordNo(), Below(2) == 0 ? 1 : -1, steps));
      } else if (!shared_ && Below(4) == 0) {
        PackAll();
        ASSERT_TRUE(FileHoldsModel());
      } else {
        FlipDeleted(RandomRecordNo());
      }
      GO(RandomRecordNo());
      ASSERT_TRUE(ShowsModel());
      if (HasFatalFailure()) return;
    }
    ASSERT_TRUE(FileHoldsModel());
    ASSERT_TRUE(Walk(1, 1, static_cast<int>(model_.size())));
    ASSERT_TRUE(Walk(static_cast<int>(model_.size()), -1, static_cast<int>(model_.size())));
    EXPECT_EQ(RecCount(), static_cast<std::int32_t>(model_.size()));
  }
};

TEST_F(RecordModel, ExclusiveTableFollowsTheModelAcrossReadAheadBlocks) {
  Open(false);
  RunModel();
}

TEST_F(RecordModel, SharedTableSeesEveryWriteOfAnotherArea) {
  Open(true);
  RunModel();
}

}  // namespace
