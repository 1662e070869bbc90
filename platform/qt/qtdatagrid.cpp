#include "platform/qt/qtdatagrid.h"

#include <QAbstractButton>
#include <QAbstractTableModel>
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <memory>

#include "platform/qt/qttext.h"
#include "platform/ui/keys.h"

namespace platform::qt {

namespace {

QColor ToQColor(Color c) {
  return QColor(c.red, c.green, c.blue);
}

class GridTableModel : public QAbstractTableModel {
 public:
  explicit GridTableModel(DataGrid& grid) : grid_(grid) {}

  void Reset() {
    beginResetModel();
    endResetModel();
  }
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || grid_.Model() == nullptr ? 0 : grid_.Model()->RowCount();
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() || grid_.Model() == nullptr ? 0 : grid_.Model()->ColumnCount();
  }
  QVariant data(const QModelIndex& index, int role) const override {
    GridModel* model = grid_.Model();
    if (model == nullptr || !index.isValid()) return {};
    const CellKind kind = model->Kind(index.column());
    switch (role) {
      case Qt::DisplayRole:
        if (kind == CellKind::Boolean && grid_.GetBooleanBox() != BooleanBox::Text) return {};
        return ToQString(model->CellText(index.row(), index.column()));
      case Qt::EditRole:
        return ToQString(model->CellText(index.row(), index.column()));
      case Qt::TextAlignmentRole:
        return kind == CellKind::Number ? int(Qt::AlignRight | Qt::AlignVCenter)
                                        : int(Qt::AlignLeft | Qt::AlignVCenter);
      default:
        return {};
    }
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole || grid_.Model() == nullptr) return {};
    if (orientation == Qt::Horizontal) return ToQString(grid_.Model()->Title(section));
    return section == grid_.Row() ? QStringLiteral("\u25B6") : QString();
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    GridModel* model = grid_.Model();
    if (model != nullptr && grid_.HasOption(kGridEditing) && !grid_.HasOption(kGridRowSelect) &&
        !model->ColumnReadOnly(index.column()) &&
        model->Kind(index.column()) != CellKind::Boolean) {
      flags |= Qt::ItemIsEditable;
    }
    return flags;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (role != Qt::EditRole) return false;
    grid_.SetCurrent(index.row(), index.column());
    grid_.TypeInCell(FromQString(value.toString()));
    return grid_.CommitEditor();
  }

 private:
  DataGrid& grid_;
};

