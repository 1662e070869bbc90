#include "base/draw/brelgraf.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/headless/recordingprinter.h"
#include "tests/base/drawwindow_fixture.h"

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// Fixed-notation numbers take a short way of their own; the general routine is the reference.
TEST(FloatFieldTest, ShortWayAgreesWithTheGeneralRoutine) {
  const auto reference = [](double x) {
    char buf[32];
    std::string text(buf, std::to_chars(buf, buf + 32, x, std::chars_format::general, 8).ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
  };
  std::vector<double> values;
  for (int e = -6; e <= 9; ++e) {
    const double decade = std::pow(10.0, e);
    for (const double f : {1.0, 1 - 1e-9, 1 + 1e-9, 1 - 4e-16, 1 + 4e-16, 9.99999995, 9.9999999,
                           9.99999994999, 1.000000005, 1.00000015, 2.5, 3.14159265358979})
      values.push_back(decade * f);
    for (int k = 0; k < 50; ++k) {  // halves at the ninth digit, and their neighbours
      const double tie = (12345678 + k + 0.5) * decade / 1e7;
      values.insert(values.end(), {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e30)});
    }
  }
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> exponent(-6, 9), sign(-1, 1);
  for (int k = 0; k < 200000; ++k)
    values.push_back(std::copysign(std::pow(10.0, exponent(random)), sign(random)));
  for (int k = -2000; k <= 2000; ++k) values.push_back(k * 0.05);
  for (const double v : values) {
    ASSERT_EQ(FloatField(v), reference(v)) << std::hexfloat << v;
    ASSERT_EQ(FloatField(-v), reference(-v)) << std::hexfloat << -v;
  }
}

TEST(RoundPixelTest, HalvesToEvenAndSaturates) {
  EXPECT_EQ(std::tuple(RoundPixel(-2.5L), RoundPixel(1e12L), RoundPixel(-1e12L)),
            std::tuple(-2, 2147483647, -2147483647 - 1));
}

using DisplayListTest = DrawWindowTest;

// -1 equals the colour after creation, 17 lies above MaxColour. After Clear the same settings
// must be recorded again, or a redrawn list loses its colour.
TEST_F(DisplayListTest, ColourStyleAndWidthRecordOnlyChangesUntilClear) {
  for (const bool cleared : {false, true}) {
    if (cleared) window_.Clear();
    for (const int colour : {-1, 5, 5, 17, -2}) window_.SetColor(colour);
    for (const std::uint16_t style : {std::uint16_t{3}, std::uint16_t{3}})
      window_.SetLineStyle(style);
    for (const std::uint16_t width : {std::uint16_t{1}, std::uint16_t{2}})
      window_.SetLineWidth(width);
    EXPECT_THAT(DisplayList, ElementsAre("8;5", "8;-2", "11;3", "12;2")) << cleared;
  }
}

TEST_F(DisplayListTest, ZeroWindowsAbortAndKeepTheirRecord) {
  // Zero world width, zero viewport width, zero reference extent (640 x 480 stand in).
  const std::tuple<std::uint16_t, std::uint16_t, long double, long double> cases[] = {
      {640, 480, 1, 0}, {640, 480, 0, 1}, {0, 0, 1, 0}};
  for (const auto& [h, v, vx2, xmax] : cases) {
    DisplayList.clear();
    HorizontalPixels = h;
    VerticalPixels = v;
    AbortFlag = 0;
    ScaleX = 7;
    window_.SetWindow(true, false, 0, 0, vx2, 1, 0, 0, xmax, 1);
    // The record is kept, the previous scales stay.
    EXPECT_EQ(std::tuple(DisplayList.size(), AbortFlag, ScaleX), std::tuple(1u, 1, 7));
  }
  EXPECT_EQ(std::tuple(HorizontalPixels, VerticalPixels), std::tuple(640, 480));
}

