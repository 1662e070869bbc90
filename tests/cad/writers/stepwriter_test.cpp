// The STEP target: the one-line file byte for byte, the references of whole drawings, polylines,
// degenerate lines and the quoting of names.
#include <cstdlib>
#include <ctime>
#include <map>
#include <regex>
#include <sstream>

#include "base/settings/wbrelvar.h"
#include "platform/files/codepage.h"
#include "platform/system/services.h"
#include "tests/base/fakemachine.h"
#include "tests/cad/cadtest.h"

namespace {

class StepWriterTest : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    machine_->now = std::chrono::system_clock::from_time_t(1709629620);  // 2024-03-05 09:07:00
    ProductCode = "KV6";
  }

  // Writes what draw draws as a STEP file and returns its bytes.
  std::string Export(const std::function<void()>& draw, const std::string& name = "out") {
    OpenBatch(kCadStep, name);
    cad_header(0, 0, 160, 120, 0);
    cad_entities_begin();
    draw();
    EXPECT_TRUE(cad_output_complete());
    cad_close();
    return ReadBytes(Temp(platform::Cp1252ToUtf8(name + ".stp")));
  }

  platform::Substitute<platform::Machine, FakeMachine> machine_;
};

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The DATA entities by number; each entity line is "#n = text" (continuation lines are
// appended to the entity before them).
std::map<int, std::string> Entities(const std::string& bytes) {
  std::map<int, std::string> entities;
  static const std::regex kEntity(R"(^#(\d+) = (.*)$)");
  bool in_data = false;
  int last = 0;
  for (const std::string& line : Lines(bytes)) {
    std::smatch m;
    if (line == "DATA;") in_data = true;
    if (!in_data || line == "DATA;" || line == "ENDSEC;") continue;
    if (std::regex_match(line, m, kEntity)) {
      last = std::stoi(m[1]);
      entities[last] = m[2];
    } else {
      entities[last] += line;
    }
  }
  return entities;
}

std::string WithoutStrings(const std::string& text) {
  return std::regex_replace(text, std::regex("'[^']*'"), "''");
}

std::vector<int> References(const std::string& text) {
  std::vector<int> refs;
  static const std::regex kRef(R"(#(\d+))");
  const std::string bare = WithoutStrings(text);
  for (std::sregex_iterator it(bare.begin(), bare.end(), kRef), end; it != end; ++it) {
    refs.push_back(std::stoi((*it)[1]));
  }
  return refs;
}

// Entities numbered 1..n without a gap, every reference defined, and the file's sections whole.
void ExpectConsistent(const std::string& bytes) {
  const std::map<int, std::string> entities = Entities(bytes);
  ASSERT_FALSE(entities.empty());
  EXPECT_EQ(entities.begin()->first, 1);
  EXPECT_EQ(entities.rbegin()->first, static_cast<int>(entities.size()));
  for (const auto& [n, text] : entities) {
    for (int ref : References(text))
      EXPECT_TRUE(entities.count(ref)) << "#" << n << " names #" << ref;
  }
  const std::vector<std::string> lines = Lines(bytes);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "DATA;"), 1);
  EXPECT_EQ(lines.back(), "END-ISO-10303-21;");
}

// The items #25 names after #11.
std::vector<int> CurveSetsOfTheShape(const std::map<int, std::string>& entities) {
  std::vector<int> refs = References(entities.at(25));
  EXPECT_GE(refs.size(), 2U);
  EXPECT_EQ(refs.front(), 11);
  return std::vector<int>(refs.begin() + 1, refs.end() - 1);
}

int Count(const std::string& bytes, const std::string& text) {
  int count = 0;
  for (std::size_t at = bytes.find(text); at != std::string::npos; at = bytes.find(text, at + 1))
    ++count;
  return count;
}

