#include "calc/resultsreport.h"

#include "base/dialogs/helperr.h"
#include "base/dialogs/utilcrt.h"
#include "base/dialogs/utilcrtfile.h"
#include "base/files/listfile.h"
#include "base/report/reportdevice.h"
#include "base/report/reportmessages.h"
#include "base/report/textreport.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "calc/calctexts.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"
#include "calc/materialreport.h"
#include "calc/vocabulary.h"

namespace {

// A safety factor this large means the part carries no load worth reporting.
constexpr long double kSafetyShown = 1000;

void SetResultsHeader() {
  SetReportHeader(ProductCode + " V" + ProgVersion + "  " + CalcTexts[52] + " P3G " +
                      VocAccordingTo + " DIN 32711",
                  NumberedLine(DrawingName[kShaft], DrawingNo[kShaft]),
                  NumberedLine(DrawingName[kHub], DrawingNo[kHub]), DrawingTexts[1],
                  DrawingTexts[2], 0);
  SetTableColumns("", VocSign, VocUnit, "  " + VocShaft, VocHub);
}

void LengthRow(const std::string& label, const std::string& symbol, const std::string& shaft,
               const std::string& hub) {
  ReportRow5(label, symbol, LengthUnitLabel(), shaft, hub);
}

void StressRow(const std::string& label, const std::string& symbol,
               const PartPair<long double>& values, std::int32_t intDigits, std::int32_t decimals) {
  ReportRow5(label, symbol, StressUnitLabel(), StressTextFixed(intDigits, decimals, values[kShaft]),
             StressTextFixed(intDigits, decimals, values[kHub]));
}

void VolumeRow(const std::string& label, const std::string& symbol,
               const PartPair<long double>& values) {
  ReportRow5(label, symbol, VolumeUnitLabel(), VolumeText(values[kShaft]),
             VolumeText(values[kHub]));
}

std::string Factor(long double x) {
  return RealTextFixed(4, 2, x);
}

void SafetyRow(const std::string& label, const std::string& symbol,
               const PartPair<long double>& values) {
  if (values[kShaft] >= kSafetyShown || values[kHub] >= kSafetyShown) return;
  ReportRow5(label, symbol, "", Factor(values[kShaft]), Factor(values[kHub]));
}

std::string DisplacementText() {
  return CalcTexts[CalcData.DisplacementCase];
}

void WriteDimensionRows() {
  const kv6record& r = CalcData;
  const std::string& sphere = CalcTexts[8];
  LengthRow(sphere, "d1/d4", LengthText(r.d1), LengthText(r.d4));
  ReportRow5("ISO Tol. " + sphere, "d1/d4", "", r.TolShaft, "H7");
  LengthRow(sphere + " min.", "d1/d4min", LengthTextFixed(2, 3, r.d1min),
            LengthTextFixed(2, 3, r.d4min));
  LengthRow(sphere + " max.", "d1/d4max", LengthTextFixed(2, 3, r.d1max),
            LengthTextFixed(2, 3, r.d4max));
  LengthRow(CalcTexts[9], "d2/d5", LengthText(r.d2), LengthText(r.d5));
  LengthRow(CalcTexts[10], "d3/d6", LengthText(r.d3), LengthText(r.d6));
  LengthRow(CalcTexts[11], "e1/e2", LengthText(r.e1), LengthText(r.e2));
  LengthRow(VocBore + "/" + VocOuterDiameter, "dB", LengthText(r.dB1), LengthText(r.dB2));
  LengthRow(CalcTexts[12] + " d6", "d6pre", "", LengthText(r.d6pre));
  if (r.DimensionMode == 1) LengthRow(CalcTexts[13], "d7", "", LengthText(r.d7));
}

void WriteProfileRows() {
  const kv6record& r = CalcData;
  ReportRow4(CalcTexts[42], "r1 P3G", LengthUnitLabel(), LengthText(r.r1));
  ReportRow4(CalcTexts[42], "r2 P3G", LengthUnitLabel(), LengthText(r.r2));
  ReportRow4(CalcTexts[31], "l", LengthUnitLabel(), LengthText(r.l));
  LengthRow(VocLength, "l", LengthText(r.l1), LengthText(r.l2));
  ReportRow5(VocNumberOfTeeth, "n", "", "3", "-3");
  ReportRow4(VocToothHeight + " min", "h min", LengthUnitLabel(), LengthTextFixed(2, 3, r.hmin));
  ReportRow4(CalcTexts[18], "A  P3G", AreaUnitLabel(), AreaText(r.A));
  ReportRow4(CalcTexts[14], "Wp P3G", VolumeUnitLabel(), VolumeText(r.Wp));
  ReportRow4(CalcTexts[14], "Wpd1P3G", VolumeUnitLabel(), VolumeText(r.Wpd1));
  ReportRow4(CalcTexts[17], "Ip P3G", InertiaUnitLabel(), InertiaText(r.Ip));
  ReportRow4(CalcTexts[15], "Wx P3G", VolumeUnitLabel(), VolumeText(r.Wx));
}

void WriteLoadRows() {
  const kv6record& r = CalcData;
  ReportRow4(VocTorque, "T", TorqueUnitLabel(), RealTextWidth(7, TorqueValue(r.T)));
  ReportRow4(VocBendingMoment, "Mb", TorqueUnitLabel(), RealTextWidth(7, TorqueValue(r.Mb)));
  ReportRow4(VocApplicationFactor, "KA", "", Factor(r.KA));
  ReportRow4(VocAlternatingLoadFactor, "fW", "", Factor(r.fW));
  ReportLine(DisplacementText() + "  (f app = " + RealTextFixed(1, 1, r.fapp) + ")");
  ReportLine(RuleSingle());
}

void WriteStressRows() {
  const kv6record& r = CalcData;
  const std::string stress = StressUnitLabel();
  StressRow(VocAdm + " " + VocTension, "Sig." + VocAdm, r.fWRe, 6, 0);
  StressRow(VocPermPressure, "pa " + VocAdm, r.pa, 6, 0);
  ReportRow4(VocPressure, "p max", stress, StressTextFixed(6, 0, r.p));
  ReportRow4("(p = F/A = T/(rm*h*L*n)", "p max", stress, StressTextFixed(6, 0, r.pFA) + ")");
  StressRow(VocShearStress, "tau max", r.tau, 6, 0);
  StressRow(VocBendingStress, "sig.bmax", r.sigmab, 6, 0);
  StressRow(VocEquivalentStress, "sig.vmax", r.sigmav, 6, 0);
  VolumeRow(CalcTexts[14], "Wt", r.Wt);
  VolumeRow(CalcTexts[15], "Wb", r.Wb);
  LengthRow("Min." + VocWallThickness, "s min", "", LengthTextFixed(5, 1, r.smin[kHub]));
  LengthRow(VocWallThickness, "s", "", LengthTextFixed(5, 1, r.s[kHub]));
  SafetyRow(VocSafety + " " + VocPressure, "Sp=pa" + VocAdm + "/pmax", r.Sp);
  SafetyRow(VocSafety + " " + VocYieldPoint, "Se=fW*Re/Sig.v", r.Se);
  ReportRow5(VocSafety + " " + VocWallThickness, "Sw=swall/smin", "", "", Factor(r.sRatio[kHub]));
}

void WriteRoloffMatekRows() {
  const kv6record& r = CalcData;
  ReportRow4(VocApplicationFactor, "KA", "", Factor(r.KA));
  ReportRow4(VocLoadFactor + " (" + VocPulsatingLoad + ")", "nue Fs", "", Factor(r.nueFs));
  ReportRow4(VocLoadFactor + " (" + VocAlternatingLoad + ")", "nue Fw", "", Factor(r.nueFw));
  StressRow(VocPermPressure + "(" + VocPulsatingLoad + ")", "pFs " + VocAdm, r.pFs, 5, 1);
  StressRow(VocPermPressure + "(" + VocAlternating + ")", "pFw " + VocAdm, r.pFw, 5, 1);
  ReportRow4(VocPermTorque + " (" + VocPulsating + ")", "Ts " + VocAdm, TorqueUnitLabel(),
             TorqueTextFixed(7, 0, r.Ts));
  ReportRow4(VocPermTorque + " (" + VocAlternating + ")", "Tw " + VocAdm, TorqueUnitLabel(),
             TorqueTextFixed(7, 0, r.Tw));
}

void WriteDimensionsPage() {
  ReportLine("");
  ReportLine(CalcData.Designation[kFit]);
  ReportLine(RuleSingle());
  ReportLine("");
  ReportLine(VocDimensionsHeading);
  ReportLine(RuleSingle());
  WriteDimensionRows();
  WriteProfileRows();
}

void WriteStrengthSections() {
  ReportLine("");
  ReportLine(VocStrengthHeading + " " + VocAccordingToHeading + " DIN 3892/32711");
  ReportLine(RuleSingle());
  WriteLoadRows();
  WriteStressRows();
  ReportLine("");
  NewPageIfNeeded(1);
  ReportLine(VocStrengthHeading + " " + VocAccordingToHeading + " ROLOFF/MATEK");
  ReportLine(RuleSingle());
  ReportLine(DisplacementText());
  ReportLine(RuleSingle());
  WriteRoloffMatekRows();
  NewPageIfNeeded(1);
  if (MessageCount > 0) ReportMessages();
}

// The report body between opening and closing; stops where a page header was refused.
void WriteReportBody() {
  RewriteOrFail(ListFile);
  if (AbortFlag != 0) return;
  ReportPageHeader(0, 1);
  if (AbortFlag != 0) return;
  WriteDimensionsPage();
  PageBreak();
  ReportPageHeader(0, 1);
  if (AbortFlag != 0) return;
  WriteMaterialReport();
  WriteStrengthSections();
}

// The stopped run's printout: the report's head, that the calculation stopped, and its messages
// with their explanations.
void WriteStoppedBody() {
  RewriteOrFail(ListFile);
  if (AbortFlag != 0) return;
  ReportPageHeader(0, 1);
  if (AbortFlag != 0) return;
  ReportLine("");
  ReportLine("The calculation stopped at an input check: it has no results.");
  ReportMessagesSection();
}

void WriteReport(void (*body)()) {
  SetResultsHeader();
  OpenReport(0, CurrentFile);
  if (AbortFlag == 0) {
    body();
    CloseReport();
  }
  HourglassOff();
}

}  // namespace

void WriteResultsReport() {
  if (FatalFlag != 0) {
    ShowCalcMessages();
    AbortFlag = 1;
    return;
  }
  WriteReport(WriteReportBody);
}

void WritePrintout() {
  if (FatalFlag == 0 || HasResults()) {
    WriteResultsReport();
    return;
  }
  WriteReport(WriteStoppedBody);
}
