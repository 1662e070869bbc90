// Fit-dimension table: limit dimensions from the ISO tolerance, and the abort flag around it.
#include "cad/drawings/fittable.h"

#include "base/settings/brelvar.h"
#include "base/text/messages.h"
#include "tests/cad/cadtest.h"

namespace {

using FitTableTest = RecordingCadTest;

using Strings = std::vector<std::string>;

TEST_F(FitTableTest, RowsGiveNominalToleranceAndLimitDimensions) {
  FitTable table(120, 64, 2.5);
  table.AddFit("H7", 40);
  table.AddFit("k6", 40);
  EXPECT_EQ(Texts(), (Strings{" Fit Dim.", " Max.Dim.", " Min.Dim.", " 40 H 7", "   40.025",
                              "   40.000", " 40 k 6", "   40.018", "   40.002"}));
  EXPECT_EQ(MessageCount, 0);
  ExpectValues(Calls("text")[3], {120, 64 - 3.75L - 5});
  ExpectValues(Calls("text")[4], {142.5L, 64 - 3.75L - 5});
}

TEST_F(FitTableTest, UnknownToleranceDrawsTheNominalTwiceAndKeepsTheAbortFlag) {
  FitTable table(0, 0, 2.5);
  for (int before : {0, 1}) {
    ClearMessages();
    AbortFlag = static_cast<std::uint8_t>(before);
    Recorded.clear();
    table.AddFit("Q99", 40);
    EXPECT_EQ(AbortFlag, before);
    EXPECT_EQ(MessageCount, 1);
    Strings texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "   40.000");
    EXPECT_EQ(texts[2], "   40.000");
  }
}

}  // namespace
