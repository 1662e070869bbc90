// Developer program: writes the shipped reference tables p3g.dbf, rkm1base.dbf and kv3wstyp.dbf
// and the print setups printout.dbf through the program's own table engine, so that they are
// exactly what the program reads.
//   make_tables FOLDER
// The header date is fixed, so the same sources always give the same bytes (`make tables`
// rewrites data/, a test compares a fresh run with it). Every sourced value names its source
// beside it; every derived value is computed here, by the formula given with it.
//
// Numbers are kept as whole thousandths (or whole units) and written as text, so no value passes
// through a binary fraction on its way into the table.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/text/numbertext.h"
#include "platform/system/clock.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"

namespace {

using Milli = std::int64_t;  // a length or factor in thousandths

platform::CivilDateTime FixedHeaderDate() {
  platform::CivilDateTime date;
  date.year = 2026;
  date.month = 12;
  date.day = 1;
  date.dayOfWeek = 3;
  return date;
}

dadav::FieldDescriptor Field(const char* name, char type, int length, int decimals = 0) {
  dadav::FieldDescriptor f;
  f.name = name;
  f.type = type;
  f.length = static_cast<std::uint8_t>(length);
  f.decimals = static_cast<std::uint8_t>(decimals);
  return f;
}

std::string Whole(Milli n) {
  return IntText(static_cast<std::int32_t>(n));
}

// Thousandths as a decimal text with the given number of decimals (1 to 3), cut, not rounded:
// the callers pass values that have no more digits.
std::string Decimal(Milli value, int decimals) {
  const bool negative = value < 0;
  Milli magnitude = negative ? -value : value;
  std::string digits = Whole(magnitude / 1000);
  std::string fraction = Whole(1000 + magnitude % 1000).substr(1);
  fraction.resize(static_cast<std::size_t>(decimals));
  return (negative ? "-" : "") + digits + "." + fraction;
}

// Whole units of a value in thousandths, halves to the even neighbour.
Milli RoundHalfEven(Milli thousandths) {
  Milli whole = thousandths / 1000;
  const Milli rest = thousandths % 1000;
  if (rest > 500 || (rest == 500 && whole % 2 != 0)) ++whole;
  return whole;
}

bool Failed() {
  if (dadav::LastErrorCode == 0) return false;
  std::fprintf(stderr, "make_tables: %s\n", dadav::LastErrorMessage.c_str());
  return true;
}

// Creates the table and appends one record per row, each row the stored texts of its fields.
bool WriteTable(const std::string& path, const std::vector<dadav::FieldDescriptor>& fields,
                const std::vector<std::vector<std::string>>& rows) {
  dadav::CreateDBF(path, fields);
  if (Failed()) return false;
  dadav::USE(path + " EXCLUSIVE");
  if (Failed()) return false;
  for (const auto& row : rows) {
    dadav::ClearRecord();
    for (std::size_t i = 0; i < row.size(); ++i) {
      dadav::PutStoredField(static_cast<std::int32_t>(i + 1), row[i]);
    }
    dadav::Append();
    if (Failed()) return false;
  }
  dadav::CloseArea();
  return !Failed();
}

// ------------------------------------------------------------------------------------------
// p3g: the P3G profiles of DIN 32711.
//
// d1 series: the nominal sizes 14 to 100 mm of DIN 32711-1:2009-03, Table 1 "Nominal sizes"
// (the English translation's contents list names the table; its rows could not be opened here).
// The series below is the one P3G catalogues repeat; NOT CONFIRMED against a reproduction of
// the table itself.
//
// e1: NOT CONFIRMED. No public reproduction of the table's eccentricities could be consulted.
// Until one is, e1 follows the ratio of the standard's worked example d1 60 / e1 2.25
// (e1 = 0.0375 d1, to 0.01 mm, halves to even), which keeps that example row exact and every
// row well inside e1 <= d1/16. Replace these values when the table is at hand.
//
// Derived (the program's own geometry rules):
//   d2 = d1 + 2 e1, d3 = d1 - 2 e1;
//   r1 = d1/2 + 6.5 e1, r2 = d1/2 - 6.5 e1;
//   d6pre = d3 - 0.3 / 0.4 / 0.5 mm as d3 rounded (halves to even) is below 23, below 50, or
//           not (the relief-diameter rule of the calculation, with the hub's d6 = d3);
//   d7 = 1.2 r2 rounded to whole mm, halves to even (the calculation's proposal).
const int kNominalSizes[] = {14, 16, 18, 20, 22, 25, 28, 30, 32, 35, 40, 45,
                             50, 55, 60, 65, 70, 75, 80, 85, 90, 95, 100};

Milli EccentricityFor(int d1) {
  const Milli tenThousandths = Milli{375} * d1;  // 0.0375 d1 in 1/10000 mm
  Milli hundredths = tenThousandths / 100;
  const Milli rest = tenThousandths % 100;
  if (rest > 50 || (rest == 50 && hundredths % 2 != 0)) ++hundredths;
  return hundredths * 10;
}

Milli ReliefDiameter(Milli d3) {
  const Milli whole = RoundHalfEven(d3);
  if (whole < 23) return d3 - 300;
  if (whole < 50) return d3 - 400;
  return d3 - 500;
}

std::vector<std::vector<std::string>> P3gRows() {
  std::vector<std::vector<std::string>> rows;
  for (int size : kNominalSizes) {
    const Milli d1 = Milli{size} * 1000;
    const Milli e1 = EccentricityFor(size);
    const Milli d3 = d1 - 2 * e1;
    const Milli r2 = d1 / 2 - 13 * e1 / 2;
    const Milli d7 = RoundHalfEven(r2 * 6 / 5) * 1000;
    rows.push_back({Decimal(d1, 3), Decimal(d1 + 2 * e1, 3), Decimal(d3, 3), Decimal(e1, 3),
                    Decimal(ReliefDiameter(d3), 3), Decimal(d7, 3),
                    Decimal(d1 / 2 + 13 * e1 / 2, 3), Decimal(r2, 3)});
  }
  return rows;
}

// ------------------------------------------------------------------------------------------
// kv3wstyp: support factor fS and hardness factor fH per material type, DIN 6892:2012-08
// method C (p_zul = fS fH Re), as reproduced in Roloff/Matek, Maschinenelemente, chapter 12
// (parallel keys) and its table book TB 12-2:
//   fS: 1.0 for the key; 1.2 for a shaft; 1.5 for a hub of steel, cast steel or spheroidal
//       iron; 2.0 for a hub of grey iron (used with Rm, grey iron having no yield point);
//   fH: 1.15 for surface-hardened parts, 1.0 otherwise.
// Aluminium is not covered by DIN 6892: its type holds 1.00 throughout, so the allowable
// pressure is Re itself.
struct MaterialType {
  int number;
  const char* name;
  Milli fsKey, fhKey, fsShaft, fhShaft, fsHub, fhHub;
};

const MaterialType kTypes[] = {
    {1, "Steel", 1000, 1000, 1200, 1000, 1500, 1000},
    {2, "Steel, surface-hardened", 1000, 1150, 1200, 1150, 1500, 1150},
    {3, "Cast steel", 1000, 1000, 1200, 1000, 1500, 1000},
    {4, "Grey cast iron", 1000, 1000, 1200, 1000, 2000, 1000},
    {5, "Spheroidal graphite cast iron", 1000, 1000, 1200, 1000, 1500, 1000},
    {6, "Aluminium alloy", 1000, 1000, 1000, 1000, 1000, 1000},  // not covered: 1.00
};

std::vector<std::vector<std::string>> TypeRows() {
  std::vector<std::vector<std::string>> rows;
  for (const MaterialType& t : kTypes) {
    rows.push_back({IntTextBlank(t.number, 2), t.name, Decimal(t.fsKey, 2), Decimal(t.fhKey, 2),
                    Decimal(t.fsShaft, 2), Decimal(t.fhShaft, 2), Decimal(t.fsHub, 2),
                    Decimal(t.fhHub, 2)});
  }
  return rows;
}

// ------------------------------------------------------------------------------------------
// rkm1base: materials. Rm and Re are the minimum values of the smallest thickness or diameter
// range of the standard named in STANDARD, with the condition in REMARK; grey iron has no
// yield point (Re 0). G is derived: G = E / (2 (1 + nu)), rounded to whole N/mm^2.
//
// Physical constants:
//   steels: E 210000 N/mm^2, nu 0.3, alpha 12e-6/K from EN 1993-1-1:2005, 3.2.6; density
//           7.85 kg/dm^3 from EN 1991-1-1:2002, Table A.4;
//   grey iron: E (lower end of the range), nu 0.26, density and alpha (20-200 C) from
//           EN 1561:2011, Annex (informative) table of properties;
//   spheroidal iron: E, nu 0.275, density and alpha from EN 1563:2011, Annex (informative);
//   aluminium: E 70000 N/mm^2, nu 0.3, density 2.7 kg/dm^3 and alpha 23e-6/K, the values
//           EN 1999-1-1:2007, 3.2.5 gives for its wrought alloys; 7075 is not among them, so
//           its row carries the same general values.
// Strengths:
//   EN 10025-2:2004, Table 7 (Rm for t < 3 mm, ReH for t <= 16 mm), as rolled;
//   EN 10083-2:2006, Table 6 and EN 10083-3:2006, Table 5, quenched and tempered, d <= 16 mm;
//   case-hardening steels: EN 10084 gives no strengths; the values are those of the former
//           DIN 17210:1986, Table 6, blank-hardened, 11 mm, as reproduced in Roloff/Matek TB 1-1;
//   EN 1561:2011, Table 1 (separately cast samples) and EN 1563:2011, Table 3 (t <= 30 mm);
//   EN 755-2:2008, extruded rod, T6, D <= 20 mm (6082) and D <= 25 mm (7075).
// These values were taken from the standards as textbooks reproduce them; they were not
// re-checked against an online reproduction in this program's making.
struct Material {
  const char* ident;
  const char* name;
  const char* name2;
  int type;
  int rm, re, e;
  Milli density;  // kg/dm^3, thousandths
  Milli alpha;    // 1e-6/K, thousandths (one decimal stored)
  Milli poisson;  // thousandths
  const char* standard;
  const char* remark;
};

const Material kMaterials[] = {
    {"1.0038", "S235JR", "St 37-2", 1, 360, 235, 210000, 7850, 12000, 300, "EN 10025-2",
     "as rolled; Rm t<3, ReH t<=16"},
    {"1.0044", "S275JR", "St 44-2", 1, 430, 275, 210000, 7850, 12000, 300, "EN 10025-2",
     "as rolled; Rm t<3, ReH t<=16"},
    {"1.0577", "S355J2", "St 52-3 N", 1, 510, 355, 210000, 7850, 12000, 300, "EN 10025-2",
     "as rolled; Rm t<3, ReH t<=16"},
    {"1.0050", "E295", "St 50-2", 1, 490, 295, 210000, 7850, 12000, 300, "EN 10025-2",
     "as rolled; Rm t<3, ReH t<=16"},
    {"1.0070", "E360", "St 70-2", 1, 690, 360, 210000, 7850, 12000, 300, "EN 10025-2",
     "as rolled; Rm t<3, ReH t<=16"},
    {"1.0503", "C45", "C 45", 1, 700, 490, 210000, 7850, 12000, 300, "EN 10083-2",
     "quenched+tempered, d<=16"},
    {"1.7225", "42CrMo4", "42 CrMo 4", 1, 1100, 900, 210000, 7850, 12000, 300, "EN 10083-3",
     "quenched+tempered, d<=16"},
    {"1.6582", "34CrNiMo6", "34 CrNiMo 6", 1, 1200, 1000, 210000, 7850, 12000, 300, "EN 10083-3",
     "quenched+tempered, d<=16"},
    {"1.7131", "16MnCr5", "16 MnCr 5", 2, 880, 635, 210000, 7850, 12000, 300, "EN 10084",
     "blank-hardened 11mm, DIN 17210"},
    {"1.7147", "20MnCr5", "20 MnCr 5", 2, 1080, 735, 210000, 7850, 12000, 300, "EN 10084",
     "blank-hardened 11mm, DIN 17210"},
    {"0.6020", "EN-GJL-200", "GG-20", 4, 200, 0, 88000, 7150, 11700, 260, "EN 1561",
     "separately cast; no yield pt."},
    {"0.6025", "EN-GJL-250", "GG-25", 4, 250, 0, 103000, 7200, 11700, 260, "EN 1561",
     "separately cast; no yield pt."},
    {"0.7040", "EN-GJS-400-15", "GGG-40", 5, 400, 250, 169000, 7100, 12500, 275, "EN 1563",
     "cast samples, t<=30; Re=Rp0.2"},
    {"0.7060", "EN-GJS-600-3", "GGG-60", 5, 600, 370, 174000, 7200, 12500, 275, "EN 1563",
     "cast samples, t<=30; Re=Rp0.2"},
    {"3.2315", "EN AW-6082 T6", "AlMgSi1 F31", 6, 295, 250, 70000, 2700, 23000, 300, "EN 755-2",
     "extruded rod T6, D<=20; Rp0.2"},
    {"3.4365", "EN AW-7075 T6", "AlZnMgCu1,5 F53", 6, 540, 480, 70000, 2700, 23000, 300, "EN 755-2",
     "extruded rod T6, D<=25; Rp0.2"},
};

// G = E / (2 (1 + nu)) with nu in thousandths: E * 1000 / (2 (1000 + nu)), halves to even.
Milli ShearModulus(int e, Milli poisson) {
  const Milli numerator = Milli{e} * 1000 * 1000;
  const Milli denominator = 2 * (1000 + poisson);
  return RoundHalfEven(numerator / denominator);
}

std::vector<std::vector<std::string>> MaterialRows() {
  std::vector<std::vector<std::string>> rows;
  for (const Material& m : kMaterials) {
    rows.push_back({m.ident, m.name, m.name2, Whole(m.type), Whole(m.rm), Whole(m.re), Whole(m.e),
                    Decimal(m.density, 3), Decimal(m.alpha, 1), Decimal(m.poisson, 3),
                    Whole(ShearModulus(m.e, m.poisson)), m.standard, m.remark});
  }
  return rows;
}

// ------------------------------------------------------------------------------------------
// printout: the print setups offered with the program.
//
// The printout keeps the drawing's proportions whatever the window's shape, x and y alike, and
// the top left corner of the window's visible part lies at the origin, in millimetres from the
// page's top left corner. On a sheet (A4, A3) a millimetre of the drawing is the scale's
// millimetres of paper; any other drawing is fitted to the page and the scale is the share of
// the largest size at which its window lies on the page. The setups are for ISO A4 paper,
// 210 x 297 mm.
// - A4 sheet: scale 1. Its window reaches 5 mm left of the trim and 10 mm above it (x from -5,
//   y up to 307), so origin -5, -10 puts the trim on the page's edges.
// - A3 sheet (420 x 297 mm) on A4 across: scale 0.7 gives 294 x 207.9 mm. Its window starts
//   2 mm left of the trim and ends 8 mm above it, 1.4 and 5.6 mm at that scale: origin -1, -5
//   puts the trim 0.4 mm right of the page's left edge and 0.6 mm below its top edge.
// - The window: 0.95 of the size that fills the page, from origin 5, 5, leaves at least 5 mm
//   free on every side (the quick sheets, 160 x 120 mm, print 266 x 199.5 mm across and
//   199.5 x 149.6 mm upright; a profile view of 172 x 138 mm 248.7 x 199.5 mm across).
// The sheet setups print monochrome and fit the window to the drawing first; "fit" also does so
// for the whole window with a border line.
std::vector<std::vector<std::string>> PrintoutRows() {
  return {
      {"A4 sheet portrait", "1.0000", "1.0000", "-5", "-10", "F", "T", "T", "F"},
      {"A3 sheet landscape", "0.7000", "0.7000", "-1", "-5", "T", "T", "T", "F"},
      {"Window landscape", "0.9500", "0.9500", "5", "5", "T", "F", "F", "F"},
      {"Window landscape fit", "0.9500", "0.9500", "5", "5", "T", "F", "T", "T"},
      {"Window portrait", "0.9500", "0.9500", "5", "5", "F", "F", "F", "F"},
  };
}

bool WriteAll(const std::string& folder) {
  using dadav::FieldDescriptor;
  std::vector<FieldDescriptor> p3g;
  for (const char* name : {"D1", "D2", "D3", "E1", "D6PRE", "D7", "R1", "R2"}) {
    p3g.push_back(Field(name, 'N', 8, 3));
  }
  const std::vector<FieldDescriptor> materials = {
      Field("IDENT", 'C', 9),      Field("NAME", 'C', 18),      Field("NAME2", 'C', 18),
      Field("TYPENO", 'N', 2),     Field("RM", 'N', 5),         Field("RE", 'N', 5),
      Field("E", 'N', 6),          Field("DENSITY", 'N', 6, 3), Field("ALPHA", 'N', 5, 1),
      Field("POISSON", 'N', 5, 3), Field("G", 'N', 6),          Field("STANDARD", 'C', 16),
      Field("REMARK", 'C', 30)};
  std::vector<FieldDescriptor> types = {Field("TYPENO", 'C', 2), Field("NAME", 'C', 30)};
  for (const char* name : {"FS_KEY", "FH_KEY", "FS_SHAFT", "FH_SHAFT", "FS_HUB", "FH_HUB"}) {
    types.push_back(Field(name, 'N', 5, 2));
  }
  const std::vector<FieldDescriptor> printout = {
      Field("NAME", 'C', 25),     Field("XSCALE", 'N', 10, 4), Field("YSCALE", 'N', 10, 4),
      Field("XORIGIN", 'N', 6),   Field("YORIGIN", 'N', 6),    Field("LANDSCAPE", 'L', 1),
      Field("MONOCHROM", 'L', 1), Field("VARIABLE", 'L', 1),   Field("BORDERLINE", 'L', 1)};
  return WriteTable(folder + "/p3g.dbf", p3g, P3gRows()) &&
         WriteTable(folder + "/printout.dbf", printout, PrintoutRows()) &&
         WriteTable(folder + "/rkm1base.dbf", materials, MaterialRows()) &&
         WriteTable(folder + "/kv3wstyp.dbf", types, TypeRows());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_tables FOLDER\n");
    return 2;
  }
  dadav::EngineStart();
  dadav::SetReportErrors(false);
  dadav::SetTodayProc(FixedHeaderDate);
  return WriteAll(argv[1]) ? 0 : 1;
}
