// A ruled text table of up to seven columns, drawn row by row into the open CAD output: every row
// goes to the target the moment it is added, and earlier rows are not kept. Lines are on layer 17,
// texts on layer 18; column widths count characters of the table's text height.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using TableWidths = std::array<long double, 7>;
using TableTexts = std::array<std::string, 7>;
using TableRows = std::vector<TableTexts>;

class TAusTabelle {
 public:
  // Draws the heading box at (x, y) and, unless every heading is empty, the headings. Columns end
  // at the first width of 0; any later widths are ignored.
  TAusTabelle(long double x, long double y, long double h, const TableWidths& widths,
              const TableTexts& headings);
  virtual ~TAusTabelle() = default;
  TAusTabelle(const TAusTabelle&) = delete;
  TAusTabelle& operator=(const TAusTabelle&) = delete;

  // Draws one row under the previous one.
  void AddRow(const TableTexts& texts);
  void AddRow3(const std::string& t1, const std::string& t2, const std::string& t3);
  void AddRow4(const std::string& t1, const std::string& t2, const std::string& t3,
               const std::string& t4);
  void AddRow5(const std::string& t1, const std::string& t2, const std::string& t3,
               const std::string& t4, const std::string& t5);
  // Draws the current texts, each behind one blank, and moves down one row.
  void DrawRowTexts();
  // The index of the right edge among the boundaries 1..8: columns 1..r-1 are in use.
  std::int32_t LastBoundary() const;

  bool Rules = true;       // a horizontal rule under each row
  bool Separators = true;  // every column separator in data rows, not only the outer edges
  bool Capitalise = true;  // a first-column text of more than 8 characters starts upper-case

 private:
  std::array<long double, 9> x_{};  // boundaries 1..8
  long double row_bottom_;
  long double baseline_;
  TableTexts texts_;
  long double pitch_;
  std::int32_t last_;
};

// The height of a table of that many rows, its heading row included, in text height h.
long double TableHeight(std::int32_t rows, long double h);
// The width of a table of these columns in text height h.
long double TableWidth(const TableWidths& widths, long double h);
// The widths that hold every text whole, its leading blank included, at any text height: each
// column at least its given width and as wide as its longest text, measured as the CAD output
// measures texts. A heading may run on over the columns after it whose headings are empty, as
// the heading row has no inner separators. Columns end at the first width of 0, as in a table.
TableWidths WidthsToFit(const TableWidths& least, const TableTexts& headings,
                        const TableRows& rows);
// A whole table at once, its columns as WidthsToFit makes them.
void DrawTextTable(long double x, long double y, long double h, const TableWidths& least,
                   const TableTexts& headings, const TableRows& rows);

// The message list as a one-column table at (x, y): the first message as its heading, one row
// for each further message; nothing when the list is empty. h 0 means 2, w 0 means 42; with more
// than one message and max_height above 0.1 the height shrinks so that all rows fit max_height.
void DrawMessageTable(long double x, long double y, long double h, long double w,
                      long double max_height);
