// Layout details the goldens (reportgolden_test.cpp) do not reach: page-break thresholds, a
// header taller than the page, and HTML pages that independent parsers must accept.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <compare>
#include <cstdlib>
#include <tuple>

#include "tests/base/reportfixture.h"
#include "tests/base/testdata.h"
#include "tests/support/htmlcheck.h"

namespace {

class report_layout : public ReportTest {};

TEST_F(report_layout, PageThresholds) {
  Open(8);
  RewriteOrFail(ListFile);
  // Breaks only above 56 lines of a 66-line page, and never at 10 lines or fewer; the compressed
  // style breaks only past half a page.
  for (const auto& [style, page, count, breaks] :
       {std::tuple<std::uint16_t, int, int, bool>{1, 66, 56, false},
        {1, 66, 57, true},
        {1, 15, 10, false},
        {4, 20, 9, false},
        {4, 20, 10, true}}) {
    PrintoutStyle = style;
    LinesPerPage = page;
    ReportLineCount = count;
    if (style == 4) {
      PageBreak();
    } else {
      NewPageIfNeeded(0);
    }
    EXPECT_EQ(ReportLineCount <=> count,
              breaks ? std::strong_ordering::less : std::strong_ordering::equal)
        << style << " " << page << " " << count;
  }
  CloseReport();
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

// The goldens hold every style with messages; this page has none and a name with "--".
TEST_F(report_layout, HtmlPagesPassXmllintAndTidy) {
  for (int style = 1; style <= 4; ++style) {
    ExpectValidHtml(std::string(std::filesystem::path(__FILE__).parent_path() / "golden/d7_style") +
                    std::to_string(style) + ".htm");
  }
  HtmlBrowser = "sh";
  ShortName = "page--one";
  HeaderMode = 2;
  LinesPerPage = 6;
  Open(7);
  WriteSample(10);
  ASSERT_EQ(AbortFlag, 0);
  ExpectValidHtml(Path("temp/page--one.htm"));
  EXPECT_NE(Read("temp/page--one.htm").find("page- -one.htm -->"), std::string::npos);
  EXPECT_EQ(launcher_.programs[0], (std::vector<std::string>{"sh", Path("temp/page--one.htm")}));
}

}  // namespace
