#pragma once
// The text report engine: report writers hand it lines and table rows, and it lays them out for
// the device the report was opened on (base/reportdevice.h): paged text of 70 columns behind a
// 7-blank margin with a boxed page header (devices 1-5, 8), tab-separated text (6, 9) or an HTML
// page (7). Report texts are in code page 850; the HTML page and a text file the user named are
// written as UTF-8, the program's own files in code page 850.
//
// Order of a report: SetReportHeader, [SetTableColumns], OpenReport, ListFile.Rewrite() unless
// AbortFlag is set, ReportPageHeader, lines and rows, [ReportMessages], CloseReport.

#include <array>
#include <cstdint>
#include <string>

struct ReportHeaderRecord {
  std::string Title;                 // empty on SetReportHeader: LongTitle + "  V" + version
  std::array<std::string, 5> Lines;  // [1..4]: report name, three header lines
  std::array<std::string, 9> Heads;  // [1..8]: column heads; 6-8 stay empty
  std::int32_t TotalPages = 0;       // 0: the header shows the page number alone
};
extern ReportHeaderRecord kopfRec;

// Engine state of the one open report.
extern std::uint16_t ReportDeviceCode;
extern std::int32_t ReportPageNo;
extern std::int32_t ReportLineCount;
extern std::uint16_t ReportHeaderFlag;
extern std::uint8_t AutoPageHeader;
extern std::uint8_t SinglePageFlag;
extern std::uint8_t HtmlTableOpen;
extern std::string ReportFileName;
// I/O result of the first failed write of the open report, 0 while all went well.
extern std::int32_t ReportWriteResult;
// 1 while the report goes to a text file the user named (devices 3, 6 and 9 through the save
// dialog): editors and spreadsheets read it, so it is written as UTF-8 text, converted for display.
extern std::uint8_t ReportToUserFile;

inline constexpr char kNoLine[] = "$!$";  // a rule line that is not there

void SetReportHeader(const std::string& title, const std::string& reportName,
                     const std::string& line1, const std::string& line2, const std::string& line3,
                     std::int32_t totalPages);
void SetTableColumns(const std::string& h1, const std::string& h2, const std::string& h3,
                     const std::string& h4, const std::string& h5);
void ResetColumnPositions();

void ReportLine(const std::string& text);
void ReportText(const std::string& text);
// Raw output: no margin, no counting, no HTML escaping (callers may write their own tags); on
// the HTML device converted for display and to UTF-8.
void ReportWrite(const std::string& text);
void ReportWriteText(const std::string& text);
void ReportRow4(const std::string& c1, const std::string& c2, const std::string& c3,
                const std::string& c4);
void ReportRow5(const std::string& c1, const std::string& c2, const std::string& c3,
                const std::string& c4, const std::string& c5);
void ReportCell(const std::string& text);
void ReportWrapped(const std::string& text);
std::string NumberedLine(const std::string& text, const std::string& number);

std::string RuleSingle();
std::string RuleDouble();
std::string RuleTop();
std::string RuleBottom();
std::string RuleMiddle();

void ReportPageHeader(std::int32_t page, std::uint16_t flag);
void ColumnHeadRow();
void PageBreak();
void NewPageIfNeeded(std::uint16_t flag);
// Asks "Insert paper.  Continue ?" while SinglePageFlag is set; No or Cancel sets AbortFlag.
void PaperPrompt();
void OpenHtmlTable();
void CloseHtmlTable();
// Copies the named file byte for byte to ListFile.
void CopyFileToReport(const std::string& name);
std::uint16_t ReportDevice();

// Device groups.
bool IsTxtDevice(std::uint16_t device);   // 6 and 9
bool IsHtmlDevice(std::uint16_t device);  // 7
// "&", "<" and ">" as HTML entities.
std::string HtmlEscape(const std::string& text);

// The engine's start values (the default header, heads "", "Symbol", "Unit", "1", "2").
void InitReportEngine();
