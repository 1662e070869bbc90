#include "base/report/textreport.h"

#include <algorithm>
#include <string_view>

#include "base/dialogs/utilcrt.h"
#include "base/draw/breldraw.h"
#include "base/files/listfile.h"
#include "base/files/utilpath.h"
#include "base/report/reportdevice.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/utildate.h"
#include "base/text/utilstr.h"
#include "platform/files/codepage.h"
#include "platform/files/osfiles.h"

ReportHeaderRecord kopfRec{"", {}, {"", "", "Symbol", "Unit", "1", "2", "", "", ""}, 0};

std::uint16_t ReportDeviceCode = 1;
std::int32_t ReportPageNo = 0;
std::int32_t ReportLineCount = 0;
std::uint16_t ReportHeaderFlag = 0;
std::uint8_t AutoPageHeader = 1;
std::uint8_t SinglePageFlag = 0;
std::uint8_t HtmlTableOpen = 0;
std::string ReportFileName = "$out.tmp";
std::int32_t ReportWriteResult = 0;
std::uint8_t ReportToUserFile = 0;

namespace {

constexpr int kLineWidth = 70;
constexpr char kMargin[] = "       ";
constexpr char kFormFeed[] = "\f";

// Start columns of cells 2-5 of a five-cell row and of the last cell of a four-cell row.
struct ColumnPositions {
  std::int32_t cell2 = 35, cell3 = 44, cell4 = 51, cell5 = 62, lastOfFour = 56;
};
ColumnPositions columns;

// The page-full check must not run again while it or a page header runs: a header can be
// longer than a page, and the two would call each other without end.
bool pageLayoutRunning = false;

class LayoutGuard {
 public:
  LayoutGuard() : previous_(pageLayoutRunning) { pageLayoutRunning = true; }
  ~LayoutGuard() { pageLayoutRunning = previous_; }
  LayoutGuard(const LayoutGuard&) = delete;
  LayoutGuard& operator=(const LayoutGuard&) = delete;

