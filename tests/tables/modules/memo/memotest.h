#pragma once
// Shared fixture of the memo tests: the engine with the memo module started, tables of each memo
// type with an ID and a memo field, and the memo file's bytes.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/modules/memo/memofile.h"
#include "tables/modules/memo/memolines.h"
#include "tables/modules/memo/memostart.h"
#include "tests/tables/core/enginetest.h"
#include "tests/tables/core/inchild.h"

namespace memotest {

using namespace dadav;
using namespace enginetest;

constexpr std::uint8_t kTypes[] = {0x83, 0xF5, 0x8B};

inline std::string MemoExtOf(std::uint8_t type) {
  return type == 0xF5 ? "fpt" : "dbt";
}

class MemoTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    MemoStart();
    MemoType = 0x8B;
    MemoBlockSize = 512;
    // Stored bytes are the engine's unless a test asks for a DOS code-page table.
    TableLanguageOem = false;
  }
  void TearDown() override {
    EngineTest::TearDown();
    TableLanguageOem = true;
    MemoType = 0x8B;
    MemoBlockSize = 512;
    MemoWidthSwitch = false;
    MemoLines.Clear();
  }

  // Creates "<name>.dbf" of the memo type with ID N(4) and NOTE M, open exclusive.
  std::string NewMemoTable(std::uint8_t type, const std::string& name = "t",
                           std::uint16_t blockSize = 512) {
    MemoType = type;
    MemoBlockSize = blockSize;
    const std::string path = Path(name + ".dbf");
    NewTable(path, {Def("ID", 'N', 4), Def("NOTE", 'M', 10)});
    MemoType = 0x8B;
    MemoBlockSize = 512;
    return path;
  }

  std::string MemoName(std::uint8_t type, const std::string& name = "t") const {
    return name + "." + MemoExtOf(type);
  }
  std::string MemoFileBytes(std::uint8_t type, const std::string& name = "t") const {
    return Bytes(MemoName(type, name));
  }

  static std::int32_t Reference() {
    std::int32_t reference = 0;
    std::memcpy(&reference, FieldAddress(2), 4);
    return reference;
  }
  static void SetReference(std::int32_t reference) { std::memcpy(FieldAddress(2), &reference, 4); }

  // Appends a record with the ID and a new memo of the text.
  static void AppendWithMemo(int id, const std::string& text) {
    ClearRecord();
    SetInt(1, id);
    SetReference(MemoHooks.addMemo(text));
    Append();
  }

  static void SetInt(int field, std::int32_t value) { std::memcpy(FieldAddress(field), &value, 4); }
  static std::int32_t Int(int field) {
    std::int32_t value = 0;
    std::memcpy(&value, FieldAddress(field), 4);
    return value;
  }

  // The memo's logical lines (the line reader's view), joined with "|".
  static std::string Lines(std::int32_t reference) {
    auto reader = MemoHooks.assignMemo(reference);
    std::string all, line;
    for (bool first = true; reader && reader->ReadLine(line); first = false) {
      if (!first) all += "|";
      all += line;
    }
    return all;
  }

  // The four header bytes at offset, little- or big-endian.
  static std::uint32_t U32(const std::string& bytes, std::size_t offset, bool big = false) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(i)]);
      value |= static_cast<std::uint32_t>(byte) << (big ? 24 - 8 * i : 8 * i);
    }
    return value;
  }
  static std::uint32_t NextFree(std::uint8_t type, const std::string& bytes) {
    return U32(bytes, 0, type == 0xF5);
  }
  static std::uint32_t Ceil(std::size_t size, std::size_t blockSize) {
    return static_cast<std::uint32_t>((size + blockSize - 1) / blockSize);
  }

  // The error text an engine call raised in exception mode, empty when none.
  template <typename Call>
  static std::string ErrorOf(Call call) {
    try {
      call();
    } catch (const EDadavError& e) {
      return e.what();
    }
    return {};
  }
};

}  // namespace memotest
