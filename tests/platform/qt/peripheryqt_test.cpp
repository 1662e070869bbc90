// The periphery's forms built by the Qt backend: the nine pages of the configuration form, the
// colour picker, the table of 2,000 calculation files, its search form, the about and the
// system-information windows. Every control the models name is a widget of that name, and each
// form (each page of the configuration) is saved as a PNG in the working folder, which pngcheck
// must accept.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>

#include "app/about/aboutbox.h"
#include "app/about/sysinfo.h"
#include "app/config/selectcolor.h"
#include "app/config/tconfig.h"
#include "app/filetable/filetablerows.h"
#include "app/filetable/formpreview.h"
#include "app/main/programidentity.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/layer/cadvar.h"
#include "calc/calcstart.h"
#include "platform/ui/dialog.h"
#include "tests/app/tools/calcfilegen.h"
#include "tests/support/command.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/tempfolder.h"

namespace {

class PeripheryQt : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    InitGraphicsSettings();
    InitPrintSetup();
    InitCadDefaults();
    StartCalculationUnits();
    SetProgramIdentity();
    AbortFlag = 0;
  }

  static void SavePng(QWidget& dialog, const std::string& png) {
    QApplication::processEvents();
    const std::string path = (std::filesystem::current_path() / png).string();
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(path), "PNG"));
    const CommandResult check = RunCommand("pngcheck -q " + path);
    EXPECT_EQ(check.status, 0) << check.output;
  }

  static void ExpectEveryControl(QWidget& dialog, const platform::Container& container) {
    for (const auto& child : container.Children()) {
      EXPECT_NE(dialog.findChild<QWidget*>(QString::fromStdString(child->Name())), nullptr)
          << child->Name();
      if (const auto* inner = dynamic_cast<const platform::Container*>(child.get())) {
        ExpectEveryControl(dialog, *inner);
      }
    }
  }

  // Shows the form; while it shows, finds every control, runs act and closes it unless act did.
  static void Show(platform::Form& form, std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) {
        ADD_FAILURE() << "no dialog";
        return;
      }
      ExpectEveryControl(*dialog, form);
      act(*dialog);
      if (dialog->isVisible()) form.SetModalResult(platform::ModalResult::Cancel);
    });
    form.ShowModal();
  }
};

TEST_F(PeripheryQt, TheNinePagesOfTheConfigurationForm) {
  Tconfig form;
  Show(form, [&](QWidget& dialog) {
    auto& pages = form.Get<platform::PageControl>("PageControl1");
    for (std::int32_t i = 0; i < 9; ++i) {
      pages.SetActivePageIndex(i);
      SavePng(dialog, "config_page" + std::to_string(i + 1) + ".png");
    }
  });
}

TEST_F(PeripheryQt, TheColourPicker) {
  ColourNames();
  TForm_selectcolor form;
  form.ListBox_colors.SetItemIndex(4);
  Show(form, [](QWidget& dialog) { SavePng(dialog, "selectcolor.png"); });
}

TEST_F(PeripheryQt, TheTableOfTwoThousandFilesAndItsSearchForm) {
  const TempFolder folder;
  FileExt = "kv6";
  ASSERT_TRUE(calcfilegen::MakeCalcFiles(folder.Dir(), 2000, FileExt, false));
  std::vector<std::vector<std::string>> rows = {FileTableHeader()};
  const std::vector<std::string> names = CalcFileNames(folder.Dir());
  for (const std::string& name : names) rows.push_back(FileTableRow(folder.Dir(), name));
  TForm_preview table;
  table.Fill(rows, names);
  const std::string before = table.StringGrid1.Cell(5, 2);
  Show(table, [&table](QWidget& dialog) {
    SavePng(dialog, "filetable.png");
    auto* grid = dialog.findChild<QTableWidget*>("StringGrid1");
    ASSERT_NE(grid, nullptr);
    // The grid's row 0 is the table's header; its row r the table's row r - 1.
    QHeaderView* head = grid->horizontalHeader();
    ASSERT_TRUE(head->isVisible());
    EXPECT_EQ(grid->horizontalHeaderItem(5)->text(), "d1 [mm]");
    const auto pressCell = [grid](Qt::MouseButton button, int row, int col) {
      QTest::mouseClick(grid->viewport(), button, {},
                        grid->visualRect(grid->model()->index(row - 1, col)).center());
      QApplication::processEvents();
    };
    const auto pressHead = [head](Qt::MouseButton button, int col) {
      QTest::mouseClick(head->viewport(), button, {},
                        QPoint(head->sectionViewportPosition(col) + head->sectionSize(col) / 2,
                               head->height() / 2));
      QApplication::processEvents();
    };
    pressCell(Qt::RightButton, 3, 5);  // a row: nothing sorts, nothing is picked
    EXPECT_EQ(table.StringGrid1.Row(), 1);
    pressHead(Qt::LeftButton, 5);   // a left press on a head sorts nothing
    pressHead(Qt::RightButton, 5);  // the head of d1: sorted, the current file stays first
    EXPECT_EQ(table.StringGrid1.Cell(5, 2), "  8.00");
    EXPECT_EQ(table.StringGrid1.Row(), 1);
    EXPECT_EQ(table.SelectedRow, 0);
    EXPECT_TRUE(dialog.isVisible());
    head->resizeSection(0, 333);  // as the user drags the section's edge
    EXPECT_EQ(table.StringGrid1.ColWidth(0), 333);
    pressCell(Qt::LeftButton, 3, 0);
  });
  EXPECT_NE(before, "  8.00");
  EXPECT_EQ(table.SelectedRow, 3);
  EXPECT_EQ(table.GetModalResult(), platform::ModalResult::Ok);
  TForm_Suchen search;
  Show(search, [](QWidget& dialog) { SavePng(dialog, "search.png"); });
}

TEST_F(PeripheryQt, TheAboutAndSystemInformationWindows) {
  TAboutBox about;
  Show(about, [](QWidget& dialog) { SavePng(dialog, "about.png"); });
  TSysinfo info;
  Show(info, [](QWidget& dialog) { SavePng(dialog, "sysinfo.png"); });
  EXPECT_FALSE(info.Get<platform::Memo>("Memo1").Lines().empty());
}

// The colour and font dialogs answer in the program's terms: a Windows colour value and a style
// code; Cancel chooses nothing.
TEST_F(PeripheryQt, TheColourAndFontDialogs) {
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->currentColor(), QColor(0x56, 0x34, 0x12));
    dialog->setCurrentColor(QColor(255, 128, 0));
    dialog->accept();
  });
  const platform::ColorResult colour = platform::Dialogs().ChooseColor(0x123456);
  EXPECT_TRUE(colour.chosen);
  EXPECT_EQ(colour.color, 0x0080FFu);
  QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_FALSE(platform::Dialogs().ChooseColor(0).chosen);

  QFont shown;
  QTimer::singleShot(0, [&shown] {
    auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->currentFont().italic());
    QFont font = dialog->currentFont();
    font.setUnderline(true);
    font.setPointSize(14);
    dialog->setCurrentFont(font);
    shown = dialog->currentFont();
    dialog->accept();
  });
  const platform::FontResult font = platform::Dialogs().ChooseFont({"DejaVu Sans", 10, 2});
  EXPECT_TRUE(font.chosen);
  EXPECT_EQ(font.font.style, (shown.bold() ? 1 : 0) + (shown.italic() ? 2 : 0) + 4);
  EXPECT_EQ(font.font.size, 14);
  EXPECT_EQ(font.font.face, shown.family().toStdString());
}

}  // namespace