 private:
  bool previous_;
};

bool IsBoxDevice() {
  return !IsTxtDevice(ReportDeviceCode) && !IsHtmlDevice(ReportDeviceCode);
}

std::string Repeat(char c, int n) {
  return std::string(static_cast<std::size_t>(n), c);
}

std::string BoxRule(char left, char fill, char right) {
  return left + Repeat(fill, kLineWidth - 2) + right;
}

std::string StyledRule(char ascii, char single, const std::string& boxed) {
  switch (PrintoutStyle) {
    case 1:
      return Repeat(ascii, kLineWidth);
    case 2:
      return single != 0 ? Repeat(single, kLineWidth) : boxed;
    case 3:
      return Repeat(' ', kLineWidth);
    default:
      return kNoLine;
  }
}

std::string BoxCorner() {
  switch (PrintoutStyle) {
    case 1:
      return "*";
    case 2:
      return "\xBA";
    default:
      return " ";
  }
}

bool IsRuleText(const std::string& text) {
  return text == kNoLine || text == RuleSingle() || text == RuleDouble();
}

// A comment must not hold "--".
std::string CommentSafe(std::string text) {
  for (std::size_t at = text.find("--"); at != std::string::npos; at = text.find("--")) {
    text.replace(at, 2, "- -");
  }
  return text;
}

// Every report byte goes out here, so that the first failed write is remembered: a later
// write that succeeds clears the file's own result.
void EmitBytes(std::string_view bytes, bool lineEnd) {
  if (lineEnd) {
    ListFile.WriteLine(bytes);
  } else {
    ListFile.Write(bytes);
  }
  if (ReportWriteResult == 0) ReportWriteResult = ListFile.IoResult();
}

// A text file the user named is read by editors and spreadsheets that expect UTF-8.
void Emit(std::string_view text, bool lineEnd) {
  if (ReportToUserFile != 0) {
    EmitBytes(platform::Cp1252ToUtf8(ToDisplayText(text)), lineEnd);
  } else {
    EmitBytes(text, lineEnd);
  }
}

void WriteConverted(const std::string& text, bool lineEnd) {
  if (IsHtmlDevice(ReportDeviceCode)) {
    Emit(platform::Cp1252ToUtf8(ToDisplayText(text)), lineEnd);
  } else {
    Emit(text, lineEnd);
  }
}

// The HTML form of ReportLine for markup the engine builds itself.
void HtmlLine(const std::string& markup) {
  CloseHtmlTable();
  ++ReportLineCount;
  ReportWrite("<br>" + markup);
}

void PageFullCheck() {
  if (pageLayoutRunning || ReportLineCount < LinesPerPage) return;
  LayoutGuard guard;
  if (IsHtmlDevice(ReportDeviceCode)) {
    ReportLineCount = 0;
  } else if (HeaderMode == 2) {
    ReportWrite(kFormFeed);
    ReportLineCount = 0;
  } else {
    PageBreak();
    ReportPageHeader(0, ReportHeaderFlag);
    ReportLine("");
  }
}

std::string BoxedLine(const std::string& text) {
  std::string line = Repeat(' ', kLineWidth);
  OverwriteAt(BoxCorner(), line, 1);
  OverwriteAt(text, line, 4);
  OverwriteAt(BoxCorner(), line, kLineWidth);
  return line;
}

std::string TitleLine(std::int32_t page) {
  std::string line = BoxedLine(kopfRec.Title);
  if (HeaderMode != 2) {
    if (kopfRec.TotalPages != 0) {
      OverwriteAt("pg." + IntTextBlank(page, 2) + "/" + IntTextBlank(kopfRec.TotalPages, 2), line,
                  60);
    } else {
      OverwriteAt("pg." + IntTextBlank(page, 2), line, 64);
    }
  }
  return line;
}

std::string DateLine() {
  std::string line = BoxedLine("");
  OverwriteAt(TodayText(), line, 53);
  OverwriteAt(HourMinuteText(), line, 64);
  return line;
}

std::string FileLine() {
  if (ArchiveMode != 0 || !IsBareCalcName(CurrentFile)) {
    return BoxedLine(PathInText(TrimBlanks(CurrentFile)));
  }
  if (DataDir.size() + CurrentFile.size() > 69) {
    return BoxedLine(PathInText(CurrentFile + "." + FileExt));
  }
  return BoxedLine(PathInText(CalcFileOfName(CurrentFile)));
}

bool IsFirstHeader(std::int32_t page) {
  return page == 1 || (page == 0 && ReportPageNo == 0);
}

std::string VersionTitle() {
  return LongTitle + " V" + ProgVersion;
}

void TxtPageHeader() {
  ReportLine(VersionTitle() + "\t" + TodayText() + "\t" + HourMinuteText());
  ReportLine(NoBlanks(ReportFileName));
  for (int i = 1; i <= kDrawingTextCount; ++i) ReportLine(DrawingTexts[i]);
  ReportLine(" ");
  ++ReportPageNo;
}

void HtmlPageHeader() {
  ReportWrite("<!-- " + CommentSafe(NoBlanks(ReportFileName)) + " -->");
  ReportWrite("<HTML>");
  ReportWrite("<head><meta charset=\"utf-8\"><title>" + HtmlEscape(VersionTitle()) +
              "</title></head>");
  ReportWrite("<BODY BGCOLOR=\"C0C0C0\">");
  ReportWrite("<hr>");
  HtmlLine("<h4>" + HtmlEscape(VersionTitle()) + "</h4>");
  HtmlLine("<hr>");
  for (int i = 1; i <= 4; ++i) HtmlLine("<h5>" + HtmlEscape(kopfRec.Lines[i]) + "</h5>");
  HtmlLine("<hr>");
  ++ReportPageNo;
}

void BoxPageHeader(std::int32_t page, std::uint16_t flag) {
  PaperPrompt();
  if (SinglePageFlag != 0 && AbortFlag != 0) return;
  const bool first = IsFirstHeader(page);
  if (HeaderMode == 2 && !first) {
    ReportWrite(" ");
    return;
  }
  if (PrintoutStyle == 4 && !first && ReportLineCount < LinesPerPage / 2) return;
  ReportLineCount = 0;
  ReportHeaderFlag = flag;
  ++ReportPageNo;
  if (page == 0) page = ReportPageNo;
  if (PrintoutStyle == 4) ReportLine("");
  for (std::int32_t i = 0; i < HeaderSpaceLines; ++i) ReportLine("");
  ReportLine(RuleTop());
  if (AbortFlag != 0) return;
  ReportLine(TitleLine(page));
  ReportLine(DateLine());
  ReportLine(FileLine());
  ReportLine(RuleMiddle());
  for (int i = 1; i <= 4; ++i) {
    if (i < 4 || !kopfRec.Lines[4].empty()) ReportLine(BoxedLine(kopfRec.Lines[i]));
  }
  if (flag == 1) {
    ReportLine(RuleMiddle());
    ColumnHeadRow();
  } else {
    ReportLine(RuleBottom());
  }
}

std::string Row(std::size_t width,
                std::initializer_list<std::pair<std::string, std::int32_t>> cells) {
  std::string line = Repeat(' ', static_cast<int>(width));
  for (const auto& [text, column] : cells) OverwriteAt(text, line, column);
  return line;
}

void RuleAfterRow() {
  if (PrintoutStyle != 4) ReportLine(RuleSingle());
}

}  // namespace

