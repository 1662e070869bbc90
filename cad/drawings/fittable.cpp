#include "cad/drawings/fittable.h"

#include "base/settings/wbrelvar.h"
#include "base/text/unittext.h"
#include "calc/toliso.h"

FitTable::FitTable(long double x, long double y, long double h)
    : TAusTabelle(x, y, h, {10, 10, 10}, {"Fit Dim.", "Max.Dim.", "Min.Dim."}) {}

void FitTable::AddFit(std::string tolerance, long double nominal) {
  const auto abort_before = AbortFlag;
  long double lower = 0;
  long double upper = 0;
  ReportIsoTolerance(lower, upper, tolerance, nominal);
  AbortFlag = abort_before;
  AddRow3(LengthText(nominal) + " " + tolerance, LengthTextFixed(4, 3, nominal + upper / 1000),
          LengthTextFixed(4, 3, nominal + lower / 1000));
}
