// The spreadsheet stand-in: workbooks kept as cells, written as ".fods" files when a command ends.
#include "app/spreadsheet/spreadsheetapp.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/dialogs/utilcrt.h"
#include "base/files/utilpath.h"
#include "base/report/launcher.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "platform/files/codepage.h"
#include "platform/files/newoutput.h"
#include "platform/files/osfiles.h"
#include "platform/system/process.h"

namespace {

// The largest sheet the desktop's spreadsheet programs hold.
constexpr std::int32_t kLastRow = 1048576;
constexpr std::int32_t kLastColumn = 16384;

// The text into a new file beside the claimed name, renamed over it only complete.
bool ReplaceWhole(const std::string& name, const std::string& text) {
  platform::NewOutput out;
  return platform::OpenOutput(name, out) == 0 && platform::WriteWholeOutput(out, text, false) == 0;
}

void Fail(const std::string& reason) {
  ShowError("Spreadsheet: " + reason);
  AbortFlag = 1;
}

// Rows of tab-separated fields; lines end in LF or CR LF.
void AddTextLines(SheetCells& sheet, std::string_view bytes) {
  std::int32_t row = 0;
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
    ++row;
    std::int32_t column = 0;
    for (std::size_t start = 0;;) {
      const std::size_t tab = std::min(line.find('\t', start), line.size());
      sheet.Set(row, ++column, std::string(line.substr(start, tab - start)));
      if (tab == line.size()) break;
      start = tab + 1;
    }
  }
}

}  // namespace

void SpreadsheetCell::value(std::string_view text) {
  if (sheet_ != nullptr) sheet_->Set(row_, column_, platform::Cp1252ToUtf8(text));
}

void SpreadsheetWorkbooks::add() {
  app_.books_.emplace_back();
}

void SpreadsheetWorkbooks::OpenText(const std::string& file) {
  std::string bytes;
  if (!platform::os::ReadWholeFile(file, bytes)) {
    Fail("cannot read the file " + PathInText(file));
    return;
  }
  app_.books_.emplace_back();
  AddTextLines(app_.books_.back().sheet, bytes);
}

SpreadsheetCell SpreadsheetApp::cells(std::int32_t row, std::int32_t column) {
  if (books_.empty()) {
    Fail("no workbook is open");
    return {nullptr, 0, 0};
  }
  if (row < 1 || row > kLastRow || column < 1 || column > kLastColumn) {
    Fail("the cell (" + IntText(row) + ", " + IntText(column) + ") lies outside the sheet");
    return {nullptr, 0, 0};
  }
  return {&books_.back().sheet, row, column};
}

void SpreadsheetApp::Publish() {
  if (!visible) return;
  for (Workbook& book : books_) {
    if (book.done || book.sheet.Empty()) continue;
    book.done = true;
    const std::string file = WriteNewWorkbookFile(FodsDocument(book.sheet));
    if (file.empty()) return;
    published_.push_back(file);
    OpenDocumentReported(file);
  }
}

std::unique_ptr<SpreadsheetApp> CreateSpreadsheetApp() {
  if (!platform::OpensDocuments()) return nullptr;
  return std::make_unique<SpreadsheetApp>();
}

std::string WriteNewWorkbookFile(const std::string& text) {
  const std::string folder = AddBackslash(TempDir);
  for (std::int32_t n = 1; n > 0; ++n) {
    const std::string name = folder + "$XL" + IntText(n) + ".fods";
    const int claim = platform::os::Open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC);
    if (claim < 0 && errno == EEXIST) continue;
    if (claim < 0) break;
    ::close(claim);
    if (ReplaceWhole(name, text)) return name;
    platform::os::Unlink(name);
    break;
  }
  ShowError("file write error");
  AbortFlag = 1;
  return {};
}
