#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include "platform/qt/qtcanvas.h"
#include "platform/qt/qtform.h"
#include "platform/qt/qtmainwindow.h"
#include "platform/ui/backend.h"
#include "platform/ui/forms.h"
#include "tests/support/qt/qtapp.h"

namespace platform {
namespace {

class QtBackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
};

// The form of the headless tests: OK is the default button and sets the result itself.
class DiameterForm : public Form {
 public:
  DiameterForm() : Form("TForm_diameter", "Dimensions \x80") {
    Add<Label>("Label_d1").SetCaption("&d1");
    Add<Edit>("Edit_d1").SetMaxLength(6);
    Add<Label>("Label_d1unit").SetCaption("mm");
    Add<CheckBox>("CheckBox_fine").SetCaption("fine");
    Button& ok = Add<Button>("Button_ok");
    ok.SetCaption("OK");
    ok.SetDefault(true);
    ok.onClick = [this] {
      okPressed = true;
      SetModalResult(ModalResult::Ok);
    };
    Button& cancel = Add<Button>("Button_cancel");
    cancel.SetCaption("Cancel");
    cancel.SetCancel(true);
    cancel.SetModalResult(ModalResult::Cancel);
  }
  bool okPressed = false;
};

void Type(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
  }
}

TEST_F(QtBackendTest, WidgetsFollowTheModelAndReportTheUser) {
  DiameterForm form;
  qt::FormView view(form);
  QDialog& dialog = view.Dialog();
  auto* edit = dialog.findChild<QLineEdit*>("Edit_d1");
  auto* ok = dialog.findChild<QPushButton*>("Button_ok");
  auto* fine = dialog.findChild<QCheckBox*>("CheckBox_fine");
  ASSERT_NE(edit, nullptr);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(fine, nullptr);
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Dimensions \u20ac"));

  Type(edit, QString::fromUtf8("12,5\u20ac678"));
  EXPECT_EQ(form.Get<Edit>("Edit_d1").Text(),
            "12,5\x80"
            "6");  // stops at 6 characters
  form.Get<Edit>("Edit_d1").SetText("40");
  EXPECT_EQ(edit->text(), "40");

  fine->click();
  EXPECT_TRUE(form.Get<CheckBox>("CheckBox_fine").Checked());
  form.Get<Button>("Button_ok").SetEnabled(false);
  EXPECT_FALSE(ok->isEnabled());
  form.Get<Button>("Button_ok").SetEnabled(true);
  ok->click();
  EXPECT_TRUE(form.okPressed);
  EXPECT_EQ(form.GetModalResult(), ModalResult::Ok);
}

TEST_F(QtBackendTest, LabelFieldAndUnitShareARowAndDialogButtonsARowOfTheirOwn) {
  DiameterForm form;
  qt::FormView view(form);
  QWidget* label = view.Dialog().findChild<QWidget*>("Label_d1");
  auto* grid = qobject_cast<QGridLayout*>(label->parentWidget()->layout());
  ASSERT_NE(grid, nullptr);
  auto cell = [&](const char* name) {
    int row, col, rowSpan, colSpan;
    const int index = grid->indexOf(view.Dialog().findChild<QWidget*>(name));
    if (index < 0) return std::make_pair(-1, -1);
    grid->getItemPosition(index, &row, &col, &rowSpan, &colSpan);
    return std::make_pair(row, col);
  };
  const int row = cell("Label_d1").first;
  EXPECT_EQ(cell("Label_d1"), std::make_pair(row, 0));
  EXPECT_EQ(cell("Edit_d1"), std::make_pair(row, 1));
  EXPECT_EQ(cell("Label_d1unit"), std::make_pair(row, 2));
  EXPECT_EQ(cell("CheckBox_fine"), std::make_pair(row + 1, 0));
  EXPECT_EQ(cell("Button_ok"), std::make_pair(-1, -1));  // in the button row below the grid
}

TEST_F(QtBackendTest, ShowModalRunsTheRealDialog) {
  DiameterForm form;
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    Type(dialog->findChild<QLineEdit*>("Edit_d1"), "25");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dialog, &enter);
  });
  EXPECT_EQ(form.ShowModal(), ModalResult::Ok);
  EXPECT_EQ(form.Get<Edit>("Edit_d1").Text(), "25");

  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);
}

