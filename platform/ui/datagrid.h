#pragma once
// The data grid and the data navigator controls. The grid shows a table through a grid model,
// which reads cell contents on demand, so a table of any size shows at once; the grid itself
// keeps only its options, the current cell and the cell editor. The navigator is a row of ten
// buttons that move through and edit a dataset. Texts are Windows-1252 display bytes.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/controls.h"

namespace platform {

enum class BooleanBox {
  CheckBox,
  CheckMark,
  Text,
  FillBox,
  FillBoxRed,
  RButton,
  RButtonRed,
  Dot,
  DotRed
};

enum class CellKind { Text, Number, Boolean, Date, Memo };

// The colours one row is drawn in.
struct RowColors {
  Color indicator;
  Color cell;
  Color cellText;
  Color hilite;
  Color hiliteText;
  Color deleted;
  Color deletedText;
};

// What a data grid shows; rows and columns count from 0.
class GridModel {
 public:
  virtual ~GridModel() = default;
  virtual std::int32_t RowCount() = 0;
  virtual std::int32_t ColumnCount() = 0;
  virtual std::string Title(std::int32_t column) = 0;
  // In characters.
  virtual std::int32_t ColumnWidth(std::int32_t column) = 0;
  virtual CellKind Kind(std::int32_t column) = 0;
  virtual bool ColumnReadOnly(std::int32_t column) = 0;
  // The edit mask in the toolkit's form ("00/00/00; "); empty for none.
  virtual std::string EditMask(std::int32_t column) = 0;
  virtual std::string CellText(std::int32_t row, std::int32_t column) = 0;
  virtual bool CellChecked(std::int32_t row, std::int32_t column) = 0;
  virtual bool RowDeleted(std::int32_t row) = 0;
  virtual RowColors Colors(std::int32_t row) = 0;
  // The user's edit of a cell; false when the text was refused.
  virtual bool SetCellText(std::int32_t row, std::int32_t column, const std::string& text) = 0;
  virtual void ToggleCell(std::int32_t row, std::int32_t column) = 0;
};

enum GridOption : std::uint32_t {
  kGridEditing = 1,
  kGridTitles = 2,
  kGridIndicator = 4,
  kGridColumnResize = 8,
  kGridColLines = 16,
  kGridRowLines = 32,
  kGridTabs = 64,
  kGridRowSelect = 128,
};

class DataGrid : public Control {
 public:
  DataGrid(Container& parent, std::string name);

  GridModel* Model() const { return model_; }
  void SetModel(GridModel* model);
  std::uint32_t Options() const { return options_; }
  void SetOptions(std::uint32_t options);
  bool HasOption(GridOption option) const { return (options_ & option) != 0; }
  BooleanBox GetBooleanBox() const { return booleanBox_; }
  void SetBooleanBox(BooleanBox box);
  // The current cell; -1 when the grid has no rows.
  std::int32_t Row() const { return row_; }
  std::int32_t Col() const { return col_; }
  void SetCurrent(std::int32_t row, std::int32_t col);
  // The model's rows or columns changed as a whole: everything is read again.
  void Reset();
  std::uint32_t Resets() const { return resets_; }
  // Rows the view shows at a time (the backend reports it); the first row shown.
  std::int32_t VisibleRows() const { return visibleRows_; }
  void SetVisibleRows(std::int32_t rows);
  std::int32_t TopRow() const { return topRow_; }
  void SetTopRow(std::int32_t row);
  bool EditorOpen() const { return editorOpen_; }

  // The current cell moved (by the user or the program).
  std::function<void()> onCurrentChanged;
  std::function<void(std::int32_t row, std::int32_t col)> onCellClick;
  // Return true when the key was handled.
  std::function<bool(std::uint16_t key, bool ctrl)> onKeyDown;
  std::function<void(std::uint16_t key)> onKeyUp;
  std::function<void(std::int32_t col)> onTitleClick;
  std::function<void(bool left)> onCornerClick;
  // Down on the last row: the owner may append a row.
  std::function<void()> onPastEnd;

  // The user's actions.
  void ClickCell(std::int32_t row, std::int32_t col);
  void ClickTitle(std::int32_t col);
  void ClickCorner(bool left);
  void PressKey(std::uint16_t key, bool ctrl = false);
  void ReleaseKey(std::uint16_t key);
  // Opens the cell editor on the current cell, replaces its text and leaves it open.
  void TypeInCell(const std::string& text);
  // Enter in the editor: the text goes to the model; false when it refused it, and the editor
  // stays open with the text.
  bool CommitEditor();
  // Esc in the editor: the cell keeps its value.
  void CancelEditor();
  const std::string& EditorText() const { return editorText_; }
  // The cell texts of the rows the view shows, as the model gives them.
  std::string VisibleCellText(std::int32_t visibleRow, std::int32_t col) const;

 private:
  void MoveTo(std::int32_t row, std::int32_t col);

  GridModel* model_ = nullptr;
  std::uint32_t options_ = kGridTitles | kGridIndicator | kGridColLines | kGridRowLines;
  BooleanBox booleanBox_ = BooleanBox::CheckBox;
  std::int32_t row_ = -1;
  std::int32_t col_ = 0;
  std::uint32_t resets_ = 0;
  std::int32_t visibleRows_ = 20;
  std::int32_t topRow_ = 0;
  bool editorOpen_ = false;
  std::string editorText_;
};

enum class NavigatorButton {
  First,
  Prior,
  Next,
  Last,
  Insert,
  Delete,
  Edit,
  Post,
  Cancel,
  Refresh
};
constexpr std::size_t kNavigatorButtons = 10;

class DataNavigator : public Control {
 public:
  DataNavigator(Container& parent, std::string name);
  bool ButtonVisible(NavigatorButton button) const;
  void SetButtonVisible(NavigatorButton button, bool visible);
  const std::string& ButtonHint(NavigatorButton button) const;
  void SetButtonHint(NavigatorButton button, std::string hint);

  std::function<void(NavigatorButton)> onClick;
  // The user presses a shown button.
  void Click(NavigatorButton button);

 private:
  std::array<bool, kNavigatorButtons> visible_{};
  std::array<std::string, kNavigatorButtons> hints_;
};

}  // namespace platform
