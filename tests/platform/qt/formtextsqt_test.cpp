// Every form shows the whole text of each label and edit, in English and in German, at the
// default font: no caption, unit or filled value is cut by the width the layout gives it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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
#include "app/config/tconfig.h"
#include "app/docs/changeentryform.h"
#include "app/docs/documentlinksform.h"
#include "app/docs/drawinginfoform.h"
#include "app/input/kv6abm.h"
#include "app/input/kv6load.h"
#include "app/input/kveingabetext.h"
#include "app/input/kvwst.h"
#include "app/lang/menutexts.h"
#include "app/lang/vmenuqel.h"
#include "app/main/programidentity.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/drawings/drawsettingsform.h"
#include "cad/layer/cadvar.h"
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
      ExpectWholeTexts(*dialog);
      if (more) {
        more([dialog] {
          QApplication::processEvents();
          ExpectWholeTexts(*dialog);
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
      ExpectWholeTexts(*dialog);
      dialog->close();
    });
    show();
    EXPECT_TRUE(shown);
  }
}

INSTANTIATE_TEST_SUITE_P(EnglishAndGerman, FormTextsQt, ::testing::Values(2, 1));

}  // namespace
