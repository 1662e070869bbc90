// Bytes of the DXF writer: pairs, numbers, tables, entities, unit factor and block files.
#include "cad/layer/dxfutil.h"

#include <cmath>

#include "base/files/runfolder.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/dxfnumber.h"
#include "tests/cad/cadtest.h"

namespace {

class DxfWriter : public CadTest {
 protected:
  // The bytes a DXF output of body writes.
  std::string Dxf(const std::function<void()>& body) {
    OpenBatch(kCadDxf);
    EXPECT_EQ(AbortFlag, 0);
    body();
    dxf_eof();
    return ReadBytes(Temp("out.dxf"));
  }
};

bool Has(const std::string& bytes, const std::vector<std::string>& lines) {
  return bytes.find(CrLf(lines)) != std::string::npos;
}

struct NumberCase {
  long double value, unscaled;
  int decimals;
  const char* text;
};

TEST(DxfNumbers, FixedPointAlwaysWithPoint) {
  const NumberCase cases[] = {{0, 0, 6, "0.000000"},
                              {-0.5L, -0.5L, 6, "-0.500000"},
                              {1234.5678L, 1234.5678L, 6, "1234.567800"},
                              {1, 1000, 0, "   1"},
                              {-1, -1000, 0, "  -1"},
                              {-0.0000001L, 0, 6, "0.000000"},
                              {2.0005L, 2.0005L, 3, "2.001"},
                              {NAN, 1, 6, "0.000000"},
                              {-INFINITY, 1, 2, "0.00"},
                              {0.5L, 0.5L, 32, "0.50000000000000000000000000000000"},
                              {1e25L, 1e25L, 1, "10000000000000000000000000.0"}};
  for (const NumberCase& c : cases) {
    EXPECT_EQ(dxf_number_text(c.value, c.unscaled, c.decimals), c.text) << c.text;
  }
}

// Header, tables in mode 2, a block and one of each entity (a clockwise arc among them).
TEST_F(DxfWriter, GoldenFile) {
  std::string bytes = Dxf([] {
    LayerNames[3] = "KONTUR";
    dxf_header(0, 0, 160, 120);
    dxf_tables(2);
    dxf_blocks();
    dxf_block("FRAME_1");
    dxf_line(0, 0, 10, 0);
    dxf_endblk();
    dxf_endsec();
    dxf_entities();
    dxf_set_layer(3);
    dxf_line(1, 2, 3, 4);
    dxf_circle(5, 5, 2.5);
    dxf_arc(0, 0, 90, 0, 4, -1);
    cad_text_style(2, 0, 3.5, 2.5);
    dxf_text("Ma\204e \3610.1", 10, 10);
    dxf_solid(0, 0, 1, 0, 0, 1, 1, 1);
    dxf_insert("FRAME_1", 20, 30, 45, 2, 0.5);
    dxf_polyline(1);
    dxf_polyline_vertex(0, 0, -1.5707963267948966L);
    dxf_polyline_vertex(10, 0, 0);
    dxf_seqend();
    dxf_endsec();
  });
  EXPECT_EQ(bytes, ReadBytes(FixtureDir() / "golden.dxf"));
}

TEST_F(DxfWriter, TablesInModesZeroAndOne) {
  for (auto [mode, ltypes, layers] : {std::tuple{0, "6", 6u}, {1, "17", 16u}}) {
    std::string bytes = Dxf([mode] { dxf_tables(mode); });
    EXPECT_TRUE(Has(bytes, {"  2", "LTYPE", " 70", ltypes})) << mode;
    std::size_t found = 0;
    for (std::size_t at = bytes.find("LAYER\r\n  2"); at != std::string::npos;
         at = bytes.find("LAYER\r\n  2", at + 1)) {
      ++found;
    }
    EXPECT_EQ(found, layers) << mode;
    EXPECT_NE(bytes.find("\r\n0\r\nENDTAB\r\n  0\r\nENDSEC\r\n"), std::string::npos) << mode;
  }
}

TEST_F(DxfWriter, UnitFactorScalesLengthsOnly) {
  std::string bytes = Dxf([] {
    CadUnitFactor = 25.4L;
    dxf_line(1, 0, 2, 0);
    dxf_arc(0, 0, 0, 90, 1, 0);
    dxf_insert("B", 1, 1, 30, 2, 3);
    dxf_polyline_vertex(1, 1, 4 * std::atan(0.5L));
  });
  EXPECT_TRUE(Has(bytes, {" 10", "25.400000", " 20", "0.000000", " 11", "50.800000"}));
  EXPECT_TRUE(Has(bytes, {" 40", "25.400000", " 50", "0.000000", " 51", "90.000000"}));
  EXPECT_TRUE(Has(bytes, {" 41", "2.000000", " 42", "3.000000", " 50", "30.000000"}));
  EXPECT_TRUE(Has(bytes, {" 42", "0.500000"}));
}

TEST_F(DxfWriter, OpenPolylineWithoutBulgeHasNoOptionalGroups) {
  std::string bytes = Dxf([] {
    dxf_polyline(0);
    dxf_polyline_vertex(1, 1, 0);
    dxf_seqend();
  });
  EXPECT_EQ(bytes.find(" 70"), std::string::npos);
  EXPECT_EQ(bytes.find(" 42"), std::string::npos);
}

TEST_F(DxfWriter, BlockFileKeepsDirectionAndPrecision) {
  CadDecimals = 2;
  CadUnitFactor = 25.4L;
  cad_open(kCadScreen);
  DrawBlock("B", [] {
    dxf_arc(0, 0, 90, 0, 1.25, -1);
    dxf_arc(0, 0, 0, 90, 1, 0.000001L);
  });
  std::string bytes = ReadBytes(RunFolder() + "$B.dx$");
  EXPECT_TRUE(
      Has(bytes, {" 40", "1.250000", " 50", "90.000000", " 51", "0.000000", "230", "-1.000000"}));
  EXPECT_EQ(bytes.find("230"), bytes.rfind("230"));
  EXPECT_EQ(bytes.substr(bytes.size() - 10), CrLf({"  0", "EOF"}));
}

TEST_F(DxfWriter, LayerNames) {
  LayerNames[3] = "KONTUR";
  for (auto [numbered, layer, name] :
       {std::tuple{0, 7, "7"}, {1, 3, "3"}, {0, 0, "0"}, {1, 0, "0"}}) {
    NumberedLayers = numbered;
    dxf_set_layer(layer);
    EXPECT_EQ(CurrentLayer, name) << numbered << " " << layer;
  }
}

TEST_F(DxfWriter, TextValuesStayOnOneLine) {
  CadTextMode = 1;
  std::string bytes = Dxf([] {
    dxf_text("two\r\nlines", 0, 0);
    dxf_insert("A\nB", 0, 0, 0, 1, 1);
  });
  EXPECT_NE(bytes.find("\r\ntwo  lines\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("\r\nA B\r\n"), std::string::npos);
}

// Values far longer than the writer's first room for an entity's lines, amid numbers written
// before and after them, come out whole and in order.
TEST_F(DxfWriter, LongValuesKeepTheirPlaceAmongTheNumbers) {
  CadTextMode = 1;
  const std::string text(10000, 'T'), layer(5000, 'L');
  std::string bytes = Dxf([&] {
    LayerNames[3] = layer;
    dxf_set_layer(3);
    dxf_line(1.5L, 2, 3, 4);
    dxf_text(text, 5, 6);
    dxf_polyline_vertex(7, 8, 4 * std::atan(0.25L));
  });
  EXPECT_TRUE(Has(bytes, {"  0", "LINE", "  8", layer, " 10", "1.500000", " 20", "2.000000"}));
  EXPECT_TRUE(Has(bytes, {" 10", "5.000000", " 20", "6.000000", " 40"}));
  EXPECT_TRUE(Has(bytes, {"  1", text, "  7", "STANDARD"}));
  EXPECT_TRUE(Has(
      bytes, {"VERTEX", "  8", layer, " 10", "7.000000", " 20", "8.000000", " 42", "0.250000"}));
}

}  // namespace