TEST_F(StepWriterTest, OneLineMatchesTheHandWrittenFile) {
  const std::string bytes = Export([] { cad_line(0, 0, 10, 0); });
  const std::vector<std::string> expected = {
      "ISO-10303-21;",
      "HEADER;",
      "FILE_DESCRIPTION(('Brelcor Software'),'2;1');",
      "FILE_NAME('" + Temp("out.stp") +
          "','2024-03-05T09:07:00',('Orlin Dalve'),(''),'Brelcor STEP processor 1.0','KV6','');",
      "FILE_SCHEMA(('AUTOMOTIVE_DESIGN'));",
      "ENDSEC;",
      "",
      "DATA;",
      "#1 = APPLICATION_PROTOCOL_DEFINITION('committee draft','automotive_design',1997,#2);",
      "#2 = APPLICATION_CONTEXT('core data for automotive mechanical design processes');",
      "#3 = SHAPE_DEFINITION_REPRESENTATION(#4,#10);",
      "#4 = PRODUCT_DEFINITION_SHAPE('','',#5);",
      "#5 = PRODUCT_DEFINITION('design','',#6,#9);",
      "#6 = PRODUCT_DEFINITION_FORMATION('','',#7);",
      "#7 = PRODUCT('ASSEMBLY','ASSEMBLY','',(#8));",
      "#8 = MECHANICAL_CONTEXT('',#2,'mechanical');",
      "#9 = PRODUCT_DEFINITION_CONTEXT('part definition',#2,'design');",
      "#10 = SHAPE_REPRESENTATION('',(#11,#15),#19);",
      "#11 = AXIS2_PLACEMENT_3D('',#12,#13,#14);",
      "#12 = CARTESIAN_POINT('',(0.E+000,0.E+000,0.E+000));",
      "#13 = DIRECTION('',(0.E+000,0.E+000,1.));",
      "#14 = DIRECTION('',(1.,0.E+000,-0.E+000));",
      "#15 = AXIS2_PLACEMENT_3D('',#16,#17,#18);",
      "#16 = CARTESIAN_POINT('',(0.E+000,0.E+000,0.E+000));",
      "#17 = DIRECTION('',(0.E+000,0.E+000,1.));",
      "#18 = DIRECTION('',(1.,0.E+000,0.E+000));",
      "#19 = ( GEOMETRIC_REPRESENTATION_CONTEXT(3) GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((#23)) "
      "GLOBAL_UNIT_ASSIGNED_CONTEXT((#20,#21,#22)) REPRESENTATION_CONTEXT('Context #1', "
      "'3D Context with UNIT and UNCERTAINTY') );",
      "#20 = ( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );",
      "#21 = ( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );",
      "#22 = ( NAMED_UNIT(*) SI_UNIT($,.STERADIAN.) SOLID_ANGLE_UNIT() );",
      "#23 = UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-007),#20,'distance_accuracy_value',"
      "'confusion accuracy');",
      "#24 = PRODUCT_TYPE('part',$,(#7));",
      "#25 = SHAPE_REPRESENTATION('',(#11,#26),#34);",
      "#26 = GEOMETRIC_CURVE_SET('',(#27));",
      "#27 = TRIMMED_CURVE('',#28,(#32,PARAMETER_VALUE(0.E+000)),(#33,PARAMETER_VALUE("
      "1.00000E+001)),.T.,.PARAMETER.);",
      "#28 = LINE('',#29,#30);",
      "#29 = CARTESIAN_POINT('',(0.00000E+000,0.00000E+000,0.00000E+000));",
      "#30 = VECTOR('',#31,1.);",
      "#31 = DIRECTION('',(1.00000E+000,0.00000E+000,0.00000E+000));",
      "#32 = CARTESIAN_POINT('',(0.00000E+000,0.00000E+000,0.E+000));",
      "#33 = CARTESIAN_POINT('',(1.00000E+001,0.00000E+000,0.E+000));",
      "#34 = ( GEOMETRIC_REPRESENTATION_CONTEXT(3)  GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT((#38)) "
      "GLOBAL_UNIT_ASSIGNED_CONTEXT((#35,#36,#37)) REPRESENTATION_CONTEXT('Context #1',"
      "'3D Context with UNIT and UNCERTAINTY') );",
      "#35 = ( LENGTH_UNIT() NAMED_UNIT(*) SI_UNIT(.MILLI.,.METRE.) );",
      "#36 = ( NAMED_UNIT(*) PLANE_ANGLE_UNIT() SI_UNIT($,.RADIAN.) );",
      "#37 = ( NAMED_UNIT(*) SI_UNIT($,.STERADIAN.) SOLID_ANGLE_UNIT() );",
      "#38 = UNCERTAINTY_MEASURE_WITH_UNIT(LENGTH_MEASURE(1.E-007),#35,'distance_accuracy_value',"
      "'confusion accuracy');",
      "#39 = SHAPE_DEFINITION_REPRESENTATION(#40,#25);",
      "#40 = PRODUCT_DEFINITION_SHAPE('','',#41);",
      "#41 = PRODUCT_DEFINITION('design','',#42,#45);",
      "#42 = PRODUCT_DEFINITION_FORMATION('','',#43);",
      "#43 = PRODUCT('out','out','',(#44));",
      "#44 = MECHANICAL_CONTEXT('',#2,'mechanical');",
      "#45 = PRODUCT_DEFINITION_CONTEXT('part definition',#2,'design');",
      "#46 = CONTEXT_DEPENDENT_SHAPE_REPRESENTATION(#47,#49);",
      "#47 = ( REPRESENTATION_RELATIONSHIP('','',#25,#10)",
      "REPRESENTATION_RELATIONSHIP_WITH_TRANSFORMATION(#48)",
      "SHAPE_REPRESENTATION_RELATIONSHIP() );",
      "#48 = ITEM_DEFINED_TRANSFORMATION('','',#11,#15);",
      "#49 = PRODUCT_DEFINITION_SHAPE('Placement','Placement of an item',#50);",
      "#50 = NEXT_ASSEMBLY_USAGE_OCCURRENCE('2','=>[0:1:1:2]','',#5,#41,$);",
      "#51 = PRODUCT_TYPE('part',$,(#43));",
      "#52 = MECHANICAL_DESIGN_GEOMETRIC_PRESENTATION_REPRESENTATION('',(#53),#34);",
      "#53 = STYLED_ITEM('color',(#54),#26);",
      "#54 = PRESENTATION_STYLE_ASSIGNMENT((#55,#61));",
      "#55 = SURFACE_STYLE_USAGE(.BOTH.,#56);",
      "#56 = SURFACE_SIDE_STYLE('',(#57));",
      "#57 = SURFACE_STYLE_FILL_AREA(#58);",
      "#58 = FILL_AREA_STYLE('',(#59));",
      "#59 = FILL_AREA_STYLE_COLOUR('',#60);",
      "#60 = COLOUR_RGB('',0.800000011921,0.800000011921,0.800000011921);",
      "#61 = CURVE_STYLE('',#62,POSITIVE_LENGTH_MEASURE(0.1),#60);",
      "#62 = DRAUGHTING_PRE_DEFINED_CURVE_FONT('continuous');",
      "ENDSEC;",
      "END-ISO-10303-21;"};
  EXPECT_EQ(bytes, CrLf(expected));
}

