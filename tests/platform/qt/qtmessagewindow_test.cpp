// The engine's progress window on the Qt kit, driven through the engine's own model.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "platform/ui/forms.h"

#include "tables/core/tzmsg.h"
#include "tests/support/qt/qtapp.h"

namespace {

class QtMessageWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }

  static QWidget* ShownMessageWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == "MessageWindow" && widget->isVisible()) return widget;
    }
    return nullptr;
  }
};

TEST_F(QtMessageWindowTest, TheProgressDialogIsAFramelessYellowApplicationModalBar) {
  const auto progress = dadav::TTzProgress100::CreateWithCaption(nullptr, "Appending...");
  QWidget* dialog = ShownMessageWindow();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(QApplication::activeModalWidget(), dialog);
  EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(dialog->palette().color(QPalette::Window), QColor(255, 255, 0));
  EXPECT_EQ(dialog->findChild<QLabel*>("Caption")->text(), "Appending...");
  EXPECT_EQ(dialog->size(), QSize(progress->WindowSize().width, progress->WindowSize().height));

  auto* bar = dialog->findChild<QProgressBar*>("Bar");
  EXPECT_EQ(bar->value(), 0);
  for (int i = 0; i < 30; ++i) dadav::ProgressStep(*progress);
  EXPECT_EQ(bar->value(), 30);
}

TEST_F(QtMessageWindowTest, EscapeAndCloseRequestsLeaveItOpen) {
  const auto progress = dadav::TTzProgress100::CreateWithCaption(nullptr, "Indexing");
  QWidget* dialog = ShownMessageWindow();
  ASSERT_NE(dialog, nullptr);
  QTest::keyClick(dialog->windowHandle(), Qt::Key_Escape);
  dadav::ProgressStep(*progress);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(dialog->close());
  EXPECT_TRUE(dialog->isVisible());
}

// The main window stands in for the program's: its buttons start commands.
TEST_F(QtMessageWindowTest, AClickOnTheMainWindowDuringAnImportRunsNoHandlerThenOrAfter) {
  QWidget mainWindow;
  mainWindow.resize(300, 200);
  auto* button = new QPushButton("Append", &mainWindow);
  button->setGeometry(20, 20, 120, 40);
  int commands = 0;
  QObject::connect(button, &QPushButton::clicked, [&commands] { ++commands; });
  mainWindow.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
  const auto click = [&] {
    QTest::mouseClick(mainWindow.windowHandle(), Qt::LeftButton, {}, button->geometry().center());
  };
  click();
  ASSERT_EQ(commands, 1) << "the window system's click reaches the button";

  {
    const auto progress = dadav::TTzProgress100::CreateWithCaption(nullptr, "Appending...");
    click();
    for (int i = 0; i < 3; ++i) dadav::ProgressStep(*progress);
    EXPECT_EQ(commands, 1);
  }
  QApplication::processEvents();
  EXPECT_EQ(commands, 1) << "the click was dropped, not kept for later";
  click();
  EXPECT_EQ(commands, 2) << "the main window takes input again";
}

// The toolkit places the form itself; the window opened while it runs is centred over it.
TEST_F(QtMessageWindowTest, AWindowOpenedWhileAFormRunsIsCentredWhereTheFormIs) {
  platform::Form form("TForm_table", "Table", platform::Size{400, 300});
  QRect formFrame;
  platform::Point windowPosition;
  platform::Size windowSize;
  QTimer::singleShot(0, [&] {
    formFrame = QApplication::activeModalWidget()->frameGeometry();
    {
      const auto progress = dadav::TTzProgress100::CreateWithCaption(platform::ActiveFormHandle(),
                                                                     "Indexing TABLE.DBF...");
      windowPosition = progress->WindowPosition();
      windowSize = progress->WindowSize();
    }
    form.SetModalResult(platform::ModalResult::Ok);
  });
  form.ShowModal();
  ASSERT_FALSE(formFrame.isEmpty());
  // The form's outer size is its client size plus an estimated frame, so the centres may differ
  // by half the frame.
  const QPoint formCentre = formFrame.center();
  EXPECT_NEAR(windowPosition.x + windowSize.width / 2, formCentre.x(), 10);
  EXPECT_NEAR(windowPosition.y + windowSize.height / 2, formCentre.y(), 20);
}

}  // namespace
