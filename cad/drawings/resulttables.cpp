#include "cad/drawings/resulttables.h"

#include <string>

#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "base/text/utilmath.h"
#include "cad/drawings/cadtable.h"
#include "cad/layer/cadprim.h"
#include "calc/calctexts.h"
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

bool BothBelow(const PartPair<long double>& values, long double limit) {
  return values[kShaft] < limit && values[kHub] < limit;
}

// The label of the pressure check's first row names the displacement case; outside 1-3 it is
// the first case's.
const std::string& DisplacementLabel() {
  const std::uint16_t c = CalcData.DisplacementCase;
  return CalcTexts[3 + (c >= 1 && c <= 3 ? c : 1)];
}

void AddLengthRow(TAusTabelle& table, const std::string& label, const std::string& symbol,
                  const std::string& value) {
  table.AddRow4(label, symbol, LengthUnitLabel(), value);
}

void AddShaftRows(TAusTabelle& table, bool short_form) {
  const kv6record& r = CalcData;
  AddLengthRow(table, CalcTexts[8], "d1", LengthText(r.d1) + " " + r.TolShaft);
  AddLengthRow(table, CalcTexts[9], "d2", LengthText(r.d2));
  AddLengthRow(table, CalcTexts[10], "d3", LengthText(r.d3));
  AddLengthRow(table, CalcTexts[11], "e1", LengthText(r.e1) + " js4");
  if (!short_form) AddLengthRow(table, VocLength, "L1", LengthText(r.l1));
}

void AddHubRows(TAusTabelle& table, bool short_form) {
  const kv6record& r = CalcData;
  AddLengthRow(table, CalcTexts[8], "d4", LengthText(r.d4) + " H7");
  AddLengthRow(table, CalcTexts[9], "d5", LengthText(r.d5));
  AddLengthRow(table, CalcTexts[10], "d6", LengthText(r.d6));
  if (!short_form) {
    AddLengthRow(table, CalcTexts[12], "d6pre", LengthText(r.d6pre) + " H8");
    AddLengthRow(table, CalcTexts[13], "d7", LengthText(r.d7) + " max");
  }
  // The hub's eccentricity e2 equals the shaft's.
  AddLengthRow(table, CalcTexts[11], "e2", LengthText(r.e1) + " JS4");
  if (!short_form) AddLengthRow(table, VocLength, "L2", LengthText(r.l2));
}

void AddSectionRows(TAusTabelle& table) {
  const kv6record& r = CalcData;
  AddLengthRow(table, CalcTexts[8], "d", LengthText(r.d1));
  AddLengthRow(table, CalcTexts[9], "de", LengthText(r.d2));
  AddLengthRow(table, CalcTexts[10], "di", LengthText(r.d3));
  AddLengthRow(table, CalcTexts[11], "e", LengthText(r.e1));
  AddLengthRow(table, CalcTexts[11] + " max", "e lim", LengthText(r.elim));
  table.AddRow4(CalcTexts[18], "A", AreaUnitLabel(), AreaText(r.A));
  table.AddRow4(CalcTexts[17], "Ip", InertiaUnitLabel(), InertiaText(r.Ip));
  table.AddRow4(CalcTexts[14], "Wp", VolumeUnitLabel(), VolumeText(r.Wp));
  table.AddRow4(CalcTexts[14], "Wpd1", VolumeUnitLabel(), VolumeText(r.Wpd1));
  table.AddRow4(CalcTexts[16], "Wx ", VolumeUnitLabel(), VolumeText(r.Wx));
  AddLengthRow(table, CalcTexts[42] + " theor.", "r1", LengthText(r.r1));
  AddLengthRow(table, CalcTexts[42] + " theor.", "r2", LengthText(r.r2));
  AddLengthRow(table, VocLength + " eff", "L eff", LengthText(r.l));
  table.AddRow4(VocNumberOfTeeth, "n", "", "3");
  AddLengthRow(table, VocToothHeight, "h", LengthText(r.hmin));
}

// Label, symbol, unit, the shaft's and the hub's value.
void AddPartsRow(TAusTabelle& table, const std::string& label, const std::string& symbol,
                 const std::string& unit, const std::string& shaft, const std::string& hub) {
  table.AddRow5(label, symbol, unit, shaft, hub);
}

