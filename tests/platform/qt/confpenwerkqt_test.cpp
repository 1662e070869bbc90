// The plot options form in the real dialog: choosing PostScript enables the font box, a typed
// scale shows in the command line label, and Enter gives the line of the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "base/dialogs/formplace.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/layer/confpenwerk.h"
#include "tests/support/qt/qtapp.h"

namespace {

class PlotOptionsQt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    TempDir = "/tmp/kv6";
    AbortFlag = 1;
  }
};

void TypeInto(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &key);
  }
}

TEST_F(PlotOptionsQt, PostScriptAndAScaleTypedWithAComma) {
  TForm_confpenwerk form;
  bool fontEnabledBefore = true, fontEnabledAfter = false;
  QString shown;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* font = dialog->findChild<QComboBox*>("ComboBox_psfont");
    fontEnabledBefore = font->isEnabled();
    QWidget* codes = dialog->findChild<QWidget*>("RadioGroup_outcode");
    codes->findChildren<QRadioButton*>().at(1)->click();
    fontEnabledAfter = font->isEnabled();
    QLineEdit* scale = dialog->findChild<QLineEdit*>("Edit_scale");
    scale->selectAll();
    TypeInto(scale, "2,5");
    shown = dialog->findChild<QLabel*>("Label_commandline")->text();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dialog, &enter);
  });
  EXPECT_EQ(form.ShowModal(), platform::ModalResult::Ok);
  EXPECT_FALSE(fontEnabledBefore);
  EXPECT_TRUE(fontEnabledAfter);
  EXPECT_EQ(shown, "c:\\penwerk\\wpenwerk /tmp/kv6/penwerk /CPS /M2,5 /T");
  EXPECT_EQ(form.CommandLine, "c:\\penwerk\\wpenwerk /tmp/kv6/penwerk /CPS /M2,5 /T");
  EXPECT_EQ(AbortFlag, 0);
}

// The form needs more room than it was designed with: centred on the drawing window at the size
// it shows with where it fits on the screen, moved onto the screen where it would stand out.
TEST_F(PlotOptionsQt, CentredOnTheDrawingWindowAndKeptOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  InputWindowScale = 50;
  DialogScale = 60;
  for (const bool inTheCorner : {false, true}) {
    SCOPED_TRACE(inTheCorner ? "drawing window in the screen's far corner" : "on the screen");
    platform::RecordedFormHandle window(platform::Size{screen.width(), screen.height()});
    const QPoint origin = inTheCorner ? screen.center() : screen.topLeft();
    window.SetPosition({origin.x(), origin.y()});
    DrawWindowForm = &window;
    TForm_confpenwerk form;
    const platform::Size frame{
        form.Placement().OuterSize().width - form.Placement().ClientSize().width,
        form.Placement().OuterSize().height - form.Placement().ClientSize().height};
    const platform::Size designed = form.Placement().ClientSize();
    QRect shown;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      shown = QRect(dialog->frameGeometry().topLeft(),
                    dialog->size() + QSize(frame.width, frame.height));
      dialog->close();
    });
    form.ShowModal();
    DrawWindowForm = nullptr;
    ASSERT_GT(shown.height() - frame.height, designed.height);
    EXPECT_TRUE(screen.contains(shown))
        << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
    if (!inTheCorner) {
      const QPoint centre = screen.center() + QPoint(0, 20);
      EXPECT_LE((shown.center() - centre).manhattanLength(), 2)
          << shown.center().x() << "," << shown.center().y();
    }
  }
}

}  // namespace
