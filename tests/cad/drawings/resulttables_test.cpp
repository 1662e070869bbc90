// The result tables on the golden connection, row by row: each row's field and format, the rows
// that depend on the values, the languages and units.
#include "cad/drawings/resulttables.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"
#include "tests/cad/cadtest.h"

namespace {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

class ResultTables : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    StartCalculationUnits();
    UnitSystem = 0;
    DecimalSeparator = '.';
    const auto golden = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                        "calc" / "golden" / "p3g60.kv6";
    ASSERT_TRUE(LoadCalcFile(golden.string()));
    cad_register_writer(kRecordingTarget, RecordingWriter(false));
    OpenBatch(kRecordingTarget);
    ASSERT_EQ(AbortFlag, 0);
    Recorded.clear();
  }

  // The texts drawn, row by row from the top, each without its leading blank.
  static Rows DrawnRows() {
    std::map<long double, Row, std::greater<>> rows;
    for (const RecordedCall& call : Calls("text"))
      rows[call.values[1]].push_back(call.text.substr(1));
    Rows result;
    for (auto& [y, row] : rows) result.push_back(row);
    return result;
  }
  // The rows whose symbol column reads symbol.
  static Rows RowsWithSymbol(const std::string& symbol) {
    Rows found;
    for (const Row& row : DrawnRows()) {
      if (row.size() > 1 && row[1] == symbol) found.push_back(row);
    }
    return found;
  }
};

// Every row of the detailed table: the field behind it and its format.
TEST_F(ResultTables, StrengthTableRowByRow) {
  DrawStrengthTable(true, 10, 200, 2.5L);
  EXPECT_EQ(DrawnRows(), (Rows{{"STRENGTH DIN 6892 / DIN 32711", "", "", "    1", "    2"},
                               {"torque", "T", "Nm", "   1000", "   1000"},
                               {"Bending moment", "Mb", "Nm", "      0", "      0"},
                               {"Application factor", "KA", "", "   1.00", "   1.00"},
                               {"Yield Point", "Re", "MPa", "   300", "   300"},
                               {"Support factor", "fS", "", "  1.20", "  1.20"},
                               {"Hardness factor", "fH", "", "  1.00", "  1.00"},
                               {"Pzul = Re*fS*fH", "padm", "MPa", "   360", "   360"},
                               {"Alternating load factor", "fW", "", "   1.00", "   1.00"},
                               {"Application factor", "f app", "", "   1.00", "   1.00"},
                               {"Sigma zul = Re * fW", "Sig.zul", "MPa", "   300", "   300"},
                               {"Pa zul = pzul*fW*fapp", "pa zul", "MPa", "   360", "   360"},
                               {"pressure", "p max", "MPa", "    33", "    33"},
                               {"Min.wall thickness", "s min", "mm", "", "    8.9"},
                               {"Wall thickness", "s", "mm", "", "    0.0"},
                               {"Shearing stress", "tau max", "MPa", "    29", "    29"},
                               {"Bending stress", "s.bmax", "MPa", "     0", "     0"},
                               {"Reference stress", "s.vmax", "MPa", "    49", "    49"},
                               {"S = pazul / pmax", "S p", "", "  10.76", "  10.76"},
                               {"S = Sig.zul / Sig.vmax", "S e", "", "   6.06", "   6.06"},
                               {"S = s wall / s min", "S w", "", "", "   0.00"}}));
  EXPECT_EQ(Calls("layer").front().values[0], 4);
  EXPECT_EQ(TextHeight, 2.5L);
}

// The quick table names the materials in place of wall thicknesses and stresses: by number, or
// by name when the shaft has no number.
TEST_F(ResultTables, QuickStrengthTableShowsTheMaterials) {
  Materials[kShaft].Name = "C45";
  Materials[kHub].Name = "42CrMo4";
  Materials[kHub].Ident = "1.7225";
  DrawStrengthTable(false, 0, 0, 0);
  EXPECT_EQ(DrawnRows().at(1), (Row{"material", "", "", "C45", "42CrMo4"}));
  std::vector<std::string> symbols;
  for (const Row& row : DrawnRows()) symbols.push_back(row.at(1));
  EXPECT_EQ(symbols,
            (std::vector<std::string>{"", "", "T", "Mb", "KA", "Re", "fS", "fH", "padm", "fW",
                                      "f app", "Sig.zul", "pa zul", "p max", "S p", "S e", "S w"}));
  Recorded.clear();
  Materials[kShaft].Ident = "1.0503";
  DrawStrengthTable(false, 0, 0, 0);
  EXPECT_EQ(DrawnRows().at(1), (Row{"material", "", "", "1.0503", "1.7225"}));
}

