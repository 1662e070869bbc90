// The controls of a form as plain data with events, so that a form's behaviour is ordinary code
// that runs and is tested without any widget. Texts are Windows-1252 display bytes.
//
// Setters are the program's own changes and fire no event. The user's actions (Click, Choose,
// TypeText, ...) change the model as the user would, only on a usable control, and fire the
// control's events, each inside the one guard for handlers (platform/handlerguard.h). A backend
// that shows the controls listens through SetViewUpdate and reports what the user did through the
// same user actions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/canvas.h"
#include "platform/ui/mainwindow.h"

namespace platform {

class Form;
class Container;

// How a modal form ended; None while it runs.
enum class ModalResult { None, Ok, Cancel, Abort, Retry, Ignore, Yes, No, Close };

enum class ControlKind {
  Label,
  Edit,
  Button,
  CheckBox,
  RadioGroup,
  ComboBox,
  ListBox,
  Memo,
  SpinEdit,
  SpinButton,
  GroupBox,
  Panel,
  PageControl,
  TabPage,
  StringGrid,
  Image,
  DataGrid,
  DataNavigator,
};

class Control {
 public:
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  ControlKind Kind() const { return kind_; }
  const std::string& Name() const { return name_; }
  Form& OwnerForm() const { return form_; }
  Container& Parent() const { return parent_; }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  const Font& GetFont() const { return font_; }
  void SetFont(const Font& font);

  // Enabled and visible, and so are all the containers around it.
  bool Usable() const;
  // The program moves the keyboard focus to the control; the form remembers it.
  void SetFocus();
  bool HasFocus() const;

  // For the backend that shows the control: called after every change of its model.
  void SetViewUpdate(std::function<void()> update) { viewUpdate_ = std::move(update); }

 protected:
  Control(ControlKind kind, Container& parent, std::string name);
  void Changed() const;

 private:
  ControlKind kind_;
  Form& form_;
  Container& parent_;
  std::string name_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string hint_;
  Font font_;
  std::function<void()> viewUpdate_;
};

// Owns controls in the order they were added; the form and the container controls are one.
class Container {
 public:
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;
  virtual ~Container() = default;

  template <class T>
  T& Add(std::string name);

  const std::vector<std::unique_ptr<Control>>& Children() const { return children_; }
  Form& OwnerForm() const { return form_; }
  // The control this container is, or nullptr for the form itself.
  virtual const Control* AsControl() const = 0;

  // Searches this container and every container inside it.
  Control* FindControl(std::string_view name) const;
  template <class T>
  T* Find(std::string_view name) const {
    return dynamic_cast<T*>(FindControl(name));
  }
  // For names the code itself created: a missing control is a programming error and ends the
  // program with a message.
  template <class T>
  T& Get(std::string_view name) const;

 protected:
  explicit Container(Form& form) : form_(form) {}

 private:
  [[noreturn]] static void MissingControl(std::string_view name);

  Form& form_;
  std::vector<std::unique_ptr<Control>> children_;
};

class Label : public Control {
 public:
  Label(Container& parent, std::string name) : Control(ControlKind::Label, parent, name) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);

  std::function<void()> onClick;
  void Click();

 private:
  std::string caption_;
  bool wordWrap_ = false;
};

class Edit : public Control {
 public:
  Edit(Container& parent, std::string name) : Control(ControlKind::Edit, parent, name) {}
  const std::string& Text() const { return text_; }
  void SetText(std::string text);  // clears the filled mark
  // The program fills the edit with the text of a value it holds exactly; the mark tells it later
  // that the text still stands for that value, which a rounded text could not give back.
  void Fill(std::string text);
  // Set by Fill, cleared by SetText and by any change the user makes.
  bool Filled() const { return filled_; }
  // Longest text the user can type; 0 for no limit. The program's own SetText is not limited.
  std::size_t MaxLength() const { return maxLength_; }
  void SetMaxLength(std::size_t length);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);

  std::function<void()> onChange;
  std::function<void()> onExit;
  // The user replaces the whole text; typing stops at the maximum length.
  void TypeText(std::string_view text);
  // The user moves the focus away.
  void Leave();

 private:
  std::string text_;
  bool filled_ = false;
  std::size_t maxLength_ = 0;
  bool readOnly_ = false;
};

class Button : public Control {
 public:
  Button(Container& parent, std::string name) : Control(ControlKind::Button, parent, name) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  // A result other than None ends the form's modal run after onClick.
  ModalResult GetModalResult() const { return modalResult_; }
  void SetModalResult(ModalResult result);
  // Enter clicks the default button, Esc the cancel button.
  bool IsDefault() const { return isDefault_; }
  void SetDefault(bool on);
  bool IsCancel() const { return isCancel_; }
  void SetCancel(bool on);

