// Records of the text list: every kind byte for byte, full turns, clockwise arcs, the decimal
// mark, the unit factor and field separators inside texts.
#include "base/settings/brelvar.h"
#include "tests/cad/cadtest.h"

namespace {

class TextList : public CadTest {
 protected:
  // The lines (without CR LF) a text list output of body writes after MINMAX and the section.
  std::string List(const std::function<void()>& body) {
    OpenBatch(kCadTextList);
    EXPECT_EQ(AbortFlag, 0);
    cad_header(0, 0, 160, 120, 0);
    cad_entities_begin();
    body();
    cad_close();
    return ReadBytes(Temp("out.txt"));
  }
  // The records body writes, without the frame every file has.
  std::string Records(const std::function<void()>& body) {
    std::string bytes = List(body);
    const std::string head =
        CrLf({"MINMAX\t0.000000\t0.000000\t160.000000\t120.000000", "SECTION ENTITIES"});
    const std::string tail = CrLf({"EOF"});
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
    return bytes.substr(head.size(), bytes.size() - head.size() - tail.size());
  }
};

TEST_F(TextList, EveryRecordByteForByte) {
  OpenBatch(kCadTextList);
  ASSERT_EQ(AbortFlag, 0);
  cad_header(-5, 0, 160, 120.25L, 0);
  DrawBlock("B 1", [] { cad_line(0, 0, 1, 0); });
  cad_entities_begin();
  cad_layer(2);
  cad_line(10, 20, 30.5L, 20);
  cad_circle(5, 5, 2.5L);
  cad_arc(1, 2, 0, 90, 3, 90);
  cad_text("Hello world", 1, 2);
  cad_solid(0, 0, 1, 0, 0, 1, 1, 1);
  cad_insert("B 1", 50, 60, 90, 0.6L, 0.6L);
  cad_close();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(CurrentLayer, LayerNames[2]);  // the records carry no layer
  EXPECT_EQ(ReadBytes(Temp("out.txt")),
            CrLf({"MINMAX\t-5.000000\t0.000000\t160.000000\t120.250000", "SECTION BLOCKS",
                  "BLOCK\tB 1", "LINE\t0.000000\t0.000000\t1.000000\t0.000000", "END OF BLOCK",
                  "SECTION ENTITIES", "LINE\t10.000000\t20.000000\t30.500000\t20.000000",
                  "CIRCLE\t5.000000\t5.000000\t2.500000",
                  "ARC\t1.000000\t2.000000\t3.000000\t0.000000\t90.000000",
                  "TEXT\t1.000000\t2.000000\tHello world",
                  "SOLID\t0.000000\t0.000000\t1.000000\t0.000000\t0.000000\t1.000000\t1.000000"
                  "\t1.000000",
                  "INSERT\tB 1\t50.000000\t60.000000\t90.000000\t0.600000\t0.600000", "EOF"}));
}

TEST_F(TextList, FullTurnsAreCirclesAndClockwiseArcsRunBackwards) {
  EXPECT_EQ(Records([] {
              cad_arc(1, 2, 0, 360, 3, 360);
              cad_arc(1, 2, 360, 0, 3, -360);
              cad_arc(1, 2, 90, 90, 3, 360);
              cad_arc(1, 2, 0.000009L, 359.999995L, 3, 360);
              cad_arc(1, 2, 0, 359.9999L, 3, 359.9999L);
              cad_arc(1, 2, 90, 0, 3, -90);
            }),
            CrLf({"CIRCLE\t1.000000\t2.000000\t3.000000", "CIRCLE\t1.000000\t2.000000\t3.000000",
                  "CIRCLE\t1.000000\t2.000000\t3.000000", "CIRCLE\t1.000000\t2.000000\t3.000000",
                  "ARC\t1.000000\t2.000000\t3.000000\t0.000000\t359.999900",
                  "ARC\t1.000000\t2.000000\t3.000000\t0.000000\t90.000000"}));
}

TEST_F(TextList, DecimalCommaAndNarrowFields) {
  DecimalMark = 2;
  EXPECT_EQ(List([] { cad_line(1.5L, -0.25L, 0, 2); }),
            CrLf({"MINMAX\t0,000000\t0,000000\t160,000000\t120,000000", "SECTION ENTITIES",
                  "LINE\t1,500000\t-0,250000\t0,000000\t2,000000", "EOF"}));
  DecimalMark = 1;
  CadDecimals = 0;
  std::string bytes = List([] { cad_arc(5, -1, 0, 90, 1234, 90); });
  EXPECT_NE(bytes.find(CrLf({"ARC\t  5\t -1\t1234\t  0\t 90"})), std::string::npos) << bytes;
}

TEST_F(TextList, UnitFactorScalesLengthsNotAnglesOrScales) {
  CadUnitFactor = 2;
  std::string bytes = List([] {
    cad_line(1, 1, 2, 2);
    cad_arc(1, 1, 30, 60, 0.5L, 30);
    cad_insert("B", 1, 2, 45, 0.5L, 0.25L);
  });
  EXPECT_EQ(bytes, CrLf({"MINMAX\t0.000000\t0.000000\t320.000000\t240.000000", "SECTION ENTITIES",
                         "LINE\t2.000000\t2.000000\t4.000000\t4.000000",
                         "ARC\t2.000000\t2.000000\t1.000000\t30.000000\t60.000000",
                         "INSERT\tB\t2.000000\t4.000000\t45.000000\t0.500000\t0.250000", "EOF"}));
}

TEST_F(TextList, ZeroLengthLinesAreKept) {
  EXPECT_EQ(Records([] { cad_line(1, 1, 1, 1); }),
            CrLf({"LINE\t1.000000\t1.000000\t1.000000\t1.000000"}));
}

TEST_F(TextList, TabsAndLineBreaksInValuesBecomeBlanks) {
  EXPECT_EQ(Records([] {
              cad_text("a\tb\r\nc d", 0, 0);
              cad_insert("x\ty", 0, 0, 0, 1, 1);
            }),
            CrLf({"TEXT\t0.000000\t0.000000\ta b  c d",
                  "INSERT\tx y\t0.000000\t0.000000\t0.000000\t1.000000\t1.000000"}));
}

}  // namespace
