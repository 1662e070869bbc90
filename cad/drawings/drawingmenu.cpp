#include "cad/drawings/drawingmenu.h"

#include "base/settings/wbrelvar.h"
#include "calc/calctexts.h"
#include "calc/vocabulary.h"

namespace {

const std::string& not_dimensioned() {
  return CalcTexts[43];
}
const std::string& dimensioned() {
  return CalcTexts[44];
}
const std::string& quick() {
  return CalcTexts[46];
}

}  // namespace

void FillDrawingMenu() {
  const std::string p3g = VocDrawing + " P3G ";
  ChoiceTexts[1] = p3g + not_dimensioned();
  ChoiceTexts[2] = p3g + dimensioned();
  ChoiceTexts[3] = VocTable + " " + VocShaft;
  ChoiceTexts[4] = VocTable + " " + VocHub;
  ChoiceTexts[5] = quick();
  ChoiceTexts[6] = VocProductionDrawing + " " + VocShaft;
  ChoiceTexts[7] = VocProductionDrawing + " " + VocHub;
  ChoiceTexts[8] = VocProductionDrawing + " " + VocShaft + " + " + VocHub;
  ChoiceTexts[9] = p3g + VocShaft + " " + not_dimensioned();
  ChoiceTexts[10] = p3g + VocHub + " " + not_dimensioned();
  ChoiceTexts[11] = quick() + " 3";
  ChoiceTexts[12] = quick() + " 4";
  ChoiceTexts[kDrawingReturn] = VocReturn + " ..";
}

std::string DrawingMenuTitle() {
  return VocSelect + " ..";
}
