#include "platform/qt/qtform.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/qt/qtcanvas.h"
#include "platform/qt/qtdatagrid.h"
#include "platform/qt/qtmenubar.h"
#include "platform/qt/qtscreen.h"
#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

// Esc and Enter go to the form's cancel and default buttons; the close box closes the form.
class FormDialog : public QDialog {
 public:
  explicit FormDialog(Form& form) : form_(form) {}
  void reject() override { form_.Close(); }

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) form_.Activate();
    return QDialog::event(event);
  }
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (key == Qt::Key_Escape) {
      form_.PressEscape();
    } else if ((key == Qt::Key_Return || key == Qt::Key_Enter) && form_.DefaultButton()) {
      form_.PressEnter();
    } else {
      QDialog::keyPressEvent(event);
    }
  }
  // The placement follows the dialog while it shows, so windows opened over the form meanwhile
  // find it where it is.
  void moveEvent(QMoveEvent* event) override {
    QDialog::moveEvent(event);
    if (isVisible()) ReadPlacement(*this, form_.Placement());
  }
  void resizeEvent(QResizeEvent* event) override {
    QDialog::resizeEvent(event);
    if (isVisible()) ReadPlacement(*this, form_.Placement());
  }

 private:
  Form& form_;
};

class ClickLabel : public QLabel {
 public:
  ClickLabel(Label& model, QWidget* parent) : QLabel(parent), model_(model) {}

 protected:
  void mousePressEvent(QMouseEvent*) override { model_.Click(); }

 private:
  Label& model_;
};

class LeaveLineEdit : public QLineEdit {
 public:
  LeaveLineEdit(Edit& model, QWidget* parent) : QLineEdit(parent), model_(model) {}

  // A dialog takes its least size, and a layout squeezes an edit below the text the program
  // put in it: the edit keeps room for that text, and for a short number at the least, up to
  // half the screen.
  void KeepRoomForText() {
    constexpr int kLeastDigits = 8;
    constexpr int kTextMargins = 2 * 2;  // Qt's own blank on each side of the text
    const QFontMetrics metrics = fontMetrics();
    const int textWidth = std::max(metrics.horizontalAdvance(text()),
                                   kLeastDigits * metrics.horizontalAdvance(QLatin1Char('0')));
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QMargins margins = textMargins();
    const QSize contents(textWidth + kTextMargins + margins.left() + margins.right(), height());
    const int width =
        style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this).width();
    setMinimumWidth(std::min(width, screen()->availableGeometry().width() / 2));
  }

 protected:
  void changeEvent(QEvent* event) override {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange) KeepRoomForText();
  }
  void focusOutEvent(QFocusEvent* event) override {
    QLineEdit::focusOutEvent(event);
    model_.Leave();
  }

 private:
  Edit& model_;
};

class PanelFrame : public QFrame {
 public:
  PanelFrame(platform::Panel& model, QWidget* parent) : QFrame(parent), model_(model) {}

 protected:
  void mousePressEvent(QMouseEvent*) override { model_.Click(); }

 private:
  platform::Panel& model_;
};

class ImageWidget : public QWidget {
 public:
  ImageWidget(Image& model, QWidget* parent) : QWidget(parent), model_(model) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    PainterCanvas canvas(painter, {width(), height()});
    model_.Paint(canvas);
  }
  void mousePressEvent(QMouseEvent*) override { model_.Click(); }

 private:
  Image& model_;
};

QStringList ToQStringList(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& text : texts) list << ToQString(text);
  return list;
}

std::vector<std::string> SplitLines(const QString& text) {
  std::vector<std::string> lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(FromQString(line));
  return lines;
}

QString JoinLines(const std::vector<std::string>& lines) {
  QStringList list = ToQStringList(lines);
  return list.join(QLatin1Char('\n'));
}

// Runs sync now and after every change of the model; sync runs with the widget's signals
// blocked, so that only the user's actions reach the model.
void Bind(Control& control, QWidget* widget, std::function<void()> specific) {
  auto sync = [&control, widget, specific = std::move(specific)] {
    const QSignalBlocker block(widget);
    specific();
    widget->setEnabled(control.Enabled());
    if (control.Kind() != ControlKind::TabPage) widget->setVisible(control.Visible());
    widget->setToolTip(ToQString(control.Hint()));
    const Font& font = control.GetFont();
    if (!font.face.empty()) {
      QFont qfont(ToQString(font.face));
      if (font.height > 0) qfont.setPixelSize(font.height);
      qfont.setBold(font.bold);
      qfont.setItalic(font.italic);
      widget->setFont(qfont);
    }
  };
  sync();
  control.SetViewUpdate(std::move(sync));
}

