// The table of calculation files: its listing of a data folder, the sort by a right press on a
// column head, the search, the picks that load a file, and the copy into a spreadsheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/filetable/buildfiletable.h"
#include "app/filetable/filetablerows.h"
#include "app/filetable/formpreview.h"
#include "base/settings/brelvar.h"
#include "base/text/displaytext.h"
#include "base/text/unittext.h"
#include "base/text/utildate.h"
#include "calc/connectionstate.h"
#include "calc/kv6rech.h"
#include "calc/vocabulary.h"
#include "tests/app/documentationfixture.h"
#include "tests/app/tools/calcfilegen.h"
#include "tests/support/scopedcurrentfolder.h"

namespace {

using platform::MouseButton;
using Rows = std::vector<std::vector<std::string>>;

constexpr std::int32_t kColumns = 20;

class FileTableTest : public DocumentationTest {
 protected:
  FileTableTest() {
    FileExt = "kv6";
    DataDir = dir_ + "/data/";
  }

  void Make(std::int32_t n, bool oddOnes = true) {
    ASSERT_TRUE(calcfilegen::MakeCalcFiles(DataDir, n, FileExt, oddOnes));
  }

  // The row the generator's i-th connection must give.
  static std::vector<std::string> ExpectedRow(std::int32_t i) {
    calcfilegen::SetConnection(i);
    CalculateP3G();
    std::vector<std::string> row = {calcfilegen::FileName(i, "kv6"), TodayIsoDate(),
                                    DrawingNo[kShaft], DrawingNo[kHub], "P3G"};
    const kv6record& d = CalcData;
    for (long double x : {d.d1, d.d2, d.d3, d.e1, d.r1, d.r2, d.l}) {
      row.push_back(LengthTextFixed(3, 2, x));
    }
    row.push_back(ToDisplayText(Materials[kShaft].Name));
    row.push_back(ToDisplayText(Materials[kHub].Name));
    row.push_back(TorqueTextFixed(6, 0, d.T));
    row.push_back(TorqueTextFixed(6, 0, d.Mb));
    for (long double x : {d.Sp[kShaft], d.Sp[kHub], d.Se[kShaft], d.Se[kHub]}) {
      row.push_back(RealTextFixed(3, 2, x));
    }
    return row;
  }

  static std::string TodayIsoDate() {
    const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    return FileDateText(now);
  }

  static Rows GridRows(const TForm_preview& table) {
    Rows rows;
    for (std::int32_t r = 1; r < table.StringGrid1.RowCount(); ++r) {
      std::vector<std::string> row;
      for (std::int32_t c = 0; c < table.StringGrid1.ColCount(); ++c) {
        row.push_back(table.StringGrid1.Cell(c, r));
      }
      rows.push_back(row);
    }
    return rows;
  }

  // The next showing of the table: what the user does in it.
  void InTable(std::function<void(TForm_preview&)> act) {
    InForm([act](platform::Form& form) { act(dynamic_cast<TForm_preview&>(form)); });
  }
  // The search form, shown from inside the table: the term typed and Search pressed.
  void SearchFor(const std::string& term) {
    InForm([term](platform::Form& form) {
      Type(form, "Edit_suchbegriff", term);
      Press(form, "Button_suchen");
    });
  }

  static void RightPressOnHead(TForm_preview& table, std::int32_t col) {
    const platform::Rect head = table.StringGrid1.CellRect(col, 0);
    table.StringGrid1.MouseDown(MouseButton::Right, (head.left + head.right) / 2,
                                (head.top + head.bottom) / 2);
  }

