#include <gtest/gtest.h>

#include <sys/file.h>

#include <compare>
#include <tuple>

#include "reportfixture.h"

namespace {

using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;

class report_layout : public ReportTest {
 protected:
  std::vector<std::string> WriteOnDevice8() {
    Open(8);
    WriteSample();
    return Lines(Read("temp/OUTDOS.TXT"));
  }
};

TEST_F(report_layout, BoxedHeaderRowsAndColumnsOnPagedText) {
  AddMessage("Warning: s < smin ! (1)");
  const auto lines = WriteOnDevice8();
  ASSERT_GT(lines.size(), 20u);
  EXPECT_EQ(lines[0], "       " + std::string(70, '*'));
  EXPECT_EQ(lines[1].substr(7, 12), "*  KV6 Test ");
  EXPECT_EQ(lines[1].substr(7 + 63, 7), "pg. 1 *");
  EXPECT_EQ(lines[2].substr(7 + 52, 18), "2024-03-05 9:07  *");
  EXPECT_EQ(lines[3].substr(7, 3 + DataDir.size() + 11), "*  " + DataDir + "/calc1.KV6 ");
  EXPECT_EQ(lines[5].substr(7, 20), "*  Sample <report>  ");
  EXPECT_EQ(lines[9].substr(7 + 34, 8), "Symbol  ");  // column heads at 35 and 62
  EXPECT_EQ(lines[9].substr(7 + 61, 5), "Limit");
  EXPECT_EQ(lines[12].substr(7, 8), "Torque 1");
  EXPECT_EQ(lines[12].substr(7 + 61, 9), "<20 & >10");
  EXPECT_EQ(lines[13], "       " + std::string(70, '-'));
  // A 20-character last cell of a four-cell row stands in columns 50 to 69.
  EXPECT_EQ(lines[18].substr(7 + 49, 21), "12345678901234567890 ");
  EXPECT_EQ(lines[20], "       " + std::string(40, 'w') + " ");
  EXPECT_EQ(lines[21], "       " + std::string(40, 'x') + " end");
  EXPECT_EQ(lines[22], "       a < b & c > d \x84\x94\x81");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "       Warning: s < smin ! (1)"), lines.end());
  // The UTF-8 copy of devices 3 and 8.
  const auto copy = Lines(Read("temp/outwin.txt"));
  EXPECT_EQ(copy[22], "       a < b & c > d äöü");
}

TEST_F(report_layout, TotalPagesAndStylesShapeTheHeader) {
  PrintoutStyle = 2;
  Open(8);
  SetReportHeader("T", "R", "", "", "", 1);
  RewriteOrFail(ListFile);
  ReportPageHeader(1, 0);
  CloseReport();
  const auto lines = Lines(Read("temp/OUTDOS.TXT"));
  EXPECT_EQ(lines[0], "       \xC9" + std::string(68, '\xCD') + "\xBB");
  EXPECT_EQ(lines[1].substr(7 + 59, 11), "pg. 1/ 1  \xBA");
  EXPECT_EQ(lines[4], "       \xCC" + std::string(68, '\xCD') + "\xB9");
  EXPECT_EQ(lines.back(), "       \xC8" + std::string(68, '\xCD') + "\xBC");
}

TEST_F(report_layout, CompressedStyleWritesNoRulesAndBreaksOnlyPastHalfAPage) {
  PrintoutStyle = 4;
  LinesPerPage = 20;
  const auto lines = WriteOnDevice8();
  for (const auto& line : lines) EXPECT_EQ(line.find("$!$"), std::string::npos);
  for (const auto& line : lines) EXPECT_NE(line, "       " + std::string(70, '-'));
  ReportLineCount = 9;
  PageBreak();
  EXPECT_EQ(ReportLineCount, 9);
}