void FillContainer(QWidget* host, Container& container, QHBoxLayout* buttonRow);

QWidget* MakeLabel(Label& label, QWidget* parent) {
  auto* widget = new ClickLabel(label, parent);
  Bind(label, widget, [widget, &label] {
    widget->setText(WithoutAccessKey(label.Caption()));
    widget->setWordWrap(label.WordWrap());
  });
  return widget;
}

QWidget* MakeEdit(Edit& edit, QWidget* parent) {
  auto* widget = new LeaveLineEdit(edit, parent);
  Bind(edit, widget, [widget, &edit] {
    if (FromQString(widget->text()) != edit.Text()) {
      widget->setText(ToQString(edit.Text()));
      widget->KeepRoomForText();
    }
    widget->setMaxLength(edit.MaxLength() > 0 ? static_cast<int>(edit.MaxLength()) : 32767);
    widget->setReadOnly(edit.ReadOnly());
  });
  widget->KeepRoomForText();
  QObject::connect(widget, &QLineEdit::textEdited,
                   [&edit](const QString& text) { edit.TypeText(FromQString(text)); });
  return widget;
}

QWidget* MakeButton(Button& button, QWidget* parent) {
  auto* widget = new QPushButton(parent);
  widget->setAutoDefault(false);
  Bind(button, widget, [widget, &button] {
    widget->setText(ToQString(button.Caption()));
    widget->setDefault(button.IsDefault());
  });
  QObject::connect(widget, &QPushButton::clicked, [&button] { button.Click(); });
  return widget;
}

QWidget* MakeCheckBox(CheckBox& box, QWidget* parent) {
  auto* widget = new QCheckBox(parent);
  Bind(box, widget, [widget, &box] {
    widget->setText(ToQString(box.Caption()));
    widget->setChecked(box.Checked());
  });
  QObject::connect(widget, &QCheckBox::clicked, [&box] { box.Click(); });
  return widget;
}

QWidget* MakeRadioGroup(RadioGroup& radio, QWidget* parent) {
  auto* widget = new QGroupBox(parent);
  auto* layout = new QGridLayout(widget);
  auto* group = new QButtonGroup(widget);
  Bind(radio, widget, [widget, layout, group, &radio] {
    const QSignalBlocker blockGroup(group);
    const auto& items = radio.Items();
    bool same = group->buttons().size() == static_cast<qsizetype>(items.size());
    for (std::size_t i = 0; same && i < items.size(); ++i) {
      same = group->button(static_cast<int>(i))->text() == ToQString(items[i]);
    }
    if (!same) {
      for (QAbstractButton* old : group->buttons()) delete old;
      const int columns = radio.Columns();
      const int perColumn = (static_cast<int>(items.size()) + columns - 1) / columns;
      for (std::size_t i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(ToQString(items[i]), widget);
        const int index = static_cast<int>(i);
        group->addButton(button, index);
        layout->addWidget(button, index % perColumn, index / perColumn);
      }
    }
    widget->setTitle(ToQString(radio.Caption()));
    group->setExclusive(false);  // lets "none chosen" show
    for (QAbstractButton* button : group->buttons()) {
      const QSignalBlocker blockButton(button);
      button->setChecked(group->id(button) == radio.ItemIndex());
    }
    group->setExclusive(true);
  });
  QObject::connect(group, &QButtonGroup::idClicked, [&radio](int id) { radio.Choose(id); });
  return widget;
}

QWidget* MakeComboBox(ComboBox& combo, QWidget* parent) {
  auto* widget = new QComboBox(parent);
  Bind(combo, widget, [widget, &combo] {
    widget->setEditable(combo.Editable());
    const QStringList items = ToQStringList(combo.Items());
    QStringList shown;
    for (int i = 0; i < widget->count(); ++i) shown << widget->itemText(i);
    if (shown != items) {
      widget->clear();
      widget->addItems(items);
    }
    widget->setCurrentIndex(combo.ItemIndex());
    if (combo.Editable()) widget->setEditText(ToQString(combo.Text()));
  });
  QObject::connect(widget, &QComboBox::activated, [&combo](int index) { combo.Choose(index); });
  QObject::connect(widget, &QComboBox::editTextChanged,
                   [&combo](const QString& text) { combo.TypeText(FromQString(text)); });
  return widget;
}

