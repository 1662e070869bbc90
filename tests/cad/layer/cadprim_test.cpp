// Primitives: offset, chords, text style figures, layers, code form, arcs on every path.
#include <clocale>
#include <cmath>
#include <locale>
#include <numbers>
#include <utility>

#include "base/draw/hgvar.h"
#include "base/text/numbertext.h"
#include "cad/layer/caddim.h"
#include "cad/layer/dxfutil.h"
#include "tests/cad/cadtest.h"

namespace {

constexpr long double kPi = std::numbers::pi_v<long double>;
constexpr std::uint16_t kChordTarget = 9;  // no writer of the program uses it

class Primitives : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    cad_register_writer(kRecordingTarget, RecordingWriter(false));
    CadWriter chords = RecordingWriter(false);
    chords.curves_as_chords = true;
    cad_register_writer(kChordTarget, chords);
  }
  void Open(std::uint16_t target) {
    OpenBatch(target);
    ASSERT_EQ(AbortFlag, 0);
    Recorded.clear();
  }
};

TEST_F(Primitives, OffsetAppliedExactlyOnce) {
  Open(kRecordingTarget);
  PolylineMode = 0;
  cad_offset(100, 200);
  cad_rect(0, 0, 1, 1);
  cad_hline(0, 0, 2);
  cad_polyline_begin(0);
  cad_vertex(0, 0, 0);
  cad_vertex(1, 0, 0);
  cad_polyline_end();
  cad_insert_offset("B", 1, 1, 0, 1, 1);
  auto lines = Calls("line");
  ASSERT_EQ(lines.size(), 6u);
  for (const RecordedCall& c : lines) {
    EXPECT_TRUE(c.values[0] >= 100 && c.values[0] <= 102 && c.values[1] >= 200 &&
                c.values[1] <= 201);
  }
  EXPECT_EQ(Recorded.back().op, "insert");
  EXPECT_EQ(Recorded.back().values[0], 101);
  Open(kChordTarget);
  cad_offset(100, 0);
  cad_circle(0, 0, 1);
  cad_arc(0, 0, 0, 90, 1, 90);
  for (const RecordedCall& c : Recorded) {
    ASSERT_EQ(c.op, "line");
    EXPECT_NEAR(static_cast<double>(std::hypot(c.values[2] - 100, c.values[3])), 1.0, 1e-9);
  }
}

TEST_F(Primitives, ChordCountsAndRadiusZero) {
  Open(kChordTarget);
  cad_circle(0, 0, 1);
  EXPECT_EQ(Calls("line").size(), 64u);
  Recorded.clear();
  cad_circle_cw(0, 0, 1);
  EXPECT_EQ(Calls("line").size(), 64u);
  EXPECT_LT(Recorded[1].values[3], 0);  // clockwise: the first step goes below the x axis
  Recorded.clear();
  ArcResolution = 0;
  cad_circle(0, 0, 1e30L);  // a damaged block file cannot stall the output
  EXPECT_EQ(ArcResolution, 0.1L);
  EXPECT_LE(Calls("line").size(), 100001u);
  for (std::uint16_t target : {kRecordingTarget, kChordTarget}) {
    Open(target);
    cad_arc(0, 0, 0, 90, 0, 90);
    EXPECT_TRUE(Recorded.empty());
  }
  Open(kCadDxf);
  cad_arc(0, 0, 0, 90, 0, 90);
  dxf_eof();
  EXPECT_EQ(ReadBytes(Temp("out.dxf")).find("ARC"), std::string::npos);
}

TEST_F(Primitives, TextStyleFigures) {
  Open(kRecordingTarget);
  for (auto [h, v, angle] : {std::tuple<std::uint16_t, std::uint16_t, double>{800, 600, 45.0},
                             {1024, 600, 37.99},
                             {0, 0, 45.0}}) {
    HorizontalPixels = h;
    VerticalPixels = v;
    cad_text_style(2, 45, 5, 5);
    EXPECT_NEAR(static_cast<double>(TextAngle), angle, 0.01) << h;
  }
  cad_text_style(2, 3, 5, 0);
  EXPECT_EQ(TextWidthFactor, 0.7L * CadTextFactor);
  cad_text_style(2, 60, 0, 9);
  EXPECT_EQ(TextHeight, 5);
  GraphicsTextWidthFactor = 0.7L;
  for (auto [text, width, height] : {std::tuple{"0123456789", 20, 0.72}, {"01234", 10, 0.648}}) {
    cad_text_fit(2, text, 0, 1, 2.5, width);
    EXPECT_NEAR(static_cast<double>(TextHeight), height, 1e-12) << text;
  }
}

