#pragma once
// One damaged memo file run through every reader and writer of the memo module, as the fuzz
// target and the mutation test both do. The input is split into a memo file and up to 8 field
// references: byte 0 picks the layout (0x83, 0xF5, 0x8B), byte 1 the number of references, then
// one reference per line (the text a memo field stores), then the memo file. Each reference is
// read with GetMemo, the line reader and a blob with a seek to its end, appended to through the
// text device, and copied into a table of each layout; then the table is packed. Run returns
// what broke (an error code no memo operation gives), or "" when the input behaved.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files/newoutput.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/core/tznumber.h"
#include "tables/modules/memo/blob.h"
#include "tables/modules/memo/memocopy.h"
#include "tables/modules/memo/memodevice.h"
#include "tables/modules/memo/memolines.h"
#include "tables/modules/memo/memostart.h"
#include "tests/tables/core/enginetables.h"

namespace memoprobe {

constexpr std::uint8_t kLayouts[] = {0x83, 0xF5, 0x8B};
constexpr std::size_t kMaxReferences = 8;
constexpr int kMaxReads = 100000;

struct Input {
  std::uint8_t type = 0x8B;
  std::vector<std::string> references;
  std::string memoFile;
};

inline Input Split(const std::string& bytes) {
  Input input;
  if (bytes.size() < 2) {
    input.memoFile = bytes;
    return input;
  }
  input.type = kLayouts[static_cast<std::uint8_t>(bytes[0]) % 3];
  const std::size_t count = static_cast<std::uint8_t>(bytes[1]) % (kMaxReferences + 1);
  std::size_t at = 2;
  for (std::size_t i = 0; i < count && at < bytes.size(); ++i) {
    const std::size_t end = bytes.find('\n', at);
    const std::size_t stop = end == std::string::npos ? bytes.size() : end;
    input.references.push_back(bytes.substr(at, stop - at));
    at = stop + 1;
  }
  if (at < bytes.size()) input.memoFile = bytes.substr(at);
  return input;
}

// The codes memo operations report on a damaged file: read and write faults, I/O codes,
// invalid addresses, a full disk and failed memo writes.
inline bool ExpectedCode(std::uint16_t code) {
  for (const int expected : {0, 29, 30, 100, 101, 1003, 1004, 1005, 1012}) {
    if (code == expected) return true;
  }
  return false;
}

// Runs step; an engine error ends only that step. What broke, or "".
template <typename Step>
std::string Try(const char* what, Step step) {
  dadav::LastErrorCode = 0;
  try {
    step();
  } catch (const dadav::EDadavError&) {
  }
  if (ExpectedCode(dadav::LastErrorCode)) return {};
  return std::string(what) + " gave error " + std::to_string(dadav::LastErrorCode) + ": " +
         dadav::LastErrorMessage;
}

inline std::string TableOf(const std::string& dir, std::uint8_t type) {
  return dir + "/t" + std::to_string(type) + ".dbf";
}

// The table of the references in area 1 (its memo file the input's), a table of each layout in
// areas 2 to 4.
inline void MakeTables(const std::string& dir, const Input& input) {
  using enginetest::Def;
  const std::uint8_t saved = dadav::MemoType;
  for (const std::uint8_t type : kLayouts) {
    dadav::MemoType = type;
    dadav::CreateDBF(TableOf(dir, type), {Def("ID", 'N', 4), Def("NOTE", 'M', 10)});
  }
  dadav::MemoType = input.type;
  dadav::CreateDBF(dir + "/refs.dbf", {Def("ID", 'N', 4), Def("NOTE", 'M', 10)});
  dadav::MemoType = saved;
  dadav::USE(dir + "/refs.dbf EXCLUSIVE");
  for (const std::string& reference : input.references) {
    dadav::ClearRecord();
    dadav::Append();
    dadav::PutStoredField(2, reference.substr(0, 10));
    dadav::Replace();
  }
  dadav::CloseAll();
  const std::string memoName = dir + "/refs." + (input.type == 0xF5 ? "fpt" : "dbt");
  platform::NewOutput output;
  if (platform::OpenOutput(memoName, output) == 0)
    platform::WriteWholeOutput(output, input.memoFile, false);
}

inline void ReadEveryWay(std::int64_t block, std::string& broken) {
  using namespace dadav;
  broken += Try("GetMemo", [&] { GetMemo(block); });
  broken += Try("line reader", [&] {
    auto reader = AssignMemo(block);
    std::string line;
    for (int i = 0; reader && i < kMaxReads && reader->ReadLine(line); ++i) {
    }
  });
  broken += Try("blob", [&] {
    OpenBlob(true, block, kBlobRead);
    SeekBlob(0, 2);
    SeekBlob(0, 0);
    char buffer[4096];
    for (int i = 0; i < kMaxReads && ReadBlobStream(buffer, sizeof buffer, 0) > 0; ++i) {
    }
    CloseBlob();
  });
}

inline std::string Run(const std::string& dir, const std::string& bytes) {
  using namespace dadav;
  const Input input = Split(bytes);
  EngineStart({&MemoStart});
  SetExceptionMode(true);
  TableLanguageOem = true;
  std::string broken = Try("making the tables", [&] { MakeTables(dir, input); });
  broken += Try("USE", [&] {
    Select(1);
    USE(dir + "/refs.dbf");
    for (std::uint8_t area = 2; area <= 4; ++area) {
      Select(area);
      USE(TableOf(dir, kLayouts[area - 2]) + " EXCLUSIVE");
    }
  });
  for (const std::string& reference : input.references) {
    const std::int64_t block = ParseFieldInt(reference);
    Select(1);
    ReadEveryWay(block, broken);
    broken += Try("text device", [&] {
      std::int32_t native = static_cast<std::int32_t>(block);
      MemoTextDevice device(native);
      if (device.Append()) device.Write("appended\r\n");
      device.Close();
    });
    for (std::uint8_t area = 2; area <= 4; ++area) {
      Select(area);
      broken += Try("CopyMemo", [&] { CopyMemo(1, block, false); });
    }
  }
  Select(1);
  broken += Try("PACK", [] { Pack(); });
  for (std::int32_t record = 1; record <= static_cast<std::int32_t>(input.references.size());
       ++record) {
    broken += Try("reading after PACK", [&] {
      if (record > RecCount()) return;
      GO(record);
      std::int32_t block = 0;
      std::memcpy(&block, FieldAddress(2), 4);
      ReadEveryWay(block, broken);
    });
  }
  broken += Try("closing", [] { EngineExit(); });
  MemoLines.Clear();
  return broken;
}

}  // namespace memoprobe
