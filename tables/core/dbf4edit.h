#pragma once
// Field access by number over the native record, and record editing: append, replace,
// delete and recall, and direct reads and writes of one stored field.

#include <cstdint>
#include <string>
#include <string_view>

#include "tables/core/dbf4area.h"

namespace dadav {

extern std::string LogicalLetters;  // false, true

std::int32_t FieldCount();
char FieldType(std::int32_t n);
std::int32_t FieldLen(std::int32_t n);
std::int32_t FieldDec(std::int32_t n);
void Field(std::int32_t n, std::string& name);
std::int32_t FieldNo(const std::string& name);
// FieldAddress for any n and any area: a report and nullptr where there is no such field.
std::uint8_t* CheckedFieldAddress(std::int32_t n);
// The place of field n's value in the current native record (0: the deletion flag). A table's
// field is looked up here, as record loops ask for every field of every record.
inline std::uint8_t* FieldAddress(std::int32_t n) {
  WorkArea* area = Area();
  if (area != nullptr && n > 0 && static_cast<std::size_t>(n) <= area->nativeOffsets.size())
    return area->native + area->nativeOffsets[static_cast<std::size_t>(n - 1)];
  return CheckedFieldAddress(n);
}
void FieldAsText(std::int32_t n, std::string& text);
bool Deleted();

void ClearRecord();
// Sets field n of the current record from the text the table stores for it (a date as
// YYYYMMDD, a number as its digits). The record is written back with exactly that text while
// the field is left unchanged, so a date keeps its century.
void PutStoredField(std::int32_t n, std::string_view stored);
void Append();
void Replace();
void DeleteRec();
void RecallRec();
bool SetIgnoreDel(bool on);
void Peek(std::int32_t field, std::int32_t record, std::string& text);
void Poke(const std::string& text, std::int32_t field, std::int32_t record);

}  // namespace dadav
