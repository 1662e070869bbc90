// The table window of File, open table and its search form, on the control model.
#include "app/filetable/formpreview.h"

#include <algorithm>
#include <numeric>

#include "app/lang/menutexts.h"
#include "app/spreadsheet/spreadsheetapp.h"
#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"

namespace {

constexpr std::int32_t kWideColumns[] = {2, 3, 12, 13};

void SetMenuCaption(platform::Menu& menu, const MenuText& text) {
  menu.SetCaption(text.bytes, text.codePage);
}

void SetItemCaption(platform::MenuItem& item, const MenuText& text) {
  item.SetCaption(text.bytes, text.codePage);
}

}  // namespace

void QuickSortWithIndex(std::vector<std::string>& texts, std::vector<std::int32_t>& index,
                        std::int32_t lo, std::int32_t hi) {
  if (lo > hi) return;
  const auto first = static_cast<std::size_t>(lo);
  const auto count = static_cast<std::size_t>(hi - lo + 1);
  std::vector<std::int32_t> order(count);
  std::iota(order.begin(), order.end(), lo);
  // std::string compares its bytes as unsigned characters.
  std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
    return texts[static_cast<std::size_t>(a)] < texts[static_cast<std::size_t>(b)];
  });
  std::vector<std::string> sorted(count);
  for (std::size_t k = 0; k < count; ++k) {
    sorted[k] = std::move(texts[static_cast<std::size_t>(order[k])]);
  }
  std::move(sorted.begin(), sorted.end(), texts.begin() + static_cast<std::ptrdiff_t>(first));
  std::copy(order.begin(), order.end(), index.begin() + static_cast<std::ptrdiff_t>(first));
}

std::int32_t FindSortedRow(const std::vector<std::int32_t>& index, std::int32_t oldRow) {
  for (std::size_t k = 1; k < index.size(); ++k) {
    if (index[k] == oldRow) return static_cast<std::int32_t>(k);
  }
  return 0;
}

TForm_Suchen::TForm_Suchen()
    : platform::Form("TForm_Suchen", "Search", {260, 110}),
      Edit_suchbegriff(Add<platform::Edit>("Edit_suchbegriff")) {
  Add<platform::Label>("Label_suchen").SetCaption("Search for");
  platform::Button& search = Add<platform::Button>("Button_suchen");
  search.SetCaption("Search");
  search.SetDefault(true);
  search.SetModalResult(platform::ModalResult::Ok);
  CenterOnDrawWindow(Placement());
}

TForm_preview::TForm_preview()
    : platform::Form("TForm_preview", "", {1000, 600}),
      StringGrid1(Add<platform::StringGrid>("StringGrid1")),
      files_(1) {
  platform::Font font;
  font.face = "Courier New";
  font.height = 11;
  StringGrid1.SetFont(font);
  StringGrid1.SetFixed(0, 1);
  StringGrid1.SetEditable(false);
  StringGrid1.SetDefaultRowHeight(ScaleSize(16));
  StringGrid1.onSelectCell = [this](std::int32_t col, std::int32_t row) {
    return StringGrid1SelectCell(col, row);
  };
  StringGrid1.onMouseDown = [this](platform::MouseButton button, std::int32_t x, std::int32_t y) {
    StringGrid1MouseDown(button, x, y);
  };

  platform::Menu& file = Menus().AddMenu("mi_file", "");
  SetMenuCaption(file, MenuTextFile);
  file.AddItem("mi_fileExportExcel", "Export Excel", [this] { mi_fileExportExcelClick(); });
  SetItemCaption(file.AddItem("mi_fileExit", "", [this] { mi_fileExitClick(); }), MenuTextExit);
  platform::Menu& edit = Menus().AddMenu("mi_edit", "");
  SetMenuCaption(edit, MenuTextEdit);
  edit.AddItem("mi_editsearch", "Search", [this] { mi_editsearchClick(); }).SetShortcut("Ctrl+F");
  edit.AddItem("SearchNext1", "Search &Next", [this] { SearchNext1Click(); }).SetShortcut("F3");
  platform::Menu& help = Menus().AddMenu("mi_Help", "");
  SetMenuCaption(help, MenuTextHelp);
  SetItemCaption(help.AddItem("mi_HelpHelp", "", [this] { mi_HelpHelpClick(); }), MenuTextHelp);

  onShow = [this] { FormShow(); };
  CenterOnDrawWindow(Placement());
}

void TForm_preview::Fill(std::vector<std::vector<std::string>> rows,
                         std::vector<std::string> files) {
  const auto cols = rows.empty() ? 0 : static_cast<std::int32_t>(rows[0].size());
  StringGrid1.SetSize(cols, static_cast<std::int32_t>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      StringGrid1.SetCell(static_cast<std::int32_t>(c), static_cast<std::int32_t>(r),
                          std::move(rows[r][c]));
    }
  }
  for (std::int32_t c = 0; c < cols; ++c) StringGrid1.SetColWidth(c, ScaleSize(52));
  StringGrid1.SetColWidth(0, ScaleSize(200));
  StringGrid1.SetColWidth(1, ScaleSize(74));
  for (std::int32_t c : kWideColumns) StringGrid1.SetColWidth(c, ScaleSizeOf(90));
  files_ = std::move(files);
  files_.insert(files_.begin(), std::string());
}

const std::string& TForm_preview::FileOfRow(std::int32_t row) const {
  static const std::string kNone;
  return row >= 1 && static_cast<std::size_t>(row) < files_.size()
             ? files_[static_cast<std::size_t>(row)]
             : kNone;
}

