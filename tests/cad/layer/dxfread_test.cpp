// Block replay: transforms, nesting, entity forms of other programs, damaged files.
#include <cmath>
#include <random>

#include "cad/layer/dxfread.h"
#include "tests/cad/cadtest.h"

namespace {

class BlockReplay : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    cad_register_writer(kRecordingTarget, RecordingWriter(true));
    OpenBatch(kRecordingTarget);
    ASSERT_EQ(AbortFlag, 0);
    cad_blocks_end();
    cad_entities_begin();
    Recorded.clear();
  }
  // Writes the block file name with lines and inserts it at the origin.
  void Insert(const std::string& name, const std::vector<std::string>& lines) {
    WriteBytes(Temp("$" + name + ".dx$"), CrLf(lines));
    cad_insert(name, 0, 0, 0, 1, 1);
  }
};

bool HasMessage(const std::string& text) {
  for (int i = 1; i <= MessageCount; ++i) {
    if (Messages[i] == text) return true;
  }
  return false;
}

TEST_F(BlockReplay, InsertTransformTwoLevelsAndClockwiseArc) {
  WriteBytes(Temp("$L.dx$"),
             CrLf({"  0", "LINE", " 10", "0", " 20", "0", " 11", "10", " 21", "0", "  0", "EOF"}));
  WriteBytes(Temp("$N.dx$"), CrLf({"  0", "INSERT", "  2", "L", " 10", "5", " 20", "0", " 50", "90",
                                   "  0", "EOF"}));
  cad_offset(1000, 1000);  // replay never adds the drawing offset
  cad_insert("L", 100, 50, 90, 2, 2);
  cad_insert("N", 0, 0, 0, 3, 3);
  auto lines = Calls("line");
  ASSERT_EQ(lines.size(), 2u);
  ExpectValues(lines[0], {100, 50, 100, 70});
  ExpectValues(lines[1], {15, 0, 15, 30});
  EXPECT_EQ(std::pair(BlockLevel, InsertScaleX), std::pair(0, 1.0L));
  cad_offset(0, 0);
  DrawBlock("A", [] { cad_arc(0, 0, 90, 0, 2, -90); });
  EXPECT_TRUE(Calls("arc").empty());  // inside BLOCKS the arc went into the block file
  cad_insert("A", 10, 0, 0, 3, 1);    // a clockwise arc keeps its sense through the block file
  auto arcs = Calls("arc");
  ASSERT_EQ(arcs.size(), 1u);
  ExpectValues(arcs[0], {10, 0, 90, 0, 6, -90});
}

TEST_F(BlockReplay, ReplayedTextEqualsDirectText) {
  CadTextFactor = 0.8L;
  HorizontalPixels = 1024;
  VerticalPixels = 600;
  auto text = [] {
    cad_text_style(2, 45, 5, 4);
    cad_text("X", 1, 2);
  };
  text();
  const long double height = TextHeight, factor = TextWidthFactor, angle = TextAngle;
  EXPECT_NEAR(static_cast<double>(angle), 37.99, 0.01);
  DrawBlock("DT", text);
  TextHeight = TextWidthFactor = TextAngle = 0;
  cad_insert("DT", 0, 0, 0, 1, 1);
  EXPECT_NEAR(static_cast<double>(TextHeight), static_cast<double>(height), 1e-9);
  EXPECT_NEAR(static_cast<double>(TextWidthFactor), static_cast<double>(factor), 1e-9);
  // The block file carries the angle with the four digits of the text number rule.
  EXPECT_NEAR(static_cast<double>(TextAngle), static_cast<double>(angle), 0.005);
  auto texts = Calls("text");
  ASSERT_EQ(texts.size(), 2u);
  ExpectValues(texts[1], {texts[0].values[0], texts[0].values[1]});
}

TEST_F(BlockReplay, SelfInsertStopsAtLevelFive) {
  Insert("S", {"  0", "LINE", "  0", "INSERT", "  2", "S", "  0", "EOF"});
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("error blockno.5"), 1);
  EXPECT_EQ(Calls("line").size(), 4u);
  EXPECT_EQ(BlockLevel, 0);
}

TEST_F(BlockReplay, LwPolylineRulesAndLimit) {
  Insert("W", {"  0", "LWPOLYLINE", "  8", "IGNORED", "100", "AcDbEntity", "100", "AcDbPolyline",
               " 90", "3",          " 70", "1",       " 10", "0",          " 20", "0",
               " 42", "1",          " 10", "2",       " 20", "0",          " 10", "2",
               " 20", "2",          "  0", "EOF"});
  auto arcs = Calls("arc");
  auto lines = Calls("line");
  ASSERT_EQ(arcs.size(), 1u);  // only the first vertex carries a bulge
  ExpectValues(arcs[0], {1, 0});
  ASSERT_EQ(lines.size(), 2u);
  ExpectValues(lines[0], {2, 0, 2, 2});
  ExpectValues(lines[1], {2, 2, 0, 0});  // closing line
  EXPECT_EQ(Calls("layer").front().values[0], 0);
  std::vector<std::string> big = {"  0", "LWPOLYLINE", "100", "AcDbPolyline"};
  for (int i = 0; i <= 100000; ++i) big.insert(big.end(), {" 10", "1", " 20", "1"});
  big.insert(big.end(), {"  0", "EOF"});
  Insert("BIG", big);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("Elements > 100000 !"), 1);
}

