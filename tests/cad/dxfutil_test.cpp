// Bytes of the DXF writer: pairs, numbers, tables, entities, unit factor and block files.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "base/brelvar.h"
#include "base/wbrelvar.h"
#include "cad/brelcad.h"
#include "cad/cadprim.h"
#include "cad/cadstream.h"
#include "cad/cadvar.h"
#include "cad/dxfutil.h"
#include "cadtest.h"

namespace {

class DxfWriter : public CadTest {
 protected:
  // The bytes a DXF output of body writes (batch mode, so no dialog).
  std::string Dxf(const std::function<void()>& body) {
    CadBatch = 1;
    CurrentFile = Temp("out");
    cad_open(kCadDxf);
    EXPECT_EQ(AbortFlag, 0);
    body();
    dxf_eof();
    return ReadBytes(Temp("out.dxf"));
  }
  // The bytes of a block file written on the screen target.
  std::string Block(const std::function<void()>& body) {
    cad_open(kCadScreen);
    cad_blocks_begin();
    cad_block_begin("B");
    body();
    cad_block_end();
    cad_blocks_end();
    return ReadBytes(Temp("$B.dx$"));
  }
};

bool Has(const std::string& bytes, const std::vector<std::string>& lines) {
  return bytes.find(CrLf(lines)) != std::string::npos;
}

TEST_F(DxfWriter, WorkedExampleByteForByte) {
  std::string bytes = Dxf([] {
    dxf_header(0, 0, 160, 120);
    dxf_line(10, 20, 30.5, 20);
  });
  std::string head =
      CrLf({"  0", "SECTION", "  2", "HEADER", "  9", "$EXTMIN", " 10", "0.000000", " 20",
            "0.000000", "  9", "$EXTMAX", " 10", "160.000000", " 20", "120.000000"});
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_TRUE(Has(bytes, {"  0", "LINE", "  8", "0", " 10", "10.000000", " 20", "20.000000", " 11",
                          "30.500000", " 21", "20.000000"}));
}

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
    dxf_text(
        "Ma\x84"
        "e \xF1"
        "0.1",
        10, 10);
    dxf_solid(0, 0, 1, 0, 0, 1, 1, 1);
    dxf_insert("FRAME_1", 20, 30, 45, 2, 0.5);
    dxf_polyline(1);
    dxf_vertex(0, 0, dxf_bulge(-1.5707963267948966L));
    dxf_vertex(10, 0, 0);
    dxf_seqend();
    dxf_endsec();
  });
  std::string golden = ReadBytes(FixtureDir() / "golden.dxf");
  EXPECT_EQ(bytes, golden);
}

struct TableCase {
  std::int32_t mode;
  const char* ltype_count;
  std::size_t layers;
};

TEST_F(DxfWriter, TablesByMode) {
  for (TableCase c : {TableCase{0, "6", 6}, TableCase{1, "17", 16}, TableCase{2, "23", 22}}) {
    std::string bytes = Dxf([&] { dxf_tables(c.mode); });
    EXPECT_TRUE(Has(bytes, {"  2", "LTYPE", " 70", c.ltype_count}));
    std::size_t layers = 0;
    for (std::size_t at = bytes.find("LAYER\r\n  2"); at != std::string::npos;
         at = bytes.find("LAYER\r\n  2", at + 1)) {
      ++layers;
    }
    EXPECT_EQ(layers, c.layers) << "mode " << c.mode;
    EXPECT_NE(bytes.find("\r\n0\r\nENDTAB\r\n  0\r\nENDSEC\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find('\n'), bytes.find("\r\n") + 1);
  }
}

TEST_F(DxfWriter, UnitFactorScalesLengthsOnly) {
  std::string bytes = Dxf([] {
    CadUnitFactor = 25.4L;
    dxf_line(1, 0, 2, 0);
    dxf_arc(0, 0, 0, 90, 1, 0);
    dxf_insert("B", 1, 1, 30, 2, 3);
    dxf_vertex(1, 1, 0.5);
  });
  EXPECT_TRUE(Has(bytes, {" 10", "25.400000", " 20", "0.000000", " 11", "50.800000"}));
  EXPECT_TRUE(Has(bytes, {" 40", "25.400000", " 50", "0.000000", " 51", "90.000000"}));
  EXPECT_TRUE(Has(bytes, {" 41", "2.000000", " 42", "3.000000", " 50", "30.000000"}));
  EXPECT_TRUE(Has(bytes, {" 42", "0.500000"}));
}

TEST_F(DxfWriter, OptionalGroupsOnlyWhenNeeded) {
  std::string bytes = Dxf([] {
    dxf_polyline(0);
    dxf_vertex(1, 1, 0);
    dxf_seqend();
  });
  EXPECT_EQ(bytes.find(" 70"), std::string::npos);
  EXPECT_EQ(bytes.find(" 42"), std::string::npos);
  bytes = Dxf([] { dxf_polyline(1); });
  EXPECT_TRUE(Has(bytes, {" 66", "1", " 70", "1"}));
}

TEST_F(DxfWriter, ClockwiseArcInDxfFileHasNoDirectionGroup) {
  std::string bytes = Dxf([] { dxf_arc(0, 0, 90, 0, 1, -90); });
  EXPECT_EQ(bytes.find("230"), std::string::npos);
  EXPECT_TRUE(Has(bytes, {" 50", "0.000000", " 51", "90.000000"}));
}

TEST_F(DxfWriter, BlockFileKeepsDirectionAndPrecision) {
  CadDecimals = 2;
  CadUnitFactor = 25.4L;
  std::string bytes = Block([] {
    dxf_arc(0, 0, 90, 0, 1.25, -1);
    dxf_arc(0, 0, 0, 90, 1, 0.000001L);
  });
  EXPECT_NE(bytes.find(CrLf(
                {" 40", "1.250000", " 50", "90.000000", " 51", "0.000000", "230", "-1.000000"})),
            std::string::npos);
  EXPECT_EQ(bytes.find("230"), bytes.rfind("230"));
  EXPECT_EQ(bytes.substr(bytes.size() - 10), CrLf({"  0", "EOF"}));
}

TEST_F(DxfWriter, LayerNames) {
  LayerNames[3] = "KONTUR";
  struct Case {
    std::int32_t numbered, layer;
    const char* name;
  };
  for (Case c :
       {Case{0, 3, "KONTUR"}, Case{0, 7, "7"}, Case{1, 3, "3"}, Case{0, 0, "0"}, Case{1, 0, "0"}}) {
    NumberedLayers = c.numbered;
    dxf_set_layer(c.layer);
    EXPECT_EQ(CurrentLayer, c.name);
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

}  // namespace
