// The table report's head, rows and end for each kind of report device.

#include "tables/access/tablereport.h"

#include "base/report/textreport.h"
#include "base/text/utilstr.h"

namespace {

constexpr std::uint16_t kSpreadsheetDevice = 6;

std::string Tab(const std::string& text) {
  return "\t" + text;
}

// The cells of one line as the device wants them; first and further cells may differ on HTML.
template <class First, class Further>
void WriteCells(const TableReport& report, const TableReportTexts& texts, First first,
                Further further) {
  first(texts[0], report.widths[0]);
  const std::size_t columns = TableReportColumnCount(report.widths);
  for (std::size_t i = 1; i < columns; ++i) further(texts[i], report.widths[i]);
}

}  // namespace

std::size_t TableReportColumnCount(const TableReportWidths& widths) {
  std::size_t columns = 1;
  while (columns < kTableReportColumns && widths[columns] != 0) ++columns;
  return columns;
}

std::unique_ptr<TableReport> TableReportBegin(const TableReportTexts& titles,
                                              const TableReportWidths& widths) {
  auto report = std::make_unique<TableReport>();
  report->widths = widths;
  const std::uint16_t device = ReportDevice();
  if (device == kSpreadsheetDevice) {
    WriteCells(
        *report, titles, [](const std::string& t, std::int32_t) { ReportText(t); },
        [](const std::string& t, std::int32_t) { ReportWriteText(Tab(t)); });
    ReportWrite("");
  } else if (IsHtmlDevice(device)) {
    ReportWrite("<TABLE BORDER = \"1\" WIDTH= \"100%\">");
    WriteCells(
        *report, titles,
        [](const std::string& t, std::int32_t) {
          ReportWriteText("<TR><TD><CENTER>" + HtmlEscape(t) + "</CENTER></TD>");
        },
        [](const std::string& t, std::int32_t) {
          ReportWriteText("<TD><CENTER>" + HtmlEscape(t) + "</CENTER></TD>");
        });
    ReportWrite("</TR>");
  } else {
    ReportLine(RuleDouble());
    WriteCells(
        *report, titles, [](const std::string& t, std::int32_t w) { ReportText(TextLeft(t, w)); },
        [](const std::string& t, std::int32_t w) { ReportWriteText(TextLeft(t, w)); });
    ReportWrite("");
    ReportLine(RuleDouble());
  }
  return report;
}

void TableReportRow(TableReport& report, const TableReportTexts& texts) {
  for (std::size_t i = 0; i < kTableReportColumns; ++i) {
    report.cells[i] = texts[i].substr(0, kTableReportCellLength);
  }
  const std::uint16_t device = ReportDevice();
  if (device == kSpreadsheetDevice) {
    WriteCells(
        report, report.cells, [](const std::string& t, std::int32_t) { ReportText(t); },
        [](const std::string& t, std::int32_t) { ReportWriteText(Tab(t)); });
    ReportWrite("");
  } else if (IsHtmlDevice(device)) {
    WriteCells(
        report, report.cells,
        [](const std::string& t, std::int32_t) {
          ReportWriteText("<TR><TD>" + HtmlEscape(t) + "</TD>");
        },
        [](const std::string& t, std::int32_t) {
          ReportWriteText("<TD><DIV ALIGN=RIGHT>" + HtmlEscape(t) + "</DIV></TD>");
        });
    ReportWrite("</TR>");
  } else {
    WriteCells(
        report, report.cells,
        [](const std::string& t, std::int32_t w) { ReportText(TextLeft(t, w)); },
        [](const std::string& t, std::int32_t w) { ReportWriteText(TextLeft(t, w)); });
    ReportWrite(" ");
    ReportLine(RuleSingle());
  }
}

void TableReportEnd(TableReport&) {
  if (IsHtmlDevice(ReportDevice())) ReportWrite("</TABLE>");
}