TEST_F(StepWriterTest, AnEmptyDrawingNamesThePlacementAndTheRealContext) {
  const std::string bytes = Export([] {});
  ExpectConsistent(bytes);
  const std::map<int, std::string> entities = Entities(bytes);
  EXPECT_EQ(entities.at(25), "SHAPE_REPRESENTATION('',(#11),#26);");
  EXPECT_EQ(entities.at(26).rfind("( GEOMETRIC_REPRESENTATION_CONTEXT(3)", 0), 0U);
  EXPECT_EQ(entities.at(45), "STYLED_ITEM('color',(#46),#11);");
  EXPECT_EQ(entities.size(), 25U + 29U);
}

TEST_F(StepWriterTest, LinesOnlyAndNoneWithoutLength) {
  const std::string bytes = Export([] {
    cad_line(1, 1, 1, 1);
    cad_line(1, 1, 1.000001L, 1);  // the same point as written
    cad_circle(5, 5, 2);
    cad_arc(5, 5, 0, 90, 2, 90);
    cad_text("ABC", 0, 0);
    cad_solid(0, 0, 1, 0, 0, 1, 1, 1);
    cad_line(0, 0, 0, 5);
  });
  ExpectConsistent(bytes);
  EXPECT_EQ(Count(bytes, "GEOMETRIC_CURVE_SET"), 1);
  EXPECT_NE(bytes.find("DIRECTION('',(0.00000E+000,1.00000E+000,0.00000E+000));"),
            std::string::npos);
}

