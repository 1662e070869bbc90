// Each of the twelve drawings on the screen: the display list it leaves replays onto a canvas,
// holds only readable records with finite numbers, and no block file of the drawing remains.
#include <cmath>
#include <string>

#include "base/draw/brelgraf.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "cad/drawings/outputdrawing.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/kv6record.h"
#include "platform/headless/recordingcanvas.h"
#include "platform/system/services.h"
#include "tests/base/fakemachine.h"
#include "tests/base/testdata.h"
#include "tests/cad/cadtest.h"
#include "tests/calc/calcfilefixture.h"

namespace {

class DrawingScreen : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    StartCalculationUnits();
    UnitSystem = 0;
    ASSERT_TRUE(LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
    CadBatch = 1;  // the contour drawings take their settings without the form
  }
  void TearDown() override { CadBatch = 0; }

  // The block files left in the temporary folder.
  int BlockFiles() const {
    int count = 0;
    for (const std::string& name : Files())
      count += name.front() == '$' && name.size() > 4 && name.substr(name.size() - 4) == ".dx$";
    return count;
  }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
};

TEST_F(DrawingScreen, EveryDrawingReplaysWithFiniteNumbers) {
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    OutputDrawing(kCadScreen, drawing);
    EXPECT_EQ(AbortFlag, 0) << drawing;
    EXPECT_EQ(BlockFiles(), 0) << drawing;
    ASSERT_GT(DisplayList.size(), 20u) << drawing;
    int lines = 0;
    for (const std::string& text : DisplayList) {
      const DrawRecord record = ParseDrawRecord(text);
      EXPECT_NE(record.opcode, DrawOp::kUnknown) << drawing << ": " << text;
      for (double value : record.value)
        EXPECT_TRUE(std::isfinite(value)) << drawing << ": " << text;
      lines += record.opcode == DrawOp::kLine || record.opcode == DrawOp::kLineTo;
    }
    EXPECT_GT(lines, 10) << drawing;
    platform::RecordingCanvas canvas({1280, 1024});
    window_.Replay(canvas, nullptr);
    EXPECT_GT(canvas.CallCount(), DisplayList.size() / 2) << drawing;
  }
}

// The sheet frame, profile views and tables of drawing 8 are blocks replayed from block files;
// their texts reach the screen like the rest.
TEST_F(DrawingScreen, BlocksReachTheScreen) {
  OutputDrawing(kCadScreen, 8);
  int texts = 0;
  for (const std::string& text : DisplayList)
    texts += ParseDrawRecord(text).opcode == DrawOp::kText;
  EXPECT_GT(texts, 50);
  EXPECT_EQ(SheetKind, 2);
}

// The texts the screen shows now, each between bars without its leading blanks; every number of
// the drawing finite.
std::string ShownTexts() {
  std::string texts = "|";
  for (const std::string& text : DisplayList) {
    const DrawRecord record = ParseDrawRecord(text);
    for (double value : record.value) EXPECT_TRUE(std::isfinite(value)) << text;
    if (record.opcode != DrawOp::kText) continue;
    const std::size_t start = text.find_first_not_of(' ', record.textStart);
    texts += (start == std::string::npos ? "" : text.substr(start)) + "|";
  }
  return texts;
}

// After the sheet of the worked example, a load whose calculation stops draws the file's inputs
// on every drawing and no result of the worked example: neither its safety factor nor its
// pressure; the sheet leaves the result cells blank.
TEST_F(DrawingScreen, AStoppedLoadShowsItsInputsAndNoResultOfTheConnectionBefore) {
  std::vector<std::string> results;
  for (const std::string& text :
       {RealTextFixed(4, 2, CalcData.Sp[kShaft]), StressTextFixed(6, 0, CalcData.p)})
    results.push_back("|" + text.substr(text.find_first_not_of(' ')) + "|");
  OutputDrawing(kCadScreen, 11);
  for (const std::string& result : results)
    ASSERT_NE(ShownTexts().find(result), std::string::npos) << result;
  std::vector<std::string> lines =
      SplitAtCrLf(FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
  lines.at(14) = "0";    // d1
  lines.at(27) = "777";  // T
  Put("stops.kv6", JoinWithCrLf(lines));
  ASSERT_TRUE(LoadCalcFile(Path("stops.kv6")));
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Radio).Select(1));
    OutputDrawing(kCadScreen, drawing);
    const std::string texts = ShownTexts();
    for (const std::string& result : results)
      EXPECT_EQ(texts.find(result), std::string::npos) << drawing << ": " << texts;
    if (drawing == 11) {
      EXPECT_NE(texts.find("|777|777|"), std::string::npos) << texts;
      EXPECT_NE(texts.find("|S p||||"), std::string::npos) << texts;
    }
  }
}

}  // namespace