QWidget* MakeListBox(ListBox& list, QWidget* parent) {
  auto* widget = new QListWidget(parent);
  Bind(list, widget, [widget, &list] {
    const QStringList items = ToQStringList(list.Items());
    QStringList shown;
    for (int i = 0; i < widget->count(); ++i) shown << widget->item(i)->text();
    if (shown != items) {
      widget->clear();
      widget->addItems(items);
    }
    widget->setCurrentRow(list.ItemIndex());
  });
  QObject::connect(widget, &QListWidget::currentRowChanged, [&list](int row) { list.Choose(row); });
  QObject::connect(widget, &QListWidget::itemDoubleClicked,
                   [widget, &list](QListWidgetItem* item) { list.DoubleClick(widget->row(item)); });
  return widget;
}

QWidget* MakeMemo(Memo& memo, QWidget* parent) {
  auto* widget = new QPlainTextEdit(parent);
  Bind(memo, widget, [widget, &memo] {
    const QString text = JoinLines(memo.Lines());
    if (widget->toPlainText() != text) widget->setPlainText(text);
    widget->setReadOnly(memo.ReadOnly());
    widget->setLineWrapMode(memo.WordWrap() ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  });
  QObject::connect(widget, &QPlainTextEdit::textChanged,
                   [widget, &memo] { memo.TypeLines(SplitLines(widget->toPlainText())); });
  return widget;
}

QWidget* MakeSpinEdit(SpinEdit& spin, QWidget* parent) {
  auto* widget = new QSpinBox(parent);
  Bind(spin, widget, [widget, &spin] {
    widget->setRange(spin.Min(), spin.Max());
    widget->setValue(spin.Value());
    if (QLineEdit* edit = widget->findChild<QLineEdit*>()) {
      edit->setMaxLength(spin.MaxDigits() > 0 ? spin.MaxDigits() : 32767);
    }
  });
  QObject::connect(widget, &QSpinBox::valueChanged, [&spin](int value) { spin.TypeValue(value); });
  return widget;
}

QWidget* MakeSpinButton(SpinButton& spin, QWidget* parent) {
  auto* widget = new QWidget(parent);
  auto* layout = new QVBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* up = new QToolButton(widget);
  up->setArrowType(Qt::UpArrow);
  up->setObjectName(QStringLiteral("up"));
  auto* down = new QToolButton(widget);
  down->setArrowType(Qt::DownArrow);
  down->setObjectName(QStringLiteral("down"));
  layout->addWidget(up);
  layout->addWidget(down);
  Bind(spin, widget, [] {});
  QObject::connect(up, &QToolButton::clicked, [&spin] { spin.ClickUp(); });
  QObject::connect(down, &QToolButton::clicked, [&spin] { spin.ClickDown(); });
  return widget;
}

QWidget* MakeGroupBox(GroupBox& group, QWidget* parent) {
  auto* widget = new QGroupBox(parent);
  FillContainer(widget, group, nullptr);
  Bind(group, widget, [widget, &group] { widget->setTitle(ToQString(group.Caption())); });
  return widget;
}

QWidget* MakePanel(Panel& panel, QWidget* parent) {
  auto* widget = new PanelFrame(panel, parent);
  widget->setFrameShape(QFrame::Panel);
  widget->setFrameShadow(QFrame::Raised);
  auto* caption = new QLabel(widget);
  caption->setAlignment(Qt::AlignCenter);
  FillContainer(widget, panel, nullptr);
  static_cast<QGridLayout*>(widget->layout())->addWidget(caption, 0, 0, 1, 4);
  // A coloured panel is a swatch the size of a button's height: its caption would not fit and
  // would hide the colour it shows, so only its colour shows.
  Bind(panel, widget, [widget, caption, &panel] {
    caption->setText(WithoutAccessKey(panel.Caption()));
    caption->setVisible(!panel.Caption().empty() && !panel.HasColor());
    widget->setAutoFillBackground(panel.HasColor());
    if (panel.HasColor()) {
      QPalette palette = widget->palette();
      const Color c = panel.GetColor();
      palette.setColor(QPalette::Window, QColor(c.red, c.green, c.blue));
      widget->setPalette(palette);
      widget->setMinimumSize(24, 24);
    }
  });
  return widget;
}

// A page scrolls up and down when the form is lower than the page's controls need, so that a
// form of many controls still fits a laptop's screen; it is always as wide as its controls.
class PageScroller final : public QScrollArea {
 public:
  explicit PageScroller(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  }
  QSize minimumSizeHint() const override {
    constexpr int kLeastHeight = 200;
    const QSize page = widget()->minimumSizeHint();
    return {page.width() + verticalScrollBar()->sizeHint().width(),
            std::min(page.height(), kLeastHeight)};
  }
  QSize sizeHint() const override {
    const QSize page = widget()->sizeHint();
    return {page.width() + verticalScrollBar()->sizeHint().width(), page.height()};
  }
};

QWidget* MakePageControl(PageControl& pages, QWidget* parent) {
  auto* widget = new QTabWidget(parent);
  for (const auto& child : pages.Children()) {
    auto* page = dynamic_cast<TabPage*>(child.get());
    if (page == nullptr) continue;
    auto* scroller = new PageScroller(widget);
    auto* pageWidget = new QWidget(scroller);
    pageWidget->setObjectName(QString::fromStdString(page->Name()));
    FillContainer(pageWidget, *page, nullptr);
    scroller->setWidget(pageWidget);
    const int index = widget->addTab(scroller, QString());
    Bind(*page, pageWidget, [widget, index, page] {
      widget->setTabText(index, ToQString(page->Caption()));
      widget->setTabVisible(index, page->Visible());
    });
  }
  Bind(pages, widget, [widget, &pages] { widget->setCurrentIndex(pages.ActivePageIndex()); });
  QObject::connect(widget, &QTabWidget::currentChanged,
                   [&pages](int index) { pages.ChoosePage(index); });
  return widget;
}

// A grid with one fixed row shows that row as the table's header, whose sections the user sizes;
// the table's rows are then the grid's rows below it.
std::int32_t HeaderRows(const StringGrid& grid) {
  return grid.FixedRows() == 1 ? 1 : 0;
}

// The width a column needs to show its heading and every cell whole: a grid's widths are given
// for another toolkit's font, and Qt would cut a longer text short with an ellipsis.
int WholeTextWidth(QTableWidget& table, int col) {
  const QAbstractItemView& cells = table;  // the table keeps its own override to itself
  const QHeaderView& header = *table.horizontalHeader();
  return std::max(cells.sizeHintForColumn(col),
                  header.isHidden() ? 0 : header.sectionSizeHint(col));
}

void SyncGrid(QTableWidget& table, const StringGrid& grid) {
  const QSignalBlocker block(&table);
  const std::int32_t header = HeaderRows(grid);
  table.setColumnCount(grid.ColCount());
  table.setRowCount(grid.RowCount() - header);
  table.horizontalHeader()->setVisible(header == 1);
  table.setEditTriggers(grid.Editable() ? QAbstractItemView::AllEditTriggers
                                        : QAbstractItemView::NoEditTriggers);
  for (std::int32_t col = 0; col < grid.ColCount() && header == 1; ++col) {
    const QString text = ToQString(grid.Cell(col, 0));
    QTableWidgetItem* item = table.horizontalHeaderItem(col);
    if (item == nullptr) table.setHorizontalHeaderItem(col, item = new QTableWidgetItem);
    if (item->text() != text) item->setText(text);
  }
  for (std::int32_t row = header; row < grid.RowCount(); ++row) {
    for (std::int32_t col = 0; col < grid.ColCount(); ++col) {
      QTableWidgetItem* item = table.item(row - header, col);
      if (item == nullptr) {
        item = new QTableWidgetItem;
        table.setItem(row - header, col, item);
      }
      const QString text = ToQString(grid.Cell(col, row));
      if (item->text() != text) item->setText(text);
      if (col < grid.FixedCols() || row < grid.FixedRows()) {
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(table.palette().button());
      }
    }
  }
  // Only the widths the user gives go back to the grid.
  const QSignalBlocker blockHeader(table.horizontalHeader());
  for (std::int32_t col = 0; col < grid.ColCount(); ++col) {
    const int given = grid.ColWidth(col) > 0 ? grid.ColWidth(col) : table.columnWidth(col);
    table.setColumnWidth(col, std::max(given, WholeTextWidth(table, col)));
  }
  table.setCurrentCell(grid.Row() - header, grid.Col());
}

MouseButton ButtonOf(Qt::MouseButton button) {
  if (button == Qt::RightButton) return MouseButton::Right;
  return button == Qt::MiddleButton ? MouseButton::Middle : MouseButton::Left;
}

// A press at pos inside the widget's area shown for cell (col, row), told to the grid in the
// grid's own cell frame.
void TellPress(StringGrid& grid, Qt::MouseButton button, QPoint pos, const QRect& shown,
               std::int32_t col, std::int32_t row) {
  const Rect rect = grid.CellRect(col, row);
  const auto scaled = [](int offset, int shownSize, std::int32_t size) {
    return shownSize > 0 ? offset * size / shownSize : 0;
  };
  grid.MouseDown(ButtonOf(button),
                 rect.left + scaled(pos.x() - shown.left(), shown.width(), rect.right - rect.left),
                 rect.top + scaled(pos.y() - shown.top(), shown.height(), rect.bottom - rect.top));
}

// The header of a grid with a fixed row: a press on a section is a press on that row's cell.
class GridHeader final : public QHeaderView {
 public:
  GridHeader(StringGrid& model, QWidget* parent)
      : QHeaderView(Qt::Horizontal, parent), model_(model) {
    // A press on a head selects nothing: the head is no cell the current cell may move to.
    setSectionsClickable(false);
    setSectionResizeMode(QHeaderView::Interactive);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint pos = event->position().toPoint();
    const int section = logicalIndexAt(pos);
    if (section >= 0) {
      const QRect shown(sectionViewportPosition(section), 0, sectionSize(section), height());
      TellPress(model_, event->button(), pos, shown, section, 0);
    }
    if (event->button() == Qt::RightButton) return;
    QHeaderView::mousePressEvent(event);
  }

 private:
  StringGrid& model_;
};

// A table that tells the grid every press, in the grid's own cell frame, and lets no right press
// move the current cell (a plain view would, and so pick a row where a pick means loading it).
class GridWidget final : public QTableWidget {
 public:
  GridWidget(StringGrid& model, QWidget* parent) : QTableWidget(parent), model_(model) {
    setHorizontalHeader(new GridHeader(model, this));
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (index.isValid()) {
      TellPress(model_, event->button(), pos, visualRect(index), index.column(),
                index.row() + HeaderRows(model_));
    }
    if (event->button() == Qt::RightButton) return;
    QTableWidget::mousePressEvent(event);
  }

 private:
  StringGrid& model_;
};

QWidget* MakeStringGrid(StringGrid& grid, QWidget* parent) {
  auto* widget = new GridWidget(grid, parent);
  widget->verticalHeader()->setDefaultSectionSize(grid.DefaultRowHeight() + 1);
  widget->verticalHeader()->hide();
  SyncGrid(*widget, grid);
  // A grid changes cell by cell; one refresh after the program's changes is enough.
  auto pending = std::make_shared<bool>(false);
  Bind(grid, widget, [widget, &grid, pending] {
    if (*pending) return;
    *pending = true;
    QTimer::singleShot(0, widget, [widget, &grid, pending] {
      *pending = false;
      SyncGrid(*widget, grid);
    });
  });
  QObject::connect(widget, &QTableWidget::currentCellChanged, [widget, &grid](int row, int col) {
    const std::int32_t header = HeaderRows(grid);
    grid.SelectCell(col, row + header);
    if (grid.Row() != row + header || grid.Col() != col) {
      const QSignalBlocker block(widget);
      widget->setCurrentCell(grid.Row() - header, grid.Col());
    }
  });
  QObject::connect(widget, &QTableWidget::cellChanged, [widget, &grid](int row, int col) {
    grid.TypeCell(col, row + HeaderRows(grid), FromQString(widget->item(row, col)->text()));
  });
  // The widths the user gives the columns stay with the grid, also when the form shows again.
  QObject::connect(widget->horizontalHeader(), &QHeaderView::sectionResized,
                   [&grid](int col, int, int width) {
                     if (width != grid.ColWidth(col)) grid.SetColWidth(col, width);
                   });
  return widget;
}

QWidget* MakeImage(Image& image, QWidget* parent) {
  auto* widget = new ImageWidget(image, parent);
  Bind(image, widget, [widget, &image] {
    widget->setFixedSize(image.GetSize().width, image.GetSize().height);
    widget->update();
  });
  return widget;
}

QWidget* MakeWidget(Control& control, QWidget* parent) {
  QWidget* widget = nullptr;
  switch (control.Kind()) {
    case ControlKind::Label:
      widget = MakeLabel(static_cast<Label&>(control), parent);
      break;
    case ControlKind::Edit:
      widget = MakeEdit(static_cast<Edit&>(control), parent);
      break;
    case ControlKind::Button:
      widget = MakeButton(static_cast<Button&>(control), parent);
      break;
    case ControlKind::CheckBox:
      widget = MakeCheckBox(static_cast<CheckBox&>(control), parent);
      break;
    case ControlKind::RadioGroup:
      widget = MakeRadioGroup(static_cast<RadioGroup&>(control), parent);
      break;
    case ControlKind::ComboBox:
      widget = MakeComboBox(static_cast<ComboBox&>(control), parent);
      break;
    case ControlKind::ListBox:
      widget = MakeListBox(static_cast<ListBox&>(control), parent);
      break;
    case ControlKind::Memo:
      widget = MakeMemo(static_cast<Memo&>(control), parent);
      break;
    case ControlKind::SpinEdit:
      widget = MakeSpinEdit(static_cast<SpinEdit&>(control), parent);
      break;
    case ControlKind::SpinButton:
      widget = MakeSpinButton(static_cast<SpinButton&>(control), parent);
      break;
    case ControlKind::GroupBox:
      widget = MakeGroupBox(static_cast<GroupBox&>(control), parent);
      break;
    case ControlKind::Panel:
      widget = MakePanel(static_cast<Panel&>(control), parent);
      break;
    case ControlKind::PageControl:
      widget = MakePageControl(static_cast<PageControl&>(control), parent);
      break;
    case ControlKind::TabPage:  // built by its page control
      return nullptr;
    case ControlKind::StringGrid:
      widget = MakeStringGrid(static_cast<StringGrid&>(control), parent);
      break;
    case ControlKind::Image:
      widget = MakeImage(static_cast<Image&>(control), parent);
      break;
    case ControlKind::DataGrid:
      widget = MakeDataGrid(static_cast<DataGrid&>(control), parent);
      break;
    case ControlKind::DataNavigator:
      widget = MakeDataNavigator(static_cast<DataNavigator&>(control), parent);
      break;
  }
  widget->setObjectName(QString::fromStdString(control.Name()));
  return widget;
}

// One row of the layout: a caption label, a field, its unit label and small helper buttons;
// or one control over the whole width.
struct Row {
  QWidget* caption = nullptr;
  QWidget* field = nullptr;
  QWidget* unit = nullptr;
  std::vector<QWidget*> extras;
  QWidget* whole = nullptr;
};

bool IsField(ControlKind kind) {
  return kind == ControlKind::Edit || kind == ControlKind::ComboBox ||
         kind == ControlKind::SpinEdit;
}

bool IsDialogButton(const Button& button) {
  return button.IsDefault() || button.IsCancel() || button.GetModalResult() != ModalResult::None;
}

void PlaceRows(QGridLayout& grid, const std::vector<Row>& rows, int firstRow) {
  int r = firstRow;
  for (const Row& row : rows) {
    if (row.whole != nullptr) {
      grid.addWidget(row.whole, r++, 0, 1, 4);
      continue;
    }
    if (row.field == nullptr && row.unit == nullptr && row.extras.empty()) {
      grid.addWidget(row.caption, r++, 0, 1, 4);
      continue;
    }
    if (row.caption != nullptr) grid.addWidget(row.caption, r, 0);
    if (row.field != nullptr) grid.addWidget(row.field, r, 1);
    if (row.unit != nullptr) grid.addWidget(row.unit, r, 2);
    if (!row.extras.empty()) {
      auto* box = new QHBoxLayout;
      for (QWidget* extra : row.extras) box->addWidget(extra);
      box->addStretch(1);
      if (row.field != nullptr || row.unit != nullptr) {
        grid.addLayout(box, r, 3);
      } else {
        grid.addLayout(box, r, 1, 1, 3);
      }
    }
    ++r;
  }
}

// Lays the container's controls out in rows from their order; with a button row, the dialog
// buttons (and other buttons that do not follow a field) go there.
void FillContainer(QWidget* host, Container& container, QHBoxLayout* buttonRow) {
  auto* grid = new QGridLayout(host);
  grid->setColumnStretch(1, 1);
  std::vector<Row> rows;
  bool rowOpen = false;
  auto newRow = [&]() -> Row& {
    rows.emplace_back();
    rowOpen = true;
    return rows.back();
  };
  const auto& children = container.Children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    Control& control = *children[i];
    QWidget* widget = MakeWidget(control, host);
    if (widget == nullptr) continue;
    const ControlKind kind = control.Kind();
    Row* current = rowOpen ? &rows.back() : nullptr;
    // A label right before a field is that field's caption, not the unit of the field before.
    const bool captionOfNext = i + 1 < children.size() && IsField(children[i + 1]->Kind());
    if (kind == ControlKind::Label) {
      if (current && current->field && !current->unit && current->extras.empty() &&
          !captionOfNext) {
        current->unit = widget;
      } else {
        newRow().caption = widget;
      }
    } else if (IsField(kind)) {
      if (current && current->caption && !current->field && current->extras.empty()) {
        current->field = widget;
      } else {
        newRow().field = widget;
      }
    } else if (kind == ControlKind::Button && buttonRow != nullptr &&
               (IsDialogButton(static_cast<Button&>(control)) || !current || !current->field)) {
      buttonRow->addWidget(widget);
      rowOpen = false;
    } else if (kind == ControlKind::Button ||
               (kind == ControlKind::Panel && static_cast<Panel&>(control).HasColor())) {
      (current ? *current : newRow()).extras.push_back(widget);
    } else {
      newRow().whole = widget;
      rowOpen = false;
    }
  }
  PlaceRows(*grid, rows, 1);  // row 0 is left for a container's own caption
}

