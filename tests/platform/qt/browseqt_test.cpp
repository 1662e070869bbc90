// The browse form in the real dialog on a table of 100,000 records, 1% of them deleted: the grid
// reaches the last record, sorts by a title click with the record kept, takes Enter and Esc, and
// leaves a picture of the sorted grid as browse_100k.png in the test folder.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>
#include <QTimer>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "tables/access/dbf4.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprstart.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tests/support/command.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/tempfolder.h"
#include "tests/tables/core/enginetables.h"

namespace {

constexpr int kRecords = 100000;

// NAME C(10) "N" + the distance to the last record (so the last record has the smallest key),
// VALUE N(10,2), OK L; every hundredth record deleted.
void WriteTable(const std::string& path) {
  const int fields = 3;
  const int headerLength = 32 + 32 * fields + 1;
  const int recordLength = 1 + 10 + 10 + 1;
  std::string file(static_cast<std::size_t>(headerLength), '\0');
  file[0] = 0x03;
  file[1] = 126;
  file[2] = 3;
  file[3] = 5;
  const auto put32 = [&file](std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put32(4, kRecords);
  file[8] = static_cast<char>(headerLength & 0xFF);
  file[9] = static_cast<char>(headerLength >> 8);
  file[10] = static_cast<char>(recordLength);
  const struct {
    const char* name;
    char type;
    int length, decimals;
  } descriptors[] = {{"NAME", 'C', 10, 0}, {"VALUE", 'N', 10, 2}, {"OK", 'L', 1, 0}};
  for (int f = 0; f < fields; ++f) {
    const std::size_t at = static_cast<std::size_t>(32 + 32 * f);
    std::memcpy(&file[at], descriptors[f].name, std::strlen(descriptors[f].name));
    file[at + 11] = descriptors[f].type;
    file[at + 16] = static_cast<char>(descriptors[f].length);
    file[at + 17] = static_cast<char>(descriptors[f].decimals);
  }
  file[static_cast<std::size_t>(headerLength - 1)] = 0x0D;
  file.reserve(file.size() + static_cast<std::size_t>(kRecords) * recordLength + 1);
  char record[32];
  for (int i = 1; i <= kRecords; ++i) {
    std::snprintf(record, sizeof record, "%cN%09d%7d.%02d%c", i % 100 == 0 ? '*' : ' ',
                  kRecords - i, i / 100, i % 100, i % 2 == 1 ? 'T' : 'F');
    file.append(record, static_cast<std::size_t>(recordLength));
  }
  file += '\x1A';
  std::ofstream(path, std::ios::binary) << file;
}

class browseqt : public ::testing::Test, protected TempFolder {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    dadav::EngineStart({&dadav::ExprModuleStart, &dadav::IndexInit});
    TempDir = Dir() + "/";
    std::filesystem::create_directory(Path("tables"));
    WriteTable(Path("tables/big.dbf"));
    dadav::CreateDbfForm();
    dadav::DbfForm->SetTableFile(Path("tables/big.dbf"));
  }
  void TearDown() override {
    dadav::FreeDbfForm();
    dadav::EngineExit();
  }
  static void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
  }
};

TEST_F(browseqt, AHundredThousandRecordsScrollSortAndCloseWithEnter) {
  dadav::Tdbf4& form = *dadav::DbfForm;
  int rows = 0;
  QString lastName, firstAfterSort;
  std::int32_t lastRecord = 0, selectedRow = -1;
  bool saved = false;
  QTimer::singleShot(0, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    auto* view = dialog->findChild<QTableView*>("TzGrid1");
    ASSERT_NE(view, nullptr);
    view->setFocus();
    rows = view->model()->rowCount();
    Key(view, Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    lastName = view->model()->index(rows - 1, 0).data().toString();
    lastRecord = form.RecNo();
    view->horizontalHeader()->sectionClicked(0);
    QApplication::processEvents();
    firstAfterSort = view->model()->index(0, 0).data().toString();
    selectedRow = view->currentIndex().row();
    dialog->resize(800, 600);
    QApplication::processEvents();
    saved = dialog->grab().save(QStringLiteral("browse_100k.png"));
    Key(view, Qt::Key_Return);
  });
  form.ShowTable("", 2);
  EXPECT_EQ(rows, kRecords);
  EXPECT_EQ(lastName, QStringLiteral("N000000000"));
  EXPECT_EQ(lastRecord, kRecords);
  EXPECT_EQ(firstAfterSort, QStringLiteral("N000000000"));
  EXPECT_EQ(selectedRow, 0);
  EXPECT_EQ(BrowseExitKey, 13);
  EXPECT_EQ(SelectedRecord, kRecords);
  ASSERT_TRUE(saved);
  EXPECT_EQ(RunCommand("pngcheck -q browse_100k.png").status, 0);
}

TEST_F(browseqt, EscCancelsWithTwentySeven) {
  QTimer::singleShot(0, [] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    Key(dialog->findChild<QTableView*>("TzGrid1"), Qt::Key_Escape);
  });
  dadav::DbfForm->ShowTable("", 2);
  EXPECT_EQ(BrowseExitKey, 27);
  EXPECT_EQ(AbortFlag, 1);
}

// The grid's headings and cells in the dialog, row 0.
std::vector<std::string> HeadingsAndFirstRow() {
  std::vector<std::string> texts;
  QWidget* dialog = QApplication::activeModalWidget();
  if (dialog == nullptr) return texts;
  const QAbstractItemModel* model = dialog->findChild<QTableView*>("TzGrid1")->model();
  for (int column = 0; column < model->columnCount(); ++column) {
    texts.push_back(model->headerData(column, Qt::Horizontal).toString().toStdString());
  }
  for (int column = 0; column < model->columnCount(); ++column) {
    texts.push_back(model->index(0, column).data().toString().toStdString());
  }
  return texts;
}

TEST_F(browseqt, ATableBrowsedAfterAnotherShowsItsOwnHeadingsAndCells) {
  dadav::Tdbf4& form = *dadav::DbfForm;
  std::vector<std::string> first, second;
  QTimer::singleShot(0, [&] {
    first = HeadingsAndFirstRow();
    Key(QApplication::activeModalWidget()->findChild<QTableView*>("TzGrid1"), Qt::Key_Return);
  });
  form.ShowTable("", 1);
  form.Deactivate();
  enginetest::NewTable(Path("tables/mat.dbf"),
                       {enginetest::Def("MATERIAL", 'C', 12), enginetest::Def("RE", 'N', 5)}, 1,
                       [](int) {
                         enginetest::SetText(1, "Steel");
                         const std::int32_t re = 355;
                         std::memcpy(dadav::FieldAddress(2), &re, 4);
                       });
  dadav::CloseAll();
  form.SetTableFile(Path("tables/mat.dbf"));
  QTimer::singleShot(0, [&] {
    second = HeadingsAndFirstRow();
    Key(QApplication::activeModalWidget()->findChild<QTableView*>("TzGrid1"), Qt::Key_Return);
  });
  form.ShowTable("", 1);
  EXPECT_EQ(first.size(), 6u);
  EXPECT_EQ(second, (std::vector<std::string>{"MATERIAL", "RE", "Steel", "355"}));
}

}  // namespace
