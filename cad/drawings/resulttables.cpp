#include "cad/drawings/resulttables.h"

#include <string>

#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "base/text/utilmath.h"
#include "cad/drawings/cadtable.h"
#include "cad/layer/cadprim.h"
#include "calc/calctexts.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

constexpr std::int32_t kTableLayer = 4;
constexpr long double kDefaultHeight = 3.5L;
// A safety factor this large means the load is negligible; its row is left out.
constexpr long double kSafetyShownBelow = 1000;

long double Height(long double h) {
  return h == 0 ? kDefaultHeight : h;
}

std::string Stress(long double x) {
  return StressTextFixed(6, 0, x);
}
std::string Factor(long double x) {
  return RealTextFixed(4, 2, x);
}
std::string Torque(long double x) {
  return RealTextWidth(7, TorqueValue(x));
}
// A result's text; blank while the record holds no results.
std::string Result(const std::string& text) {
  return HasResults() ? text : std::string();
}

bool BothBelow(const PartPair<long double>& values, long double limit) {
  return values[kShaft] < limit && values[kHub] < limit;
}

// The label of the pressure check's first row names the displacement case; outside 1-3 it is
// the first case's.
const std::string& DisplacementLabel() {
  const std::uint16_t c = CalcData.DisplacementCase;
  return CalcTexts[3 + (c >= 1 && c <= 3 ? c : 1)];
}

void AddLengthRow(TableRows& rows, const std::string& label, const std::string& symbol,
                  const std::string& value) {
  rows.push_back({label, symbol, LengthUnitLabel(), value});
}

void AddShaftRows(TableRows& rows, bool short_form) {
  const kv6record& r = CalcData;
  AddLengthRow(rows, CalcTexts[8], "d1", LengthText(r.d1) + " " + r.TolShaft);
  AddLengthRow(rows, CalcTexts[9], "d2", LengthText(r.d2));
  AddLengthRow(rows, CalcTexts[10], "d3", LengthText(r.d3));
  AddLengthRow(rows, CalcTexts[11], "e1", LengthText(r.e1) + " js4");
  if (!short_form) AddLengthRow(rows, VocLength, "L1", LengthText(r.l1));
}

void AddHubRows(TableRows& rows, bool short_form) {
  const kv6record& r = CalcData;
  AddLengthRow(rows, CalcTexts[8], "d4", LengthText(r.d4) + " H7");
  AddLengthRow(rows, CalcTexts[9], "d5", LengthText(r.d5));
  AddLengthRow(rows, CalcTexts[10], "d6", LengthText(r.d6));
  if (!short_form) {
    AddLengthRow(rows, CalcTexts[12], "d6pre", LengthText(r.d6pre) + " H8");
    AddLengthRow(rows, CalcTexts[13], "d7", LengthText(r.d7) + " max");
  }
  // The hub's eccentricity e2 equals the shaft's.
  AddLengthRow(rows, CalcTexts[11], "e2", LengthText(r.e1) + " JS4");
  if (!short_form) AddLengthRow(rows, VocLength, "L2", LengthText(r.l2));
}

void AddSectionRows(TableRows& rows) {
  const kv6record& r = CalcData;
  AddLengthRow(rows, CalcTexts[8], "d", LengthText(r.d1));
  AddLengthRow(rows, CalcTexts[9], "de", LengthText(r.d2));
  AddLengthRow(rows, CalcTexts[10], "di", LengthText(r.d3));
  AddLengthRow(rows, CalcTexts[11], "e", LengthText(r.e1));
  AddLengthRow(rows, CalcTexts[11] + " max", "e lim", Result(LengthText(r.elim)));
  rows.push_back({CalcTexts[18], "A", AreaUnitLabel(), Result(AreaText(r.A))});
  rows.push_back({CalcTexts[17], "Ip", InertiaUnitLabel(), Result(InertiaText(r.Ip))});
  rows.push_back({CalcTexts[14], "Wp", VolumeUnitLabel(), Result(VolumeText(r.Wp))});
  rows.push_back({CalcTexts[14], "Wpd1", VolumeUnitLabel(), Result(VolumeText(r.Wpd1))});
  rows.push_back({CalcTexts[16], "Wx ", VolumeUnitLabel(), Result(VolumeText(r.Wx))});
  AddLengthRow(rows, CalcTexts[42] + " theor.", "r1", LengthText(r.r1));
  AddLengthRow(rows, CalcTexts[42] + " theor.", "r2", LengthText(r.r2));
  AddLengthRow(rows, VocLength + " eff", "L eff", LengthText(r.l));
  rows.push_back({VocNumberOfTeeth, "n", "", "3"});
  AddLengthRow(rows, VocToothHeight, "h", Result(LengthText(r.hmin)));
}

// Label, symbol, unit, the shaft's and the hub's value.
void AddPartsRow(TableRows& rows, const std::string& label, const std::string& symbol,
                 const std::string& unit, const std::string& shaft, const std::string& hub) {
  rows.push_back({label, symbol, unit, shaft, hub});
}

