// The main window on the Qt backend, offscreen: every item of the menu model is an action of
// its name with the model's state, the drawing commands reach the dispatcher, the close with
// unsaved input asks and Cancel keeps the window, Korean captions show in Hangul, and the window
// shows the start image after the start.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <filesystem>
#include <map>
#include <set>

#include "app/main/commandline.h"
#include "app/main/startunits.h"
#include "app/main/thh.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "platform/qt/qtmainwindow.h"
#include "tables/core/dbf4use.h"
#include "tests/base/testdata.h"
#include "tests/support/command.h"
#include "tests/support/qt/modalanswer.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/scopedvariable.h"
#include "tests/support/tempfolder.h"

namespace {

class MainWindowQt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    StartUnits(SourceRoot() + "/wkv6");
    ConfigDir = home.Dir();
    form = std::make_unique<Thh>();
    ASSERT_EQ(form->FormCreate(CommandLine{}), std::nullopt);
    form->outputDrawing = [this](std::uint16_t device, std::uint16_t drawing) {
      drawings.emplace_back(device, drawing);
    };
    form->Window().Show();
    QApplication::processEvents();
  }
  void TearDown() override {
    Modified = 0;
    form.reset();
    dadav::EngineExit();
  }
  // The action the bar shows for the named menu or item.
  QAction* Action(const std::string& name) const {
    QMenuBar& bar = *platform::qt::QtWindowOf(form->Window()).menuBar();
    const QString wanted = QString::fromStdString(name);
    for (QAction* menu : bar.actions()) {
      if (menu->objectName() == wanted) return menu;
      if (menu->menu() == nullptr) continue;
      if (auto* found = menu->menu()->findChild<QAction*>(wanted)) return found;
    }
    return nullptr;
  }

  TempFolder home;
  ScopedVariable dataHome{"XDG_DATA_HOME", home.Path("data")};
  ScopedVariable configHome{"XDG_CONFIG_HOME", home.Path("config")};
  std::unique_ptr<Thh> form;
  std::vector<std::pair<int, int>> drawings;
};

void EachItem(const platform::Menu& menu, const std::function<void(platform::MenuItem&)>& act) {
  for (const auto& item : menu.Items()) {
    act(*item);
    if (item->SubMenu() != nullptr) EachItem(*item->SubMenu(), act);
  }
}

// Every pair of shown entries of a menu (or the bar) that one access key picks, and the same for
// its sub-menus.
void ExpectDistinctAccessKeys(const QString& where, const QList<QAction*>& actions) {
  std::map<QString, QString> taken;
  for (QAction* action : actions) {
    if (!action->isVisible() || action->isSeparator()) continue;
    const QString key = QKeySequence::mnemonic(action->text()).toString();
    if (!key.isEmpty()) {
      const auto [first, added] = taken.emplace(key, action->text());
      EXPECT_TRUE(added) << where.toStdString() << ": " << first->second.toStdString() << " and "
                         << action->text().toStdString();
    }
    if (action->menu() != nullptr)
      ExpectDistinctAccessKeys(action->text(), action->menu()->actions());
  }
}

TEST_F(MainWindowQt, EveryItemIsAnActionWithTheModelsState) {
  QApplication::processEvents();
  int items = 0;
  for (const auto& menu : form->Window().Menus().Menus()) {
    EachItem(*menu, [&](platform::MenuItem& item) {
      ++items;
      QAction* action = Action(item.Name());
      ASSERT_NE(action, nullptr) << item.Name();
      EXPECT_EQ(action->isVisible(), item.Visible()) << item.Name();
      // Qt reports a hidden action as disabled.
      if (item.Visible()) {
        EXPECT_EQ(action->isEnabled(), item.Enabled()) << item.Name();
      }
    });
  }
  EXPECT_EQ(items, 72);
  // The drawing commands, triggered as the user would, reach the dispatcher.
  for (const char* name :
       {"ExportDXF1", "mi_viewQuick", "mi_viewP3G", "mi_cadsonstige", "mi_stlnabe"}) {
    Action(name)->trigger();
  }
  EXPECT_EQ(drawings, (std::vector<std::pair<int, int>>{{1, 1}, {3, 5}, {3, 2}, {0, 0}, {6, 10}}));
}

// Korean captions put the key in brackets after Hangul words, which leave no other letter to move
// to; Chinese captions have none.
TEST_F(MainWindowQt, NoTwoShownItemsOfAMenuShareTheirAccessKeyInLatinScript) {
  QMenuBar& bar = *platform::qt::QtWindowOf(form->Window()).menuBar();
  for (const char* language :
       {"mi_helplanguageenglisch", "mi_helplanguagedeutsch", "mi_helplanguageRoman"}) {
    SCOPED_TRACE(language);
    Action(language)->trigger();
    QApplication::processEvents();
    ExpectDistinctAccessKeys("bar", bar.actions());
  }
  // Every caption keeps an access key when a free one exists, and the marks the texts give win
  // where they do not clash.
  Action("mi_helplanguageenglisch")->trigger();
  QApplication::processEvents();
  EXPECT_EQ(Action("mi_ViewAusdruck")->text(), "&Printout");
  EXPECT_EQ(Action("mi_viewP3G")->text(), "P3&G");
  EXPECT_EQ(Action("mi_fileOpen")->text(), "&Open...");
  EXPECT_EQ(Action("mi_fileOpenTable")->text(), "Op&en... (Table)");
}

TEST_F(MainWindowQt, ExitWithChangesAndCancelKeepsTheWindow) {
  CurrentFile = "x";
  DataDir = home.Dir();
  Modified = 1;
  AnswerNextModal("Cancel");
  Action("mi_fileexit")->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(platform::qt::QtWindowOf(form->Window()).isVisible());
  EXPECT_EQ(Modified, 1);
}

TEST_F(MainWindowQt, KoreanCaptionsAreHangul) {
  Action("mi_helplanguageKorea")->trigger();
  QApplication::processEvents();
  QApplication::processEvents();
  const QString file = Action("mi_file")->text();
  const bool hangul = std::any_of(file.begin(), file.end(), [](QChar c) {
    return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3;
  });
  EXPECT_TRUE(hangul) << file.toStdString();
  Action("mi_helplanguageenglisch")->trigger();
}

TEST_F(MainWindowQt, StartShowsTheStartImage) {
  QMainWindow& window = platform::qt::QtWindowOf(form->Window());
  const QImage image = window.centralWidget()->grab().toImage();
  std::set<QRgb> colours;
  for (int y = 0; y < image.height(); y += 7) {
    for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y));
  }
  EXPECT_GE(colours.size(), 2U);
  const std::string path = home.Path("start.png");
  ASSERT_TRUE(image.save(QString::fromStdString(path)));
  const CommandResult check = RunCommand("pngcheck -q " + path);
  EXPECT_EQ(check.status, 0) << check.output;
}

}  // namespace