  std::vector<std::string> loads_;
  FileTableHooks hooks_{{}, [this] { loads_.push_back(CurrentFile); }, {}};
};

TEST_F(FileTableTest, TwoThousandFilesAreListedWithTheirOwnValuesAndAPickLoadsOne) {
  Make(2000);
  const std::vector<std::string> names = CalcFileNames(DataDir);
  ASSERT_EQ(names.size(), 2003u);  // the family, UPPER, zero_d1 and damaged
  EXPECT_EQ(names.front(), "calc00000.kv6");
  EXPECT_EQ(names[2000], "damaged.kv6");
  EXPECT_EQ(names[2001], "UPPER.kv6");
  EXPECT_EQ(names[2002], "zero_d1.kv6");

  std::int32_t shows = 0;
  const auto check = [&](TForm_preview& table) {
    ++shows;
    ASSERT_EQ(table.StringGrid1.RowCount(), 2004);
    ASSERT_EQ(table.StringGrid1.ColCount(), kColumns);
    const Rows rows = GridRows(table);
    // The record's values are checked after the command, which leaves the last file loaded.
    for (std::int32_t i = 0; i < 2000; i += 37) {
      EXPECT_EQ(rows[static_cast<std::size_t>(i)], ExpectedRow(i)) << i;
    }
    EXPECT_EQ(rows[1999], ExpectedRow(1999));
    std::vector<std::string> damaged(kColumns);
    damaged[0] = "damaged.kv6";
    damaged[1] = TodayIsoDate();
    damaged[4] = "P3G";
    EXPECT_EQ(rows[2000], damaged);
    EXPECT_EQ(rows[2002][5], LengthTextFixed(3, 2, 0));
    EXPECT_EQ(rows[2002][12], "S355J2");
    for (std::size_t c = 16; c < 20; ++c) EXPECT_EQ(rows[2002][c], "") << c;
  };
  InTable([&](TForm_preview& table) {
    check(table);
    EXPECT_EQ(table.StringGrid1.Row(), 1);
    table.StringGrid1.SelectCell(3, 2000);  // grid row 2000: the file calc01999
  });
  InTable([&](TForm_preview& table) {
    EXPECT_EQ(table.StringGrid1.Row(), 2000);
    EXPECT_EQ(CurrentFile, "calc01999");
    table.Close();
  });
  BuildFileTable(hooks_);
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(loads_, std::vector<std::string>{"calc01999"});
  EXPECT_EQ(AbortFlag, 1);
  // The record holds the picked file with its calculated results.
  const std::vector<std::string> expected = ExpectedRow(1999);
  calcfilegen::SetConnection(0);
  ASSERT_TRUE(LoadCalcFile(DataDir + "calc01999.kv6"));
  EXPECT_EQ(RealTextFixed(3, 2, CalcData.Sp[kShaft]), expected[16]);
}

TEST_F(FileTableTest, HeadersFollowTheLanguageAndTheUnits) {
  std::vector<std::string> header = FileTableHeader();
  ASSERT_EQ(header.size(), 20u);
  EXPECT_EQ(header[2], "1 (shaft)");
  EXPECT_EQ(header[3], "2 (hub)");
  EXPECT_EQ(header[5], "d1 [mm]");
  EXPECT_EQ(header[11], "b [mm]");
  EXPECT_EQ(header[13], "Mat.2 (hub)");
  EXPECT_EQ(header[14], "T [" + ToDisplayText(TorqueUnitLabel()) + "]");
  SetVocabularyLanguage(1);
  header = FileTableHeader();
  EXPECT_EQ(header[2], "1 (Welle)");
  EXPECT_EQ(header[12], "Mat.1 (Welle)");
  SetVocabularyLanguage(2);
  UnitSystem = 1;
  header = FileTableHeader();
  EXPECT_EQ(header[10], "r2 [in]");
  EXPECT_EQ(header[15], "Mb [lbfin]");
}

TEST_F(FileTableTest, FilesWhoseNamesTheProgramCannotKeepAreCountedAsLeftOut) {
  for (const char* name : {"Nabe \u010D \u8F74.kv6", "\u010D.KV6", ".\u010D.kv6", "\u010D.txt"}) {
    Write("data/" + std::string(name), "");
  }
  EXPECT_EQ(CalcFilesLeftOut(DataDir), 2u);
}

TEST_F(FileTableTest, AnEmptyFolderGivesTheHeaderRowOnlyAndClosingKeepsTheCurrentFile) {
  CurrentFile = "mine";
  InTable([](TForm_preview& table) {
    EXPECT_EQ(table.StringGrid1.RowCount(), 1);
    EXPECT_EQ(table.Caption(), "KV6  " + DataDir);
    table.PressEscape();
  });
  BuildFileTable(hooks_);
  EXPECT_TRUE(loads_.empty());
  EXPECT_EQ(CurrentFile, "mine");
}

// The listing loads every file in turn; the connection the user works on, with its name, its
// results and its messages, is the program's again once the table is shown.
TEST_F(FileTableTest, ClosingWithoutAPickKeepsTheConnectionAndItsName) {
  Make(3, false);
  calcfilegen::SetConnection(7);
  CalculateP3G();
  AddMessage("Warning: mine");
  CurrentFile = "mine";
  const ConnectionState mine = ConnectionState::Current();
  bool shownWithMine = false;
  InTable([&](TForm_preview& table) {
    shownWithMine = ConnectionState::Current() == mine && CurrentFile == "mine";
    table.Menus().FindItem("mi_fileExit")->Click();
  });
  std::int32_t closes = 0;
  hooks_.afterClose = [&] { ++closes; };
  BuildFileTable(hooks_);
  EXPECT_TRUE(shownWithMine);
  EXPECT_EQ(CurrentFile, "mine");
  EXPECT_TRUE(loads_.empty());
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(ConnectionState::Current() == mine);
}

// Each head sorts its column as a stable sort of the rows by the bytes of that column would.
TEST_F(FileTableTest, ARightPressOnEachHeadSortsStablyByItsBytes) {
  Make(12);
  TForm_preview table;
  Rows rows = {FileTableHeader()};
  const std::vector<std::string> names = CalcFileNames(DataDir);
  for (const std::string& name : names) rows.push_back(FileTableRow(DataDir, name));
  table.Fill(rows, names);
  for (std::int32_t col = 0; col < kColumns; ++col) {
    Rows expected = GridRows(table);
    std::stable_sort(expected.begin(), expected.end(),
                     [col](const auto& a, const auto& b) { return a[col] < b[col]; });
    RightPressOnHead(table, col);
    ASSERT_EQ(GridRows(table), expected) << col;
    for (std::int32_t r = 1; r < table.StringGrid1.RowCount(); ++r) {
      EXPECT_EQ(table.FileOfRow(r), table.StringGrid1.Cell(0, r));
    }
  }
  RightPressOnHead(table, 0);
  EXPECT_EQ(table.StringGrid1.Cell(0, 1), "UPPER.kv6");
  EXPECT_EQ(table.StringGrid1.Cell(0, 2), "calc00000.kv6");
}

TEST_F(FileTableTest, OnlyARightPressInsideAHeadSorts) {
  Make(12);
  InTable([&](TForm_preview& table) {
    const Rows start = GridRows(table);
    const platform::Rect head = table.StringGrid1.CellRect(5, 0);
    table.StringGrid1.MouseDown(MouseButton::Left, head.left + 5, head.top + 5);
    table.StringGrid1.MouseDown(MouseButton::Right, head.left, head.top + 5);
    table.StringGrid1.MouseDown(MouseButton::Right, head.left + 5, head.bottom);
    const platform::Rect cell = table.StringGrid1.CellRect(5, 3);
    table.StringGrid1.MouseDown(MouseButton::Right, cell.left + 5, cell.top + 5);
    EXPECT_EQ(GridRows(table), start);
    // "Typ" is "P3G" everywhere: the stable sort keeps every row where it is.
    RightPressOnHead(table, 4);
    EXPECT_EQ(GridRows(table), start);
    EXPECT_EQ(table.SelectedRow, 0);
    table.Close();
  });
  BuildFileTable(hooks_);
  EXPECT_TRUE(loads_.empty());
}

TEST_F(FileTableTest, TextsSortByTheirCharacterCodesAndNumbersOfEqualWidthByValue) {
  std::vector<std::string> texts = {"", "9a", "110", "12.5", " 12.50", "  8.00", "110.00", "1b"};
  std::vector<std::int32_t> index(texts.size());
  QuickSortWithIndex(texts, index, 1, 7);
  EXPECT_EQ(texts, (std::vector<std::string>{"", "  8.00", " 12.50", "110", "110.00", "12.5", "1b",
                                             "9a"}));
  EXPECT_EQ(index, (std::vector<std::int32_t>{0, 5, 4, 2, 6, 3, 7, 1}));
  EXPECT_EQ(FindSortedRow(index, 4), 2);
  EXPECT_EQ(FindSortedRow(index, 9), 0);
  std::vector<std::string> bytes = {"", "\xE4", "z", "A"};
  std::vector<std::int32_t> order(bytes.size());
  QuickSortWithIndex(bytes, order, 1, 3);
  EXPECT_EQ(bytes, (std::vector<std::string>{"", "A", "z", "\xE4"}));
}

// The current file moves with its row; a moved row other than the picked one is picked.
TEST_F(FileTableTest, ASortThatMovesTheCurrentFilePicksIt) {
  Make(12, false);
  std::string picked;
  InTable([&](TForm_preview& table) {
    RightPressOnHead(table, 5);  // by d1: calc00000 (8 mm) stays first
    EXPECT_EQ(table.SelectedRow, 0);
    EXPECT_EQ(table.StringGrid1.Cell(0, 1), "calc00000.kv6");
    table.StringGrid1.SelectCell(0, 4);
    picked = table.StringGrid1.Cell(0, 4);
  });
  InTable([&](TForm_preview& table) {
    RightPressOnHead(table, 0);  // back to name order
    EXPECT_EQ(table.StringGrid1.Cell(0, table.StringGrid1.Row()), picked);
    EXPECT_EQ(table.SelectedRow, table.StringGrid1.Row());
  });
  InTable([&](TForm_preview& table) { table.Close(); });
  BuildFileTable(hooks_);
  ASSERT_EQ(loads_.size(), 2u);
  EXPECT_EQ(loads_[0] + ".kv6", picked);
  EXPECT_EQ(loads_[1] + ".kv6", picked);
}

// A left press on the current row picks it as a press on another row does: on the first showing
// and again after it was picked; elsewhere in the grid the press itself picks nothing.
TEST_F(FileTableTest, ALeftPressOnTheCurrentRowLoadsItsFile) {
  Make(3, false);
  const auto pressAt = [](TForm_preview& table, std::int32_t col, std::int32_t row) {
    const platform::Rect cell = table.StringGrid1.CellRect(col, row);
    table.StringGrid1.MouseDown(MouseButton::Left, (cell.left + cell.right) / 2,
                                (cell.top + cell.bottom) / 2);
  };
  InTable([&](TForm_preview& table) {
    pressAt(table, 0, 2);
    pressAt(table, 3, 0);
    EXPECT_EQ(table.SelectedRow, 0);
    pressAt(table, 0, 1);
  });
  InTable([&](TForm_preview& table) { pressAt(table, 0, table.StringGrid1.Row()); });
  InTable([&](TForm_preview& table) { table.Close(); });
  BuildFileTable(hooks_);
  EXPECT_EQ(loads_, (std::vector<std::string>{"calc00000", "calc00000"}));
}

// Without a data folder (after a start with a file on the command line) the table lists the
// working folder, and a pick loads the picked file from there.
TEST_F(FileTableTest, APickFromTheWorkingFolderLoadsThePickedFile) {
  Make(2, false);
  const ScopedCurrentFolder inData(DataDir);
  DataDir.clear();
  InTable([](TForm_preview& table) {
    EXPECT_EQ(GridRows(table)[1], ExpectedRow(1));
    const platform::Rect cell = table.StringGrid1.CellRect(0, table.StringGrid1.Row());
    table.StringGrid1.MouseDown(MouseButton::Left, (cell.left + cell.right) / 2,
                                (cell.top + cell.bottom) / 2);
  });
  InTable([](TForm_preview& table) { table.Close(); });
  BuildFileTable(hooks_);
  EXPECT_EQ(loads_, std::vector<std::string>{"calc00000"});
}

TEST_F(FileTableTest, TheFirstSearchOfAFreshTableLoadsTheRowItFinds) {
  Make(12, false);
  InTable([&](TForm_preview& table) {
    table.Menus().FindItem("mi_editsearch")->Click();
    EXPECT_EQ(table.StringGrid1.Row(), 8);
    EXPECT_EQ(table.StringGrid1.Col(), 2);
  });
  SearchFor("W-7");
  InTable([&](TForm_preview& table) {
    EXPECT_EQ(table.SearchText, "W-7");
    table.Close();
  });
  BuildFileTable(hooks_);
  EXPECT_EQ(loads_, std::vector<std::string>{"calc00007"});
}

TEST_F(FileTableTest, SearchNextGoesOnBelowAndEndsWithNotFound) {
  Make(12, false);
  InTable([&](TForm_preview& table) {
    table.Menus().FindItem("mi_editsearch")->Click();
    EXPECT_EQ(table.StringGrid1.Row(), 2);
  });
  SearchFor("N-1");
  InTable([&](TForm_preview& table) { table.Menus().FindItem("SearchNext1")->Click(); });
  InTable([&](TForm_preview& table) {
    EXPECT_EQ(table.StringGrid1.Row(), 11);
    table.Menus().FindItem("SearchNext1")->Click();
  });
  InTable([&](TForm_preview& table) {
    EXPECT_EQ(table.StringGrid1.Row(), 12);
    table.Menus().FindItem("SearchNext1")->Click();  // from the last row
    EXPECT_EQ(table.StringGrid1.Row(), 12);
    table.Menus().FindItem("mi_editsearch")->Click();
    table.Menus().FindItem("mi_editsearch")->Click();
    EXPECT_EQ(table.StringGrid1.Row(), 12);
    table.Close();
  });
  SearchFor("");
  SearchFor("nowhere");
  BuildFileTable(hooks_);
  EXPECT_EQ(loads_, (std::vector<std::string>{"calc00001", "calc00010", "calc00011"}));
  const auto& transcript = script_.Transcript();
  EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "KV6|N-1 not found."), 1);
  EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "KV6| not found."), 1);
  EXPECT_EQ(std::count(transcript.begin(), transcript.end(), "KV6|nowhere not found."), 1);
}

