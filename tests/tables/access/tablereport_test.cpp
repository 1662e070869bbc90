#include "tables/access/tablereport.h"

#include "tests/base/reportfixture.h"

namespace {

class tablereport : public ReportTest {
 protected:
  // Two rows under the titles, written on the device.
  void WriteTable(std::uint16_t device, const TableReportWidths& widths) {
    SetReportHeader("", "parts.dbf", "Parts", "", "", 0);
    Open(device);
    ASSERT_EQ(AbortFlag, 0);
    RewriteOrFail(ListFile);
    auto report = TableReportBegin({"NAME", "QTY", "A<B", "D", "E", "F", "G"}, widths);
    TableReportRow(*report, {"bolt", "12", "x & y", "4", "5", "6", "7"});
    TableReportRow(*report, {std::string(70, 'w'), "3", "", "", "", "", ""});
    TableReportEnd(*report);
    CloseReport();
  }
  static std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
      ++n;
    }
    return n;
  }
};

TEST_F(tablereport, ColumnsEndAtTheFirstZeroWidthAndStopAtSeven) {
  EXPECT_EQ(TableReportColumnCount({10, 8, 0, 5, 5, 5, 5}), 2u);
  EXPECT_EQ(TableReportColumnCount({0, 0, 0, 0, 0, 0, 0}), 1u);
  EXPECT_EQ(TableReportColumnCount({1, 1, 1, 1, 1, 1, 1}), 7u);
}

TEST_F(tablereport, ATextDeviceRulesEveryRowAndEndsWithoutAFurtherRule) {
  WriteTable(8, {10, 8, 0, 5, 5, 5, 5});
  const std::string text = Read("temp/OUTDOS.TXT");
  const std::string head = "NAME      QTY     \r\n";
  const std::string row = "bolt      12       \r\n";
  ASSERT_NE(text.find(head), std::string::npos) << text;
  ASSERT_NE(text.find(row), std::string::npos) << text;
  EXPECT_EQ(text.find("x & y"), std::string::npos);  // the third column is not written
  EXPECT_NE(text.find(std::string(10, 'w') + "3        \r\n"), std::string::npos);
  const std::string single = RuleSingle();
  EXPECT_EQ(Count(text, single + "\r\n"), 2u);
  EXPECT_EQ(text.rfind(single + "\r\n") + single.size() + 2, text.size());
}

TEST_F(tablereport, TheSpreadsheetDeviceSeparatesCellsByTabs) {
  WriteTable(6, {10, 8, 4, 0, 5, 5, 5});
  const std::string text = Read("temp/$$1.txt");
  EXPECT_NE(text.find("NAME\tQTY\tA<B\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("bolt\t12\tx & y\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find(std::string(60, 'w') + "\t3\t\r\n"), std::string::npos) << text;
}

TEST_F(tablereport, TheHtmlDeviceWritesAPlainFirstCellAndRightAlignedOthers) {
  script_.Expect(platform::headless::Step(platform::DialogKind::SaveFile).Type(Path("t.htm")));
  WriteTable(7, {10, 8, 4, 0, 0, 0, 0});
  const std::string page = Read("t.htm");
  EXPECT_NE(page.find("<TABLE BORDER = \"1\" WIDTH= \"100%\">"), std::string::npos) << page;
  EXPECT_NE(page.find("<TR><TD><CENTER>NAME</CENTER></TD><TD><CENTER>QTY</CENTER></TD><TD>"
                      "<CENTER>A&lt;B</CENTER></TD></TR>"),
            std::string::npos)
      << page;
  EXPECT_NE(page.find("<TR><TD>bolt</TD><TD><DIV ALIGN=RIGHT>12</DIV></TD><TD><DIV ALIGN=RIGHT>"
                      "x &amp; y</DIV></TD></TR>"),
            std::string::npos)
      << page;
  EXPECT_EQ(Count(page, "</TABLE>"), 1u);
}

}  // namespace