bool IsTxtDevice(std::uint16_t device) {
  return device == 6 || device == 9;
}
bool IsHtmlDevice(std::uint16_t device) {
  return device == 7;
}

std::string HtmlEscape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void SetReportHeader(const std::string& title, const std::string& reportName,
                     const std::string& line1, const std::string& line2, const std::string& line3,
                     std::int32_t totalPages) {
  kopfRec.Title = title.empty() ? LongTitle + "  V" + ProgVersion : title;
  kopfRec.Lines = {"", reportName, line1, line2, line3};
  kopfRec.TotalPages = totalPages;
  ReportPageNo = 0;
  ReportLineCount = 0;
}

void SetTableColumns(const std::string& h1, const std::string& h2, const std::string& h3,
                     const std::string& h4, const std::string& h5) {
  ResetColumnPositions();
  kopfRec.Heads[1] = h1;
  kopfRec.Heads[2] = h2;
  kopfRec.Heads[3] = h3;
  kopfRec.Heads[4] = h4;
  kopfRec.Heads[5] = h5;
}

void ResetColumnPositions() {
  columns = ColumnPositions{};
}

std::string RuleSingle() {
  return StyledRule('-', '\xC4', "");
}
std::string RuleDouble() {
  return StyledRule('=', '\xCD', "");
}
std::string RuleTop() {
  return StyledRule('*', 0, BoxRule('\xC9', '\xCD', '\xBB'));
}
std::string RuleBottom() {
  return StyledRule('*', 0, BoxRule('\xC8', '\xCD', '\xBC'));
}
std::string RuleMiddle() {
  return StyledRule('*', 0, BoxRule('\xCC', '\xCD', '\xB9'));
}

void ReportWrite(const std::string& text) {
  WriteConverted(text, true);
}
void ReportWriteText(const std::string& text) {
  WriteConverted(text, false);
}

void ReportLine(const std::string& text) {
  if (IsTxtDevice(ReportDeviceCode)) {
    if (!IsRuleText(text)) ReportWrite(text);
    return;
  }
  if (IsHtmlDevice(ReportDeviceCode)) {
    CloseHtmlTable();
    ++ReportLineCount;
    if (!IsRuleText(text)) ReportWrite("<br>" + HtmlEscape(text));
    return;
  }
  if (text == kNoLine) return;
  ++ReportLineCount;
  PageFullCheck();
  Emit(kMargin + text, true);
}

