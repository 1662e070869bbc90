#include "platform/qt/qtmenubar.h"

#include <QKeySequence>
#include <QPointer>
#include <QTimer>

#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

// Every action carries the model object it shows, so that an update finds it again. Actions are
// made once and changed in place ever after: a menu may be inside its key handler, or a form it
// opened inside its modal loop, while the model changes, and Qt must not lose the objects under
// it.
QVariant ModelTag(const void* model) {
  return QVariant::fromValue(reinterpret_cast<quintptr>(model));
}

QAction* ActionOf(const QWidget& owner, const void* model) {
  const QVariant tag = ModelTag(model);
  for (QAction* action : owner.actions()) {
    if (action->data() == tag) return action;
  }
  return nullptr;
}

QAction* MakeItemAction(QMenu& qmenu, MenuItem& item) {
  QAction* action = qmenu.addAction(QString());
  action->setData(ModelTag(&item));
  QObject::connect(action, &QAction::triggered, [target = &item] { target->Click(); });
  return action;
}

void ShowItem(QAction& action, const MenuItem& item) {
  action.setText(MenuTextToQString(item.Caption(), item.CaptionCodePage()));
  action.setObjectName(QString::fromStdString(item.Name()));
  action.setSeparator(item.IsSeparator());
  action.setVisible(item.Visible());
  action.setEnabled(item.Enabled());
  action.setCheckable(item.Checked());
  action.setChecked(item.Checked());
  action.setShortcut(QKeySequence(QString::fromStdString(item.Shortcut())));
}

void UpdateMenu(QMenu& qmenu, const Menu& menu);

void UpdateSubMenu(QMenu& qmenu, QAction& action, const Menu& subMenu) {
  if (action.menu() == nullptr) action.setMenu(new QMenu(&qmenu));
  UpdateMenu(*action.menu(), subMenu);
}

// Items only ever join a menu at its end, so a missing action is added at the end too.
void UpdateMenu(QMenu& qmenu, const Menu& menu) {
  for (const auto& item : menu.Items()) {
    QAction* action = ActionOf(qmenu, item.get());
    if (action == nullptr) action = MakeItemAction(qmenu, *item);
    ShowItem(*action, *item);
    if (item->SubMenu() != nullptr) UpdateSubMenu(qmenu, *action, *item->SubMenu());
  }
}

QMenu& MenuOf(QMenuBar& bar, const Menu& menu) {
  if (QAction* action = ActionOf(bar, &menu)) return *action->menu();
  QMenu* qmenu = bar.addMenu(QString());
  qmenu->menuAction()->setData(ModelTag(&menu));
  return *qmenu;
}

}  // namespace

void FillMenuBar(QMenuBar& bar, const MenuBar& model) {
  for (const auto& menu : model.Menus()) {
    QMenu& qmenu = MenuOf(bar, *menu);
    QAction* action = qmenu.menuAction();
    action->setText(MenuTextToQString(menu->Caption(), menu->CaptionCodePage()));
    action->setObjectName(QString::fromStdString(menu->Name()));
    action->setVisible(menu->Visible());
    qmenu.setEnabled(menu->Enabled());
    UpdateMenu(qmenu, *menu);
  }
}

void BindMenuBar(QMenuBar& bar, MenuBar& model) {
  FillMenuBar(bar, model);
  auto pending = std::make_shared<bool>(false);
  QPointer<QMenuBar> guard(&bar);
  model.SetViewUpdate([guard, &model, pending] {
    if (!guard || *pending) return;
    *pending = true;
    QTimer::singleShot(0, guard.data(), [guard, &model, pending] {
      *pending = false;
      if (guard) FillMenuBar(*guard, model);
    });
  });
}

}  // namespace platform::qt
