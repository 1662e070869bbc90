// The plot options form in the real dialog: choosing PostScript enables the font box, a typed
// scale shows in the command line label, and Enter gives the line of the widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

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

}  // namespace