TEST(CadState, DimensionScale) {
  InitCadDefaults();
  DimArrowBase = 2;
  for (auto [f, factor] : {std::pair{0.0L, 1.0L}, {0.0004L, 1.0L}, {1.5L, 3.0L}, {-1.0L, -2.0L}}) {
    cad_dim_scale(f);
    EXPECT_EQ(DimArrowFactor, factor) << static_cast<double>(f);
  }
}

TEST_F(Primitives, LayerFolding) {
  Open(kRecordingTarget);
  for (auto [given, used] : {std::pair{40, 24}, {31, 31}, {-3, 0}, {-100, 0}, {5, 5}}) {
    cad_layer(given);
    EXPECT_EQ(std::pair(static_cast<int>(CurrentLayerNumber),
                        static_cast<int>(Recorded.back().values[0])),
              std::pair(used, used))
        << given;
  }
}

class CommaNumpunct : public std::numpunct<char> {
 protected:
  char do_decimal_point() const override { return ','; }
};

// Exact code-form bytes in both polyline modes, and no "," in them or a DXF under a "," locale.
TEST_F(Primitives, CodeFormAndDxfKeepThePointWhateverTheLocale) {
  std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  const char separator = std::exchange(DecimalSeparator, ',');
  Open(kCadDxf);
  cad_header_default();
  cad_tables(2);
  cad_entities_begin();
  cad_text_style(2, 12.5, 3.5, 2.5);
  cad_text("x", 1.5, 2.5);
  cad_arc(0.5, 0.5, 10.5, 20.5, 1.5, 10);
  cad_blocks_end();
  cad_close();
  std::vector<std::string> code;
  for (std::uint8_t mode : {std::uint8_t{1}, std::uint8_t{0}}) {
    PolylineMode = mode;
    Open(kCadCode);
    cad_offset(1, 0);
    cad_setz(0.5, 1.5);
    cad_polyline_begin(1);
    cad_vertex(0, 0, 0);
    cad_vertex(1.5, 0, 0.5);
    cad_vertex(2, 2, 0.125);
    cad_polyline_end();
    cad_close();
    code.push_back(ReadBytes(Temp("out.pas")));
  }
  DecimalSeparator = separator;
  std::setlocale(LC_ALL, "C");
  std::locale::global(previous);
  EXPECT_EQ(ReadBytes(Temp("out.dxf")).find(','), std::string::npos);
  const std::string vertices =
      "  c_poly(1,0,0);\r\n  c_poly(2.5,0,0.5);\r\n  c_poly(3,2,0.125);\r\n  c_polyline_end;\r\n";
  EXPECT_EQ(code,
            (std::vector<std::string>{"  c_setz(0.5,1.5);\r\n  c_polyline_begin(1);\r\n" + vertices,
                                      "  c_setz(0.5,1.5);\r\n" + vertices}));
}

// A clockwise bulge from (0, 0) to (2, 0) is the quarter arc about (1, -1) over the top.
TEST_F(Primitives, ClockwiseBulgeSameArcOnEveryPath) {
  auto bulge = [] {
    cad_polyline_begin(0);
    cad_vertex(0, 0, -kPi / 2);
    cad_vertex(2, 0, 0);
  };
  PolylineMode = 0;
  ArcsAsSegments = 1;
  Open(kRecordingTarget);
  bulge();
  cad_polyline_end();
  ASSERT_GT(Calls("line").size(), 2u);
  for (const RecordedCall& c : Recorded) {
    EXPECT_NEAR(static_cast<double>(std::hypot(c.values[2] - 1, c.values[3] + 1)), std::sqrt(2.0),
                1e-9);
    EXPECT_GE(c.values[3], -1e-12);
  }
  ArcsAsSegments = 0;
  Open(kRecordingTarget);
  bulge();
  ASSERT_EQ(Calls("arc").size(), 1u);
  ExpectValues(Recorded.front(), {1, -1, 135, 45, 1.4142135623730951L, -90});
  Open(kCadDxf);
  bulge();
  cad_close();
  EXPECT_NE(ReadBytes(Temp("out.dxf")).find(CrLf({" 50", "45.000000", " 51", "135.000000"})),
            std::string::npos);
}

}  // namespace