void ReportText(const std::string& text) {
  if (IsTxtDevice(ReportDeviceCode)) {
    ReportWriteText(text);
    return;
  }
  if (IsHtmlDevice(ReportDeviceCode)) {
    CloseHtmlTable();
    ++ReportLineCount;
    PageFullCheck();
    if (!IsRuleText(text)) ReportWriteText("<br>" + HtmlEscape(text));
    return;
  }
  if (text == kNoLine) return;
  ++ReportLineCount;
  PageFullCheck();
  Emit(kMargin + text, false);
}

void ReportRow4(const std::string& c1, const std::string& c2, const std::string& c3,
                const std::string& c4) {
  const std::string first = FirstUpper(c1);
  if (IsTxtDevice(ReportDeviceCode)) {
    ReportLine(first + "\t" + c2 + "\t" + c3 + "\t" + c4);
  } else if (IsHtmlDevice(ReportDeviceCode)) {
    if (HtmlTableOpen == 0) OpenHtmlTable();
    ReportWrite("<TR><TD>" + HtmlEscape(first) + "</TD><TD>" + HtmlEscape(c2) + "</TD><TD>" +
                HtmlEscape(c3) + "</TD><TD><DIV ALIGN=RIGHT>" + HtmlEscape(c4) +
                "</DIV></TD></TR>");
  } else {
    std::string last = c4;
    std::int32_t lastColumn = columns.lastOfFour;
    if (last.size() > 14) {
      last = TrimBlanks(last);
      if (last.size() > 14) lastColumn = kLineWidth - static_cast<std::int32_t>(last.size());
    }
    ReportLine(Row(kLineWidth,
                   {{first, 1}, {c2, columns.cell2}, {c3, columns.cell3}, {last, lastColumn}}));
    RuleAfterRow();
  }
}

void ReportRow5(const std::string& c1, const std::string& c2, const std::string& c3,
                const std::string& c4, const std::string& c5) {
  const std::string first = FirstUpper(c1);
  if (IsTxtDevice(ReportDeviceCode)) {
    ReportLine(first + "\t" + c2 + "\t" + c3 + "\t" + c4 + "\t" + c5);
  } else if (IsHtmlDevice(ReportDeviceCode)) {
    if (HtmlTableOpen == 0) ColumnHeadRow();
    ReportWrite("<TR><TD>" + HtmlEscape(first) + "</TD><TD>" + HtmlEscape(c2) + "</TD><TD>" +
                HtmlEscape(c3) + "</TD><TD>" + HtmlEscape(c4) + "</TD><TD>" + HtmlEscape(c5) +
                "</TD></TR>");
  } else {
    ReportLine(Row(kLineWidth + 1, {{first, 1},
                                    {c2, columns.cell2},
                                    {c3, columns.cell3},
                                    {c4, columns.cell4},
                                    {c5, columns.cell5}}));
    RuleAfterRow();
  }
}

void ReportCell(const std::string& text) {
  if (!IsHtmlDevice(ReportDeviceCode)) {
    ReportLine(text);
    return;
  }
  if (HtmlTableOpen == 0) OpenHtmlTable();
  ReportWrite("<TR><TD>" + HtmlEscape(text) + "</TD></TR>");
}

void ReportWrapped(const std::string& text) {
  if (text.empty()) return;
  if (!IsBoxDevice() || text.size() <= 72) {
    ReportCell(text);
    return;
  }
  std::int32_t maxLen = 0;
  std::int32_t count = 0;
  SplitLines(text, ' ', 64, maxLen, count);
  for (std::int32_t i = 1; i <= count; ++i) ReportCell(WrapLines[i]);
}

