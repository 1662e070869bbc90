// Each of the twelve drawings on the screen: the display list it leaves replays onto a canvas,
// holds only readable records with finite numbers, and no block file of the drawing remains.
#include <algorithm>
#include <cmath>
#include <string>

#include "base/draw/brelgraf.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/drawings/outputdrawing.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"
#include "platform/headless/recordingcanvas.h"
#include "platform/system/services.h"
#include "tests/base/fakemachine.h"
#include "tests/base/testdata.h"
#include "tests/cad/cadtest.h"

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

// A record whose calculation stopped without results draws its inputs on every drawing, with
// finite numbers; the sheet leaves the result cells blank.
TEST_F(DrawingScreen, AStoppedRecordWithoutResultsDrawsItsInputsAndBlankResults) {
  ResetCalcData();
  CalcData.T = 777;
  CalculateP3G();
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Radio).Select(1));
    OutputDrawing(kCadScreen, drawing);
    std::string texts = "|";
    for (const std::string& text : DisplayList) {
      const DrawRecord record = ParseDrawRecord(text);
      for (double value : record.value) EXPECT_TRUE(std::isfinite(value)) << drawing << text;
      const std::size_t start = text.find_first_not_of(' ', record.textStart);
      if (record.opcode == DrawOp::kText) texts += text.substr(std::min(start, text.size())) + "|";
    }
    if (drawing == 11) {
      EXPECT_NE(texts.find("|777|777|"), std::string::npos) << texts;
      EXPECT_NE(texts.find("|S p||||"), std::string::npos) << texts;
    }
  }
}

}  // namespace
