#include "platform/ui/controls.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "platform/ui/forms.h"
#include "platform/ui/handlerguard.h"

namespace platform {

namespace {

bool ValidIndex(std::int32_t index, const std::vector<std::string>& items) {
  return index >= 0 && static_cast<std::size_t>(index) < items.size();
}

}  // namespace

Control::Control(ControlKind kind, Container& parent, std::string name)
    : kind_(kind), form_(parent.OwnerForm()), parent_(parent), name_(std::move(name)) {}

void Control::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Changed();
}

void Control::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

void Control::SetHint(std::string hint) {
  hint_ = std::move(hint);
  Changed();
}

void Control::SetFont(const Font& font) {
  font_ = font;
  Changed();
}

void Control::SetFocus() {
  form_.SetFocusedControl(*this);
}

bool Control::HasFocus() const {
  return form_.FocusedControl() == this;
}

bool Control::Usable() const {
  for (const Control* c = this; c != nullptr; c = c->parent_.AsControl()) {
    if (!c->enabled_ || !c->visible_) return false;
  }
  return true;
}

void Control::Changed() const {
  if (viewUpdate_) viewUpdate_();
}

Control* Container::FindControl(std::string_view name) const {
  for (const auto& child : children_) {
    if (child->Name() == name) return child.get();
    if (const auto* inner = dynamic_cast<const Container*>(child.get())) {
      if (Control* found = inner->FindControl(name)) return found;
    }
  }
  return nullptr;
}

void Container::MissingControl(std::string_view name) {
  std::fprintf(stderr, "form has no control %.*s of the asked kind\n",
               static_cast<int>(name.size()), name.data());
  std::abort();
}

void Label::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

void Label::SetWordWrap(bool on) {
  wordWrap_ = on;
  Changed();
}

void Label::Click() {
  if (Usable()) RunGuarded(onClick);
}

void Edit::SetText(std::string text) {
  text_ = std::move(text);
  filled_ = false;
  Changed();
}

void Edit::Fill(std::string text) {
  SetText(std::move(text));
  filled_ = true;
}

void Edit::SetMaxLength(std::size_t length) {
  maxLength_ = length;
  Changed();
}

void Edit::SetReadOnly(bool on) {
  readOnly_ = on;
  Changed();
}

void Edit::TypeText(std::string_view text) {
  if (!Usable() || readOnly_) return;
  if (maxLength_ > 0 && text.size() > maxLength_) text = text.substr(0, maxLength_);
  if (text == text_) return;
  SetText(std::string(text));
  RunGuarded(onChange);
}

void Edit::Leave() {
  RunGuarded(onExit);
}

void Button::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

void Button::SetModalResult(ModalResult result) {
  modalResult_ = result;
  Changed();
}

void Button::SetDefault(bool on) {
  isDefault_ = on;
  Changed();
}

void Button::SetCancel(bool on) {
  isCancel_ = on;
  Changed();
}

void Button::Click() {
  if (!Usable()) return;
  // A handler that failed leaves the form open.
  if (!RunGuarded(onClick)) return;
  if (modalResult_ != ModalResult::None) OwnerForm().SetModalResult(modalResult_);
}

void CheckBox::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

void CheckBox::SetChecked(bool checked) {
  checked_ = checked;
  Changed();
}

void CheckBox::Click() {
  if (!Usable()) return;
  SetChecked(!checked_);
  RunGuarded(onClick);
}

void RadioGroup::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

void RadioGroup::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Changed();
}

void RadioGroup::SetItemIndex(std::int32_t index) {
  itemIndex_ = ValidIndex(index, items_) ? index : -1;
  Changed();
}

void RadioGroup::SetColumns(std::int32_t columns) {
  columns_ = std::max<std::int32_t>(columns, 1);
  Changed();
}

void RadioGroup::Choose(std::int32_t index) {
  if (!Usable() || !ValidIndex(index, items_)) return;
  SetItemIndex(index);
  RunGuarded(onClick);
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Changed();
}

void ComboBox::SetItemIndex(std::int32_t index) {
  itemIndex_ = ValidIndex(index, items_) ? index : -1;
  if (itemIndex_ >= 0) text_ = items_[static_cast<std::size_t>(itemIndex_)];
  Changed();
}

void ComboBox::SetText(std::string text) {
  auto found = std::find(items_.begin(), items_.end(), text);
  itemIndex_ = found == items_.end() ? -1 : static_cast<std::int32_t>(found - items_.begin());
  text_ = std::move(text);
  Changed();
}