TEST_F(QtBackendTest, FormShowsAsTheCorePlacedItAndReportsWhereTheUserLeftIt) {
  Form form("TForm_placed", "Placed", Size{600, 400});
  form.Add<Label>("Label1").SetCaption("text");
  form.Placement().SetPosition({120, 80});
  form.Placement().SetFontScale(150);
  QPoint corner;
  QSize client;
  bool fixed = false;
  qreal points = 0;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    corner = dialog->frameGeometry().topLeft();
    client = dialog->size();
    fixed = dialog->minimumSize() == dialog->maximumSize();
    points = dialog->font().pointSizeF();
    dialog->move(200, 150);
    dialog->close();
  });
  EXPECT_EQ(form.ShowModal(), ModalResult::Cancel);
  EXPECT_EQ(corner, QPoint(120, 80));
  EXPECT_EQ(client, QSize(584, 361));  // the designed outer size less the frame
  EXPECT_TRUE(fixed);                  // a dialog border
  EXPECT_DOUBLE_EQ(points, QApplication::font().pointSizeF() * 1.5);
  EXPECT_EQ(form.Placement().Position(), (Point{200, 150}));
  EXPECT_EQ(form.Placement().ClientSize(), (Size{584, 361}));
}

TEST_F(QtBackendTest, MainWindowShowsMenusAndPaintsItsContent) {
  MainWindow window;
  window.SetCaption("KV6 \x96 test");
  int exits = 0;
  window.Menus().AddMenu("mi_file", "&File").AddItem("mi_fileexit", "E&xit", [&] { ++exits; });
  int german = 0;
  window.Menus()
      .AddMenu("mi_Help", "&Help")
      .AddItem("mi_helplanguage", "Language")
      .AddSubMenu()
      .AddItem("mi_helplanguagedeutsch", "&Deutsch", [&] { ++german; });
  window.onPaint = [](Canvas& canvas) {
    const Size size = canvas.GetSize();
    canvas.SetBrush({{255, 0, 0}});
    canvas.FillRect({0, 0, size.width, size.height});
    canvas.SetPen({{0, 0, 255}, 3});
    canvas.MoveTo({0, 0});
    canvas.LineTo({size.width, size.height});
  };
  window.SetClientSize({320, 200});
  window.Show();
  QApplication::processEvents();

  QMainWindow& qwindow = qt::QtWindowOf(window);
  EXPECT_EQ(qwindow.windowTitle(), QString::fromUtf8("KV6 \u2013 test"));
  auto* exit = qwindow.menuBar()->findChild<QAction*>("mi_fileexit");
  ASSERT_NE(exit, nullptr);
  exit->trigger();
  EXPECT_EQ(exits, 1);
  auto* deutsch = qwindow.menuBar()->findChild<QAction*>("mi_helplanguagedeutsch");
  ASSERT_NE(deutsch, nullptr);
  deutsch->trigger();
  EXPECT_EQ(german, 1);

  EXPECT_EQ(window.ClientSize(), (Size{320, 200}));
  const QImage image = qwindow.centralWidget()->grab().toImage();
  EXPECT_EQ(image.size(), QSize(320, 200));
  EXPECT_EQ(image.pixelColor(300, 20), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(160, 100), QColor(0, 0, 255));

  window.SetClientSize({300, 150});
  QApplication::processEvents();
  EXPECT_EQ(window.ClientSize(), (Size{300, 150}));
  EXPECT_TRUE(window.Close());
}

TEST_F(QtBackendTest, PenModeNotInvertsAndTwiceRestores) {
  QImage image(40, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    qt::PainterCanvas canvas(painter, {40, 40});
    canvas.SetPen({.mode = PenMode::Not});
    canvas.SetBrush({.style = BrushStyle::Clear});
    canvas.Rectangle({5, 5, 30, 30});
    canvas.Rectangle({10, 10, 20, 20});
    canvas.Rectangle({10, 10, 20, 20});
  }
  EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 0));
  EXPECT_EQ(image.pixelColor(29, 29), QColor(0, 0, 0));
  EXPECT_EQ(image.pixelColor(30, 30), QColor(255, 255, 255));
  EXPECT_EQ(image.pixelColor(10, 10), QColor(255, 255, 255));
}

}  // namespace
}  // namespace platform
