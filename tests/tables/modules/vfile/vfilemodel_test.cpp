// Random requests in every mode against a plain vector that says where each record must be,
// with allocations and key procedures failing now and then: nothing may be lost, and a failed
// request changes nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "tables/core/dbf4pack.h"
#include "tests/tables/modules/vfile/vfiletest.h"

namespace {

using vfiletest::allocationRefusedAt;
using vfiletest::keyFailsAtCall;
using vfiletest::Record;

struct Model {
  std::vector<Record> records;
  std::int32_t recNo = 0;
  std::uint8_t mode = 0;

  std::int32_t Count() const { return static_cast<std::int32_t>(records.size()); }
  bool Sorted() const { return mode == 3 || mode == 4; }
  bool Before(const std::string& a, const std::string& b) const {
    return mode == 3 ? a < b : b < a;
  }
  std::int32_t UpperBound(const std::string& key) const {
    std::int32_t at = 0;
    while (at < Count() && !Before(key, records[static_cast<std::size_t>(at)].name)) ++at;
    return at;
  }
  void InsertAt(std::int32_t at, const Record& r) {
    records.insert(records.begin() + at, r);
    recNo = at + 1;
  }
  void Append(const Record& r) {
    if (records.empty()) {
      InsertAt(0, r);
    } else if (mode == 0) {
      InsertAt(Count(), r);
    } else if (mode == 1) {
      InsertAt(0, r);
    } else if (mode == 2) {
      InsertAt(std::min(recNo, Count() + 1) - 1, r);
    } else {
      InsertAt(UpperBound(r.name), r);
    }
  }
  void Replace(const Record& r) {
    const std::size_t at = static_cast<std::size_t>(recNo - 1);
    if (!Sorted()) {
      records[at] = r;
      return;
    }
    records.erase(records.begin() + recNo - 1);
    const bool afterPrev = at == 0 || !Before(r.name, records[at - 1].name);
    const bool beforeNext = at == records.size() || !Before(records[at].name, r.name);
    InsertAt(afterPrev && beforeNext ? recNo - 1 : UpperBound(r.name), r);
  }
  void RemoveAt(std::int32_t n) {
    records.erase(records.begin() + n - 1);
    recNo = records.empty() ? 0 : std::min(n, Count());
  }
  bool AtEnd() const { return records.empty() || recNo > Count(); }
};

class VFileModelTest : public vfiletest::VFileTest {
 protected:
  void CheckLinks() {
    const dadav::VFileList& list = dadav::ListOf(*dadav::Area());
    std::int32_t count = 0;
    const dadav::VFileNode* last = nullptr;
    for (const dadav::VFileNode* node = list.head; node != nullptr; node = node->next) {
      ASSERT_EQ(node->prev, last);
      last = node;
      ++count;
    }
    ASSERT_EQ(list.tail, last);
    ASSERT_EQ(count, dadav::RecCount());
  }

  void Check(const Model& model, bool bufferIsCurrent, int step) {
    SCOPED_TRACE("step " + std::to_string(step) + " mode " + std::to_string(model.mode));
    CheckLinks();
    ASSERT_EQ(Records(), model.records);
    ASSERT_EQ(dadav::RecNo(), model.recNo);
    ASSERT_EQ(dadav::dEOF(), model.AtEnd());
    if (model.records.empty()) {
      ASSERT_TRUE(dadav::dBOF());
    }
    if (bufferIsCurrent && !model.AtEnd()) {
      ASSERT_EQ(Current(), model.records[static_cast<std::size_t>(model.recNo - 1)]);
    }
  }