TEST_F(DisplayListTest, ReplayEndsAtAZeroWindowRecord) {
  window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  window_.line(0, 0, 10, 10);
  DisplayList.push_back("10;0;0;640;480;5;0;5;1");
  window_.line(0, 0, 20, 20);
  AbortFlag = 0;
  EXPECT_EQ(Replayed("line_to").size(), 1u);
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(DisplayListTest, ArcsRunCounterclockwiseAndShortOnesBecomeChords) {
  window_.Arc(0, 0, 0, 90, 1, -90);
  ASSERT_EQ(DisplayList.size(), 1u);
  EXPECT_EQ(DisplayList[0].substr(0, 11), "5;-1;-1;1;1");
  EXPECT_NE(DisplayList[0].find(";1;1;0"), std::string::npos) << DisplayList[0];  // 90 -> 0
  window_.Arc(0, 0, 0, 3.9L, 1, 3.9L);
  window_.Arc(0, 0, 0, 4, 1, 4);
  EXPECT_THAT(DisplayList, ElementsAre(_, StartsWith("4;"), StartsWith("5;")));
}

TEST_F(DisplayListTest, TransformsRoundHalvesToEven) {
  Viewport = {0, 0, 640, 480};
  VisibleWindow = {0, 0, 1, 1};
  ScaleX = ScaleY = 1;
  EXPECT_EQ(std::tuple(WorldToScreenX(2.5L), WorldToScreenX(3.5L), WorldToScreenY(0.5L),
                       WorldToScreenY(1.5L)),
            std::tuple(2, 4, 480, 478));
  // On a sheet at 127 dpi, 5 pixels a millimetre: the origins 5 and 15 mm are 25 and 75 pixels,
  // and a scale of 0.1 makes a world unit half a pixel; y counts down from the visible top, 1.
  SheetKind = 2;
  const PageGeometry page{{1050, 1485}, {127, 127}};
  PrintOriginX = 5;
  PrintOriginY = 15;
  PrintScaleX = PrintScaleY = 0.1;
  // 25 + round(0.5), 25 + round(1.5), 75 + round(2.5), round(2.5).
  EXPECT_EQ(std::tuple(WorldToPrinterX(1, page), WorldToPrinterX(3, page),
                       WorldToPrinterY(-4, page), PrinterSizeX(5, page)),
            std::tuple(25, 27, 77, 2));
}

// Whatever the window's shape, the printout keeps the drawing's proportions, and at scale 1 a
// millimetre of the drawing is a millimetre of paper: a 40 mm circle and a 40 mm line measure
// 40 mm * 600 / 25.4 = 944.9 pixels at 600 dpi, across and down, from the origin's corner.
TEST_F(DisplayListTest, PrintingIsTrueToScaleWhateverTheWindowsShape) {
  SheetKind = 2;  // an A4 sheet
  const std::vector<std::pair<std::uint16_t, std::uint16_t>> windows = {
      {1599, 999}, {1023, 767}, {767, 1023}};
  for (const auto& [width, height] : windows) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    HorizontalPixels = width;
    VerticalPixels = height;
    window_.Clear();
    window_.Header(-5, -5, 215, 307);
    window_.circle(105, 150, 20);
    window_.line(0, 297, 40, 297);
    window_.line(0, 297, 0, 257);
    platform::RecordingCanvas screen({width + 1, height + 1});
    platform::RecordingCanvas paper({4961, 7016});
    const PrinterPage page{paper, {600, 600}};
    PrintOriginX = -5;
    PrintOriginY = -10;
    Printing = 1;
    window_.Replay(screen, &page);
    Printing = 0;
    EXPECT_THAT(Matching(paper.Calls(), "ellipse"), ElementsAre("ellipse 2008,3000,2953,3945"));
    EXPECT_THAT(Matching(paper.Calls(), "line_to"), ElementsAre("line_to 945,0", "line_to 0,945"));
  }
}

// A drawing without a sheet fills the print scale's share of the page, the same across and
// down: on a page of 240 x 300 mm at 10 pixels a millimetre, at scale 0.5, a wide window's width
// and a tall window's height bind; a sheet keeps the scale's millimetres.
TEST_F(DisplayListTest, PrintingFitsADrawingWithoutASheetToThePage) {
  const PageGeometry page{{2400, 3000}, {254, 254}};
  PrintScaleX = PrintScaleY = 0.5;
  // 240 / 200 = 1.2 mm a unit, 6 pixels at scale 0.5.
  VisibleWindow = {0, 0, 200, 100};
  EXPECT_EQ(std::tuple(WorldToPrinterX(200, page), WorldToPrinterY(0, page), PrinterSizeX(20, page),
                       PrinterSizeY(20, page)),
            std::tuple(1200, 600, 120, 120));
  // 300 / 400 = 0.75 mm a unit, 3.75 pixels at scale 0.5.
  VisibleWindow = {0, 0, 100, 400};
  EXPECT_EQ(std::tuple(WorldToPrinterX(100, page), WorldToPrinterY(0, page), PrinterSizeX(40, page),
                       PrinterSizeY(40, page)),
            std::tuple(375, 1500, 150, 150));
  SheetKind = 2;
  EXPECT_EQ(std::tuple(PrinterSizeX(40, page), PrinterSizeY(40, page)), std::tuple(200, 200));
}