std::string NumberedLine(const std::string& text, const std::string& number) {
  std::string line = Repeat(' ', 64);
  OverwriteAt(text, line, 1);
  OverwriteAt("No.: " + number, line, 40);
  return line;
}

void ReportPageHeader(std::int32_t page, std::uint16_t flag) {
  LayoutGuard guard;
  if (IsTxtDevice(ReportDeviceCode)) {
    if (IsFirstHeader(page)) TxtPageHeader();
  } else if (IsHtmlDevice(ReportDeviceCode)) {
    if (IsFirstHeader(page)) HtmlPageHeader();
  } else {
    BoxPageHeader(page, flag);
  }
}

void ColumnHeadRow() {
  const auto& h = kopfRec.Heads;
  if (IsTxtDevice(ReportDeviceCode)) {
    ReportLine(h[1] + "\t" + h[2] + "\t" + h[3] + "\t" + h[4] + "\t" + h[5]);
  } else if (IsHtmlDevice(ReportDeviceCode)) {
    OpenHtmlTable();
    std::string row = "<TR><TD><CENTER>" + HtmlEscape(h[1]) + "</CENTER></TD>";
    for (int i = 2; i <= 5; ++i) row += "<TD>" + HtmlEscape(h[i]) + "</TD>";
    ReportWrite(row + "</TR>");
  } else {
    std::string line = Row(kLineWidth, {{h[1], 3},
                                        {h[2], columns.cell2},
                                        {h[3], columns.cell3},
                                        {h[4], columns.cell4},
                                        {h[5], columns.cell5}});
    OverwriteAt(BoxCorner(), line, 1);
    OverwriteAt(BoxCorner(), line, kLineWidth);
    ReportLine(line);
    ReportLine(RuleBottom());
    ReportLine("");
  }
}

void PageBreak() {
  const std::uint16_t device = ReportDeviceCode;
  if (!IsBoxDevice()) return;
  if (PrintoutStyle == 4 && ReportLineCount < LinesPerPage / 2) return;
  if (device == 1 || device == 4) {
    ReportWrite(kFormFeed);
  } else if (device == 2) {
    ReportWriteText(kFormFeed);
  }
  ReportLineCount = 0;
}

void NewPageIfNeeded(std::uint16_t flag) {
  const std::int32_t limit = std::max(LinesPerPage - 10, 10);
  if (ReportLineCount <= limit) return;
  PageBreak();
  ReportPageHeader(0, flag);
  if (flag == 0) ReportLine("");
}

void PaperPrompt() {
  if (SinglePageFlag == 0) return;
  SendPrinterPagesSoFar();
  if (AbortFlag != 0) return;
  if (!AskYesNo("Insert paper.  Continue ?")) AbortFlag = 1;
}

void OpenHtmlTable() {
  CloseHtmlTable();
  ReportWrite("<TABLE BORDER = \"2\" WIDTH= \"100%\">");
  HtmlTableOpen = 1;
}

void CloseHtmlTable() {
  if (HtmlTableOpen == 0) return;
  ReportWrite("</TABLE>");
  HtmlTableOpen = 0;
}

void CopyFileToReport(const std::string& name) {
  std::string bytes;
  if (platform::os::ReadWholeFile(name, bytes)) Emit(bytes, false);
}

std::uint16_t ReportDevice() {
  return ReportDeviceCode;
}

void InitReportEngine() {
  kopfRec =
      ReportHeaderRecord{VersionTitle(), {}, {"", "", "Symbol", "Unit", "1", "2", "", "", ""}, 0};
  ReportDeviceCode = 1;
  ReportPageNo = 0;
  ReportLineCount = 0;
  ReportHeaderFlag = 0;
  AutoPageHeader = 1;
  SinglePageFlag = 0;
  HtmlTableOpen = 0;
  ReportFileName = "$out.tmp";
  ReportWriteResult = 0;
  ResetColumnPositions();
  pageLayoutRunning = false;
}