  std::function<void()> onClick;
  void Click();

 private:
  std::string caption_;
  ModalResult modalResult_ = ModalResult::None;
  bool isDefault_ = false;
  bool isCancel_ = false;
};

class CheckBox : public Control {
 public:
  CheckBox(Container& parent, std::string name) : Control(ControlKind::CheckBox, parent, name) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

  std::function<void()> onClick;
  // The user toggles the box.
  void Click();

 private:
  std::string caption_;
  bool checked_ = false;
};

// Items with at most one chosen; ItemIndex -1 when none is.
class RadioGroup : public Control {
 public:
  RadioGroup(Container& parent, std::string name)
      : Control(ControlKind::RadioGroup, parent, name) {}
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);  // chooses none
  std::int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(std::int32_t index);  // out of range chooses none
  std::int32_t Columns() const { return columns_; }
  void SetColumns(std::int32_t columns);

  std::function<void()> onClick;
  void Choose(std::int32_t index);

 private:
  std::string caption_;
  std::vector<std::string> items_;
  std::int32_t itemIndex_ = -1;
  std::int32_t columns_ = 1;
};

// A drop-down list; editable ones also take typed text.
class ComboBox : public Control {
 public:
  ComboBox(Container& parent, std::string name) : Control(ControlKind::ComboBox, parent, name) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);  // chooses none, keeps the text
  // Choosing an item also sets the text to it.
  std::int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(std::int32_t index);
  const std::string& Text() const { return text_; }
  void SetText(std::string text);  // chooses the item equal to the text, if any
  bool Editable() const { return editable_; }
  void SetEditable(bool on);

  std::function<void()> onChange;
  void Choose(std::int32_t index);
  void TypeText(std::string_view text);  // only when editable

 private:
  std::vector<std::string> items_;
  std::int32_t itemIndex_ = -1;
  std::string text_;
  bool editable_ = false;
};

class ListBox : public Control {
 public:
  ListBox(Container& parent, std::string name) : Control(ControlKind::ListBox, parent, name) {}
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);  // chooses none
  std::int32_t ItemIndex() const { return itemIndex_; }
  void SetItemIndex(std::int32_t index);

  std::function<void()> onClick;
  std::function<void()> onDoubleClick;
  void Choose(std::int32_t index);
  void DoubleClick(std::int32_t index);

 private:
  std::vector<std::string> items_;
  std::int32_t itemIndex_ = -1;
};

// Multi-line text, held as lines without line ends.
class Memo : public Control {
 public:
  Memo(Container& parent, std::string name) : Control(ControlKind::Memo, parent, name) {}
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetLines(std::vector<std::string> lines);
  void AddLine(std::string line);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);

  std::function<void()> onChange;
  void TypeLines(std::vector<std::string> lines);

 private:
  std::vector<std::string> lines_;
  bool readOnly_ = false;
  bool wordWrap_ = true;
};

// A whole number in a range, typed or stepped.
class SpinEdit : public Control {
 public:
  SpinEdit(Container& parent, std::string name) : Control(ControlKind::SpinEdit, parent, name) {}
  std::int32_t Value() const { return value_; }
  void SetValue(std::int32_t value);  // kept in the range
  std::int32_t Min() const { return min_; }
  std::int32_t Max() const { return max_; }
  void SetRange(std::int32_t min, std::int32_t max);
  // Most digits the user can type; 0 for no limit.
  std::int32_t MaxDigits() const { return maxDigits_; }
  void SetMaxDigits(std::int32_t digits);

  std::function<void()> onChange;
  // The user types the number's digits; typing stops at the most digits.
  void TypeValue(std::int32_t value);

 private:
  std::int32_t value_ = 0;
  std::int32_t min_ = 0;
  std::int32_t max_ = 100;
  std::int32_t maxDigits_ = 0;
};

// A pair of up and down arrows without a value of its own.
class SpinButton : public Control {
 public:
  SpinButton(Container& parent, std::string name)
      : Control(ControlKind::SpinButton, parent, name) {}

  std::function<void()> onUpClick;
  std::function<void()> onDownClick;
  void ClickUp();
  void ClickDown();
};

