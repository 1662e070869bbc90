// The eyes of the driven walk: loaded into the program under test with LD_PRELOAD, it answers
// each request of the driver with what the screen shows at that moment (the windows, their
// titles and places, the visible controls with their texts, the open menu, the browse grids'
// headings and first row, a digest of the main window's drawing) as one JSON file. It reads what
// the widgets show, as their painting does (a grid's texts come from its model as they do for the
// view), and sends no input: the driver types and clicks through the X server as a user does.
//
// The driver writes a request number into $KV6_PROBE_DIR/request; the answer goes to
// $KV6_PROBE_DIR/state.json (written whole, then renamed) with that number in it.

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <memory>

namespace {

constexpr int kPollMilliseconds = 50;
constexpr qsizetype kLongestText = 200000;

QJsonArray Box(const QWidget& widget) {
  const QPoint topLeft = widget.mapToGlobal(QPoint(0, 0));
  return {topLeft.x(), topLeft.y(), widget.width(), widget.height()};
}

QString TextOf(const QWidget& widget) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
  if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) return edit->text();
  if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
  if (const auto* group = qobject_cast<const QGroupBox*>(&widget)) return group->title();
  if (const auto* combo = qobject_cast<const QComboBox*>(&widget)) return combo->currentText();
  if (const auto* plain = qobject_cast<const QPlainTextEdit*>(&widget)) {
    return plain->toPlainText().left(kLongestText);
  }
  if (const auto* rich = qobject_cast<const QTextEdit*>(&widget)) {
    return rich->toPlainText().left(kLongestText);
  }
  return {};
}

QJsonObject Control(const QWidget& widget) {
  return {{"name", widget.objectName()}, {"class", widget.metaObject()->className()},
          {"text", TextOf(widget)},      {"enabled", widget.isEnabled()},
          {"focus", widget.hasFocus()},  {"box", Box(widget)}};
}

