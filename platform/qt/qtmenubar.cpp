#include "platform/qt/qtmenubar.h"

#include <QKeySequence>
#include <QPointer>
#include <QTimer>

#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

void FillMenu(QMenu& qmenu, const Menu& menu) {
  for (const auto& item : menu.Items()) {
    const QString caption = MenuTextToQString(item->Caption(), item->CaptionCodePage());
    QAction* action = nullptr;
    if (item->SubMenu() != nullptr) {
      QMenu* sub = qmenu.addMenu(caption);
      FillMenu(*sub, *item->SubMenu());
      action = sub->menuAction();
    } else {
      action = item->IsSeparator() ? qmenu.addSeparator() : qmenu.addAction(caption);
    }
    action->setObjectName(QString::fromStdString(item->Name()));
    action->setVisible(item->Visible());
    action->setEnabled(item->Enabled());
    action->setCheckable(item->Checked());
    action->setChecked(item->Checked());
    if (!item->Shortcut().empty()) {
      action->setShortcut(QKeySequence(QString::fromStdString(item->Shortcut())));
    }
    if (item->SubMenu() != nullptr) continue;
    MenuItem* target = item.get();
    QObject::connect(action, &QAction::triggered, [target] { target->Click(); });
  }
}

}  // namespace

void FillMenuBar(QMenuBar& bar, const MenuBar& model) {
  const auto oldMenus = bar.findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
  bar.clear();
  for (QMenu* old : oldMenus) old->deleteLater();
  for (const auto& menu : model.Menus()) {
    QMenu* qmenu = bar.addMenu(MenuTextToQString(menu->Caption(), menu->CaptionCodePage()));
    qmenu->menuAction()->setObjectName(QString::fromStdString(menu->Name()));
    qmenu->menuAction()->setVisible(menu->Visible());
    qmenu->setEnabled(menu->Enabled());
    FillMenu(*qmenu, *menu);
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
