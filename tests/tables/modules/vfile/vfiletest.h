#pragma once
// Shared fixture of the virtual-file tests: the engine with the virtual-file module started, a
// file of records NAME C(10), ID N(8,0) keyed on the name, and helpers over its list.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzerror.h"
#include "tables/modules/vfile/vfile.h"
#include "tables/modules/vfile/vfilelist.h"
#include "tables/modules/vfile/vfilesort.h"
#include "tests/tables/core/enginetest.h"

namespace vfiletest {

// Fails the key procedure's n-th call from now (0: never).
inline int keyFailsAtCall = 0;
// Refuses the module's n-th allocation from now (0: never).
inline int allocationRefusedAt = 0;

inline void NameKey(void*, std::string& key) {
  if (keyFailsAtCall > 0 && --keyFailsAtCall == 0) {
    dadav::ReportError(220, "Key refused [NameKey]");
    return;
  }
  std::string text;
  dadav::FieldAsText(1, text);
  key = text;
}

inline bool CountedRefusal() {
  return allocationRefusedAt > 0 && --allocationRefusedAt == 0;
}

struct Record {
  std::string name;
  std::int32_t id = 0;
  bool deleted = false;
  bool operator==(const Record&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Record& r) {
  return out << r.name << "#" << r.id << (r.deleted ? "*" : "");
}

class VFileTest : public enginetest::EngineTest {
 protected:
  static constexpr std::uint16_t kSize = 1 + 11 + 4;

  void SetUp() override {
    EngineTest::SetUp();
    dadav::VFileStart();
    keyFailsAtCall = 0;
    allocationRefusedAt = 0;
    dadav::VFileAllocationRefused = &CountedRefusal;
  }
  void TearDown() override {
    dadav::VFileAllocationRefused = nullptr;
    EngineTest::TearDown();
  }

  void Open(const std::string& options = "", bool keyed = true) {
    dadav::USE("NAMES VIRTUAL FILE" + options, buffer_, kSize);
    dadav::AddStru({enginetest::Def("name", 'c', 10), enginetest::Def("id", 'N', 8)});
    if (keyed) dadav::Set_VFileKey_To(&NameKey, nullptr);
  }

  void Fill(const std::string& name, std::int32_t id) {
    enginetest::SetText(1, name);
    std::memcpy(dadav::FieldAddress(2), &id, 4);
    buffer_[0] = 0;
  }

  void Add(const std::string& name, std::int32_t id = 0) {
    Fill(name, id);
    dadav::Append();
  }

  static Record FromBytes(const std::uint8_t* p) {
    Record r;
    r.deleted = p[0] != 0;
    r.name.assign(reinterpret_cast<const char*>(p + 2), p[1]);
    std::memcpy(&r.id, p + 12, 4);
    return r;
  }

  Record Current() const { return FromBytes(buffer_); }

  // The records in list order, read from the list itself so the position stays.
  static std::vector<Record> Records() {
    std::vector<Record> records;
    for (const dadav::VFileNode* node = dadav::ListOf(*dadav::Area()).head; node != nullptr;
         node = node->next)
      records.push_back(FromBytes(node->data));
    return records;
  }

  static std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const Record& r : Records()) names.push_back(r.name);
    return names;
  }

  // Code and message of the error call leaves, with reporting off.
  static std::pair<std::uint16_t, std::string> Failure(const std::function<void()>& call) {
    bool reporting = dadav::SetReportErrors(false);
    dadav::LastErrorCode = 0;
    dadav::LastErrorMessage.clear();
    call();
    dadav::SetReportErrors(reporting);
    return {dadav::LastErrorCode, dadav::TakeLastMessage()};
  }

  std::uint8_t buffer_[kSize] = {};
};

}  // namespace vfiletest