TEST_F(StepWriterTest, BlocksAreReplayedWithoutDxfTextAndEveryReferenceDefined) {
  const std::string bytes = Export([] {
    DrawBlock("B", [] {
      cad_line(0, 0, 10, 0);
      cad_line(10, 0, 10, 10);
      cad_circle(0, 0, 3);
    });
    cad_insert("B", 100, 50, 90, 2, 2);
    cad_line(-1, -1, -5, -5);
    AbortFlag = 1;  // a cancel mid-drawing still gives a whole file
    cad_line(3, 3, 4, 4);
  });
  ExpectConsistent(bytes);
  for (const char* dxf : {"SECTION", "ENTITIES", "EOF", "ENDBLK", "AcDb"})
    EXPECT_EQ(bytes.find(dxf), std::string::npos) << dxf;
  const std::map<int, std::string> entities = Entities(bytes);
  const std::vector<int> sets = CurveSetsOfTheShape(entities);
  EXPECT_EQ(sets.size(), 4U);
  for (int set : sets) EXPECT_EQ(entities.at(set).rfind("GEOMETRIC_CURVE_SET(", 0), 0U) << set;
  // The first block line, rotated by 90 degrees and doubled, runs from (100, 50) to (100, 70).
  EXPECT_NE(bytes.find("CARTESIAN_POINT('',(1.00000E+002,7.00000E+001,0.E+000));"),
            std::string::npos);
}

TEST_F(StepWriterTest, PolylinesInTheThreeDModesAreWireframeCurveSets) {
  for (std::int32_t mode : {2, 3}) {
    SCOPED_TRACE(mode);
    Recorded.clear();
    cad_set_3d_mode(mode);
    PolylineMode = 1;
    const std::string bytes = Export([] {
      cad_polyline_begin(1);
      cad_vertex(0, 0, 0);
      cad_vertex(10, 0, 0);
      cad_vertex(10, 0, 0);  // no segment of no length
      cad_vertex(10, 10, 0);
      cad_vertex(0, 0, 0);
      cad_polyline_end();
      cad_polyline_begin(0);
      cad_vertex(0, 0, 0);
      cad_polyline_end();  // one vertex: no curve set
      cad_line(0, 0, 0, 5);
    });
    ExpectConsistent(bytes);
    EXPECT_EQ(bytes.find("ADVANCED_FACE"), std::string::npos);
    EXPECT_EQ(bytes.find("MANIFOLD"), std::string::npos);
    EXPECT_EQ(bytes.find("(,"), std::string::npos);
    const std::map<int, std::string> entities = Entities(bytes);
    const std::vector<int> sets = CurveSetsOfTheShape(entities);
    ASSERT_EQ(sets.size(), 2U);
    EXPECT_EQ(entities.at(sets[0]), "GEOMETRIC_CURVE_SET('',(#27,#34,#41));");
    EXPECT_EQ(Count(bytes, "TRIMMED_CURVE"), 4);
  }
  cad_set_3d_mode(0);
}

TEST_F(StepWriterTest, PolylinesOutsideTheThreeDModesArriveAsLines) {
  PolylineMode = 1;
  const std::string bytes = Export([] {
    cad_polyline_begin(0);
    cad_vertex(0, 0, 0);
    cad_vertex(10, 0, 0);
    cad_vertex(10, 10, 0);
    cad_polyline_end();
  });
  EXPECT_EQ(PolylineMode, 1);
  const std::map<int, std::string> entities = Entities(bytes);
  const std::vector<int> sets = CurveSetsOfTheShape(entities);
  ASSERT_EQ(sets.size(), 2U);
  for (int set : sets) EXPECT_EQ(References(entities.at(set)).size(), 1U);
}

TEST_F(StepWriterTest, NamesAreQuotedAsExchangeFileStrings) {
  const std::string bytes = Export([] { cad_line(0, 0, 1, 1); }, "it's\\b\xE4r");
  EXPECT_NE(bytes.find("FILE_NAME('" + Temp("it''s\\\\b\\X2\\00E4\\X0\\r.stp") + "',"),
            std::string::npos);
  EXPECT_NE(bytes.find("PRODUCT('it''s\\\\b\\X2\\00E4\\X0\\r','it''s\\\\b\\X2\\00E4\\X0\\r',"),
            std::string::npos);
  ExpectConsistent(bytes);
}

TEST_F(StepWriterTest, AFileThatCannotBeCreatedIsOneMessageAndAFailedOutput) {
  OpenBatch(kCadStep, "missing/out");
  cad_header_default();
  cad_entities_begin();
  cad_line(0, 0, 10, 0);
  AbortFlag = 0;
  cad_close();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("I/O error writing"), 1);
}

}  // namespace