TEST_F(ResultTables, ASafetyOfAThousandOnEitherPartDropsItsRow) {
  struct Case {
    long double shaft, hub;
    std::size_t rows;
  };
  for (const Case& c : {Case{1000, 1, 0}, Case{1, 1000, 0}, Case{999.99L, 999.99L, 1}}) {
    SCOPED_TRACE(static_cast<double>(c.shaft));
    CalcData.Sp = {{c.shaft, c.hub}};
    CalcData.Se = {{1, 1}};
    Recorded.clear();
    DrawStrengthTable(true, 0, 0, 0);
    ASSERT_EQ(RowsWithSymbol("S p").size(), c.rows);
    EXPECT_EQ(RowsWithSymbol("S e").size(), 1u);
    CalcData.Sp = {{1, 1}};
    CalcData.Se = {{c.shaft, c.hub}};
    Recorded.clear();
    DrawStrengthTable(false, 0, 0, 0);
    EXPECT_EQ(RowsWithSymbol("S e").size(), c.rows);
    EXPECT_EQ(RowsWithSymbol("S p").size(), 1u);
  }
  EXPECT_EQ(RowsWithSymbol("S e").at(0).at(3), " 999.99");
}

// The section values have no short form; h 0 draws at 3.5.
TEST_F(ResultTables, SectionTableRowByRow) {
  DrawDimensionTable(true, 0, 0, 0, 0);
  EXPECT_EQ(DrawnRows(), (Rows{{"P3G", "", "", ""},
                               {"Spherical diameter", "d", "mm", "60"},
                               {"Outer circle diameter", "de", "mm", "64.5"},
                               {"Inner circle diameter", "di", "mm", "55.5"},
                               {"Eccentricity", "e", "mm", "2.25"},
                               {"Eccentricity max", "e lim", "mm", "3.75"},
                               {"Section area", "A", "mm\375", "2764"},
                               {"Moment of inertia, polar", "Ip", "mm4", "1228920"},
                               {"Section modulus, polar", "Wp", "mm\374", "35E3"},
                               {"Section modulus, polar", "Wpd1", "mm\374", "40.96E3"},
                               {"Section modulus, equitorial", "Wx ", "mm\374", "19.05E3"},
                               {"Radius theor.", "r1", "mm", "44.63"},
                               {"Radius theor.", "r2", "mm", "15.37"},
                               {"Length eff", "L eff", "mm", "60"},
                               {"Number of teeth", "n", "", "3"},
                               {"Tooth height", "h", "mm", "4.486"}}));
  EXPECT_EQ(TextHeight, 3.5L);
}

TEST_F(ResultTables, ShaftAndHubDimensionsFullAndShort) {
  DrawDimensionTable(false, kShaft, 0, 0, 0);
  DrawDimensionTable(false, kHub, 100, 0, 0);
  const Rows full = DrawnRows();
  EXPECT_EQ(
      full,
      (Rows{{"Profile DIN 32711 - A P3G 60 k6", "", "", "", "Profile DIN 32711 - B P3G 60 H7", "",
             "", ""},
            {"Spherical diameter", "d1", "mm", "60 k6", "Spherical diameter", "d4", "mm", "60 H7"},
            {"Outer circle diameter", "d2", "mm", "64.5", "Outer circle diameter", "d5", "mm",
             "64.5"},
            {"Inner circle diameter", "d3", "mm", "55.5", "Inner circle diameter", "d6", "mm",
             "55.5"},
            {"Eccentricity", "e1", "mm", "2.25 js4", "Drill diameter", "d6pre", "mm", "55 H8"},
            {"length", "L1", "mm", "60", "Grinding disk diameter", "d7", "mm", "18 max"},
            {"Eccentricity", "e2", "mm", "2.25 JS4"},
            {"length", "L2", "mm", "60"}}));
  Recorded.clear();
  DrawDimensionTable(true, kHub, 0, 0, 0);
  std::vector<std::string> symbols;
  for (const Row& row : DrawnRows()) symbols.push_back(row.at(1));
  EXPECT_EQ(symbols, (std::vector<std::string>{"", "d4", "d5", "d6", "e2"}));
}

