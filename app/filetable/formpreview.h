#pragma once
// The table of calculation files: one row per file under a header row, sorted by a right press
// on a column head, searched through a small form, copied into a spreadsheet, and closed by a
// pick of a row (the command then loads that file and shows the table again, as it was).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/forms.h"
#include "platform/ui/mainwindow.h"

// Sorts texts[lo..hi] ascending by their bytes, read unsigned, keeping equal texts in their
// order; index[k] becomes the old position of the text now at k.
void QuickSortWithIndex(std::vector<std::string>& texts, std::vector<std::int32_t>& index,
                        std::int32_t lo, std::int32_t hi);
// The first k from 1 with index[k] == oldRow, 0 when there is none.
std::int32_t FindSortedRow(const std::vector<std::int32_t>& index, std::int32_t oldRow);

// The search term form.
class TForm_Suchen : public platform::Form {
 public:
  TForm_Suchen();
  platform::Edit& Edit_suchbegriff;
};

class TForm_preview : public platform::Form {
 public:
  TForm_preview();

  // rows: cells of the header row, then of each file's row; files: the file of each data row.
  void Fill(std::vector<std::vector<std::string>> rows, std::vector<std::string> files);
  // The file of a data row (1..), empty outside.
  const std::string& FileOfRow(std::int32_t row) const;

  platform::StringGrid& StringGrid1;
  std::string SearchText;
  std::int32_t SearchRow = 0;
  std::int32_t SelectedRow = 0;

  // A press in the grid at client pixels (x, y): the right button strictly inside a column head
  // sorts by that column; the left button on a cell of the current row picks that row again.
  void StringGrid1MouseDown(platform::MouseButton button, std::int32_t x, std::int32_t y);
  // Every move of the current cell: a row other than the one picked last is picked, which
  // closes the form with OK. The move is always allowed.
  bool StringGrid1SelectCell(std::int32_t col, std::int32_t row);
  void SortByColumn(std::int32_t col);
  bool SearchGrid();

  void mi_fileExportExcelClick();
  void mi_fileExitClick();
  void mi_editsearchClick();
  void SearchNext1Click();
  void mi_HelpHelpClick();

 private:
  void FormShow();
  // A move of the current cell by the program, with the event a user's move has.
  void MoveCurrentCell(std::int32_t col, std::int32_t row);
  void ReportNotFound() const;
  // The row becomes the pick: the form closes with OK.
  void PickRow(std::int32_t row);
  // The column whose cell of the row lies strictly around (x, y); -1 for none.
  std::int32_t ColumnAt(std::int32_t row, std::int32_t x, std::int32_t y) const;

  std::vector<std::string> files_;  // by row; row 0 unused
  bool shownBefore_ = false;
};