// Draws a row in its colours, booleans as boxes, and edits with the column's mask.
class GridDelegate : public QStyledItemDelegate {
 public:
  GridDelegate(DataGrid& grid, QObject* parent) : QStyledItemDelegate(parent), grid_(grid) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    GridModel* model = grid_.Model();
    if (model == nullptr) return;
    const RowColors colors = model->Colors(index.row());
    const bool current = index.row() == grid_.Row() &&
                         (grid_.HasOption(kGridRowSelect) || index.column() == grid_.Col());
    const bool deleted = model->RowDeleted(index.row());
    const Color back = current ? colors.hilite : (deleted ? colors.deleted : colors.cell);
    const Color fore =
        current ? colors.hiliteText : (deleted ? colors.deletedText : colors.cellText);
    painter->fillRect(option.rect, ToQColor(back));
    painter->setPen(ToQColor(fore));
    if (model->Kind(index.column()) == CellKind::Boolean &&
        grid_.GetBooleanBox() != BooleanBox::Text) {
      PaintBox(painter, option.rect, model->CellChecked(index.row(), index.column()));
      return;
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    const int align = index.data(Qt::TextAlignmentRole).toInt();
    painter->drawText(option.rect.adjusted(2, 0, -2, 0), align, text);
  }
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex& index) const override {
    auto* editor = new QLineEdit(parent);
    if (grid_.Model() != nullptr) {
      const std::string mask = grid_.Model()->EditMask(index.column());
      if (!mask.empty()) editor->setInputMask(ToQString(mask));
    }
    editing_ = index;
    return editor;
  }

 protected:
  // Return and Enter hand the editor's text to the grid here, so that a text the grid refuses
  // stays in the editor until the user corrects it or drops it with Esc. The refusal's box takes
  // the focus meanwhile; that commits nothing.
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor == nullptr) return QStyledItemDelegate::eventFilter(object, event);
    if (committing_) return event->type() == QEvent::FocusOut;
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (Commit(*editor)) emit closeEditor(editor, QAbstractItemDelegate::NoHint);
        return true;
      }
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

 private:
  void PaintBox(QPainter* painter, const QRect& cell, bool checked) const {
    QStyleOptionButton box;
    const int side = std::min(cell.height() - 4, 14);
    box.rect = QRect(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side);
    box.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    const BooleanBox style = grid_.GetBooleanBox();
    const bool round = style == BooleanBox::RButton || style == BooleanBox::RButtonRed ||
                       style == BooleanBox::Dot || style == BooleanBox::DotRed;
    QApplication::style()->drawControl(round ? QStyle::CE_RadioButton : QStyle::CE_CheckBox, &box,
                                       painter);
  }
  bool Commit(QLineEdit& editor) {
    committing_ = true;
    grid_.SetCurrent(editing_.row(), editing_.column());
    grid_.TypeInCell(FromQString(editor.text()));
    const bool taken = grid_.CommitEditor();
    committing_ = false;
    if (!taken) editor.setFocus();
    return taken;
  }

  DataGrid& grid_;
  // The cell the open editor edits (the view opens one at a time).
  mutable QPersistentModelIndex editing_;
  bool committing_ = false;
};

class GridView : public QTableView {
 public:
  explicit GridView(DataGrid& grid, QWidget* parent) : QTableView(parent), grid_(grid) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const std::uint16_t key = KeyCode(event->key());
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    if (key == 0 || state() == QAbstractItemView::EditingState) {
      QTableView::keyPressEvent(event);
      return;
    }
    grid_.PressKey(key, ctrl);
    event->accept();
  }
  void keyReleaseEvent(QKeyEvent* event) override {
    const std::uint16_t key = KeyCode(event->key());
    if (key != 0) grid_.ReleaseKey(key);
    QTableView::keyReleaseEvent(event);
  }

 private:
  static std::uint16_t KeyCode(int key) {
    switch (key) {
      case Qt::Key_Up:
        return keys::kUp;
      case Qt::Key_Down:
        return keys::kDown;
      case Qt::Key_PageUp:
        return keys::kPageUp;
      case Qt::Key_PageDown:
        return keys::kPageDown;
      case Qt::Key_Home:
        return keys::kHome;
      case Qt::Key_End:
        return keys::kEnd;
      case Qt::Key_Left:
        return keys::kLeft;
      case Qt::Key_Right:
        return keys::kRight;
      case Qt::Key_Tab:
        return keys::kTab;
      case Qt::Key_Delete:
        return keys::kDelete;
      default:
        return 0;
    }
  }

  DataGrid& grid_;
};

void ApplyOptions(QTableView& view, const DataGrid& grid) {
  view.horizontalHeader()->setVisible(grid.HasOption(kGridTitles));
  view.verticalHeader()->setVisible(grid.HasOption(kGridIndicator));
  view.setShowGrid(grid.HasOption(kGridColLines) || grid.HasOption(kGridRowLines));
  view.horizontalHeader()->setSectionResizeMode(
      grid.HasOption(kGridColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed);
  view.setSelectionBehavior(grid.HasOption(kGridRowSelect) ? QAbstractItemView::SelectRows
                                                           : QAbstractItemView::SelectItems);
  view.setEditTriggers(grid.HasOption(kGridEditing) && !grid.HasOption(kGridRowSelect)
                           ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed
                           : QAbstractItemView::NoEditTriggers);
}

void SizeColumns(QTableView& view, DataGrid& grid) {
  if (grid.Model() == nullptr) return;
  const int charWidth = view.fontMetrics().horizontalAdvance(QLatin1Char('0'));
  for (int col = 0; col < grid.Model()->ColumnCount(); ++col) {
    const int chars = std::max(grid.Model()->ColumnWidth(col),
                               static_cast<std::int32_t>(grid.Model()->Title(col).size()));
    view.setColumnWidth(col, (std::min(chars, 40) + 2) * charWidth);
  }
}

}  // namespace

