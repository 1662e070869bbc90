#pragma once
// One sheet of the spreadsheet stand-in and its text as a flat OpenDocument spreadsheet
// (".fods"): a single XML file that the desktop's spreadsheet program opens, written by plain
// string code so that no library is needed.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// Cells addressed from (1, 1), each holding UTF-8 text; a cell that was given a value exists
// even when its text is empty.
class SheetCells {
 public:
  using Row = std::map<std::int32_t, std::string>;

  void Set(std::int32_t row, std::int32_t column, std::string utf8);
  bool Empty() const { return rows_.empty(); }
  const std::map<std::int32_t, Row>& Rows() const { return rows_; }

 private:
  std::map<std::int32_t, Row> rows_;
};

// A text that, trimmed of blanks, is an optional "-", at most 15 digits without a leading zero
// before another digit, and optionally one "." or "," followed by digits. Such a text becomes a
// number cell; "0815" and dates stay texts.
bool IsNumberText(std::string_view text);

// The whole document of one sheet.
std::string FodsDocument(const SheetCells& sheet);
