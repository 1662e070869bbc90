// The shipped print setups print their drawings true to scale: each setup puts the sheet (or
// the drawing's header box) on the A4 page at its scale, across and down alike; the window
// setups fit the drawing to the page.
#include <cmath>
#include <sstream>

#include "cad/drawings/outputdrawing.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"
#include "printtest.h"
#include "tests/support/command.h"

namespace {

using platform::Form;

struct ShippedCase {
  std::int32_t record;
  std::uint16_t drawing;
  long double x1, y1, x2, y2;  // the sheet's trim, or the header box
  long double scale;           // paper millimetres per millimetre of the drawing
};

class drawprint_shipped : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    StartCalculationUnits();
    UnitSystem = 0;
    HorizontalPixels = 1023;
    VerticalPixels = 767;
    surface_.SetClientSize({1024, 768});
    ASSERT_TRUE(LoadCalcFile(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
    CadBatch = 1;
  }
  void TearDown() override {
    CadBatch = 0;
    PrintTest::TearDown();
  }

  void PrintWithSetup(const ShippedCase& c) {
    OutputDrawing(3, c.drawing);
    ASSERT_EQ(AbortFlag, 0);
    Show([&](Form& form) {
      ExpectPick(c.record);
      Press(form, "Button_db");
      Press(form, "Button_ok");
    });
  }
};

TEST_F(drawprint_shipped, EachSetupPrintsItsDrawingTrueToScale) {
  const ShippedCase cases[] = {{1, 8, 0, 0, 210, 297, 1},
                               {2, 12, 0, 0, 420, 297, 0.7L},
                               // 0.95 of 210 / 120 across, of 210 / 160 upright
                               {3, 11, 0, 0, 160, 120, 1.6625L},
                               {4, 11, 0, 0, 160, 120, 1.6625L},
                               {5, 11, 0, 0, 160, 120, 1.246875L}};
  constexpr std::int32_t dpi = platform::RecordingPrinterDocument::kDpi;
  constexpr long double kPixelsPerMm = dpi / 25.4L;
  int jobs = 0;
  for (const ShippedCase& c : cases) {
    PrintWithSetup(c);
    ASSERT_EQ(Job().PagesEnded(), ++jobs) << c.record;
    EXPECT_EQ(AbortFlag, 0);
    // The mapping of the drawing as the printout used it: its whole window, unzoomed.
    window_.RestoreLimit();
    window_.ResetZoom();
    const platform::Size page = Job().Page().GetSize();
    const PageGeometry geometry{page, {dpi, dpi}};
    const long double left = WorldToPrinterX(c.x1, geometry);
    const long double right = WorldToPrinterX(c.x2, geometry);
    const long double top = WorldToPrinterY(c.y2, geometry);
    const long double bottom = WorldToPrinterY(c.y1, geometry);
    EXPECT_GE(left, -2) << c.record;
    EXPECT_LE(right, page.width + 2) << c.record;
    EXPECT_GE(top, -2) << c.record;
    EXPECT_LE(bottom, page.height + 2) << c.record;
    const long double ratio = ((right - left) / (bottom - top)) / ((c.x2 - c.x1) / (c.y2 - c.y1));
    EXPECT_NEAR(static_cast<double>(ratio), 1.0, 0.02) << c.record;
    EXPECT_NEAR(static_cast<double>(right - left),
                static_cast<double>((c.x2 - c.x1) * c.scale * kPixelsPerMm), 2)
        << c.record;
    EXPECT_NEAR(static_cast<double>(bottom - top),
                static_cast<double>((c.y2 - c.y1) * c.scale * kPixelsPerMm), 2)
        << c.record;
  }
}

// The points a recorded page call draws at: the ends and corners of lines, polygons, boxes and
// text anchors; an arc by its box.
std::vector<platform::Point> DrawnPoints(const std::string& call) {
  static const char* const kDrawing[] = {"move_to ", "line_to ",   "polyline ",
                                         "polygon ", "rectangle ", "fill_rect ",
                                         "ellipse ", "arc ",       "text "};
  for (const char* kind : kDrawing) {
    if (call.rfind(kind, 0) != 0) continue;
    std::string numbers = call.substr(std::string(kind).size());
    numbers = numbers.substr(0, numbers.find(' '));
    std::istringstream in(numbers);
    std::vector<platform::Point> points;
    platform::Point p;
    char comma = 0;
    while (in >> p.x >> comma >> p.y) {
      points.push_back(p);
      in >> comma;
    }
    return points;
  }
  return {};
}

// The window setups fill the page whatever the window's size: the example's quick sheet and the
// profile view of P3G 40 in a hub of 100 (a window of about 172 x 138 mm), with each of them in
// either orientation, lie wholly on the page, and their circles stay round.
TEST_F(drawprint_shipped, TheWindowSetupsFitTheDrawingToThePage) {
  int jobs = 0;
  for (const std::uint16_t drawing : {std::uint16_t{11}, std::uint16_t{2}}) {
    if (drawing == 2) {
      CalcData.d1 = 40;
      CalcData.e1 = 1.5;
      CalcData.d1graf = 40;
      CalcData.dB2 = 100;
      CalculateP3G();
    }
    for (const std::int32_t record : {3, 4, 5}) {
      for (const int orientation : {0, 1}) {
        const std::string trace = "drawing " + std::to_string(drawing) + " setup " +
                                  std::to_string(record) + " orientation " +
                                  std::to_string(orientation);
        SCOPED_TRACE(trace);
        OutputDrawing(3, drawing);
        ASSERT_EQ(AbortFlag, 0);
        Show([&](Form& form) {
          ExpectPick(record);
          Press(form, "Button_db");
          form.Get<platform::RadioGroup>("RadioGroup_hochquer").Choose(orientation);
          Press(form, "Button_ok");
        });
        ASSERT_EQ(Job().PagesEnded(), ++jobs);
        const platform::Size page = Job().Page().GetSize();
        EXPECT_EQ(page.width > page.height, orientation == 1);
        int circles = 0;
        for (const std::string& call : Job().Page().Calls()) {
          for (const platform::Point& p : DrawnPoints(call)) {
            EXPECT_TRUE(p.x >= 0 && p.x <= page.width && p.y >= 0 && p.y <= page.height) << call;
          }
          if (call.rfind("ellipse ", 0) != 0) continue;
          const std::vector<platform::Point> box = DrawnPoints(call);
          ++circles;
          EXPECT_NEAR(box[1].x - box[0].x, box[1].y - box[0].y, 0.01 * (box[1].x - box[0].x))
              << call;
        }
        EXPECT_GT(circles, 0);
      }
    }
  }
}

TEST_F(drawprint_shipped, TheTableHasNineFieldsInOrderAndFiveRecords) {
  const CommandResult read = RunCommand(
      "/usr/bin/python3 -c \"import dbfread,sys; t=dbfread.DBF(sys.argv[1]); "
      "print(' '.join(f.name+f.type+str(f.length)+'.'+str(f.decimal_count) for f in t.fields)); "
      "print(len(list(t)))\" " +
      DataPath("printout.dbf"));
  EXPECT_EQ(read.status, 0);
  EXPECT_EQ(read.output,
            "NAMEC25.0 XSCALEN10.4 YSCALEN10.4 XORIGINN6.0 YORIGINN6.0 LANDSCAPEL1.0 "
            "MONOCHROML1.0 VARIABLEL1.0 BORDERLINEL1.0\n5\n");
}

}  // namespace
