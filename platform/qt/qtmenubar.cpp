#include "platform/qt/qtmenubar.h"

#include <QKeySequence>
#include <QPointer>
#include <QTimer>
#include <utility>
#include <vector>

#include "platform/qt/qtaccesskeys.h"
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

// Captions of the shown entries of one menu or bar, gathered so that no two take one access key
// (hidden ones take none from Qt).
class Captions {
 public:
  void Add(QAction& action, const QString& caption, bool shown) {
    (shown ? shown_ : hidden_).push_back({&action, caption});
  }
  void Show() const {
    std::vector<QString> captions;
    for (const auto& entry : shown_) captions.push_back(entry.second);
    const std::vector<QString> distinct = WithDistinctAccessKeys(captions);
    for (std::size_t i = 0; i < shown_.size(); ++i) shown_[i].first->setText(distinct[i]);
    for (const auto& [action, caption] : hidden_) {
      action->setText(WithDistinctAccessKeys({caption}).front());
    }
  }

 private:
  std::vector<std::pair<QAction*, QString>> shown_;
  std::vector<std::pair<QAction*, QString>> hidden_;
};

void ShowItem(QAction& action, const MenuItem& item) {
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
  Captions captions;
  for (const auto& item : menu.Items()) {
    QAction* action = ActionOf(qmenu, item.get());
    if (action == nullptr) action = MakeItemAction(qmenu, *item);
    ShowItem(*action, *item);
    if (item->IsSeparator()) {
      // A separator with a text is drawn as a titled section: the "-" before a line.
      action->setText(QString());
    } else {
      captions.Add(*action, MenuTextToQString(item->Caption(), item->CaptionCodePage()),
                   item->Visible());
    }
    if (item->SubMenu() != nullptr) UpdateSubMenu(qmenu, *action, *item->SubMenu());
  }
  captions.Show();
}

QMenu& MenuOf(QMenuBar& bar, const Menu& menu) {
  if (QAction* action = ActionOf(bar, &menu)) return *action->menu();
  QMenu* qmenu = bar.addMenu(QString());
  qmenu->menuAction()->setData(ModelTag(&menu));
  return *qmenu;
}

}  // namespace

void FillMenuBar(QMenuBar& bar, const MenuBar& model) {
  Captions captions;
  for (const auto& menu : model.Menus()) {
    QMenu& qmenu = MenuOf(bar, *menu);
    QAction* action = qmenu.menuAction();
    captions.Add(*action, MenuTextToQString(menu->Caption(), menu->CaptionCodePage()),
                 menu->Visible());
    action->setObjectName(QString::fromStdString(menu->Name()));
    action->setVisible(menu->Visible());
    qmenu.setEnabled(menu->Enabled());
    UpdateMenu(qmenu, *menu);
  }
  captions.Show();
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
