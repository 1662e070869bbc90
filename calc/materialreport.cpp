#include "calc/materialreport.h"

#include "base/report/textreport.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "base/text/utilstr.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

// Both names right-aligned in 20 characters, so that the line fills the 70 columns exactly.
std::string MaterialNameLine() {
  return VocMaterialName + " 1/2:         " + TextRight(Materials[kShaft].Name, 20) + " / " +
         TextRight(Materials[kHub].Name, 20);
}

void StressRow(const std::string& label, const std::string& symbol, long double shaft,
               long double hub) {
  ReportRow5(label, symbol, StressUnitLabel(), StressTextFixed(6, 0, shaft),
             StressTextFixed(6, 0, hub));
}

void FactorRow(const std::string& label, const std::string& symbol,
               const PartPair<long double>& factor) {
  ReportRow5(label, symbol, "", RealTextFixed(3, 2, factor[kShaft]),
             RealTextFixed(3, 2, factor[kHub]));
}

}  // namespace

void WriteMaterialReport() {
  ReportLine("");
  ReportLine(VocMaterialHeading + " " + VocShaftHeading + "/" + VocHubHeading);
  ReportLine(RuleDouble());
  if (!Materials[kShaft].Ident.empty()) {
    ReportRow5(VocMaterialNumber, "", "", Materials[kShaft].Ident, Materials[kHub].Ident);
  }
  ReportLine(MaterialNameLine());
  ReportLine(RuleSingle());
  StressRow(VocYieldPoint, "Re", Materials[kShaft].Re, Materials[kHub].Re);
  FactorRow(VocSupportFactor, "fS", PartFS);
  FactorRow(VocHardnessFactor, "fH", PartFH);
  StressRow(VocPermissiblePressure, "p" + VocAdm, PartPzul[kShaft], PartPzul[kHub]);
}
