#pragma once
// The spreadsheet application the program hands data to: a stand-in with the members the program
// calls on "Excel.Application" (visible, workbooks with add and OpenText, cells and value). Each
// workbook becomes one flat OpenDocument file in the temporary folder that the desktop's
// spreadsheet program opens when the command that filled it ends.
//
// A member that cannot do its work (no workbook, a cell outside the sheet, an unreadable file)
// shows "Spreadsheet: " and the reason, sets AbortFlag and does nothing else.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/spreadsheet/fodssheet.h"

class SpreadsheetApp;

class SpreadsheetCell {
 public:
  SpreadsheetCell(SheetCells* sheet, std::int32_t row, std::int32_t column)
      : sheet_(sheet), row_(row), column_(column) {}
  // Puts a display text (Windows-1252) into the cell; a cell that failed takes nothing.
  void value(std::string_view text);

 private:
  SheetCells* sheet_;
  std::int32_t row_;
  std::int32_t column_;
};

class SpreadsheetWorkbooks {
 public:
  explicit SpreadsheetWorkbooks(SpreadsheetApp& app) : app_(app) {}
  // A new empty workbook, which becomes the active one.
  void add();
  // The UTF-8 text file as a new active workbook: a row per line, a cell per tab-separated field.
  void OpenText(const std::string& file);

 private:
  SpreadsheetApp& app_;
};

class SpreadsheetApp {
 public:
  SpreadsheetApp() : workbooks_(*this) {}
  SpreadsheetApp(const SpreadsheetApp&) = delete;
  SpreadsheetApp& operator=(const SpreadsheetApp&) = delete;

  bool visible = false;
  SpreadsheetWorkbooks& workbooks() { return workbooks_; }
  // A cell of the active workbook's sheet, row and column from 1.
  SpreadsheetCell cells(std::int32_t row, std::int32_t column);

  // The end of a command: while the application is visible, each workbook with cells that has
  // not been shown yet is written and handed to the desktop's spreadsheet program. Workbooks
  // without cells are dropped. A file that cannot be written: "file write error", AbortFlag.
  void Publish();
  // The files written so far, in order.
  const std::vector<std::string>& PublishedFiles() const { return published_; }

 private:
  friend class SpreadsheetWorkbooks;
  struct Workbook {
    SheetCells sheet;
    bool done = false;
  };
  SpreadsheetWorkbooks workbooks_;
  std::vector<Workbook> books_;  // the last one is active
  std::vector<std::string> published_;
};

// "Excel.Application": none when the desktop has no program to open documents with; the caller
// tells "Could not start Excel".
std::unique_ptr<SpreadsheetApp> CreateSpreadsheetApp();

// Writes text to a new file TempDir + "$XL" + n + ".fods" with the first n whose file does not
// exist yet, claimed empty and replaced by the complete workbook, so a spreadsheet never opens
// part of one; the file's name, or empty after "file write error" with AbortFlag set and the
// name given up.
std::string WriteNewWorkbookFile(const std::string& text);
