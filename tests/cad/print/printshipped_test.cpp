// The shipped print setups print their drawings true to scale: each setup puts the sheet (or
// the drawing's header box) on the A4 page at its scale, across and down alike.
#include <cmath>

#include "cad/drawings/outputdrawing.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
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
                               {3, 11, 0, 0, 160, 120, 1.7L},
                               {4, 11, 0, 0, 160, 120, 1.7L},
                               {5, 11, 0, 0, 160, 120, 1.3L}};
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
    const long double left = WorldToPrinterX(c.x1, dpi);
    const long double right = WorldToPrinterX(c.x2, dpi);
    const long double top = WorldToPrinterY(c.y2, dpi);
    const long double bottom = WorldToPrinterY(c.y1, dpi);
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