void AddBothRow(TableRows& rows, const std::string& label, const std::string& symbol,
                const std::string& unit, const std::string& value) {
  rows.push_back({label, symbol, unit, value, value});
}

void AddStressRow(TableRows& rows, const std::string& label, const std::string& symbol,
                  const PartPair<long double>& values) {
  AddPartsRow(rows, label, symbol, StressUnitLabel(), Stress(values[kShaft]), Stress(values[kHub]));
}

void AddResultStressRow(TableRows& rows, const std::string& label, const std::string& symbol,
                        const PartPair<long double>& values) {
  AddPartsRow(rows, label, symbol, StressUnitLabel(), Result(Stress(values[kShaft])),
              Result(Stress(values[kHub])));
}

void AddMaterialRow(TableRows& rows) {
  const bool numbered = !Materials[kShaft].Ident.empty();
  const RKM1BASE_Record& shaft = Materials[kShaft];
  const RKM1BASE_Record& hub = Materials[kHub];
  AddPartsRow(rows, VocMaterial, "", "", numbered ? shaft.Ident : shaft.Name,
              numbered ? hub.Ident : hub.Name);
}

void AddLoadRows(TableRows& rows) {
  const kv6record& r = CalcData;
  AddBothRow(rows, VocTorque, "T", TorqueUnitLabel(), Torque(r.T));
  AddBothRow(rows, VocBendingMoment, "Mb", TorqueUnitLabel(), Torque(r.Mb));
  AddBothRow(rows, VocApplicationFactor, "KA", "", Factor(r.KA));
  AddPartsRow(rows, VocYieldPoint, "Re", StressUnitLabel(), Stress(Materials[kShaft].Re),
              Stress(Materials[kHub].Re));
  AddPartsRow(rows, VocSupportFactor, "fS", "", RealTextFixed(3, 2, PartFS[kShaft]),
              RealTextFixed(3, 2, PartFS[kHub]));
  AddPartsRow(rows, VocHardnessFactor, "fH", "", RealTextFixed(3, 2, PartFH[kShaft]),
              RealTextFixed(3, 2, PartFH[kHub]));
  AddStressRow(rows, "pzul = Re*fS*fH", "p" + VocAdm, PartPzul);
  AddBothRow(rows, VocAlternatingLoadFactor, "fW", "", Factor(r.fW));
  AddBothRow(rows, VocApplicationFactor, "f app", "", Result(Factor(r.fapp)));
  AddResultStressRow(rows, "Sigma zul = Re * fW", "Sig.zul", r.fWRe);
  AddResultStressRow(rows, "pa zul = pzul*fW*fapp", "pa zul", r.pa);
  AddBothRow(rows, VocPressure, "p max", StressUnitLabel(), Result(Stress(r.p)));
}

void AddStressDetailRows(TableRows& rows) {
  const kv6record& r = CalcData;
  AddPartsRow(rows, "Min." + VocWallThickness, "s min", LengthUnitLabel(), "",
              Result(LengthTextFixed(5, 1, r.smin[kHub])));
  AddPartsRow(rows, VocWallThickness, "s", LengthUnitLabel(), "",
              Result(LengthTextFixed(5, 1, r.s[kHub])));
  AddResultStressRow(rows, VocShearStress, "tau max", r.tau);
  AddResultStressRow(rows, VocBendingStress, "s.bmax", r.sigmab);
  AddResultStressRow(rows, VocEquivalentStress, "s.vmax", r.sigmav);
}

bool ShowsPressureSafety() {
  return BothBelow(CalcData.Sp, kSafetyShownBelow);
}
bool ShowsStressSafety() {
  return BothBelow(CalcData.Se, kSafetyShownBelow);
}

void AddSafetyRows(TableRows& rows) {
  const kv6record& r = CalcData;
  if (ShowsPressureSafety()) {
    AddPartsRow(rows, "S = pazul / pmax", "S p", "", Result(Factor(r.Sp[kShaft])),
                Result(Factor(r.Sp[kHub])));
  }
  if (ShowsStressSafety()) {
    AddPartsRow(rows, "S = Sig.zul / Sig.vmax", "S e", "", Result(Factor(r.Se[kShaft])),
                Result(Factor(r.Se[kHub])));
  }
  AddPartsRow(rows, "S = s wall / s min", "S w", "", "", Result(Factor(r.sRatio[kHub])));
}

// A table's columns, headings and rows, gathered before it is drawn so that every column can
// be as wide as its longest text.
struct TableSpec {
  TableWidths least;
  TableTexts headings;
  TableRows rows;
};

TableSpec DimensionTable(bool short_form, std::int32_t part) {
  const bool profile = part == kShaft || part == kHub;
  TableSpec table{{23, 5, 5, 7}, {profile ? CalcData.Designation[part] : "P3G"}, {}};
  if (part == kShaft) {
    AddShaftRows(table.rows, short_form);
  } else if (part == kHub) {
    AddHubRows(table.rows, short_form);
  } else {
    AddSectionRows(table.rows);
  }
  return table;
}

