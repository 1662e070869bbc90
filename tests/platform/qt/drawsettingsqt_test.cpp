// The drawing settings form in the real dialog: hidden diameter controls stay hidden, and the
// diameter the widgets show after the program filled them still stores its exact value.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/drawings/drawsettingsform.h"
#include "calc/calcstart.h"
#include "calc/kv6record.h"
#include "tests/support/qt/qtapp.h"

namespace {

class DrawSettingsQt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    StartCalculationUnits();
    UnitSystem = 0;
    AbortFlag = 1;
  }
  void TearDown() override { UnitSystem = 0; }
};

QLineEdit* LineEdit(QWidget* dialog, const char* name) {
  return dialog->findChild<QLineEdit*>(name);
}

void PressEnter(QWidget* dialog) {
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(dialog, &enter);
}

TEST_F(DrawSettingsQt, HiddenDiameterAndTypedResolution) {
  CalcData.d1 = 112.25L;
  TForm_kv6config form;
  form.HideDiameter = 1;
  bool diameterShown = true;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    diameterShown = LineEdit(dialog, "Edit_d1graf")->isVisible();
    QLineEdit* resolution = LineEdit(dialog, "Edit_res");
    resolution->selectAll();
    for (QChar c : QString("720")) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(resolution, &key);
    }
    PressEnter(dialog);
  });
  EXPECT_EQ(form.ShowModal(), platform::ModalResult::Ok);
  EXPECT_FALSE(diameterShown);
  EXPECT_EQ(CalcData.Resolution, 720);
  EXPECT_EQ(CalcData.d1graf, 112.25L);
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(DrawSettingsQt, TheToggledDiameterShowsInInchAndStoresAsEntered) {
  CalcData.d1 = 40;
  TForm_kv6config form;
  QString shown;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    dialog->findChild<QPushButton*>("Button_metric")->click();
    shown = LineEdit(dialog, "Edit_d1graf")->text();
    PressEnter(dialog);
  });
  EXPECT_EQ(form.ShowModal(), platform::ModalResult::Ok);
  EXPECT_EQ(shown, "1.5748");
  EXPECT_EQ(UnitSystem, 1);
  EXPECT_EQ(CalcData.d1graf, 40);
}

}  // namespace