QJsonObject Grid(const QTableView& table) {
  QJsonArray headings;
  const QAbstractItemModel* model = table.model();
  const int columns = model != nullptr ? model->columnCount() : 0;
  for (int c = 0; c < columns; ++c) {
    if (table.horizontalHeader()->isSectionHidden(c)) continue;
    headings.append(model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
  }
  QJsonArray firstRow;
  if (model != nullptr && model->rowCount() > 0) {
    for (int c = 0; c < columns; ++c) {
      if (table.horizontalHeader()->isSectionHidden(c)) continue;
      firstRow.append(model->data(model->index(0, c), Qt::DisplayRole).toString());
    }
  }
  return {{"name", table.objectName()},
          {"headings", headings},
          {"rows", model != nullptr ? model->rowCount() : 0},
          {"firstRow", firstRow},
          {"box", Box(table)}};
}

QJsonArray GlobalBox(const QWidget& widget, const QRect& rect) {
  const QPoint topLeft = widget.mapToGlobal(rect.topLeft());
  return {topLeft.x(), topLeft.y(), rect.width(), rect.height()};
}

// The visible entries of a menu bar or an open menu, each with its place on the screen.
template <typename MenuOrBar>
QJsonArray MenuActions(const MenuOrBar& menu) {
  QJsonArray actions;
  for (QAction* action : menu.actions()) {
    if (!action->isVisible() || action->isSeparator()) continue;
    actions.append(QJsonObject{{"name", action->objectName()},
                               {"text", action->text()},
                               {"enabled", action->isEnabled()},
                               {"box", GlobalBox(menu, menu.actionGeometry(action))}});
  }
  return actions;
}

QJsonArray Tabs(const QTabBar& bar) {
  QJsonArray tabs;
  for (int i = 0; i < bar.count(); ++i) {
    tabs.append(QJsonObject{{"text", bar.tabText(i)}, {"box", GlobalBox(bar, bar.tabRect(i))}});
  }
  return tabs;
}

QJsonArray ClientSize(const QWidget& window) {
  const auto* main = qobject_cast<const QMainWindow*>(&window);
  if (main == nullptr || main->centralWidget() == nullptr) return {};
  return {main->centralWidget()->width(), main->centralWidget()->height()};
}

// The drawing the main window shows, as a digest of its pixels: the same drawing gives the same
// digest, another one another.
QString DrawingDigest(const QWidget& window) {
  const auto* main = qobject_cast<const QMainWindow*>(&window);
  if (main == nullptr || main->centralWidget() == nullptr) return {};
  const QImage image = main->centralWidget()->grab().toImage();
  const QByteArrayView pixels(image.constBits(), image.sizeInBytes());
  return QCryptographicHash::hash(pixels, QCryptographicHash::Md5).toHex();
}

QJsonObject Window(QWidget& window) {
  QJsonArray controls;
  QJsonArray grids;
  QJsonArray menuBar;
  QJsonArray tabs;
  for (QWidget* child : window.findChildren<QWidget*>()) {
    if (!child->isVisible() || child->window() != &window) continue;
    if (const auto* table = qobject_cast<const QTableView*>(child)) grids.append(Grid(*table));
    if (const auto* bar = qobject_cast<const QMenuBar*>(child)) menuBar = MenuActions(*bar);
    if (const auto* bar = qobject_cast<const QTabBar*>(child)) {
      for (const QJsonValue tab : Tabs(*bar)) tabs.append(tab);
    }
    if (!child->objectName().isEmpty()) {
      controls.append(Control(*child));
    }
  }
  return {{"name", window.objectName()},
          {"class", window.metaObject()->className()},
          {"title", window.windowTitle()},
          {"id", QString::number(window.winId())},
          {"active", window.isActiveWindow()},
          {"modal", window.isModal()},
          {"box", Box(window)},
          {"client", ClientSize(window)},
          {"drawing", DrawingDigest(window)},
          {"menuBar", menuBar},
          {"tabs", tabs},
          {"controls", controls},
          {"grids", grids}};
}

QString NameOf(const QWidget* widget) {
  if (widget == nullptr) return {};
  return widget->objectName().isEmpty() ? QString(widget->metaObject()->className())
                                        : widget->objectName();
}

QJsonObject Snapshot(const QString& request) {
  QJsonArray windows;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (!top->isVisible() || qobject_cast<QMenu*>(top) != nullptr) continue;
    windows.append(Window(*top));
  }
  QJsonObject popup;
  if (const auto* menu = qobject_cast<const QMenu*>(QApplication::activePopupWidget())) {
    popup = {{"title", menu->title()}, {"actions", MenuActions(*menu)}, {"box", Box(*menu)}};
  }
  const QWidget* focus = QApplication::focusWidget();
  return {{"request", request},
          {"windows", windows},
          {"activeWindow", NameOf(QApplication::activeWindow())},
          {"activeModal", NameOf(QApplication::activeModalWidget())},
          {"popup", popup},
          {"focus", NameOf(focus)},
          {"focusWindow", focus != nullptr ? NameOf(focus->window()) : QString()}};
}

void Answer(const QString& dir, QString& answered) {
  QFile request(dir + "/request");
  if (!request.open(QIODevice::ReadOnly)) return;
  const QString number = QString::fromUtf8(request.readAll()).trimmed();
  if (number.isEmpty() || number == answered) return;
  answered = number;
  QFile out(dir + "/state.json.part");
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  out.write(QJsonDocument(Snapshot(number)).toJson(QJsonDocument::Compact));
  out.close();
  // One rename: the driver never reads half an answer.
  std::rename(QFile::encodeName(dir + "/state.json.part").constData(),
              QFile::encodeName(dir + "/state.json").constData());
}

void StartProbe() {
  const QString dir = qEnvironmentVariable("KV6_PROBE_DIR");
  if (dir.isEmpty()) return;
  auto* timer = new QTimer(QCoreApplication::instance());
  auto answered = std::make_shared<QString>();
  QObject::connect(timer, &QTimer::timeout, [dir, answered] { Answer(dir, *answered); });
  timer->start(kPollMilliseconds);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartProbe)
