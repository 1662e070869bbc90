#include "platform/qt/qtscreen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include "platform/system/services.h"
#include "tests/support/qt/qtapp.h"

namespace {

TEST(QtScreenTest, PrimaryScreenIsQtsWhileInstalled) {
  StartQtApplication();
  const platform::Substitute<platform::ScreenSource, platform::FixedScreen> fixed;
  {
    const platform::Substitute<platform::ScreenSource, platform::ScreenSource> qtScreen(
        platform::qt::MakeQtScreen());
    const platform::ScreenFacts facts = platform::PrimaryScreen();
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(facts.size.width, screen->geometry().width());
    EXPECT_EQ(facts.size.height, screen->geometry().height());
    EXPECT_EQ(facts.logicalDpi, qRound(screen->logicalDotsPerInchX()));
  }
  EXPECT_EQ(platform::PrimaryScreen().size, (platform::Size{1280, 1024}));
}

TEST(QtScreenTest, FormHandleMovesScalesAndFixesTheWidget) {
  StartQtApplication();
  QWidget window;
  window.resize(300, 200);
  QLabel* label = new QLabel("x", &window);
  platform::qt::QtFormHandle form(window);
  const qreal points = window.font().pointSizeF();

  form.SetPosition({40, 30});
  form.SetClientSize({320, 240});
  form.SetFontScale(150);
  form.SetBorder(platform::FormBorder::Dialog);
  form.SetBackground({10, 20, 30});
  form.SetTooltipDuration(100000);

  EXPECT_EQ(form.DesignedSize(), (platform::Size{300, 200}));
  EXPECT_EQ(form.Position(), (platform::Point{40, 30}));
  EXPECT_EQ(form.ClientSize(), (platform::Size{320, 240}));
  EXPECT_DOUBLE_EQ(window.font().pointSizeF(), points * 1.5);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.palette().color(QPalette::Window), QColor(10, 20, 30));
  EXPECT_EQ(label->toolTipDuration(), 100000);

  form.SetClientSize({400, 250});
  EXPECT_EQ(form.ClientSize(), (platform::Size{400, 250})) << "a fixed dialog can still be sized";
  form.SetBorder(platform::FormBorder::Sizeable);
  window.resize(500, 260);
  EXPECT_EQ(form.ClientSize(), (platform::Size{500, 260}));
}

}  // namespace
