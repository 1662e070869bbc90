// Every form shows the whole text of each label, edit and grid column, in English and in German,
// at the default font: no caption, unit or filled value is cut by the width the layout gives it.
// Every form fits a laptop's screen, its controls inside it or on a page that scrolls to them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableView>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/about/aboutbox.h"
#include "app/about/sysinfo.h"
#include "app/config/selectcolor.h"
#include "app/config/tconfig.h"
#include "app/docs/changeentryform.h"
#include "app/docs/documentlinksform.h"
#include "app/docs/drawinginfoform.h"
#include "app/filetable/formpreview.h"
#include "app/input/kv6abm.h"
#include "app/input/kv6load.h"
#include "app/input/kveingabetext.h"
#include "app/input/kvwst.h"
#include "app/lang/menutexts.h"
#include "app/lang/vmenuqel.h"
#include "app/main/programidentity.h"
#include "base/draw/hgvar.h"
#include "base/help/anistep.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/drawings/drawsettingsform.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/confpenwerk.h"
#include "cad/print/printcon.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"
#include "platform/print/currentprinter.h"
#include "tests/base/testdata.h"
#include "tests/support/qt/qtapp.h"

namespace {

// The room a line edit leaves for its text: its contents less the margins it keeps blank.
int TextRoom(QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.rect = edit.rect();
  option.lineWidth =
      edit.hasFrame() ? edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit) : 0;
  const QRect contents = edit.style()->subElementRect(QStyle::SE_LineEditContents, &option, &edit);
  const QMargins margins = edit.textMargins();
  constexpr int kLineEditMargin = 2;  // Qt's own blank on each side of the text
  return contents.width() - margins.left() - margins.right() - 2 * kLineEditMargin;
}

// Every column of a grid or list is as wide as its heading and its widest cell need: Qt elides
// a text its column is too narrow for.
void ExpectWholeColumns(QTableView& view) {
  QHeaderView& header = *view.horizontalHeader();
  for (int col = 0; col < header.count(); ++col) {
    if (view.isColumnHidden(col)) continue;
    SCOPED_TRACE(view.objectName().toStdString() + " column " + std::to_string(col));
    if (header.isVisible()) {
      EXPECT_LE(header.sectionSizeHint(col), view.columnWidth(col));
    }
    // The cells' need; the table view itself keeps the call to its subclasses.
    const QAbstractItemView& cells = view;
    EXPECT_LE(cells.sizeHintForColumn(col), view.columnWidth(col));
  }
}

void ExpectWholeTexts(QWidget& dialog) {
  for (QLabel* label : dialog.findChildren<QLabel*>()) {
    if (!label->isVisible() || label->text().isEmpty()) continue;
    SCOPED_TRACE(label->objectName().toStdString() + " \"" + label->text().toStdString() + "\"");
    const QRect room = label->contentsRect();
    if (label->wordWrap()) {
      EXPECT_LE(label->heightForWidth(label->width()), label->height());
    } else {
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), room.width());
    }
  }
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
    if (!edit->isVisible() || edit->text().isEmpty()) continue;
    SCOPED_TRACE(edit->objectName().toStdString() + " \"" + edit->text().toStdString() + "\"");
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), TextRoom(*edit));
  }
  for (QTableView* view : dialog.findChildren<QTableView*>()) {
    if (view->isVisible()) ExpectWholeColumns(*view);
  }
}

// The page a control is on when it is inside a page that scrolls, or else the form.
QWidget& AreaOf(QWidget& control, QWidget& dialog) {
  for (QWidget* p = control.parentWidget(); p != nullptr && p != &dialog; p = p->parentWidget()) {
    auto* scroller = qobject_cast<QScrollArea*>(p);
    QWidget* page = scroller != nullptr ? scroller->widget() : nullptr;
    if (page != nullptr && (page == &control || page->isAncestorOf(&control))) return *page;
  }
  return dialog;
}

// A laptop's screen of 1366 x 768 pixels, less a panel of 40.
void ExpectFitsALaptopScreen(QWidget& dialog) {
  EXPECT_LE(dialog.frameGeometry().width(), 1366);
  EXPECT_LE(dialog.frameGeometry().height(), 728);
  for (QWidget* control : dialog.findChildren<QWidget*>()) {
    if (!control->isVisible()) continue;
    QWidget& area = AreaOf(*control, dialog);
    const QRect place(control->mapTo(&area, QPoint(0, 0)), control->size());
    EXPECT_TRUE(area.rect().contains(place)) << control->objectName().toStdString();
  }
  // A page that scrolls keeps its controls' height and scrolls to its foot.
  for (QScrollArea* scroller : dialog.findChildren<QScrollArea*>()) {
    if (!scroller->isVisible()) continue;
    const QWidget& page = *scroller->widget();
    SCOPED_TRACE(page.objectName().toStdString());
    EXPECT_GE(page.height(), page.minimumSizeHint().height());
    EXPECT_EQ(scroller->verticalScrollBar()->maximum(),
              std::max(0, page.height() - scroller->viewport()->height()));
  }
}

