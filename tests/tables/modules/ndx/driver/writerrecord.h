#pragma once
// The records of the table the kill test's writer changes: every value follows from the
// record's ID and version, so that a record read back after a kill shows whether it is whole.

#include <cstdint>
#include <string>
#include <vector>

#include "tables/core/tzdbflow.h"
#include "tables/core/tznumber.h"
#include "tests/tables/core/enginetables.h"

namespace writertest {

constexpr const char* kTable = "w.dbf";
// The two indexes and their keys.
constexpr const char* kNameIndex = "wn.ndx";
constexpr const char* kQtyIndex = "wq.ndx";
constexpr const char* kNameKey = "NAME";
constexpr const char* kQtyKey = "QTY";

// ID, VER, NAME, QTY, DAY, OK, NOTE.
inline std::vector<dadav::FieldDescriptor> Fields() {
  using enginetest::Def;
  return {Def("ID", 'N', 8),  Def("VER", 'N', 6), Def("NAME", 'C', 12), Def("QTY", 'N', 10, 2),
          Def("DAY", 'D', 8), Def("OK", 'L', 1),  Def("NOTE", 'M', 10)};
}

struct RecordValues {
  // The stored texts of fields 1 to 6.
  std::vector<std::string> stored;
  double qty = 0;
  std::string memo;
};

inline RecordValues ValuesOf(std::int64_t id, std::int64_t ver) {
  RecordValues v;
  v.qty = static_cast<double>((id * 37 + ver * 11) % 4000) / 4.0 - 300;
  std::string name = "K" + std::to_string((id * 7919 + ver * 104729) % 100000);
  name.resize(12, ' ');
  const std::int64_t year = 2000 + (id + ver) % 30;
  const std::int64_t month = 1 + id % 12;
  const std::int64_t day = 1 + ver % 28;
  const std::string date = std::to_string(year) + (month < 10 ? "0" : "") + std::to_string(month) +
                           (day < 10 ? "0" : "") + std::to_string(day);
  v.stored = {dadav::FormatFieldInt(id, 8),
              dadav::FormatFieldInt(ver, 6),
              name,
              dadav::FormatFieldReal(v.qty, 10, 2),
              date,
              (id + ver) % 2 != 0 ? "T" : "F"};
  // Never ending in a blank, which the memo's line reader drops.
  v.memo = "memo " + std::to_string(id) + "/" + std::to_string(ver) + ":" +
           std::string(static_cast<std::size_t>((id * 13 + ver * 101) % 700), 'x');
  return v;
}

}  // namespace writertest