void TForm_preview::FormShow() {
  SetCaption(ToDisplayText(ProductCode) + "  " + DataDir);
  if (shownBefore_) return;
  shownBefore_ = true;
  // The first current cell is set without a pick.
  if (StringGrid1.RowCount() > 1) StringGrid1.SetCurrent(0, 1);
}

std::int32_t TForm_preview::ColumnAt(std::int32_t row, std::int32_t x, std::int32_t y) const {
  for (std::int32_t c = 0; c < StringGrid1.ColCount(); ++c) {
    const platform::Rect cell = StringGrid1.CellRect(c, row);
    if (x > cell.left && x < cell.right && y > cell.top && y < cell.bottom) return c;
  }
  return -1;
}

void TForm_preview::StringGrid1MouseDown(platform::MouseButton button, std::int32_t x,
                                         std::int32_t y) {
  if (button == platform::MouseButton::Right) {
    const std::int32_t col = ColumnAt(0, x, y);
    if (col >= 0) SortByColumn(col);
  } else if (button == platform::MouseButton::Left) {
    // The grid moves to a pressed row of its own accord, which picks it; the current row does
    // not move and is picked here.
    const std::int32_t row = StringGrid1.Row();
    if (row >= 1 && ColumnAt(row, x, y) >= 0) PickRow(row);
  }
}

bool TForm_preview::StringGrid1SelectCell(std::int32_t, std::int32_t row) {
  if (row != SelectedRow) PickRow(row);
  return true;
}

void TForm_preview::PickRow(std::int32_t row) {
  SelectedRow = row;
  AbortFlag = 0;
  SetModalResult(platform::ModalResult::Ok);
}

void TForm_preview::MoveCurrentCell(std::int32_t col, std::int32_t row) {
  if (StringGrid1SelectCell(col, row)) StringGrid1.SetCurrent(col, row);
}

void TForm_preview::SortByColumn(std::int32_t col) {
  const std::int32_t n = StringGrid1.RowCount() - 1;
  if (n < 1) return;
  std::vector<std::string> texts(static_cast<std::size_t>(n) + 1);
  std::vector<std::int32_t> index(static_cast<std::size_t>(n) + 1);
  for (std::int32_t k = 1; k <= n; ++k)
    texts[static_cast<std::size_t>(k)] = StringGrid1.Cell(col, k);
  QuickSortWithIndex(texts, index, 1, n);
  const auto permute = [&](auto cellOf, auto put) {
    std::vector<std::string> old(static_cast<std::size_t>(n) + 1);
    for (std::int32_t k = 1; k <= n; ++k) old[static_cast<std::size_t>(k)] = cellOf(k);
    for (std::int32_t k = 1; k <= n; ++k) {
      put(k, std::move(old[static_cast<std::size_t>(index[static_cast<std::size_t>(k)])]));
    }
  };
  for (std::int32_t c = 0; c < StringGrid1.ColCount(); ++c) {
    permute([&](std::int32_t k) { return StringGrid1.Cell(c, k); },
            [&](std::int32_t k, std::string text) { StringGrid1.SetCell(c, k, std::move(text)); });
  }
  permute([&](std::int32_t k) { return files_[static_cast<std::size_t>(k)]; },
          [&](std::int32_t k, std::string file) {
            files_[static_cast<std::size_t>(k)] = std::move(file);
          });
  const std::int32_t row = FindSortedRow(index, StringGrid1.Row());
  if (row > 0 && row != StringGrid1.Row()) MoveCurrentCell(StringGrid1.Col(), row);
}

bool TForm_preview::SearchGrid() {
  if (SearchText.empty()) return false;
  for (std::int32_t row = std::max(SearchRow, 0) + 1; row < StringGrid1.RowCount(); ++row) {
    for (std::int32_t col = 0; col < StringGrid1.ColCount(); ++col) {
      if (StringGrid1.Cell(col, row).find(SearchText) != std::string::npos) {
        MoveCurrentCell(col, row);
        return true;
      }
    }
  }
  return false;
}

void TForm_preview::ReportNotFound() const {
  ShowPlainText(FromDisplayText(SearchText) + " not found.");
}

void TForm_preview::mi_editsearchClick() {
  TForm_Suchen search;
  search.Edit_suchbegriff.SetText(SearchText);
  search.ShowModal();
  SearchText = search.Edit_suchbegriff.Text();
  SearchRow = 0;
  if (!SearchGrid()) ReportNotFound();
}

void TForm_preview::SearchNext1Click() {
  SearchRow = StringGrid1.Row();
  if (!SearchGrid()) ReportNotFound();
}

void TForm_preview::mi_fileExportExcelClick() {
  const std::unique_ptr<SpreadsheetApp> app = CreateSpreadsheetApp();
  if (!app) {
    ShowError("Could not start Excel");
    return;
  }
  AbortFlag = 0;
  app->visible = true;
  app->workbooks().add();
  for (std::int32_t r = 0; r < StringGrid1.RowCount() && AbortFlag == 0; ++r) {
    for (std::int32_t c = 0; c < StringGrid1.ColCount() && AbortFlag == 0; ++c) {
      app->cells(r + 1, c + 1).value(StringGrid1.Cell(c, r));
    }
  }
  app->Publish();
}

void TForm_preview::mi_fileExitClick() {
  AbortFlag = 1;
  Close();
}

void TForm_preview::mi_HelpHelpClick() {
  ShowHelpText(3400, "", 1);
  AbortFlag = 0;
}
