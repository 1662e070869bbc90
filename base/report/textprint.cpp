#include "base/report/textprint.h"

#include <algorithm>
#include <vector>

#include "base/dialogs/utilcrt.h"
#include "base/draw/breldraw.h"
#include "base/draw/fontstyle.h"
#include "base/files/textfile.h"
#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/displaytext.h"
#include "platform/print/textprinter.h"

namespace {

bool IsFormFeedLine(const std::string& line) {
  return !line.empty() && line[0] == '\f';
}

bool ReadLines(const std::string& name, std::vector<std::string>& lines) {
  TextFile file;
  file.Assign(name);
  file.Reset();
  if (file.IoResult() != 0) return false;
  while (!file.Eof() && file.IoResult() == 0) {
    lines.emplace_back();
    file.ReadLine(lines.back());
  }
  const bool ok = file.IoResult() == 0;
  file.Close();
  return ok;
}

// One page per form-feed line, and one more when text follows the last one.
std::int32_t PageCount(const std::vector<std::string>& lines) {
  std::int32_t pages = 0;
  bool textAfterLast = false;
  for (const std::string& line : lines) {
    if (IsFormFeedLine(line)) {
      ++pages;
      textAfterLast = false;
    } else {
      textAfterLast = true;
    }
  }
  return std::max(pages + (textAfterLast ? 1 : 0), 1);
}

// The PDF that stands in for a missing printer: beside the current file, named after it, or after
// the program without one.
std::string PdfFileName() {
  if (CurrentFile.empty()) return AddBackslash(DataDir) + ShortName + ".pdf";
  return PathWithoutExt(CalcFileOfName(CurrentFile)) + ".pdf";
}

}  // namespace

platform::TextFontSpec PrintoutFont() {
  const FontStyleSet style = CodeToFontStyle(PrintFontStyle);
  return {ToDisplayText(PrintFontName),
          PrintFontSize,
          style.bold,
          style.italic,
          style.underline,
          style.strikeout};
}

void PrintTextFile(const std::string& name) {
  if (!FileThere(name)) {
    ShowMessageBox(PathInText(name) + " not found !", 0);
    return;
  }
  if (AbortFlag != 0) return;
  std::vector<std::string> lines;
  if (!ReadLines(name, lines)) return;
  const std::int32_t pages = PageCount(lines);
  platform::PrintRangeRequest request{
      ToDisplayText(CurrentFile), 1, pages, 1, pages, PdfFileName()};
  auto job = platform::TextPrinter().Begin(request);
  if (!job) return;
  const std::int32_t lineHeight = job->PageHeight() / std::max(LinesPerPage, 1);
  job->SetFont(PrintoutFont());
  std::int32_t page = 1;
  std::int32_t y = 0;
  for (const std::string& line : lines) {
    if (IsFormFeedLine(line)) {
      ++page;
      if (page > request.fromPage && page <= request.toPage) job->NewPage();
      y = 0;
      continue;
    }
    if (page >= request.fromPage && page <= request.toPage)
      job->DrawLine(0, y, ToDisplayText(line));
    y += lineHeight;
  }
  if (!job->Finish()) ShowError("print error");
}
