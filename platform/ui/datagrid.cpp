// The data grid's and navigator's model: the current cell, the cell editor and the user's
// clicks and keys.

#include "platform/ui/datagrid.h"

#include <algorithm>

#include "platform/ui/handlerguard.h"
#include "platform/ui/keys.h"

namespace platform {

DataGrid::DataGrid(Container& parent, std::string name)
    : Control(ControlKind::DataGrid, parent, std::move(name)) {}

void DataGrid::SetModel(GridModel* model) {
  model_ = model;
  Reset();
}

void DataGrid::SetOptions(std::uint32_t options) {
  options_ = options;
  Changed();
}

void DataGrid::SetBooleanBox(BooleanBox box) {
  booleanBox_ = box;
  Changed();
}

void DataGrid::SetCurrent(std::int32_t row, std::int32_t col) {
  const std::int32_t rows = model_ != nullptr ? model_->RowCount() : 0;
  const std::int32_t cols = model_ != nullptr ? model_->ColumnCount() : 0;
  row_ = rows > 0 ? std::clamp(row, 0, rows - 1) : -1;
  col_ = cols > 0 ? std::clamp(col, 0, cols - 1) : 0;
  if (row_ >= 0 && row_ < topRow_) topRow_ = row_;
  if (row_ >= topRow_ + visibleRows_) topRow_ = row_ - visibleRows_ + 1;
  Changed();
}

void DataGrid::Reset() {
  editorOpen_ = false;
  ++resets_;
  SetCurrent(row_, col_);
}

void DataGrid::SetVisibleRows(std::int32_t rows) {
  visibleRows_ = std::max(rows, 1);
}

void DataGrid::SetTopRow(std::int32_t row) {
  const std::int32_t rows = model_ != nullptr ? model_->RowCount() : 0;
  topRow_ = std::clamp(row, 0, std::max(rows - 1, 0));
}

void DataGrid::MoveTo(std::int32_t row, std::int32_t col) {
  if (editorOpen_ && row != row_ && !CommitEditor()) return;
  const std::int32_t oldRow = row_;
  const std::int32_t oldCol = col_;
  SetCurrent(row, col);
  if (row_ != oldRow || col_ != oldCol) RunGuarded(onCurrentChanged);
}

void DataGrid::ClickCell(std::int32_t row, std::int32_t col) {
  if (!Usable() || model_ == nullptr || row < 0 || row >= model_->RowCount()) return;
  MoveTo(row, col);
  if (onCellClick) RunGuarded([&] { onCellClick(row_, col_); });
}

void DataGrid::ClickTitle(std::int32_t col) {
  if (!Usable() || !HasOption(kGridTitles)) return;
  if (onTitleClick) RunGuarded([&] { onTitleClick(col); });
}

void DataGrid::ClickCorner(bool left) {
  if (!Usable()) return;
  if (onCornerClick) RunGuarded([&] { onCornerClick(left); });
}

void DataGrid::PressKey(std::uint16_t key, bool ctrl) {
  if (!Usable()) return;
  if (onKeyDown) {
    bool handled = false;
    if (!RunGuarded([&] { handled = onKeyDown(key, ctrl); }) || handled) return;
  }
  const std::int32_t rows = model_ != nullptr ? model_->RowCount() : 0;
  switch (key) {
    case keys::kEnter:
      if (editorOpen_) CommitEditor();
      break;
    case keys::kEscape:
      if (editorOpen_) CancelEditor();
      break;
    case keys::kDown:
      if (row_ + 1 >= rows && onPastEnd) {
        if (editorOpen_ && !CommitEditor()) return;
        RunGuarded(onPastEnd);
      } else {
        MoveTo(row_ + 1, col_);
      }
      break;
    case keys::kUp:
      MoveTo(std::max(row_ - 1, 0), col_);
      break;
    case keys::kPageDown:
      MoveTo(row_ + visibleRows_, col_);
      break;
    case keys::kPageUp:
      MoveTo(std::max(row_ - visibleRows_, 0), col_);
      break;
    case keys::kHome:
      MoveTo(ctrl ? 0 : row_, ctrl ? col_ : 0);
      break;
    case keys::kEnd:
      MoveTo(ctrl ? rows - 1 : row_, ctrl ? col_ : (model_ ? model_->ColumnCount() - 1 : 0));
      break;
    case keys::kLeft:
      MoveTo(row_, std::max(col_ - 1, 0));
      break;
    case keys::kRight:
    case keys::kTab:
      MoveTo(row_, col_ + 1);
      break;
    default:
      break;
  }
}

void DataGrid::ReleaseKey(std::uint16_t key) {
  if (!Usable()) return;
  if (onKeyUp) RunGuarded([&] { onKeyUp(key); });
}

void DataGrid::TypeInCell(const std::string& text) {
  if (!Usable() || model_ == nullptr || row_ < 0 || !HasOption(kGridEditing) ||
      HasOption(kGridRowSelect) || model_->ColumnReadOnly(col_)) {
    return;
  }
  editorOpen_ = true;
  editorText_ = text;
  Changed();
}

bool DataGrid::CommitEditor() {
  if (!editorOpen_) return true;
  // A refused text stays in the open editor until the user corrects it or cancels the edit.
  const bool taken = model_->SetCellText(row_, col_, editorText_);
  editorOpen_ = !taken;
  Changed();
  return taken;
}

void DataGrid::CancelEditor() {
  editorOpen_ = false;
  editorText_.clear();
  Changed();
}

std::string DataGrid::VisibleCellText(std::int32_t visibleRow, std::int32_t col) const {
  if (model_ == nullptr) return {};
  const std::int32_t row = topRow_ + visibleRow;
  if (visibleRow < 0 || visibleRow >= visibleRows_ || row >= model_->RowCount()) return {};
  return model_->CellText(row, col);
}

DataNavigator::DataNavigator(Container& parent, std::string name)
    : Control(ControlKind::DataNavigator, parent, std::move(name)) {
  visible_.fill(true);
}

bool DataNavigator::ButtonVisible(NavigatorButton button) const {
  return visible_[static_cast<std::size_t>(button)];
}

void DataNavigator::SetButtonVisible(NavigatorButton button, bool visible) {
  visible_[static_cast<std::size_t>(button)] = visible;
  Changed();
}

const std::string& DataNavigator::ButtonHint(NavigatorButton button) const {
  return hints_[static_cast<std::size_t>(button)];
}

void DataNavigator::SetButtonHint(NavigatorButton button, std::string hint) {
  hints_[static_cast<std::size_t>(button)] = std::move(hint);
  Changed();
}

void DataNavigator::Click(NavigatorButton button) {
  if (!Usable() || !ButtonVisible(button)) return;
  if (onClick) RunGuarded([&] { onClick(button); });
}

}  // namespace platform