void AddBothRow(TAusTabelle& table, const std::string& label, const std::string& symbol,
                const std::string& unit, const std::string& value) {
  table.AddRow5(label, symbol, unit, value, value);
}

void AddStressRow(TAusTabelle& table, const std::string& label, const std::string& symbol,
                  const PartPair<long double>& values) {
  AddPartsRow(table, label, symbol, StressUnitLabel(), Stress(values[kShaft]),
              Stress(values[kHub]));
}

void AddMaterialRow(TAusTabelle& table) {
  const bool numbered = !Materials[kShaft].Ident.empty();
  const RKM1BASE_Record& shaft = Materials[kShaft];
  const RKM1BASE_Record& hub = Materials[kHub];
  AddPartsRow(table, VocMaterial, "", "", numbered ? shaft.Ident : shaft.Name,
              numbered ? hub.Ident : hub.Name);
}

void AddLoadRows(TAusTabelle& table) {
  const kv6record& r = CalcData;
  AddBothRow(table, VocTorque, "T", TorqueUnitLabel(), Torque(r.T));
  AddBothRow(table, VocBendingMoment, "Mb", TorqueUnitLabel(), Torque(r.Mb));
  AddBothRow(table, VocApplicationFactor, "KA", "", Factor(r.KA));
  AddPartsRow(table, VocYieldPoint, "Re", StressUnitLabel(), Stress(Materials[kShaft].Re),
              Stress(Materials[kHub].Re));
  AddPartsRow(table, VocSupportFactor, "fS", "", RealTextFixed(3, 2, PartFS[kShaft]),
              RealTextFixed(3, 2, PartFS[kHub]));
  AddPartsRow(table, VocHardnessFactor, "fH", "", RealTextFixed(3, 2, PartFH[kShaft]),
              RealTextFixed(3, 2, PartFH[kHub]));
  AddStressRow(table, "pzul = Re*fS*fH", "p" + VocAdm, PartPzul);
  AddBothRow(table, VocAlternatingLoadFactor, "fW", "", Factor(r.fW));
  AddBothRow(table, VocApplicationFactor, "f app", "", Factor(r.fapp));
  AddStressRow(table, "Sigma zul = Re * fW", "Sig.zul", r.fWRe);
  AddStressRow(table, "pa zul = pzul*fW*fapp", "pa zul", r.pa);
  AddBothRow(table, VocPressure, "p max", StressUnitLabel(), Stress(r.p));
}

void AddStressDetailRows(TAusTabelle& table) {
  const kv6record& r = CalcData;
  AddPartsRow(table, "Min." + VocWallThickness, "s min", LengthUnitLabel(), "",
              LengthTextFixed(5, 1, r.smin[kHub]));
  AddPartsRow(table, VocWallThickness, "s", LengthUnitLabel(), "",
              LengthTextFixed(5, 1, r.s[kHub]));
  AddStressRow(table, VocShearStress, "tau max", r.tau);
  AddStressRow(table, VocBendingStress, "s.bmax", r.sigmab);
  AddStressRow(table, VocEquivalentStress, "s.vmax", r.sigmav);
}

bool ShowsPressureSafety() {
  return BothBelow(CalcData.Sp, kSafetyShownBelow);
}
bool ShowsStressSafety() {
  return BothBelow(CalcData.Se, kSafetyShownBelow);
}

void AddSafetyRows(TAusTabelle& table) {
  const kv6record& r = CalcData;
  if (ShowsPressureSafety()) {
    AddPartsRow(table, "S = pazul / pmax", "S p", "", Factor(r.Sp[kShaft]), Factor(r.Sp[kHub]));
  }
  if (ShowsStressSafety()) {
    AddPartsRow(table, "S = Sig.zul / Sig.vmax", "S e", "", Factor(r.Se[kShaft]),
                Factor(r.Se[kHub]));
  }
  AddPartsRow(table, "S = s wall / s min", "S w", "", "", Factor(r.sRatio[kHub]));
}

}  // namespace

