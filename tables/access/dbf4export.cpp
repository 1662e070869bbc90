// The browse form's table outputs: the HTML page of all records and the printed table report.
// Both read the records by number into their own buffer, so the form's current record, its
// pending edit and its locks stay as they are.

#include <functional>
#include <vector>

#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/listfile.h"
#include "base/report/reportdevice.h"
#include "base/report/textreport.h"
#include "base/settings/wbrelvar.h"
#include "base/text/utildate.h"
#include "platform/files/codepage.h"
#include "platform/files/cp1252case.h"
#include "tables/access/dbf4.h"
#include "tables/access/tablereport.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4rows.h"
#include "tables/core/tzfiles.h"

namespace dadav {

namespace {

constexpr std::int32_t kRecordsPerRead = 512;

// Calls visit with each record of the area from the first to the last, deleted ones included.
void ForEachRecord(const WorkArea& area,
                   const std::function<void(const std::uint8_t* record)>& visit) {
  std::vector<std::uint8_t> block;
  for (std::int32_t first = 1; first <= area.recCount; first += kRecordsPerRead) {
    const std::int32_t read = ReadRecordBlock(area, first, kRecordsPerRead, block);
    for (std::int32_t i = 0; i < read; ++i) {
      visit(block.data() + static_cast<std::size_t>(i) * area.recordLength);
    }
    if (read < std::min(kRecordsPerRead, area.recCount - first + 1)) break;
  }
}

// A text of the program (code page 850) for the UTF-8 page.
std::string PageText(const std::string& cp850) {
  return platform::Cp1252ToUtf8(HtmlEscape(platform::OemToAnsi(cp850)));
}

std::string CellText(const std::string& cp1252) {
  return platform::Cp1252ToUtf8(HtmlEscape(cp1252));
}

std::string Upper1252(std::string text) {
  for (char& c : text) c = static_cast<char>(platform::Cp1252Upper(static_cast<std::uint8_t>(c)));
  return text;
}

const WorkArea& AreaOf(TTzDbf& data) {
  return *WorkAreaTable[data.WorkArea()];
}

}  // namespace

bool Tdbf4::WriteHtmlExport(const std::string& fileName) {
  const WorkArea& area = AreaOf(tzdbf);
  std::string dir, name, ext;
  FSplit(fileName, dir, name, ext);
  std::vector<std::string> page;
  const auto line = [&page](const std::string& text) { page.push_back(text); };
  line("<HTML>");
  line("<head><meta charset=\"utf-8\"><title>" + CellText(name + ext) + "</title></head>");
  line("<BODY BGCOLOR=\"C0C0C0\">");
  line("<P>" + PageText(ProductCode + " V" + ProgVersion) + "</P>");
  line("<P>" + CellText(Upper1252(fileName)) + "</P>");
  line("<P>" + PageText(TodayText() + " - " + HourMinuteText()) + "</P>");
  line("<HR>");
  line("<TABLE BORDER = \"1\" WIDTH= \"100%\">");
  std::string head = "<TR>";
  for (const FieldDescriptor& f : area.fields) {
    head += "<TD><CENTER>" + CellText(f.name) + "</CENTER></TD>";
  }
  line(head + "</TR>");
  ForEachRecord(area, [&](const std::uint8_t* record) {
    std::string row = "<TR>";
    for (const FieldDescriptor& f : area.fields) {
      row += "<TD>" + CellText(RawFieldText(record, f)) + "</TD>";
    }
    line(row + "</TR>");
  });
  line("</TABLE>");
  line("</BODY>");
  line("</HTML>");
  return ReplaceFileLines(fileName, page);
}

void Tdbf4::PrintClick() {
  Guarded([this] {
    const std::string path = Get<platform::Label>("Label_filename").Caption();
    SetReportHeader(ProductCode + " V" + ProgVersion, platform::AnsiToOem(path),
                    platform::AnsiToOem(Caption()),
                    platform::AnsiToOem(Get<platform::Label>("Label_title1").Caption()), "", 0);
    // The column heads of the calculation report do not belong over a table.
    SetTableColumns("", "", "", "", "");
    OpenReport(0, CurrentFile);
    if (AbortFlag != 0) return;
    try {
      RewriteOrFail(ListFile);
      if (AbortFlag == 0) ReportPageHeader(1, 1);
      if (AbortFlag == 0) ReportLine("");
      if (AbortFlag == 0) {
        const WorkArea& area = AreaOf(tzdbf);
        const std::size_t columns = std::min<std::size_t>(kTableReportColumns, area.fields.size());
        TableReportTexts titles;
        TableReportWidths widths{};
        for (std::size_t i = 0; i < columns; ++i) {
          titles[i] = platform::AnsiToOem(area.fields[i].name);
          widths[i] = area.fields[i].length + 1;
        }
        std::unique_ptr<TableReport> report = TableReportBegin(titles, widths);
        ForEachRecord(area, [&](const std::uint8_t* record) {
          TableReportTexts cells;
          for (std::size_t i = 0; i < columns; ++i) {
            cells[i] = platform::AnsiToOem(RawFieldText(record, area.fields[i]));
          }
          TableReportRow(*report, cells);
        });
        TableReportEnd(*report);
      }
    } catch (...) {
      CloseReport();
      throw;
    }
    CloseReport();
  });
}

}  // namespace dadav
