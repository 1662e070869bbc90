// The spreadsheet stand-in and the OLE menu's commands: which texts become number cells, how text
// cells keep their blanks and characters in the flat OpenDocument file, the members' failures,
// and Start, Export and Printout -> Excel.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/spreadsheet/fodssheet.h"
#include "app/spreadsheet/spreadsheetapp.h"
#include "app/spreadsheet/spreadsheetlink.h"
#include "base/settings/brelvar.h"
#include "calc/kv6rech.h"
#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tests/app/documentationfixture.h"
#include "tests/app/tools/calcfilegen.h"

namespace {

// The cells of the document's single row, as written.
std::string RowOf(const std::string& fods) {
  const std::size_t start = fods.find("<table:table-row>");
  const std::size_t end = fods.find("</table:table-row>");
  return fods.substr(start + 17, end - start - 17);
}

std::string OneCell(const std::string& text) {
  SheetCells sheet;
  sheet.Set(1, 1, text);
  return RowOf(FodsDocument(sheet));
}

std::string TextCell(const std::string& paragraph) {
  return "<table:table-cell office:value-type=\"string\"><text:p>" + paragraph +
         "</text:p></table:table-cell>";
}

TEST(FodsSheet, NumbersAreAtMostFifteenDigitsWithoutALeadingZero) {
  for (const char* number : {"12", "-3", "0", "-0", "0.5", "12,50", "  7 ", "100.25",
                             "123456789012345", "1234567.12345678"}) {
    EXPECT_TRUE(IsNumberText(number)) << number;
  }
  for (const char* text : {"0815", "00", "-05", "1.", ".5", "-", "", "   ", "1e5", "1.2.3", "1,2,3",
                           "+4", "1 000", "1234567890123456", "2024-03-05", "05.03.2024", "12a"}) {
    EXPECT_FALSE(IsNumberText(text)) << text;
  }
}

TEST(FodsSheet, ANumberCellKeepsItsDecimals) {
  EXPECT_EQ(OneCell(" 12,50"),
            "<table:table-cell table:style-name=\"ce2\" office:value-type=\"float\" "
            "office:value=\"12.50\"><text:p>12.50</text:p></table:table-cell>");
  EXPECT_NE(FodsDocument(SheetCells())
                .find("<number:number-style style:name=\"N2\">"
                      "<number:number number:decimal-places=\"2\""),
            std::string::npos);
}

TEST(FodsSheet, TextCellsKeepEveryBlankTabAndCharacter) {
  EXPECT_EQ(OneCell("0815"), TextCell("0815"));
  EXPECT_EQ(OneCell("  a  b "), TextCell("<text:s text:c=\"2\"/>a <text:s/>b<text:s/>"));
  EXPECT_EQ(OneCell("a\tb\t"), TextCell("a<text:tab/>b<text:tab/>"));
  EXPECT_EQ(OneCell("a\t b"), TextCell("a<text:tab/><text:s/>b"));
  EXPECT_EQ(OneCell("<&>\"'"), TextCell("&lt;&amp;&gt;&quot;'"));
  EXPECT_EQ(OneCell("Gu\xC3\x9F"
                    "eisen"),
            TextCell("Gu\xC3\x9F"
                     "eisen"));
  // Controls, broken UTF-8, surrogates and U+FFFE are no XML characters: each of their bytes
  // becomes U+FFFD.
  std::string replaced;
  for (int i = 0; i < 8; ++i) replaced += "\xEF\xBF\xBD";
  EXPECT_EQ(OneCell("a\x01\rb\x80\xC3\xED\xA0\x80\xEF\xBF\xBE"),
            TextCell("a\xEF\xBF\xBD\xEF\xBF\xBD"
                     "b" +
                     replaced));
  EXPECT_EQ(OneCell(""), "<table:table-cell/>");
}

TEST(FodsSheet, GapsBetweenCellsAreRepeatedEmptyCellsAndRows) {
  SheetCells sheet;
  sheet.Set(3, 4, "x");
  sheet.Set(1, 1, "a");
  const std::string fods = FodsDocument(sheet);
  EXPECT_NE(fods.find("<table:table-row>" + TextCell("a") +
                      "</table:table-row>\n"
                      "<table:table-row><table:table-cell/></table:table-row>"
                      "<table:table-row><table:table-cell "
                      "table:number-columns-repeated=\"3\"/>" +
                      TextCell("x") + "</table:table-row>"),
            std::string::npos);
}

class SpreadsheetTest : public DocumentationTest {
 protected:
  SpreadsheetTest() {
    FileExt = "kv6";
    DataDir = dir_ + "/data/";
    ExcelApp.reset();
  }
  ~SpreadsheetTest() override { ExcelApp.reset(); }