void DrawDimensionTable(bool short_form, std::int32_t part, long double x, long double y,
                        long double h) {
  cad_layer(kTableLayer);
  const bool profile = part == kShaft || part == kHub;
  TAusTabelle table(x, y, Height(h), {23, 5, 5, 7}, {profile ? CalcData.Designation[part] : "P3G"});
  if (part == kShaft) {
    AddShaftRows(table, short_form);
  } else if (part == kHub) {
    AddHubRows(table, short_form);
  } else {
    AddSectionRows(table);
  }
}

void DrawStrengthTable(bool detailed, long double x, long double y, long double h) {
  cad_layer(kTableLayer);
  TAusTabelle table(x, y, Height(h), {8, 6, 5, 7, 7},
                    {VocStrengthHeading + " DIN 6892 / DIN 32711", "", "", "    1", "    2"});
  if (!detailed) AddMaterialRow(table);
  AddLoadRows(table);
  if (detailed) AddStressDetailRows(table);
  AddSafetyRows(table);
}

long double StrengthTableHeight(bool detailed, long double h) {
  constexpr int kLoadRows = 12;
  constexpr int kStressDetailRows = 5;
  const int rows = 1 + (detailed ? kStressDetailRows : 1) + kLoadRows + ShowsPressureSafety() +
                   ShowsStressSafety() + 1;
  return TableHeight(rows, Height(h));
}

void DrawMaterialTable(long double x, long double y, long double h) {
  cad_layer(kTableLayer);
  TAusTabelle table(x, y, Height(h), {28, 27, 27},
                    {"", "   1 (" + VocShaft + ")", "   2 (" + VocHub + ")"});
  table.AddRow3(VocDrawingName, DrawingName[kShaft], DrawingName[kHub]);
  table.AddRow3(VocDrawingNumber, DrawingNo[kShaft], DrawingNo[kHub]);
  table.AddRow3(VocDrawingName + " 2", DrawingName2[kShaft], DrawingName2[kHub]);
  table.AddRow3(VocMaterial, Materials[kShaft].Name, Materials[kHub].Name);
  table.AddRow3(VocMaterial + " No.", Materials[kShaft].Ident, Materials[kHub].Ident);
  table.AddRow3(VocYieldPoint + " Re [" + StressUnitLabel() + "]", Stress(Materials[kShaft].Re),
                Stress(Materials[kHub].Re));
}

void DrawPressureSafetyTable(long double x, long double y, long double h) {
  const kv6record& r = CalcData;
  const std::string adm = VocAdm;
  cad_layer(kTableLayer);
  TAusTabelle table(x, y, Height(h), {25, 7, 4, 5},
                    {VocStrengthHeading + " " + VocAccordingTo + " Roloff/Matek"});
  table.AddRow4(DisplacementLabel(), " f app", "", RealTextFixed(2, 2, r.fapp));
  table.AddRow4(VocApplicationFactor, "KA", "", RealTextFixed(2, 2, r.KA));
  table.AddRow4(VocLoadFactor + " (" + VocPulsatingLoad + ")", "nue Fs", "",
                RealTextFixed(2, 2, r.nueFs));
  table.AddRow4(VocLoadFactor + " (" + VocAlternatingLoad + ")", "nue Fw", "",
                RealTextFixed(2, 2, r.nueFw));
  table.AddRow4(VocPermPressure + "(" + VocPulsatingLoad + ")", "pFs " + adm, StressUnitLabel(),
                StressTextFixed(4, 0, MinReal(r.pFs[kShaft], r.pFs[kHub])));
  table.AddRow4(VocPermPressure + "(" + VocAlternating + ")", "pFw " + adm, StressUnitLabel(),
                StressTextFixed(4, 0, MinReal(r.pFw[kShaft], r.pFw[kHub])));
  table.AddRow4(VocPermTorque + " (" + VocPulsating + ")", "Ts " + adm, TorqueUnitLabel(),
                TorqueTextFixed(4, 0, r.Ts));
  table.AddRow4(VocPermTorque + " (" + VocAlternating + ")", "Tw " + adm, TorqueUnitLabel(),
                TorqueTextFixed(4, 0, r.Tw));
}