TableSpec StrengthTable(bool detailed) {
  TableSpec table{{8, 6, 5, 7, 7},
                  {VocStrengthHeading + " DIN 6892 / DIN 32711", "", "", "    1", "    2"},
                  {}};
  if (!detailed) AddMaterialRow(table.rows);
  AddLoadRows(table.rows);
  if (detailed) AddStressDetailRows(table.rows);
  AddSafetyRows(table.rows);
  return table;
}

TableSpec MaterialTable() {
  TableSpec table{{28, 27, 27}, {"", "   1 (" + VocShaft + ")", "   2 (" + VocHub + ")"}, {}};
  TableRows& rows = table.rows;
  rows.push_back({VocDrawingName, DrawingName[kShaft], DrawingName[kHub]});
  rows.push_back({VocDrawingNumber, DrawingNo[kShaft], DrawingNo[kHub]});
  rows.push_back({VocDrawingName + " 2", DrawingName2[kShaft], DrawingName2[kHub]});
  rows.push_back({VocMaterial, Materials[kShaft].Name, Materials[kHub].Name});
  rows.push_back({VocMaterial + " No.", Materials[kShaft].Ident, Materials[kHub].Ident});
  rows.push_back({VocYieldPoint + " Re [" + StressUnitLabel() + "]", Stress(Materials[kShaft].Re),
                  Stress(Materials[kHub].Re)});
  return table;
}

TableSpec PressureSafetyTable() {
  const kv6record& r = CalcData;
  const std::string adm = VocAdm;
  TableSpec table{{25, 7, 4, 5}, {VocStrengthHeading + " " + VocAccordingTo + " Roloff/Matek"}, {}};
  TableRows& rows = table.rows;
  rows.push_back({DisplacementLabel(), " f app", "", Result(RealTextFixed(2, 2, r.fapp))});
  rows.push_back({VocApplicationFactor, "KA", "", RealTextFixed(2, 2, r.KA)});
  rows.push_back({VocLoadFactor + " (" + VocPulsatingLoad + ")", "nue Fs", "",
                  Result(RealTextFixed(2, 2, r.nueFs))});
  rows.push_back({VocLoadFactor + " (" + VocAlternatingLoad + ")", "nue Fw", "",
                  Result(RealTextFixed(2, 2, r.nueFw))});
  rows.push_back({VocPermPressure + "(" + VocPulsatingLoad + ")", "pFs " + adm, StressUnitLabel(),
                  Result(StressTextFixed(4, 0, MinReal(r.pFs[kShaft], r.pFs[kHub])))});
  rows.push_back({VocPermPressure + "(" + VocAlternating + ")", "pFw " + adm, StressUnitLabel(),
                  Result(StressTextFixed(4, 0, MinReal(r.pFw[kShaft], r.pFw[kHub])))});
  rows.push_back({VocPermTorque + " (" + VocPulsating + ")", "Ts " + adm, TorqueUnitLabel(),
                  Result(TorqueTextFixed(4, 0, r.Ts))});
  rows.push_back({VocPermTorque + " (" + VocAlternating + ")", "Tw " + adm, TorqueUnitLabel(),
                  Result(TorqueTextFixed(4, 0, r.Tw))});
  return table;
}

void Draw(const TableSpec& table, long double x, long double y, long double h) {
  cad_layer(kTableLayer);
  DrawTextTable(x, y, Height(h), table.least, table.headings, table.rows);
}

long double Width(const TableSpec& table, long double h) {
  return TableWidth(WidthsToFit(table.least, table.headings, table.rows), Height(h));
}

}  // namespace

void DrawDimensionTable(bool short_form, std::int32_t part, long double x, long double y,
                        long double h) {
  Draw(DimensionTable(short_form, part), x, y, h);
}

long double DimensionTableWidth(bool short_form, std::int32_t part, long double h) {
  return Width(DimensionTable(short_form, part), h);
}

void DrawStrengthTable(bool detailed, long double x, long double y, long double h) {
  Draw(StrengthTable(detailed), x, y, h);
}

long double StrengthTableWidth(bool detailed, long double h) {
  return Width(StrengthTable(detailed), h);
}

long double StrengthTableHeight(bool detailed, long double h) {
  const auto rows = static_cast<std::int32_t>(StrengthTable(detailed).rows.size());
  return TableHeight(1 + rows, Height(h));
}

void DrawMaterialTable(long double x, long double y, long double h) {
  Draw(MaterialTable(), x, y, h);
}

long double MaterialTableWidth(long double h) {
  return Width(MaterialTable(), h);
}

void DrawPressureSafetyTable(long double x, long double y, long double h) {
  Draw(PressureSafetyTable(), x, y, h);
}

long double PressureSafetyTableWidth(long double h) {
  return Width(PressureSafetyTable(), h);
}