void GiveFocus(QDialog& dialog, const Control& control) {
  QWidget* widget = dialog.findChild<QWidget*>(QString::fromStdString(control.Name()));
  if (widget != nullptr) widget->setFocus();
}

}  // namespace

FormView::FormView(Form& form) : form_(form), dialog_(std::make_unique<FormDialog>(form)) {
  dialog_->setObjectName(QString::fromStdString(form.Name()));
  auto* root = new QVBoxLayout(dialog_.get());
  if (!form.Menus().Empty()) {
    auto* bar = new QMenuBar(dialog_.get());
    BindMenuBar(*bar, form.Menus());
    root->setMenuBar(bar);
  }
  auto* body = new QWidget(dialog_.get());
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch(1);
  FillContainer(body, form, buttonRow);
  root->addWidget(body, 1);
  root->addLayout(buttonRow);
  QDialog* dialog = dialog_.get();
  auto sync = [dialog, &form] {
    dialog->setWindowTitle(ToQString(form.Caption()));
    if (form.GetModalResult() != ModalResult::None && dialog->isVisible()) dialog->done(0);
  };
  sync();
  form.SetViewUpdate(sync);
  form.SetFocusView([dialog](const Control& control) { GiveFocus(*dialog, control); });
}

FormView::~FormView() {
  form_.SetViewUpdate(nullptr);
  form_.SetFocusView(nullptr);
  form_.Menus().SetViewUpdate(nullptr);
  Unbind(form_);
}

void FormView::Unbind(Container& container) {
  for (const auto& child : container.Children()) {
    child->SetViewUpdate(nullptr);
    if (auto* inner = dynamic_cast<Container*>(child.get())) Unbind(*inner);
  }
}

ModalResult FormView::Run() {
  if (form_.GetModalResult() == ModalResult::None) {
    ApplyPlacement(*dialog_, form_.Placement());
    if (const Control* focused = form_.FocusedControl()) GiveFocus(*dialog_, *focused);
    dialog_->exec();
    ReadPlacement(*dialog_, form_.Placement());
  }
  return form_.GetModalResult();
}

}  // namespace platform::qt