void ExpectShownWhole(QWidget& dialog) {
  ExpectWholeTexts(dialog);
  ExpectFitsALaptopScreen(dialog);
}

class FormTextsQt : public ::testing::TestWithParam<std::int32_t> {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    StartCalculationUnits();
    ASSERT_TRUE(LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
    UnitSystem = 0;
    AbortFlag = 0;
    UseLanguage(GetParam());
  }
  void TearDown() override {
    UseLanguage(2);
    UnitSystem = 0;
  }
  static void UseLanguage(std::int32_t code) {
    SetMenuTexts(code);
    SetMenuTermsLanguage(code);
    SetCalcTexts(static_cast<std::uint16_t>(code));
    SetVocabularyLanguage(static_cast<std::uint16_t>(code));
  }

  // Shows the form, checks it as it first shows (and after each change more makes) and closes it.
  static void Check(platform::Form& form,
                    const std::function<void(const std::function<void()>&)>& more = nullptr) {
    QTimer::singleShot(0, [&form, &more] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) {
        ADD_FAILURE() << "no dialog";
        return;
      }
      ExpectShownWhole(*dialog);
      if (more) {
        more([dialog] {
          QApplication::processEvents();
          ExpectShownWhole(*dialog);
        });
      }
      form.SetModalResult(platform::ModalResult::Cancel);
    });
    form.ShowModal();
  }
};

TEST_P(FormTextsQt, InputForms) {
  {
    SCOPED_TRACE("text form");
    TForm_kveingabetext form;
    Check(form);
  }
  {
    SCOPED_TRACE("dimensions form");
    TForm_kv6abm form;
    Check(form);
  }
  {
    SCOPED_TRACE("material form");
    TForm_kvwst form;
    Check(form);
  }
  {
    SCOPED_TRACE("load form");
    TForm_kv6load form;
    Check(form);
  }
}

TEST_P(FormTextsQt, DrawingSettingsAndPrintForms) {
  {
    SCOPED_TRACE("drawing settings form");
    CalcData.d1 = 112.123456789L;
    TForm_kv6config form;
    Check(form);
  }
  {
    SCOPED_TRACE("print form");
    const std::string pdf =
        (std::filesystem::temp_directory_path() / "a folder of some length" / "p3g60.pdf").string();
    platform::CurrentPrinter().UsePdf(pdf);
    TForm_printconf form;
    Check(form);
    // The printer's name in full, even where it is longer than the label was laid out for.
    EXPECT_EQ(form.Get<platform::Label>("Label_printer").Caption(), "PDF: " + pdf);
  }
}

TEST_P(FormTextsQt, ConfigurationPagesAboutBoxAndPrinterInformation) {
  InitGraphicsSettings();
  InitPrintSetup();
  InitCadDefaults();
  SetProgramIdentity();
  {
    Tconfig form;
    Check(form, [&form](const std::function<void()>& check) {
      auto& pages = form.Get<platform::PageControl>("PageControl1");
      for (std::int32_t i = 1; i < 9; ++i) {
        SCOPED_TRACE("configuration page " + std::to_string(i + 1));
        pages.SetActivePageIndex(i);
        check();
      }
    });
  }
  {
    SCOPED_TRACE("about box");
    TAboutBox form;
    Check(form);
  }
  {
    SCOPED_TRACE("printer information");
    TForm_printerinfo form;
    Check(form);
  }
}

TEST_P(FormTextsQt, ColourPlotProgramSearchFileTableAndStepForms) {
  InitGraphicsSettings();
  InitCadDefaults();
  SetProgramIdentity();
  {
    SCOPED_TRACE("colour picker");
    TForm_selectcolor form;
    Check(form);
  }
  {
    SCOPED_TRACE("system information");
    TSysinfo form;
    Check(form);
  }
  {
    SCOPED_TRACE("plot program options");
    TForm_confpenwerk form;
    Check(form);
  }
  {
    SCOPED_TRACE("search");
    TForm_Suchen form;
    Check(form);
  }
  {
    SCOPED_TRACE("table of calculation files");
    TForm_preview form;
    form.Fill({{"File", "Date", "d1"}, {"p3g60.kv6", "2026-12-07", "60"}}, {"p3g60.kv6"});
    Check(form);
  }
  {
    SCOPED_TRACE("step window");
    TForm_anistep form;
    Check(form);
  }
}

// The forms the program shows from a routine: each is checked and closed by its close box.
TEST_P(FormTextsQt, DocumentForms) {
  InitGraphicsSettings();
  InitCadDefaults();
  const std::vector<std::pair<const char*, std::function<void()>>> forms = {
      {"drawing information", ShowDrawingInfo},
      {"change entry", [] { EditChangeEntry(1); }},
      {"document links", EditDocumentLinks},
  };
  for (const auto& [name, show] : forms) {
    SCOPED_TRACE(name);
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) return;
      shown = true;
      ExpectShownWhole(*dialog);
      dialog->close();
    });
    show();
    EXPECT_TRUE(shown);
  }
}

INSTANTIATE_TEST_SUITE_P(EnglishAndGerman, FormTextsQt, ::testing::Values(2, 1));

}  // namespace
