// The results report of the golden connection on the report-test fixture (pinned identity and
// clock, a message help file with the connection's one message) against goldens built from the
// report's tables by tests/calc/oracle/p3greport.py, which shares no code with ours. The
// temporary folder reads as "/tmp/kv6dialogXXXXXX" in the goldens (MaskFolder).
#include "calc/resultsreport.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/calctexts.h"
#include "calc/kv6rech.h"
#include "calc/vocabulary.h"
#include "calcfixture.h"
#include "tests/base/reportfixture.h"
#include "tests/base/testdata.h"
#include "tests/support/maskfolder.h"

namespace {

using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;
using ::testing::AllOf;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

using Rows = std::vector<std::vector<std::string>>;

std::string GoldenBytes(const std::string& name) {
  return FileBytes(SourceRoot() + "/tests/calc/golden/" + name);
}

// The connection of the golden calculation file, loaded and so calculated.
void LoadGoldenConnection() {
  ASSERT_TRUE(LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
  CurrentFile = "p3g60";
}

class ResultsReportTest : public ReportTest {
 protected:
  ResultsReportTest() {
    DecimalSeparator = '.';
    StartCalculationUnits();
    ClearMessages();
    TextDeviceWindow = 0;
    Write("KV6.err",
          "Warning: dB2 = 0 !\r\n"
          "The hub has no outer diameter, so its wall thickness is not checked.\r\n"
          "Enter the outer diameter of the hub.\r\n");
    LoadGoldenConnection();
  }

  // The report file of the device, in code page 850, with the folder masked.
  std::string Report(std::uint16_t device) {
    TextDevice = device;
    WriteResultsReport();
    EXPECT_EQ(AbortFlag, 0);
    return MaskFolder(FileBytes(ReportFileName), dir_);
  }

  // The tab-separated report as lines of cells.
  Rows TsvRows() {
    Rows rows;
    const std::string text = Report(6);
    for (std::size_t start = 0; start < text.size();) {
      std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      std::vector<std::string>& cells = rows.emplace_back(1);
      for (std::size_t i = start; i < end; ++i) {
        text[i] == '\t' ? void(cells.emplace_back()) : void(cells.back() += text[i]);
      }
      start = end + 2;
    }
    return rows;
  }
};

// The row whose symbol cell is the symbol; empty when there is none.
std::vector<std::string> RowOf(const Rows& rows, const std::string& symbol) {
  const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& cells) {
    return cells.size() >= 4 && cells[1] == symbol;
  });
  return row == rows.end() ? std::vector<std::string>{} : *row;
}

std::vector<std::string> Symbols(const Rows& rows) {
  std::vector<std::string> symbols;
  for (const auto& cells : rows) {
    if (cells.size() >= 4) symbols.push_back(cells[1]);
  }
  return symbols;
}

TEST_F(ResultsReportTest, TabSeparatedAndPagedEnglishMatchTheGoldens) {
  EXPECT_EQ(Report(6), GoldenBytes("p3g60_en.tsv"));
  EXPECT_EQ(Report(8), GoldenBytes("p3g60_en.txt"));
}

TEST_F(ResultsReportTest, TabSeparatedGermanWithCommaMatchesTheGolden) {
  SetCalcTexts(1);
  SetVocabularyLanguage(1);
  CalculateP3G();
  DecimalSeparator = ',';
  EXPECT_EQ(Report(6), GoldenBytes("p3g60_de.tsv"));
}

TEST_F(ResultsReportTest, GrindingDiskRowOnlyForDimensionedProfiles) {
  EXPECT_THAT(RowOf(TsvRows(), "d7"), ElementsAre("Grinding disk diameter", "d7", "mm", "", "18"));
  CalcData.DimensionMode = 2;
  EXPECT_THAT(Symbols(TsvRows()), Not(Contains("d7")));
}

TEST_F(ResultsReportTest, SafetyRowsFromOneThousandOnAreLeftOut) {
  CalcData.Sp[kHub] = 1000;
  CalcData.Se[kShaft] = 999.99L;
  const Rows rows = TsvRows();
  EXPECT_THAT(Symbols(rows), Not(Contains("Sp=paadm/pmax")));
  EXPECT_THAT(RowOf(rows, "Se=fW*Re/Sig.v"),
              ElementsAre("Safety Yield Point", "Se=fW*Re/Sig.v", "", " 999.99", "   6.06"));
  CalcData.Sp[kHub] = 999.99L;
  CalcData.Se[kShaft] = 1000;
  EXPECT_THAT(Symbols(TsvRows()), Not(Contains("Se=fW*Re/Sig.v")));
}