  std::string Opened(std::size_t k) const {
    return Read("temp/" + launcher_.documents.at(k).substr(TempDir.size()));
  }
  std::vector<std::string> TranscriptTail(std::size_t n) const {
    const auto& t = script_.Transcript();
    return {t.end() - static_cast<std::ptrdiff_t>(std::min(n, t.size())), t.end()};
  }
};

TEST_F(SpreadsheetTest, AFailingMemberTellsWhyAndSetsTheAbortFlag) {
  SpreadsheetApp app;
  app.cells(1, 1).value("lost");
  EXPECT_EQ(AbortFlag, 1);
  AbortFlag = 0;
  app.workbooks().add();
  app.cells(0, 1).value("lost");
  app.cells(1, 16385).value("lost");
  app.cells(1048577, 1).value("lost");
  app.workbooks().OpenText(dir_ + "/none.txt");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(TranscriptTail(5),
            (std::vector<std::string>{
                "Error  : |Spreadsheet: no workbook is open",
                "Error  : |Spreadsheet: the cell (0, 1) lies outside the sheet",
                "Error  : |Spreadsheet: the cell (1, 16385) lies outside the sheet",
                "Error  : |Spreadsheet: the cell (1048577, 1) lies outside the sheet",
                "Error  : |Spreadsheet: cannot read the file " + dir_ + "/none.txt"}));
  app.visible = true;
  app.Publish();
  EXPECT_TRUE(launcher_.documents.empty());  // no workbook has cells
}

TEST_F(SpreadsheetTest, OnlyAVisibleApplicationShowsItsWorkbooksEachOnce) {
  Write("temp/$XL1.fods", "someone else's");
  SpreadsheetApp app;
  app.workbooks().add();
  app.cells(2, 2).value("\xDF");  // Windows-1252
  app.Publish();
  EXPECT_TRUE(launcher_.documents.empty());
  app.visible = true;
  app.Publish();
  app.Publish();
  app.workbooks().add();
  app.workbooks().add();
  app.cells(1, 1).value("");
  app.Publish();
  ASSERT_EQ(launcher_.documents,
            (std::vector<std::string>{TempDir + "$XL2.fods", TempDir + "$XL3.fods"}));
  EXPECT_NE(Opened(0).find(TextCell("\xC3\x9F")), std::string::npos);
  EXPECT_NE(Opened(1).find("<table:table-row><table:table-cell/></table:table-row>"),
            std::string::npos);
  EXPECT_EQ(Read("temp/$XL1.fods"), "someone else's");
}

TEST_F(SpreadsheetTest, AWorkbookThatCannotBeWrittenIsAFileWriteError) {
  TempDir = dir_ + "/missing/";
  SpreadsheetApp app;
  app.visible = true;
  app.workbooks().add();
  app.cells(1, 1).value("x");
  app.Publish();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(TranscriptTail(1), std::vector<std::string>{"Error  : |file write error"});
  EXPECT_TRUE(launcher_.documents.empty());
}

TEST_F(SpreadsheetTest, AWorkbookWhoseRenameFailsLeavesNoFile) {
  SpreadsheetApp app;
  app.visible = true;
  app.workbooks().add();
  app.cells(1, 1).value("x");
  {
    platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
    faults->FailStep(1);
    app.Publish();
  }
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(TranscriptTail(1), std::vector<std::string>{"Error  : |file write error"});
  EXPECT_TRUE(std::filesystem::is_empty(TempDir));
  EXPECT_TRUE(launcher_.documents.empty());
}

TEST_F(SpreadsheetTest, StartNeedsASavedFileAndTheDesktopsOpener) {
  CurrentFile = "";
  StartSpreadsheet();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(ExcelApp);
  CurrentFile = "calc1";
  launcher_.opensDocuments = false;
  StartSpreadsheet();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_FALSE(ExcelApp);
  EXPECT_EQ(TranscriptTail(2),
            (std::vector<std::string>{"Message:|You must save your input data before you can "
                                      "use Excel interface (Menu \"File -> Save\")",
                                      "Error  : |Could not start Excel"}));
  EXPECT_FALSE(script_.Busy());
  launcher_.opensDocuments = true;
  StartSpreadsheet();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(ExcelApp);
  EXPECT_FALSE(ExcelApp->visible);
}

TEST_F(SpreadsheetTest, ExportFillsColumnAOfANewVisibleSheetWithTheSavedFile) {
  Write("data/calc1.kv6",
        "first\r\nGu\xE1"
        "eisen\n\n 12.5\n");
  StartSpreadsheet();
  ExportCalcFileToSpreadsheet();
  ASSERT_EQ(launcher_.documents.size(), 1u);
  EXPECT_NE(Opened(0).find("<table:table-row>" + TextCell("first") +
                           "</table:table-row>\n<table:table-row>" +
                           TextCell("Gu\xC3\x9F"
                                    "eisen") +
                           "</table:table-row>\n<table:table-row><table:table-cell/>"
                           "</table:table-row>\n<table:table-row><table:table-cell "
                           "table:style-name=\"ce1\""),
            std::string::npos);
  EXPECT_EQ(Opened(0).find("<table:table-row>", Opened(0).find("12.5")), std::string::npos);
  // Each Export gets a sheet of its own.
  ExportCalcFileToSpreadsheet();
  EXPECT_EQ(launcher_.documents.size(), 2u);
}

TEST_F(SpreadsheetTest, AnEmptyFileStillWritesOneEmptyCell) {
  Write("data/calc1.kv6", "");
  StartSpreadsheet();
  ExportCalcFileToSpreadsheet();
  ASSERT_EQ(launcher_.documents.size(), 1u);
  EXPECT_NE(Opened(0).find("<table:table-row><table:table-cell/></table:table-row>\n"
                           "</table:table>"),
            std::string::npos);
}

TEST_F(SpreadsheetTest, ExportWritesAModifiedConnectionFirst) {
  StartSpreadsheet();
  calcfilegen::SetConnection(3);
  Modified = 1;
  ExportCalcFileToSpreadsheet();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Modified, 1);
  ASSERT_EQ(launcher_.documents.size(), 1u);
  EXPECT_NE(Opened(0).find(TextCell("W-3")), std::string::npos);
}

