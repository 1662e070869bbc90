// The Qt menu bar follows its model in place: a change made while a form opened from the menu runs
// its modal loop leaves every menu and action the bar showed alive and the same object (the menu
// that opened the form is still inside its key handler), shows the new state on them, adds a new
// item as a new action, and the menu still works from the keyboard afterwards. Two captions of
// one menu never show the same access key. A "-" item is a separator line.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "platform/qt/qtaccesskeys.h"
#include "platform/qt/qtmenubar.h"
#include "platform/ui/menus.h"
#include "tests/support/qt/qtapp.h"

namespace {

class QtMenuBarTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtApplication(); }
  void SetUp() override {
    edit = &model.AddMenu("mi_Edit", "&Edit");
    load = &edit->AddItem("mi_editlast", "&Load");
    text = &edit->AddItem("mi_EditText", "Te&xt");
    help = &model.AddMenu("mi_Help", "&Help");
    language = &help->AddItem("mi_helplanguage", "&Language");
    language->AddSubMenu().AddItem("mi_helplanguagedeutsch", "&Deutsch");
    about = &help->AddItem("mi_HelpAbout", "KV&6");
    platform::qt::BindMenuBar(*window.menuBar(), model);
    window.show();
  }
  void TearDown() override { model.SetViewUpdate(nullptr); }

  // Every menu and action the bar shows now, sub-menus included.
  std::vector<QPointer<QObject>> Shown() {
    std::vector<QPointer<QObject>> shown;
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
      shown.emplace_back(menu);
      for (QAction* action : menu->actions()) shown.emplace_back(action);
    }
    return shown;
  }
  static bool AllAlive(const std::vector<QPointer<QObject>>& objects) {
    return std::all_of(objects.begin(), objects.end(), [](const auto& o) { return !o.isNull(); });
  }
  QAction* Action(const char* name) {
    return window.menuBar()->findChild<QAction*>(QString::fromLatin1(name));
  }
  // Alt and the menu's letter open it, the item's letter picks the item, as the user types them.
  void PickByKeys(Qt::Key menuKey, Qt::Key itemKey) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, menuKey, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    QTest::keyClick(popup, itemKey);
  }

  QMainWindow window;
  platform::MenuBar model;
  platform::Menu* edit = nullptr;
  platform::Menu* help = nullptr;
  platform::MenuItem* load = nullptr;
  platform::MenuItem* text = nullptr;
  platform::MenuItem* language = nullptr;
  platform::MenuItem* about = nullptr;
};

TEST_F(QtMenuBarTest, AChangeDuringAFormOpenedFromTheMenuKeepsEveryMenuAndAction) {
  const std::vector<QPointer<QObject>> before = Shown();
  ASSERT_GE(before.size(), 8u);
  const QPointer<QAction> textAction = Action("mi_EditText");
  int loads = 0;
  bool aliveAfterTheForm = false;
  load->onClick = [&] {
    if (++loads > 1) return;
    QDialog form(&window);
    QTimer::singleShot(0, &form, [&] {
      text->SetCaption("&Text");
      help->SetCaption("&Hilfe");
      about->SetEnabled(false);
      help->AddItem("mi_helpSysInfo", "&System Info");
      // Long enough for the bar's deferred update and anything it leaves for later.
      QTimer::singleShot(50, &form, &QDialog::reject);
    });
    form.exec();
    aliveAfterTheForm = AllAlive(before);
  };
  PickByKeys(Qt::Key_E, Qt::Key_L);
  QApplication::processEvents();
  EXPECT_EQ(loads, 1);
  EXPECT_TRUE(aliveAfterTheForm);
  ASSERT_TRUE(AllAlive(before));
  // The same objects show the new state.
  EXPECT_EQ(Action("mi_EditText"), textAction.data());
  EXPECT_EQ(Action("mi_EditText")->text(), "&Text");
  EXPECT_EQ(Action("mi_Help")->text(), "&Hilfe");
  EXPECT_FALSE(Action("mi_HelpAbout")->isEnabled());
  ASSERT_NE(Action("mi_helpSysInfo"), nullptr);
  EXPECT_EQ(Shown().size(), before.size() + 1);
  // The menu that opened the form still works, and so does the renamed one.
  PickByKeys(Qt::Key_E, Qt::Key_L);
  EXPECT_EQ(loads, 2);
  bool sysInfo = false;
  model.FindItem("mi_helpSysInfo")->onClick = [&] { sysInfo = true; };
  PickByKeys(Qt::Key_H, Qt::Key_S);
  EXPECT_TRUE(sysInfo);
}

TEST_F(QtMenuBarTest, EachActionShowsItsItemsStateAndHidesWithIt) {
  text->SetVisible(false);
  language->SetChecked(true);
  QApplication::processEvents();
  EXPECT_FALSE(Action("mi_EditText")->isVisible());
  EXPECT_TRUE(Action("mi_helplanguage")->isChecked());
  ASSERT_NE(Action("mi_helplanguage")->menu(), nullptr);
  EXPECT_NE(Action("mi_helplanguage")->menu()->findChild<QAction*>("mi_helplanguagedeutsch"),
            nullptr);
  QPointer<QAction> shown = Action("mi_EditText");
  text->SetVisible(true);
  QApplication::processEvents();
  EXPECT_EQ(Action("mi_EditText"), shown.data());
  EXPECT_TRUE(shown->isVisible());
}

// An item captioned "-" is drawn as a separator line: no "-" on it, lower than an item, and the
// arrow keys pass over it.
TEST_F(QtMenuBarTest, AMinusItemIsASeparatorLineTheArrowKeysPassOver) {
  edit->AddSeparator("N5");
  edit->AddItem("mi_editconfig", "&Settings");
  QApplication::processEvents();
  QAction* separator = Action("N5");
  ASSERT_NE(separator, nullptr);
  EXPECT_TRUE(separator->isSeparator());
  EXPECT_TRUE(separator->text().isEmpty()) << separator->text().toStdString();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
  auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  ASSERT_NE(popup, nullptr);
  // A line, far lower than an item: not a row with a text.
  EXPECT_LT(2 * popup->actionGeometry(separator).height(),
            popup->actionGeometry(Action("mi_EditText")).height())
      << popup->actionGeometry(separator).height();
  popup->setActiveAction(Action("mi_EditText"));
  QTest::keyClick(popup, Qt::Key_Down);
  EXPECT_EQ(popup->activeAction(), Action("mi_editconfig"));
  QTest::keyClick(popup, Qt::Key_Up);
  EXPECT_EQ(popup->activeAction(), Action("mi_EditText"));
  QTest::keyClick(popup, Qt::Key_Escape);
}

TEST(QtAccessKeys, ALaterCaptionMovesToAFreeLetterAndKeepsItsAmpersands) {
  using platform::qt::WithDistinctAccessKeys;
  EXPECT_EQ(WithDistinctAccessKeys({"&Open...", "&Open... (&Table)", "Se&ttings", "Quick 1"}),
            (std::vector<QString>{"&Open...", "O&pen... (Table)", "Se&ttings", "Quick 1"}));
  // A second mark, then a word's first letter; "&&" is a shown "&".
  EXPECT_EQ(WithDistinctAccessKeys({"&Shaft", "&Hub", "&Shaft + &Hub &Drawing", "&Save && &go"}),
            (std::vector<QString>{"&Shaft", "&Hub", "Shaft + Hub &Drawing", "Save && &go"}));
  // With no free letter the first mark stays.
  EXPECT_EQ(WithDistinctAccessKeys({"&a", "&A"}), (std::vector<QString>{"&a", "&A"}));
}

}  // namespace