TEST_F(report_layout, PageThresholdsAndHeaderOnTheFirstPageOnly) {
  Open(8);
  RewriteOrFail(ListFile);
  // Breaks only above 56 lines of a 66-line page, and never at 10 lines or fewer.
  for (const auto& [page, count, breaks] :
       {std::tuple{66, 56, false}, {66, 57, true}, {15, 10, false}}) {
    LinesPerPage = page;
    ReportLineCount = count;
    NewPageIfNeeded(0);
    EXPECT_EQ(ReportLineCount <=> count,
              breaks ? std::strong_ordering::less : std::strong_ordering::equal)
        << page << " " << count;
  }
  CloseReport();

  HeaderMode = 2;
  LinesPerPage = 12;
  Open(8);
  WriteSample(8);
  const std::string text = Read("temp/OUTDOS.TXT");
  EXPECT_EQ(text.find("pg."), std::string::npos);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\f') >= 2, true);
  EXPECT_EQ(text.find("*  KV6 Test"), text.rfind("*  KV6 Test"));  // one header
}

TEST_F(report_layout, AHeaderLongerThanThePageEnds) {
  HeaderSpaceLines = 30;
  for (const std::int32_t lines : {5, 1}) {
    LinesPerPage = lines;
    Open(8);
    WriteSample(20);
    EXPECT_EQ(AbortFlag, 0) << lines;
    EXPECT_GT(Read("temp/OUTDOS.TXT").size(), 1000u) << lines;
  }
}

TEST_F(report_layout, RulesVanishOnTabSeparatedText) {
  Open(6);
  WriteSample();
  const auto lines = Lines(Read("temp/$$$1.txt"));
  EXPECT_EQ(lines[0], "KV6 Test V6.0\t2024-03-05\t9:07");
  EXPECT_EQ(lines[1], dir_ + "/temp/$$$1.txt");
  EXPECT_EQ(lines[6], "Torque 1\tT\tNm\t12.5\t<20 & >10");
  for (const auto& line : lines) EXPECT_NE(line, std::string(70, '-'));
  EXPECT_EQ(TempFileCounter, 1);
  EXPECT_EQ(Lines(Read("temp/$$1.txt")).back(), "a < b & c > d äöü");
}

// HTML pages checked by two independent parsers.
class report_html : public ReportTest {
 protected:
  static std::string Run(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
    status = pipe != nullptr ? WEXITSTATUS(::pclose(pipe)) : 127;
    return out;
  }
  void ExpectValid(const std::string& path) {
    int status = 0;
    const std::string xmllint = Run("xmllint --html --noout " + path, status);
    EXPECT_NE(status, 127) << "xmllint missing";
    EXPECT_EQ(xmllint, "") << path;
    Run("tidy -q -e " + path, status);
    EXPECT_LT(status, 2) << path;
  }
};

TEST_F(report_html, PagesPassXmllintAndTidy) {
  HtmlBrowser = "sh";
  ShortName = "page--one";
  AddMessage("Error  : d < 0 & more");
  const std::vector<std::function<void()>> setups = {
      [] {},
      [] { HeaderMode = 2, LinesPerPage = 6; },
      [] { PrintoutStyle = 2; },
      [] { FreeMessages(); },
  };
  int n = 0;
  for (const auto& setup : setups) {
    setup();
    if (n > 0) script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));  // overwrite
    Open(7);
    WriteSample(10);
    ASSERT_EQ(AbortFlag, 0);
    const std::string page = "temp/page" + std::to_string(++n) + ".htm";
    std::filesystem::copy_file(Path("temp/page--one.htm"), Path(page));
    ExpectValid(Path(page));
  }
  script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::No));
  Open(7);  // refused overwrite
  EXPECT_EQ(AbortFlag, 1);
  const std::string html = Read("temp/page1.htm");
  EXPECT_NE(html.find("page- -one.htm -->"), std::string::npos);
  EXPECT_NE(html.find("<head><meta charset=\"utf-8\"><title>"), std::string::npos);
  EXPECT_NE(html.find("<TD>&lt;20 &amp; &gt;10</TD>"), std::string::npos);
  EXPECT_NE(html.find("<br>a &lt; b &amp; c &gt; d äöü"), std::string::npos);
  EXPECT_EQ(html.find('\f'), std::string::npos);
  EXPECT_EQ(launcher_.programs.size(), 4u);
  EXPECT_EQ(launcher_.programs[0], (std::vector<std::string>{"sh", Path("temp/page--one.htm")}));
}

}  // namespace