TEST_F(SpreadsheetTest, ExportWithoutAFileTellsToSave) {
  StartSpreadsheet();
  ExportDataToExcel("");
  EXPECT_EQ(AbortFlag, 1);
  AbortFlag = 0;
  ExportDataToExcel("nowhere");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(TranscriptTail(2),
            (std::vector<std::string>{"KV6|File not found. Use \"File->Save\"",
                                      "KV6|File not found. Use \"File->Save\""}));
  EXPECT_TRUE(launcher_.documents.empty());
}

TEST_F(SpreadsheetTest, ImportSaysThatNothingComesBack) {
  StartSpreadsheet();
  ImportFromSpreadsheet();
  ASSERT_EQ(TranscriptTail(1).size(), 1u);
  EXPECT_NE(TranscriptTail(1)[0].find("Nothing is imported"), std::string::npos);
  EXPECT_TRUE(launcher_.documents.empty());
}

TEST_F(SpreadsheetTest, PrintoutOpensItsOwnReportAndRestoresTheDeviceSettings) {
  calcfilegen::SetConnection(4);
  CalculateP3G();
  TextDevice = 3;
  TextDeviceWindow = 1;
  TempFileCounter = 6;
  Write("temp/$$6.txt", "an older report\n");
  PrintoutToExcel();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(TextDevice, 3);
  EXPECT_EQ(TextDeviceWindow, 1);
  ASSERT_EQ(launcher_.documents.size(), 1u);
  const std::string report = Read("temp/$$" + IntText(TempFileCounter) + ".txt");
  EXPECT_NE(TempFileCounter, 6);
  const std::string firstLine = report.substr(0, report.find_first_of("\t\r\n"));
  EXPECT_NE(Opened(0).find(firstLine), std::string::npos);
  EXPECT_EQ(Opened(0).find("an older report"), std::string::npos);
}

TEST_F(SpreadsheetTest, AFailedPrintoutOpensNothing) {
  calcfilegen::SetConnection(4);
  CalculateP3G();
  TextDevice = 2;
  TextDeviceWindow = 1;
  TempDir = dir_ + "/missing/";
  PrintoutToExcel();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(TextDevice, 2);
  EXPECT_EQ(TextDeviceWindow, 1);
  EXPECT_TRUE(launcher_.documents.empty());
  launcher_.opensDocuments = false;
  PrintoutToExcel();
  EXPECT_EQ(script_.Transcript().back(), "Error  : |Could not start Excel");
}

}  // namespace
