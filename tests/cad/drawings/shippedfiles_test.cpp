// The files the program ships, the defaults every start loads and the worked example, on each of
// the twelve drawings: every text they put there lies within the drawing, on a sheet inside its
// border line, with either border the settings offer.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/drawings/titleblock.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "tests/base/testdata.h"
#include "tests/cad/cadtest.h"

namespace {

using LD = long double;

struct Area {
  LD x1, y1, x2, y2;
  bool Holds(LD x, LD y) const {
    constexpr LD kTouch = 1e-9L;
    return x >= x1 - kTouch && x <= x2 + kTouch && y >= y1 - kTouch && y <= y2 + kTouch;
  }
};

// A recorded text's corners as the layer lays it out: its characters side by side, each as wide
// as the text height times the width factor, the whole turned by its angle about the anchor.
std::vector<std::pair<LD, LD>> TextCorners(const RecordedCall& text) {
  const std::vector<LD>& v = text.values;
  const LD height = v[2];
  const LD length = static_cast<LD>(text.text.size()) * height * v[3];
  const LD angle = v[4] * 3.14159265358979323846L / 180;
  const LD ax = std::cos(angle), ay = std::sin(angle);
  std::vector<std::pair<LD, LD>> corners;
  for (const LD along : {LD{0}, length}) {
    for (const LD up : {LD{0}, height}) {
      corners.emplace_back(v[0] + along * ax - up * ay, v[1] + along * ay + up * ax);
    }
  }
  return corners;
}

// The border line of the sheet drawings (A4 for 6 to 8, A3 for 12), else the drawing's window.
Area Inside(std::uint16_t drawing, const std::vector<LD>& header) {
  const bool ten_mm = IsoTitleBlock() && SheetBorderCode != 0;
  if (drawing >= 6 && drawing <= 8) {
    return ten_mm ? Area{20, 10, 200, 287} : Area{17.9L, 5, 205.1L, 292};
  }
  if (drawing == 12) return ten_mm ? Area{20, 10, 410, 287} : Area{15, 5, 415, 292};
  return {header[0], header[1], header[2], header[3]};
}

class ShippedFiles : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    StartCalculationUnits();
    UnitSystem = 0;
    cad_register_writer(kRecordingTarget, RecordingWriter(true));
    CadBatch = 1;
    CurrentFile = Temp("out");
    // The marking strip, the millimetre scale, the footer and the program line stand outside
    // the border by design; what the sheet then holds is the drawing's and the file's.
    HideZoneMarks = HideMmScale = HideFileName = HideDate = HideMakerLine = 1;
  }
  void TearDown() override { CadBatch = 0; }
};

TEST_F(ShippedFiles, EveryTextLiesInsideTheDrawing) {
  for (const char* file : {"init.kv6", "p3g60.kv6"}) {
    ASSERT_TRUE(LoadCalcFile(DataPath(file))) << file;
    for (const std::int32_t border : {0, 1}) {
      SheetBorderCode = border;
      for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
        Recorded.clear();
        OutputDrawing(kRecordingTarget, drawing);
        ASSERT_EQ(Calls("header").size(), 1u) << file << " " << drawing;
        const Area inside = Inside(drawing, Calls("header")[0].values);
        for (const RecordedCall& call : Recorded) {
          if (call.op == "output_complete") break;
          if (call.op != "text") continue;
          for (const auto& [x, y] : TextCorners(call)) {
            EXPECT_TRUE(inside.Holds(x, y))
                << file << ", border " << border << ", drawing " << drawing << ": \"" << call.text
                << "\" reaches " << x << ", " << y;
          }
        }
      }
    }
  }
}

}  // namespace