  // Runs a request; when something was made to fail it may fail as a whole, else it must work.
  bool Run(const std::function<void()>& request, bool injected) {
    const std::uint16_t code = Failure(request).first;
    keyFailsAtCall = 0;
    allocationRefusedAt = 0;
    EXPECT_TRUE(code == 0 || injected) << code;
    return code == 0;
  }
};

TEST_F(VFileModelTest, RandomRequestsInEveryModeKeepEveryRecord) {
  std::mt19937 random(2024);
  auto chance = [&random](int in) {
    return std::uniform_int_distribution<int>(0, in - 1)(random) == 0;
  };
  auto pick = [&random](int from, int to) {
    return std::uniform_int_distribution<int>(from, to)(random);
  };
  static const char* kModes[] = {" FIFO", " LIFO", " INSERTION", " ASCENDING", " DESCENDING"};
  std::int32_t nextId = 1;
  for (std::uint8_t mode = 0; mode < 5; ++mode) {
    Open(kModes[mode]);
    Model model;
    model.mode = mode;
    for (int step = 0; step < 10000; ++step) {
      const Record fresh{
          std::string(1, static_cast<char>('a' + pick(0, 3))) + static_cast<char>('a' + pick(0, 3)),
          nextId++};
      bool injected = false;
      auto inject = [&](bool allocates, bool keys) {
        if (allocates && chance(8)) {
          allocationRefusedAt = pick(1, 2);
          injected = true;
        } else if (keys && chance(6)) {
          keyFailsAtCall = pick(1, 4);
          injected = true;
        }
      };
      const bool onRecord = model.recNo >= 1 && model.recNo <= model.Count();
      bool bufferIsCurrent = false;
      const int request = pick(0, 11);
      switch (request) {
        case 0:
        case 1:
        case 2:
          inject(true, model.Sorted() && model.Count() > 0);
          bufferIsCurrent = Run([&] { Add(fresh.name, fresh.id); }, injected);
          if (bufferIsCurrent) model.Append(fresh);
          break;
        case 3:
          if (!onRecord) break;
          inject(model.Sorted(), model.Sorted());
          Fill(fresh.name, fresh.id);
          bufferIsCurrent = Run([] { dadav::Replace(); }, injected);
          if (bufferIsCurrent) model.Replace(fresh);
          break;
        case 4:
        case 5:
          if (!onRecord) break;
          Run([request] { request == 4 ? dadav::DeleteRec() : dadav::RecallRec(); }, false);
          model.records[static_cast<std::size_t>(model.recNo - 1)].deleted = request == 4;
          break;
        case 6:
          if (model.Count() == 0) break;
          model.recNo = pick(1, model.Count());
          Run([&] { dadav::GO(model.recNo); }, false);
          bufferIsCurrent = true;
          break;
        case 7: {
          const std::uint16_t code = Failure([] { dadav::VFileRequest(*dadav::Area(), 6); }).first;
          ASSERT_EQ(code, model.records.empty() || mode == 2 ? 1100 : 0);
          if (code == 0) {
            ASSERT_EQ(Current(), model.records.front());
            model.RemoveAt(1);
          }
          break;
        }
        case 8:
          Run([] { dadav::SnipRec(); }, false);
          if (onRecord) model.RemoveAt(model.recNo);
          break;
        case 9:
          if (!chance(20)) break;
          Run([] { dadav::Pack(); }, false);
          std::erase_if(model.records, [](const Record& r) { return r.deleted; });
          model.recNo = model.records.empty() ? 0 : 1;
          bufferIsCurrent = true;
          break;
        case 10:
          if (model.AtEnd()) break;
          Run([] { dadav::SKIP(1); }, false);
          ++model.recNo;
          bufferIsCurrent = true;
          break;
        default:
          if (chance(100)) {
            Run([] { dadav::VFileRequest(*dadav::Area(), 12); }, false);
            model.records.clear();
            model.recNo = 0;
          } else if (model.Sorted()) {
            inject(true, true);
            bufferIsCurrent = Run([mode] { dadav::SortVFile(mode); }, injected);
            if (bufferIsCurrent && !model.records.empty()) model.recNo = 1;
          }
          break;
      }
      Check(model, bufferIsCurrent, step * 100 + request);
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