TEST_F(ResultTables, MaterialTableRowByRow) {
  Materials[kShaft].Ident = "1.0503";
  Materials[kShaft].Name = "C45";
  Materials[kShaft].Re = 430;
  Materials[kHub].Name = "42CrMo4";
  Materials[kHub].Re = 650;
  DrawingName2[kHub] = "second line";
  DrawMaterialTable(0, 0, 0);
  EXPECT_EQ(DrawnRows(), (Rows{{"", "   1 (shaft)", "   2 (hub)"},
                               {"Drawing name", "shaft", "hub"},
                               {"Drawing number", "1", "2"},
                               {"Drawing name 2", "", "second line"},
                               {"material", "C45", "42CrMo4"},
                               {"Material No.", "1.0503", ""},
                               {"Yield Point Re [MPa]", "   430", "   650"}}));
}

// The first row names the displacement case, outside 1-3 the first one's; permissible pressures
// are the smaller part's.
TEST_F(ResultTables, PressureSafetyTableRowByRow) {
  CalcData.pFs = {{150, 188}};
  DrawPressureSafetyTable(0, 0, 0);
  EXPECT_EQ(DrawnRows(), (Rows{{"STRENGTH acc.to Roloff/Matek", "", "", ""},
                               {"Not displaceable", " f app", "", " 1.00"},
                               {"Application factor", "KA", "", " 1.00"},
                               {"Load factor (Pulsat.load)", "nue Fs", "", " 1.60"},
                               {"Load factor (Alternat.load)", "nue Fw", "", " 4.00"},
                               {"Perm. pressure(Pulsat.load)", "pFs adm", "MPa", " 150"},
                               {"Perm. pressure(alternating)", "pFw adm", "MPa", "  75"},
                               {"Perm. torque (pulsating)", "Ts adm", "Nm", "5603"},
                               {"Perm. torque (alternating)", "Tw adm", "Nm", "2241"}}));
  const std::pair<std::uint16_t, std::string> cases[] = {{1, "Not displaceable"},
                                                         {2, "Unloaded displaceable"},
                                                         {3, "Under load displaceable"},
                                                         {0, "Not displaceable"},
                                                         {4, "Not displaceable"}};
  for (const auto& [displacement, label] : cases) {
    CalcData.DisplacementCase = displacement;
    Recorded.clear();
    DrawPressureSafetyTable(0, 0, 0);
    EXPECT_EQ(DrawnRows().at(1).at(0), label) << displacement;
  }
}

TEST_F(ResultTables, ImperialUnits) {
  UnitSystem = 1;
  DrawStrengthTable(true, 0, 0, 0);
  EXPECT_EQ(RowsWithSymbol("p max"), (Rows{{"pressure", "p max", "psi", "    4853", "    4853"}}));
  EXPECT_EQ(RowsWithSymbol("T"), (Rows{{"torque", "T", "lbfin", "   8851", "   8851"}}));
  Recorded.clear();
  DrawDimensionTable(false, kShaft, 0, 0, 0);
  EXPECT_EQ(RowsWithSymbol("d1"), (Rows{{"Spherical diameter", "d1", "in", "2.3622 k6"}}));
}

TEST_F(ResultTables, GermanLabels) {
  SetCalcTexts(1);
  SetVocabularyLanguage(1);
  DrawStrengthTable(true, 0, 0, 0);
  DrawPressureSafetyTable(200, 0, 0);
  const Rows rows = DrawnRows();
  EXPECT_EQ(rows.at(0).at(0), "FESTIGKEIT DIN 6892 / DIN 32711");
  EXPECT_EQ(rows.at(0).at(5), "FESTIGKEIT nach Roloff/Matek");
  EXPECT_EQ(rows.at(1).at(5), "Nicht verschiebbar");
  EXPECT_EQ(RowsWithSymbol("p max").at(0).at(0), "Fl\204chenpressung");
  Recorded.clear();
  DrawDimensionTable(false, 0, 0, 0, 0);
  EXPECT_EQ(DrawnRows().at(1).at(0), "Gleichdickdurchmesser");
  EXPECT_EQ(RowsWithSymbol("n").at(0).at(0), "Z\204hnezahl");
}

}  // namespace