QWidget* MakeDataGrid(DataGrid& grid, QWidget* parent) {
  auto* view = new GridView(grid, parent);
  auto* model = new GridTableModel(grid);
  model->setParent(view);
  view->setModel(model);
  auto* delegate = new GridDelegate(grid, view);
  view->setItemDelegate(delegate);
  // However the view closes its editor, the grid's editor closes with it.
  QObject::connect(delegate, &QAbstractItemDelegate::closeEditor, [&grid] {
    if (grid.EditorOpen()) grid.CancelEditor();
  });
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->setCornerButtonEnabled(true);
  auto resets = std::make_shared<std::uint32_t>(grid.Resets());
  auto sync = [view, model, &grid, resets] {
    ApplyOptions(*view, grid);
    if (*resets != grid.Resets()) {
      *resets = grid.Resets();
      model->Reset();
      SizeColumns(*view, grid);
    } else {
      view->viewport()->update();
    }
    if (grid.Row() >= 0) {
      const QModelIndex current = model->index(grid.Row(), grid.Col());
      if (view->currentIndex() != current) view->setCurrentIndex(current);
    }
    view->setEnabled(grid.Enabled());
    view->setVisible(grid.Visible());
  };
  model->Reset();
  SizeColumns(*view, grid);
  sync();
  grid.SetViewUpdate(sync);
  QObject::connect(view, &QTableView::clicked, [&grid](const QModelIndex& index) {
    grid.ClickCell(index.row(), index.column());
    if (grid.Model() != nullptr && grid.Model()->Kind(index.column()) == CellKind::Boolean) {
      grid.Model()->ToggleCell(index.row(), index.column());
    }
  });
  QObject::connect(view->horizontalHeader(), &QHeaderView::sectionClicked,
                   [&grid](int section) { grid.ClickTitle(section); });
  if (auto* corner = view->findChild<QAbstractButton*>()) {
    QObject::connect(corner, &QAbstractButton::clicked, [&grid] { grid.ClickCorner(true); });
  }
  return view;
}

QWidget* MakeDataNavigator(DataNavigator& navigator, QWidget* parent) {
  auto* bar = new QToolBar(parent);
  static const char* const kTexts[kNavigatorButtons] = {"|<", "<", ">",  ">|", "+",
                                                        "-",  "^", "ok", "x",  "R"};
  std::array<QAction*, kNavigatorButtons> actions{};
  for (std::size_t i = 0; i < kNavigatorButtons; ++i) {
    actions[i] = bar->addAction(QString::fromLatin1(kTexts[i]));
    const auto button = static_cast<NavigatorButton>(i);
    QObject::connect(actions[i], &QAction::triggered,
                     [&navigator, button] { navigator.Click(button); });
  }
  auto sync = [bar, actions, &navigator] {
    for (std::size_t i = 0; i < kNavigatorButtons; ++i) {
      const auto button = static_cast<NavigatorButton>(i);
      actions[i]->setVisible(navigator.ButtonVisible(button));
      actions[i]->setToolTip(ToQString(navigator.ButtonHint(button)));
    }
    bar->setEnabled(navigator.Enabled());
    bar->setVisible(navigator.Visible());
  };
  sync();
  navigator.SetViewUpdate(sync);
  return bar;
}

}  // namespace platform::qt
