#pragma once
// Tables and record fields of the table engine tests, without the test framework, so that the
// fuzz targets build their tables with the same pieces.

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"

namespace enginetest {

inline dadav::FieldDescriptor Def(const char* name, char type, int length, int decimals = 0) {
  dadav::FieldDescriptor f;
  f.name = name;
  f.type = type;
  f.length = static_cast<std::uint8_t>(length);
  f.decimals = static_cast<std::uint8_t>(decimals);
  return f;
}

// Creates the table, leaves it open exclusive, appends n records (fill sets record i, 1-based)
// and deletes the records in `deleted`.
inline void NewTable(const std::string& path, const std::vector<dadav::FieldDescriptor>& fields,
                     int n = 0, const std::function<void(int)>& fill = {},
                     const std::vector<int>& deleted = {}) {
  dadav::CreateDBF(path, fields);
  dadav::USE(path + " EXCLUSIVE");
  for (int i = 1; i <= n; ++i) {
    dadav::ClearRecord();
    if (fill) fill(i);
    dadav::Append();
  }
  for (int d : deleted) {
    dadav::GO(d);
    dadav::DeleteRec();
  }
}

inline void SetText(int field, const std::string& text) {
  std::uint8_t* p = dadav::FieldAddress(field);
  p[0] = static_cast<std::uint8_t>(text.size());
  std::memcpy(p + 1, text.data(), text.size());
}

inline void SetReal(int field, double value) {
  std::memcpy(dadav::FieldAddress(field), &value, 8);
}

inline void SetInt64(int field, std::int64_t value) {
  std::memcpy(dadav::FieldAddress(field), &value, 8);
}

inline void SetLogical(int field, bool value) {
  *dadav::FieldAddress(field) = value ? 1 : 0;
}

inline std::string FieldText(int field) {
  std::string text;
  dadav::FieldAsText(field, text);
  return text;
}

// The stored text of a field of a record of the current table.
inline std::string Stored(int field, int record) {
  std::string text;
  dadav::Peek(field, record, text);
  return text;
}

}  // namespace enginetest