TEST_F(BlockReplay, LayerNameMapping) {
  LayerNames[5] = "HIDDEN";
  for (auto [name, layer] : {std::pair{"HIDDEN", 5}, {"7", 7}, {"xyz", 0}, {"-4", 0}, {"40", 24}}) {
    Recorded.clear();
    Insert("Y", {"  0", "LINE", "  8", name, "  0", "EOF"});
    ASSERT_FALSE(Calls("layer").empty());
    EXPECT_EQ(Calls("layer").front().values[0], layer) << name;
  }
}

TEST_F(BlockReplay, DamagedEntitiesEndTheReplay) {
  Insert("P", {"  0", "POLYLINE", " 70", "1", "  0", "LINE", " 11", "1", "  0", "EOF"});
  EXPECT_EQ(Boxes("Error in DXF File"), 1);
  EXPECT_EQ(Calls("line").size(), 1u);
  Recorded.clear();
  Insert("D",
         {"  0", "LINE", " 10", "1", "  0", "CIRCLE", "1x0", "3", "  0", "LINE", "  0", "EOF"});
  EXPECT_TRUE(HasMessage("Error  : DXF: 1x0"));
  EXPECT_EQ(Calls("line").size(), 1u);
  EXPECT_TRUE(Calls("circle").empty());
  Insert("U", {"  0", "ELLIPSE", "  0", "EOF"});
  EXPECT_TRUE(HasMessage("Error  : DXF: ELLIPSE"));
}

// A value that fits a long double but overflows on the way (the arc centre of a bulge, a scaled
// insert) must not reach the writers; the rest of the block still does.
TEST_F(BlockReplay, EntitiesThatOverflowAreSkipped) {
  const std::vector<std::string> block = {
      "  0", "POLYLINE", " 70", "0",    "  0", "VERTEX", " 10", "1e4000", " 20", "0",  " 42", "1",
      "  0", "VERTEX",   " 10", "0",    " 20", "0",      "  0", "VERTEX", " 10", "5",  " 20", "0",
      "  0", "SEQEND",   "  0", "LINE", " 10", "1e4000", " 11", "1",      "  0", "EOF"};
  Insert("H", block);
  cad_insert("H", 0, 0, 0, 1e1000L, 1);
  for (const RecordedCall& call : Recorded) {
    for (long double v : call.values) EXPECT_TRUE(std::isfinite(v)) << call.op;
  }
  EXPECT_TRUE(Calls("arc").empty());
  ASSERT_EQ(Calls("line").size(), 3u);  // the straight segment twice, the line once
  ExpectValues(Calls("line")[0], {0, 0, 5, 0});
}

TEST_F(BlockReplay, MissingOrEscapingNamesAreMissingFiles) {
  for (const char* name : {"NOPE", "../x", "a\\b"}) {
    ClearMessages();
    cad_insert(name, 0, 0, 0, 1, 1);
    EXPECT_TRUE(HasMessage("Invalid temp directory")) << name;
    EXPECT_EQ(AbortFlag, 1);
  }
}

TEST_F(BlockReplay, UserFilesInOtherForms) {
  // LF line ends, lower-case file name, blanks around values, a NUL byte and a long line.
  WriteBytes(Temp("$logo_1.dx$"),
             std::string("0\nLINE\n8\n0\n10\n  1.5  \n20\n2\n11\n3\n21\n4\n999\n") +
                 std::string(100000, 'x') + "\n0\nLINE\n1\nA" + std::string(1, '\0') +
                 "B\n0\nEOF\n");
  cad_insert("LOGO_1", 0, 0, 0, 1, 1);
  ASSERT_EQ(Calls("line").size(), 2u);
  ExpectValues(Calls("line")[0], {1.5, 2, 3, 4});
}

// Every prefix and many mutations of real block files replay without a fault.
TEST_F(BlockReplay, DamagedFilesNeverFault) {
  std::mt19937 random(20240611);
  auto replay = [&](const std::string& bytes) {
    WriteBytes(Temp("$F.dx$"), bytes);
    AbortFlag = 0;
    cad_insert("F", 1, 2, 30, 1.5, 0.5);
    EXPECT_EQ(BlockLevel, 0);
  };
  for (const char* name : {"own_block.dx$", "other_program.dx$"}) {
    const std::string file = ReadBytes(FixtureDir() / name);
    ASSERT_FALSE(file.empty()) << name;
    for (std::size_t n = 0; n <= file.size(); ++n) replay(file.substr(0, n));
    for (int round = 0; round < 200; ++round) {
      std::string mutated = file;
      for (int k = 0; k < 4; ++k)
        mutated[random() % mutated.size()] = static_cast<char>(random() % 256);
      replay(mutated);
    }
  }
}

}  // namespace