class GroupBox : public Control, public Container {
 public:
  GroupBox(Container& parent, std::string name);
  const Control* AsControl() const override { return this; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 private:
  std::string caption_;
};

// A plain area that holds controls or shows a colour (a colour swatch), and can be clicked.
class Panel : public Control, public Container {
 public:
  Panel(Container& parent, std::string name);
  const Control* AsControl() const override { return this; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool HasColor() const { return hasColor_; }
  Color GetColor() const { return color_; }
  void SetColor(Color color);

  std::function<void()> onClick;
  void Click();

 private:
  std::string caption_;
  bool hasColor_ = false;
  Color color_;
};

class TabPage : public Control, public Container {
 public:
  TabPage(Container& parent, std::string name);
  const Control* AsControl() const override { return this; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

 private:
  std::string caption_;
};

// Pages on tabs; its children are TabPage controls.
class PageControl : public Control, public Container {
 public:
  PageControl(Container& parent, std::string name);
  const Control* AsControl() const override { return this; }
  TabPage& AddPage(std::string name, std::string caption);
  std::int32_t ActivePageIndex() const { return activePage_; }
  void SetActivePageIndex(std::int32_t index);

  std::function<void()> onChange;
  void ChoosePage(std::int32_t index);

 private:
  std::int32_t activePage_ = 0;
};

// A table of texts addressed as (column, row); the first FixedCols columns and FixedRows rows
// are headings.
class StringGrid : public Control {
 public:
  StringGrid(Container& parent, std::string name);
  std::int32_t ColCount() const { return colCount_; }
  std::int32_t RowCount() const { return rowCount_; }
  void SetSize(std::int32_t cols, std::int32_t rows);  // keeps the cells that remain
  std::int32_t FixedCols() const { return fixedCols_; }
  std::int32_t FixedRows() const { return fixedRows_; }
  void SetFixed(std::int32_t cols, std::int32_t rows);
  // Cells outside the grid read as empty and ignore writes.
  const std::string& Cell(std::int32_t col, std::int32_t row) const;
  void SetCell(std::int32_t col, std::int32_t row, std::string text);
  // Pixel width of a column; 0 leaves it to the backend.
  std::int32_t ColWidth(std::int32_t col) const;
  void SetColWidth(std::int32_t col, std::int32_t width);
  bool Editable() const { return editable_; }
  void SetEditable(bool on);
  std::int32_t Col() const { return col_; }
  std::int32_t Row() const { return row_; }
  void SetCurrent(std::int32_t col, std::int32_t row);

  // Height of every row in pixels, lines between rows left out.
  std::int32_t DefaultRowHeight() const { return rowHeight_; }
  void SetDefaultRowHeight(std::int32_t height);
  // The cell's rectangle in client pixels, unscrolled, with a line of one pixel between cells; a
  // column without a width counts 64 pixels.
  Rect CellRect(std::int32_t col, std::int32_t row) const;

  // May refuse the move by returning false.
  std::function<bool(std::int32_t col, std::int32_t row)> onSelectCell;
  // A press of a mouse button at client pixels of CellRect's frame. The press itself never moves
  // the current cell; a left press on a cell is followed by SelectCell.
  std::function<void(MouseButton button, std::int32_t x, std::int32_t y)> onMouseDown;
  void MouseDown(MouseButton button, std::int32_t x, std::int32_t y);
  std::function<void(std::int32_t col, std::int32_t row)> onCellEdited;
  void SelectCell(std::int32_t col, std::int32_t row);
  void TypeCell(std::int32_t col, std::int32_t row, std::string_view text);  // when editable

 private:
  bool Inside(std::int32_t col, std::int32_t row) const;

  std::int32_t colCount_ = 5;
  std::int32_t rowCount_ = 5;
  std::int32_t fixedCols_ = 1;
  std::int32_t fixedRows_ = 1;
  std::vector<std::string> cells_;  // row by row
  std::vector<std::int32_t> colWidths_;
  bool editable_ = false;
  std::int32_t col_ = 1;
  std::int32_t row_ = 1;
  std::int32_t rowHeight_ = 24;
};

// An area the program paints through onPaint.
class Image : public Control {
 public:
  Image(Container& parent, std::string name) : Control(ControlKind::Image, parent, name) {}
  Size GetSize() const { return size_; }
  void SetSize(Size size);
  // Asks the backend to paint it again.
  void Invalidate() { Changed(); }

  std::function<void(Canvas&)> onPaint;
  std::function<void()> onClick;
  void Paint(Canvas& canvas) const;
  void Click();

 private:
  Size size_{100, 100};
};

template <class T>
T& Container::Add(std::string name) {
  auto control = std::make_unique<T>(*this, std::move(name));
  T& added = *control;
  children_.push_back(std::move(control));
  return added;
}

template <class T>
T& Container::Get(std::string_view name) const {
  T* found = Find<T>(name);
  if (found == nullptr) MissingControl(name);
  return *found;
}

}  // namespace platform
