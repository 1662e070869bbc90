#include "app/input/kv6load.h"

#include "base/dialogs/utilcrt.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "platform/ui/handlerguard.h"

namespace {

using platform::Button;
using platform::Edit;
using platform::Label;
using platform::RadioGroup;

constexpr std::uint16_t kHelpText = 1000;
constexpr std::uint16_t kApplicationImage = 5420;
constexpr std::uint16_t kFatigueImage = 5160;
constexpr int kTextNotDisplaceable = 1;
constexpr int kTextUnloadedDisplaceable = 2;
constexpr int kTextTorque = 19;
constexpr int kTextBendingMoment = 20;
constexpr int kTextApplicationFactor = 21;
constexpr int kTextFatigueFactor = 49;
constexpr int kTextApplication = 51;

std::string Hint(std::uint16_t number) {
  std::string text;
  HelpHint(number, text);
  return text;
}

}  // namespace

void ShowUnexpectedError(const std::string& typeName, const std::string& text) {
  ShowErrorBox("Error at class " + typeName + " !\n" + text + "\nPlease contact BRELCOR");
}

TForm_kv6load::TForm_kv6load()
    : InputForm("TForm_kv6load", ToDisplayText(ProductCode), {480, 330}) {
  platform::SetUnexpectedErrorHandler(ShowUnexpectedError);
  AddTorqueRow("Edit_t", "Label_t", "Label_tu", CalcTexts[kTextTorque] + " T", 5100);
  AddTorqueRow("Edit_Mb", "Label_mb", "Label_mbu", CalcTexts[kTextBendingMoment] + " Mb", 5150);
  AddFactorRow("ka", CalcTexts[kTextApplicationFactor] + " KA", kApplicationImage);
  AddHelpButton("Button_ka", "KA  ?", kApplicationImage, 2);
  AddFactorRow("fw", CalcTexts[kTextFatigueFactor] + " fW", kFatigueImage);
  AddHelpButton("Button_fw", "fW  ?", kFatigueImage, 2);
  auto& displacement = Add<RadioGroup>("RadioGroup_verschieb");
  displacement.SetCaption(ToDisplayText(" " + CalcTexts[kTextApplication] + " "));
  displacement.SetHint(Hint(5430));
  displacement.SetItems({ToDisplayText(CalcTexts[kTextNotDisplaceable]),
                         ToDisplayText(CalcTexts[kTextUnloadedDisplaceable])});
  AddUnitButton("Nm <-> lbfin");
  AddCalcButton();
  AddOkCancel();
  AddHelpButton("Button_help", "?", kHelpText, 1);
}

void TForm_kv6load::AddTorqueRow(const char* edit, const char* caption, const char* unit,
                                 const std::string& text, std::uint16_t hint) {
  auto& label = Add<Label>(caption);
  label.SetCaption(ToDisplayText(text));
  label.SetHint(Hint(hint));
  Add<Edit>(edit);
  Add<Label>(unit);
}

// A plain factor with its "<" button, which puts in 1.0.
void TForm_kv6load::AddFactorRow(const char* name, const std::string& text, std::uint16_t hint) {
  const std::string suffix(name);
  auto& label = Add<Label>("Label_" + suffix);
  label.SetCaption(ToDisplayText(text));
  label.SetHint(Hint(hint));
  Add<Edit>("Edit_" + suffix);
  auto& one = Add<Button>("Button_" + suffix + "1");
  one.SetCaption("<");
  one.onClick = [this, suffix] { Get<Edit>("Edit_" + suffix).SetText("1.0"); };
}

// Case 3 (hub displaceable under load) comes only from a file; it selects no item.
void TForm_kv6load::Load() {
  fields_.Fill(Get<Edit>("Edit_ka"), CalcData.KA, RealText(CalcData.KA));
  Get<RadioGroup>("RadioGroup_verschieb").SetItemIndex(CalcData.DisplacementCase - 1);
  fields_.Fill(Get<Edit>("Edit_fw"), CalcData.fW, RealText(CalcData.fW));
  fields_.Fill(Get<Edit>("Edit_t"), CalcData.T, TorqueText(CalcData.T));
  fields_.Fill(Get<Edit>("Edit_Mb"), CalcData.Mb, TorqueText(CalcData.Mb));
  Get<Label>("Label_tu").SetCaption(ToDisplayText(TorqueUnitLabel()));
  Get<Label>("Label_mbu").SetCaption(ToDisplayText(TorqueUnitLabel()));
}

// While no item is chosen the case stays as it was, so case 3 survives OK, Calc and the unit
// toggle.
void TForm_kv6load::Store() {
  CalcData.KA = fields_.Read(Get<Edit>("Edit_ka"), TextToReal);
  CalcData.fW = fields_.Read(Get<Edit>("Edit_fw"), TextToReal);
  const std::int32_t item = Get<RadioGroup>("RadioGroup_verschieb").ItemIndex();
  if (item >= 0) CalcData.DisplacementCase = static_cast<std::uint16_t>(item + 1);
  CalcData.T = fields_.Read(Get<Edit>("Edit_t"), TextToTorque);
  CalcData.Mb = fields_.Read(Get<Edit>("Edit_Mb"), TextToTorque);
}

std::vector<NumberRange> TForm_kv6load::NumberRanges() const {
  return {{"Edit_t", TextToTorque, TorqueText},
          {"Edit_Mb", TextToTorque, TorqueText},
          {"Edit_ka", TextToReal, RealText},
          {"Edit_fw", TextToReal, RealText}};
}

void ShowLoadForm() {
  ShowInputForm<TForm_kv6load>();
}