// A term twice in one row finds that row once; a search starts below the header row.
TEST_F(FileTableTest, ATermTwiceInOneRowFindsThatRowOnce) {
  TForm_preview table;
  table.Fill({{"File", "x"}, {"a.kv6", "ab"}, {"ab.kv6", "b"}, {"c.kv6", "ab ab"}},
             {"a.kv6", "ab.kv6", "c.kv6"});
  table.SearchText = "ab";
  EXPECT_TRUE(table.SearchGrid());
  EXPECT_EQ(table.StringGrid1.Row(), 1);
  EXPECT_EQ(table.StringGrid1.Col(), 1);
  table.SearchRow = table.StringGrid1.Row();
  EXPECT_TRUE(table.SearchGrid());
  EXPECT_EQ(table.StringGrid1.Row(), 2);
  EXPECT_EQ(table.StringGrid1.Col(), 0);
  table.SearchRow = table.StringGrid1.Row();
  EXPECT_TRUE(table.SearchGrid());
  EXPECT_EQ(table.StringGrid1.Row(), 3);
  table.SearchRow = table.StringGrid1.Row();
  EXPECT_FALSE(table.SearchGrid());
  table.SearchText = "File";
  table.SearchRow = 0;
  EXPECT_FALSE(table.SearchGrid());
  EXPECT_EQ(table.SelectedRow, 3);
}