TEST_F(DisplayListTest, RecordsDrawOnTheScreen) {
  window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  DisplayList.push_back("1;10;20;");
  DisplayList.push_back("2;30;40;");
  window_.SetLineStyle(3);
  window_.circle(100, 100, 10);
  window_.Solid(0, 0, 10, 0, 10, 10, 0, 10);
  DisplayList.push_back("x;1;2");
  DisplayList.push_back("14;1;2");
  window_.SleepMs(7);
  // Unknown and short records draw nothing; the replay starts dark blue, solid and thin.
  EXPECT_THAT(Replayed(),
              ElementsAre("move_to 10,460", "pen 0,0,128 1 solid copy", "brush 0,0,128 solid",
                          "line_to 30,440", "pen 0,0,128 1 dash copy", "brush 0,0,128 clear",
                          "ellipse 90,370,110,390", "brush 0,0,128 solid",
                          "polygon 0,480 10,480 10,470 0,470"));
  EXPECT_THAT(Matching(surface_.Calls(), "sleep"), ElementsAre("sleep 7"));
}

TEST_F(DisplayListTest, FontSpecAndAnchorAtZeroAndNinetyDegrees) {
  window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  window_.SetTextStyle(0, 10, 5, 2);
  window_.OutTextXY(100, 100, "A");
  window_.SetTextStyle(90, 10, 5, 2);
  window_.OutTextXY(100, 100, "B;C");  // the text of a record keeps its semicolons
  window_.SetTextStyle(90, 0.1L, 1, 2);
  window_.OutTextXY(100, 100, "below one pixel");
  // Height 10 * 1.6 = 16 px, width 5 * 1.1 * 0.8 = 4.4 px; style 3 is bold italic. The record's
  // point lies 0.75 h below the cell top; at 90 degrees 0.7 h to its right.
  EXPECT_THAT(Replayed(),
              ElementsAre("font Arial 16 4 0 0,0,128 bold italic", "text 100,368 A",
                          "font Arial 16 4 900 0,0,128 bold italic", "text 89,380 B;C"));
}

TEST_F(DisplayListTest, PrintingSendsTextOnlyToThePrinterAndWidensPens) {
  window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  window_.SetLineWidth(2);
  window_.line(0, 0, 640, 480);
  window_.OutTextXY(10, 10, "T");
  platform::RecordingCanvas screen({640, 480});
  platform::RecordingCanvas printer({6400, 4800});
  const PrinterPage page{printer, {254, 254}};  // 10 pixels a millimetre
  Printing = 1;
  window_.Replay(screen, &page);
  Printing = 0;
  EXPECT_THAT(screen.Calls(), ElementsAre("pen 0,0,128 2 solid copy", "brush 0,0,128 solid",
                                          "move_to 0,480", "line_to 640,0"));
  EXPECT_THAT(
      printer.Calls(),
      ElementsAre("pen 0,0,0 8 solid copy", "brush 1,0,0 solid", "move_to 0,4800", "line_to 6400,0",
                  "font Arial 35 35 0 0,0,0 bold italic", "text 100,4674 T"));
}

// The world is the landscape A4 page in millimetres, 7016 x 4961 pixels at 600 dpi.
TEST_F(DisplayListTest, FormPaintWhilePrintingReplaysOntoTheActiveDocument) {
  window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 297, 210);
  window_.line(0, 0, 297, 210);
  PrintBorder = 1;
  platform::RecordingPrinterDocument document;
  ASSERT_TRUE(document.Begin(platform::PageOrientation::Landscape));
  Printing = 1;
  window_.FormPaint();
  Printing = 0;
  EXPECT_TRUE(document.End());
  // The border runs through the world window's corners, in colour 11 (cyan) with colours on.
  EXPECT_THAT(document.Page().Calls(),
              ElementsAre("pen 0,255,255 1 solid copy", "brush 1,0,0 solid", "move_to 0,4961",
                          "line_to 0,0", "line_to 7016,0", "line_to 7016,4961", "line_to 0,4961",
                          "move_to 0,4961", "line_to 7016,0"));
  EXPECT_EQ(surface_.Calls().back(), "invalidate");
}

