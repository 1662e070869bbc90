#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/ui/mainwindow.h"
#include "platform/ui/menus.h"

namespace platform {
namespace {

TEST(WindowTest, MenuClicksReachOnlyUsableItems) {
  MainWindow window;
  int exits = 0, opens = 0;
  Menu& file = window.Menus().AddMenu("mi_file", "&File");
  file.AddItem("mi_fileOpen", "&Open...", [&] { ++opens; });
  file.AddSeparator("N1");
  file.AddItem("mi_fileexit", "E&xit", [&] { ++exits; });
  ASSERT_NE(window.Menus().FindItem("mi_fileexit"), nullptr);
  EXPECT_TRUE(window.Menus().FindItem("N1")->IsSeparator());
  EXPECT_EQ(window.Menus().FindItem("mi_none"), nullptr);

  window.Menus().FindItem("mi_fileexit")->Click();
  window.Menus().FindItem("mi_fileOpen")->SetEnabled(false);
  window.Menus().FindItem("mi_fileOpen")->Click();
  file.SetVisible(false);
  window.Menus().FindItem("mi_fileexit")->Click();
  EXPECT_EQ(std::pair(exits, opens), std::pair(1, 0));
}

// Sub-menu items are found by name like any other and run their commands.
TEST(WindowTest, SubMenuItemsAreFoundAndClicked) {
  MainWindow window;
  int german = 0;
  MenuItem& language = window.Menus().AddMenu("mi_Help", "&Help").AddItem("mi_helplanguage", "L");
  language.AddSubMenu().AddItem("mi_helplanguagedeutsch", "&Deutsch", [&] { ++german; });
  EXPECT_EQ(&language.AddSubMenu(), language.SubMenu());
  ASSERT_NE(window.Menus().FindItem("mi_helplanguagedeutsch"), nullptr);
  window.Menus().FindItem("mi_helplanguagedeutsch")->Click();
  EXPECT_EQ(german, 1);
}

TEST(WindowTest, MenuChangesReachTheView) {
  MenuBar bar;
  int updates = 0;
  bar.SetViewUpdate([&] { ++updates; });
  MenuItem& item = bar.AddMenu("mi_view", "View").AddItem("mi_viewErrorMessages", "Messages");
  item.SetCaption("Messages (3)");
  item.SetChecked(true);
  EXPECT_EQ(updates, 4);
}

TEST(WindowTest, CloseQueryCanRefuse) {
  MainWindow window;
  window.Show();
  bool allow = false;
  int closed = 0;
  window.onCloseQuery = [&] { return allow; };
  window.onClose = [&] { ++closed; };
  EXPECT_FALSE(window.Close());
  EXPECT_TRUE(headless::StateOf(window).shown);
  allow = true;
  EXPECT_TRUE(window.Close());
  EXPECT_FALSE(headless::StateOf(window).shown);
  EXPECT_EQ(closed, 1);
}

TEST(WindowTest, PaintsIntoRecordingCanvases) {
  MainWindow window;
  window.onPaint = [](Canvas& canvas) {
    canvas.MoveTo({0, 0});
    canvas.LineTo({canvas.GetSize().width, canvas.GetSize().height});
  };
  int resized = 0;
  window.onResize = [&] { ++resized; };
  window.SetClientSize({800, 600});
  window.Invalidate();
  window.Repaint();
  window.PaintNow([](Canvas& canvas) {
    canvas.SetPen({.mode = PenMode::Not});
    canvas.Rectangle({1, 2, 3, 4});
  });
  const auto& state = headless::StateOf(window);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(state.invalidations, 1);
  EXPECT_EQ(state.lastPaint.Calls(), (std::vector<std::string>{"move_to 0,0", "line_to 800,600"}));
  EXPECT_EQ(state.immediate.Calls(),
            (std::vector<std::string>{"pen 0,0,0 1 solid not", "rectangle 1,2,3,4"}));
}

}  // namespace
}  // namespace platform