TEST_F(ResultsReportTest, ImperialUnitsInBothColumns) {
  UnitSystem = 1;
  const Rows rows = TsvRows();
  EXPECT_THAT(RowOf(rows, "d1/d4"),
              ElementsAre("Spherical diameter", "d1/d4", "in", "2.3622", "2.3622"));
  EXPECT_THAT(RowOf(rows, "d1/d4min"),
              ElementsAre("Spherical diameter min.", "d1/d4min", "in", "2.3623", "2.3622"));
  EXPECT_THAT(RowOf(rows, "Re"), ElementsAre("Yield Point", "Re", "psi", "   43511", "   43511"));
  EXPECT_THAT(RowOf(rows, "fS"), ElementsAre("Support factor", "fS", "", "  1.20", "  1.20"));
  EXPECT_THAT(RowOf(rows, "T"), ElementsAre("Torque", "T", "lbfin", "   8851"));
  EXPECT_THAT(RowOf(rows, "Ts adm"),
              ElementsAre("Perm. torque (pulsating)", "Ts adm", "lbfin", "   49595"));
}

TEST_F(ResultsReportTest, NoMessagesNoMessagesSection) {
  ClearMessages();
  const Rows rows = TsvRows();
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.back()[1], "Tw adm");
}

TEST_F(ResultsReportTest, MaterialNamesCutAndNumbersOnlyWithTheShaftsIdent) {
  Materials[kShaft].Name = "  1234567890123456789012345";
  Materials[kHub].Name = "C45";
  Materials[kHub].Ident = "1.0503";
  Rows rows = TsvRows();
  EXPECT_THAT(Symbols(rows), Not(Contains("")));
  EXPECT_THAT(rows, Contains(ElementsAre("Material name 1/2:         12345678901234567890 / "
                                         "                 C45")));
  Materials[kShaft].Ident = "1.7225";
  rows = TsvRows();
  EXPECT_THAT(rows, Contains(ElementsAre("Material number", "", "", "1.7225", "1.0503")));
}

TEST_F(ResultsReportTest, FatalCalculationShowsTheMessagesAndWritesNothing) {
  CalcData.d1 = 0;
  CalculateP3G();
  ASSERT_EQ(FatalFlag, 1);
  script_.Expect(Step(DialogKind::Radio).Select(1));  // "Continue..."
  TextDevice = 6;
  AbortFlag = 0;
  WriteResultsReport();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(script_.Requests().size(), 1u);
  EXPECT_THAT(Files(), ElementsAre("KV6.err"));
}

// Where the calculation stopped on a record without results, the printout says so and why.
TEST_F(ResultsReportTest, APrintoutWithoutResultsSaysThatTheCalculationStoppedAndWhy) {
  ResetCalcData();
  CalculateP3G();
  TextDevice = 6;
  WritePrintout();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_THAT(FileBytes(ReportFileName),
              AllOf(HasSubstr("The calculation stopped at an input check: it has no results."),
                    HasSubstr("Fatal  : d1 = 0 !"), Not(HasSubstr("Sp=pa"))));
}

// Paper refused for the second page: page 1 went to the printer alone, the report is closed
// and the device set back, and the caller sees the stop.
TEST_F(ResultsReportTest, RefusedPageEndsTheReportClosed) {
  TextDevice = 2;
  for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::No}) {
    script_.Expect(Step(DialogKind::Box).Answer(answer));
  }
  WriteResultsReport();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(ReportDevice(), 1);
  ASSERT_EQ(raw_.jobs.size(), 1u);
  EXPECT_THAT(raw_.jobs[0].second, HasSubstr("DIMENSIONS"));
  EXPECT_THAT(raw_.jobs[0].second, Not(HasSubstr("MATERIAL")));
  EXPECT_THAT(Files(), ElementsAre("KV6.err"));
}

}  // namespace