TEST_F(DisplayListTest, ColourMatrix) {
  const std::string black = "0,0,0", background = "1,0,0", red = "255,0,0", dark = "0,0,128";
  const struct {
    std::uint8_t colourGraphics;
    std::uint16_t winPrintMode;
    int colour;
    std::string screenPen, screenBrush, printerPen, screenText, printerText;
  } cases[] = {
      {1, 1, 12, red, red, black, red, black},
      {1, 2, 12, red, red, red, red, red},
      {1, 3, 12, red, red, red, red, red},
      {0, 2, 12, black, background, red, black, black},
      {1, 1, 0, background, background, background, background, background},
      {0, 2, 0, background, background, background, background, background},
      {1, 2, 16, black, black, black, black, black},  // text: 16 keeps the colour of record 8
      {1, 2, 17, dark, dark, dark, dark, dark},       // other numbers change nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.colour) + " cg " + std::to_string(c.colourGraphics) + " wpm " +
                 std::to_string(c.winPrintMode));
    DisplayList = {"10;0;0;640;480;0;0;640;480", "8;" + std::to_string(c.colour), "4;0;0;1;1",
                   "6;5;5;x"};
    ColourGraphics = c.colourGraphics;
    WinPrintMode = c.winPrintMode;
    platform::RecordingCanvas screen({640, 480}), printer({640, 480});
    const PrinterPage page{printer, {254, 254}};
    window_.Replay(screen, &page);
    // While printing the screen shows no text: its text colour comes from a screen-only replay.
    const std::vector<std::string> last = {
        Matching(screen.Calls(), "pen").back(), Matching(screen.Calls(), "brush").back(),
        Matching(printer.Calls(), "pen").back(), Matching(printer.Calls(), "font").back(),
        Replayed("font").back()};
    EXPECT_THAT(
        last, ElementsAre(HasSubstr(c.screenPen), HasSubstr(c.screenBrush), HasSubstr(c.printerPen),
                          HasSubstr(c.printerText), HasSubstr(c.screenText)));
  }
}

TEST_F(DisplayListTest, LongReplaysPumpEventsEveryFiftyThousandRecords) {
  DisplayList.assign(120000, "4;0;0;1;1");
  Replayed();
  EXPECT_EQ(surface_.PumpCount(), 3);
}

TEST_F(DisplayListTest, StepModeWaitsAtEraseColourUntilEnded) {
  DisplayList = {"8;0", "8;0", "8;0"};
  window_.StepMode = 1;
  surface_.ScriptStepAnswers({platform::StepAnswer::Next, platform::StepAnswer::End});
  Replayed();
  EXPECT_EQ(Matching(surface_.Calls(), "step").size(), 2u);
  EXPECT_EQ(window_.StepMode, 0);
}

TEST_F(DisplayListTest, HeaderTakesTheMouseAspectFromTheNewWindow) {
  window_.Header(0, 0, 320, 120);
  EXPECT_DOUBLE_EQ(static_cast<double>(MouseAspectFactor), 0.5);
  EXPECT_THAT(DisplayList, ElementsAre("10;1;1;639;479;0;0;320;120", "11;0"));
  EXPECT_EQ(std::tuple(ZoomRect.x1, ZoomRect.y2, AbortFlag, SavedWorldWindow.xmax),
            std::tuple(1, 479, 0, 320));
  window_.Header(0, 0, 0, 1);
  EXPECT_DOUBLE_EQ(static_cast<double>(MouseAspectFactor), 0.5) << "degenerate: kept";
}

TEST_F(DisplayListTest, SmallMethods) {
  window_.SetWindow(false, false, 0, 0, 1, 1, 10, 20, 30, 60);
  EXPECT_EQ(std::tuple(window_.EinX(0.5L), window_.EinY(0.5L)), std::tuple(10, 20));
  for (auto [angle, vertical] : {std::pair{90, 1}, {45, 0}, {-90, 1}, {180, 0}}) {
    EXPECT_EQ(TFbrelgra::GetDirection(angle), vertical) << angle;
  }
  DisplayList.clear();
  for (const char* name : {"PUNKT", "STRICHPUNKT", "HIDDEN", "dotted"})
    window_.SetLineStyleName(name);
  EXPECT_THAT(DisplayList, ElementsAre("11;1", "11;2", "11;3", "11;0"));
  window_.Rectangle(0, 0, 1, 2);
  EXPECT_EQ(DisplayList.size(), 8u);
}