void ComboBox::SetEditable(bool on) {
  editable_ = on;
  Changed();
}

void ComboBox::Choose(std::int32_t index) {
  if (!Usable() || !ValidIndex(index, items_) || index == itemIndex_) return;
  SetItemIndex(index);
  RunGuarded(onChange);
}

void ComboBox::TypeText(std::string_view text) {
  if (!Usable() || !editable_ || text == text_) return;
  SetText(std::string(text));
  RunGuarded(onChange);
}

void ListBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Changed();
}

void ListBox::SetItemIndex(std::int32_t index) {
  itemIndex_ = ValidIndex(index, items_) ? index : -1;
  Changed();
}

void ListBox::Choose(std::int32_t index) {
  if (!Usable() || !ValidIndex(index, items_)) return;
  SetItemIndex(index);
  RunGuarded(onClick);
}

void ListBox::DoubleClick(std::int32_t index) {
  if (!Usable() || !ValidIndex(index, items_)) return;
  Choose(index);
  RunGuarded(onDoubleClick);
}

void Memo::SetLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  Changed();
}

void Memo::AddLine(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void Memo::SetReadOnly(bool on) {
  readOnly_ = on;
  Changed();
}

void Memo::SetWordWrap(bool on) {
  wordWrap_ = on;
  Changed();
}

void Memo::TypeLines(std::vector<std::string> lines) {
  if (!Usable() || readOnly_ || lines == lines_) return;
  SetLines(std::move(lines));
  RunGuarded(onChange);
}

void SpinEdit::SetValue(std::int32_t value) {
  value_ = std::clamp(value, min_, max_);
  Changed();
}

void SpinEdit::SetRange(std::int32_t min, std::int32_t max) {
  min_ = std::min(min, max);
  max_ = std::max(min, max);
  SetValue(value_);
}

void SpinEdit::SetMaxDigits(std::int32_t digits) {
  maxDigits_ = std::max<std::int32_t>(digits, 0);
  Changed();
}

void SpinEdit::TypeValue(std::int32_t value) {
  if (maxDigits_ > 0) {
    std::int32_t limit = 1;
    for (std::int32_t d = 0; d < maxDigits_ && limit <= INT32_MAX / 10; ++d) limit *= 10;
    while (value >= limit || value <= -limit) value /= 10;
  }
  if (!Usable() || std::clamp(value, min_, max_) == value_) return;
  SetValue(value);
  RunGuarded(onChange);
}

void SpinButton::ClickUp() {
  if (Usable()) RunGuarded(onUpClick);
}

void SpinButton::ClickDown() {
  if (Usable()) RunGuarded(onDownClick);
}

GroupBox::GroupBox(Container& parent, std::string name)
    : Control(ControlKind::GroupBox, parent, std::move(name)), Container(parent.OwnerForm()) {}

void GroupBox::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

Panel::Panel(Container& parent, std::string name)
    : Control(ControlKind::Panel, parent, std::move(name)), Container(parent.OwnerForm()) {}

void Panel::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

void Panel::SetColor(Color color) {
  hasColor_ = true;
  color_ = color;
  Changed();
}

void Panel::Click() {
  if (Usable()) RunGuarded(onClick);
}

TabPage::TabPage(Container& parent, std::string name)
    : Control(ControlKind::TabPage, parent, std::move(name)), Container(parent.OwnerForm()) {}

void TabPage::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Changed();
}

PageControl::PageControl(Container& parent, std::string name)
    : Control(ControlKind::PageControl, parent, std::move(name)), Container(parent.OwnerForm()) {}

TabPage& PageControl::AddPage(std::string name, std::string caption) {
  TabPage& page = Add<TabPage>(std::move(name));
  page.SetCaption(std::move(caption));
  return page;
}

void PageControl::SetActivePageIndex(std::int32_t index) {
  if (index < 0 || static_cast<std::size_t>(index) >= Children().size()) return;
  activePage_ = index;
  Changed();
}

void PageControl::ChoosePage(std::int32_t index) {
  if (!Usable() || index == activePage_) return;
  SetActivePageIndex(index);
  if (activePage_ == index) RunGuarded(onChange);
}

StringGrid::StringGrid(Container& parent, std::string name)
    : Control(ControlKind::StringGrid, parent, std::move(name)),
      cells_(static_cast<std::size_t>(colCount_ * rowCount_)),
      colWidths_(static_cast<std::size_t>(colCount_)) {}