TEST_F(FileTableTest, AFileThatFailsToLoadKeepsTheCurrentFile) {
  Make(3);
  CurrentFile = "mine";
  InTable([&](TForm_preview& table) {
    ASSERT_EQ(table.StringGrid1.Cell(0, 4), "damaged.kv6");
    std::filesystem::remove(DataDir + "calc00001.kv6");
    table.StringGrid1.SelectCell(0, 4);
  });
  InTable([&](TForm_preview& table) { table.StringGrid1.SelectCell(0, 2); });
  InTable([&](TForm_preview& table) { table.Close(); });
  BuildFileTable(hooks_);
  EXPECT_EQ(loads_, (std::vector<std::string>{"mine", "mine"}));
  EXPECT_EQ(CurrentFile, "mine");
  EXPECT_GE(script_.Transcript().size(), 2u);
}

TEST_F(FileTableTest, TheExportCopiesEveryCellIntoANewSpreadsheet) {
  Make(2, false);
  InTable([&](TForm_preview& table) {
    table.Menus().FindItem("mi_fileExportExcel")->Click();
    launcher_.opensDocuments = false;
    table.Menus().FindItem("mi_fileExportExcel")->Click();
    table.Close();
  });
  BuildFileTable(hooks_);
  ASSERT_EQ(launcher_.documents, std::vector<std::string>{TempDir + "$XL1.fods"});
  const std::string fods = Read("temp/$XL1.fods");
  EXPECT_NE(fods.find("<text:p>Date y-m-d</text:p>"), std::string::npos);
  EXPECT_NE(fods.find("<text:p>calc00001.kv6</text:p>"), std::string::npos);
  EXPECT_EQ(script_.Transcript().back(), "Error  : |Could not start Excel");
}

}  // namespace
