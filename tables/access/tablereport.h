#pragma once
// A table of up to seven columns in the text report, in the form of the report's device:
// tab-separated cells for the spreadsheet device (6), an HTML table for the HTML device (7), and
// padded text between rule lines for the others. Texts are code page 850.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

constexpr std::size_t kTableReportColumns = 7;
constexpr std::size_t kTableReportCellLength = 60;

using TableReportTexts = std::array<std::string, kTableReportColumns>;
using TableReportWidths = std::array<std::int32_t, kTableReportColumns>;

struct TableReport {
  TableReportWidths widths{};  // a width of 0 ends the columns; column 1 is always written
  TableReportTexts cells;      // the current row
};

// Columns written: 1, then each next one while its width is not 0.
std::size_t TableReportColumnCount(const TableReportWidths& widths);
std::unique_ptr<TableReport> TableReportBegin(const TableReportTexts& titles,
                                              const TableReportWidths& widths);
void TableReportRow(TableReport& report, const TableReportTexts& texts);
void TableReportEnd(TableReport& report);