void StringGrid::SetSize(std::int32_t cols, std::int32_t rows) {
  cols = std::max<std::int32_t>(cols, 0);
  rows = std::max<std::int32_t>(rows, 0);
  std::vector<std::string> cells(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
  for (std::int32_t r = 0; r < std::min(rows, rowCount_); ++r) {
    for (std::int32_t c = 0; c < std::min(cols, colCount_); ++c) {
      cells[static_cast<std::size_t>(r * cols + c)] =
          std::move(cells_[static_cast<std::size_t>(r * colCount_ + c)]);
    }
  }
  cells_ = std::move(cells);
  colWidths_.resize(static_cast<std::size_t>(cols));
  colCount_ = cols;
  rowCount_ = rows;
  col_ = std::clamp(col_, std::int32_t{0}, std::max(cols - 1, std::int32_t{0}));
  row_ = std::clamp(row_, std::int32_t{0}, std::max(rows - 1, std::int32_t{0}));
  Changed();
}

void StringGrid::SetFixed(std::int32_t cols, std::int32_t rows) {
  fixedCols_ = std::max<std::int32_t>(cols, 0);
  fixedRows_ = std::max<std::int32_t>(rows, 0);
  Changed();
}

bool StringGrid::Inside(std::int32_t col, std::int32_t row) const {
  return col >= 0 && col < colCount_ && row >= 0 && row < rowCount_;
}

const std::string& StringGrid::Cell(std::int32_t col, std::int32_t row) const {
  static const std::string kEmpty;
  return Inside(col, row) ? cells_[static_cast<std::size_t>(row * colCount_ + col)] : kEmpty;
}

void StringGrid::SetCell(std::int32_t col, std::int32_t row, std::string text) {
  if (!Inside(col, row)) return;
  cells_[static_cast<std::size_t>(row * colCount_ + col)] = std::move(text);
  Changed();
}

std::int32_t StringGrid::ColWidth(std::int32_t col) const {
  return col >= 0 && col < colCount_ ? colWidths_[static_cast<std::size_t>(col)] : 0;
}

void StringGrid::SetColWidth(std::int32_t col, std::int32_t width) {
  if (col < 0 || col >= colCount_) return;
  colWidths_[static_cast<std::size_t>(col)] = std::max<std::int32_t>(width, 0);
  Changed();
}

void StringGrid::SetEditable(bool on) {
  editable_ = on;
  Changed();
}

void StringGrid::SetCurrent(std::int32_t col, std::int32_t row) {
  if (!Inside(col, row)) return;
  col_ = col;
  row_ = row;
  Changed();
}

void StringGrid::SelectCell(std::int32_t col, std::int32_t row) {
  if (!Usable() || !Inside(col, row) || col < fixedCols_ || row < fixedRows_) return;
  if (onSelectCell) {
    bool allowed = false;
    if (!RunGuarded([&] { allowed = onSelectCell(col, row); }) || !allowed) return;
  }
  SetCurrent(col, row);
}

void StringGrid::SetDefaultRowHeight(std::int32_t height) {
  rowHeight_ = std::max<std::int32_t>(height, 1);
  Changed();
}

Rect StringGrid::CellRect(std::int32_t col, std::int32_t row) const {
  constexpr std::int32_t kUnsetWidth = 64;
  const auto width = [this](std::int32_t c) { return ColWidth(c) > 0 ? ColWidth(c) : kUnsetWidth; };
  std::int32_t left = 0;
  for (std::int32_t c = 0; c < col; ++c) left += width(c) + 1;
  const std::int32_t top = row * (rowHeight_ + 1);
  return {left, top, left + width(col), top + rowHeight_};
}

void StringGrid::MouseDown(MouseButton button, std::int32_t x, std::int32_t y) {
  if (Usable() && onMouseDown) RunGuarded([&] { onMouseDown(button, x, y); });
}

void StringGrid::TypeCell(std::int32_t col, std::int32_t row, std::string_view text) {
  if (!Usable() || !editable_ || !Inside(col, row) || col < fixedCols_ || row < fixedRows_) {
    return;
  }
  if (Cell(col, row) == text) return;
  SetCell(col, row, std::string(text));
  if (onCellEdited) RunGuarded([&] { onCellEdited(col, row); });
}

void Image::SetSize(Size size) {
  size_ = size;
  Changed();
}

void Image::Paint(Canvas& canvas) const {
  if (onPaint) RunGuarded([&] { onPaint(canvas); });
}

void Image::Click() {
  if (Usable()) RunGuarded(onClick);
}

}  // namespace platform
