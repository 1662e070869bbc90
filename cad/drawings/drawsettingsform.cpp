#include "cad/drawings/drawsettingsform.h"

#include <cmath>

#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "calc/calcfileformat.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

using platform::Button;
using platform::Edit;
using platform::Label;
using platform::ModalResult;
using platform::RadioGroup;

constexpr std::uint16_t kHelpNumber = 5500;
constexpr const char* kResolutionDefault = "360";

const char* const kDiameterControls[] = {
    "Label_d1graf",  "Label_d1grafu",  "Edit_d1graf",   "Button_d1welle",
    "Button_d1nabe", "Label_tolwelle", "Label_tolnabe",
};

long double ShaftMean() {
  return (CalcData.d1max + CalcData.d1min) / 2;
}
long double HubMean() {
  return (CalcData.d4max + CalcData.d4min) / 2;
}

std::string ToleranceLabel(const std::string& part, const std::string& tolerance) {
  return ToDisplayText(part + " (" + tolerance + ")");
}

}  // namespace

TForm_kv6config::TForm_kv6config() : platform::Form("TForm_kv6config", "", {330, 260}) {
  CenterOnDrawWindow(Placement());
  SetCaption(ToDisplayText(LongTitle));
  auto& element = Add<RadioGroup>("RadioGroup1");
  element.SetCaption(" CAD Drawing Element ");
  element.SetItems({"Line", "Polyline"});
  Add<Label>("Label_res").SetCaption(ToDisplayText(CalcTexts[60] + " " + CalcTexts[61]));
  Add<Edit>("Edit_res");
  auto& resolution = Add<Button>("Button_res");
  resolution.SetCaption(kResolutionDefault);
  resolution.onClick = [this] { Get<Edit>("Edit_res").SetText(kResolutionDefault); };
  AddDiameterControls();
  AddButtons();
  onShow = [this] { DrawSettingsLoad(); };
  // The close box cancels as the Cancel button does.
  onClose = [this] {
    if (GetModalResult() != ModalResult::Ok) AbortFlag = 1;
  };
}

void TForm_kv6config::AddDiameterControls() {
  Add<Label>("Label_d1graf").SetCaption(ToDisplayText(CalcTexts[8] + " d1/d4"));
  Add<Edit>("Edit_d1graf");
  Add<Label>("Label_d1grafu");
  auto& shaft = Add<Button>("Button_d1welle");
  shaft.SetCaption("d1");
  shaft.onClick = [this] { FillDiameter(ShaftMean()); };
  auto& hub = Add<Button>("Button_d1nabe");
  hub.SetCaption("d4");
  hub.onClick = [this] { FillDiameter(HubMean()); };
  Add<Label>("Label_tolwelle").SetCaption(ToleranceLabel(VocShaft, CalcData.TolShaft));
  Add<Label>("Label_tolnabe").SetCaption(ToleranceLabel(VocHub, CalcData.TolHub));
}

void TForm_kv6config::AddButtons() {
  auto& metric = Add<Button>("Button_metric");
  metric.SetCaption("mm <--> inch");
  metric.onClick = [this] {
    if (NumbersValid()) ToggleUnitSystem();
  };
  auto& ok = Add<Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.onClick = [this] {
    if (!NumbersValid()) return;
    AbortFlag = 0;
    DrawSettingsStore();
    SetModalResult(ModalResult::Ok);
  };
  auto& cancel = Add<Button>("Button_cancel");
  cancel.SetCaption("Cancel");
  cancel.SetCancel(true);
  cancel.SetModalResult(ModalResult::Cancel);
  cancel.onClick = [] { AbortFlag = 1; };
  auto& help = Add<Button>("Button_help");
  help.SetCaption("&Help");
  help.onClick = [] {
    ShowHelpText(kHelpNumber, "", 1);
    AbortFlag = 0;
  };
}

void TForm_kv6config::DrawSettingsLoad() {
  std::string caption = LongTitle;
  if (SettingsPart == kShaft) caption += " " + VocShaft;
  if (SettingsPart == kHub) caption += " " + VocHub;
  SetCaption(ToDisplayText(caption));
  Get<Label>("Label_d1grafu").SetCaption(ToDisplayText(LengthUnitLabel()));
  Get<RadioGroup>("RadioGroup1").SetItemIndex(CalcData.CadElement - 1);
  Get<Edit>("Edit_res").SetText(IntText(CalcData.Resolution));
  if (SettingsPart == kShaft) {
    FillDiameter(ShaftMean());
  } else if (SettingsPart == kHub) {
    FillDiameter(HubMean());
  } else {
    FillDiameter(CalcData.d1, LengthText(CalcData.d1));
  }
  for (const char* name : kDiameterControls) {
    Get<platform::Control>(name).SetVisible(HideDiameter != 1);
  }
}

void TForm_kv6config::DrawSettingsStore() {
  CalcData.CadElement = static_cast<std::uint16_t>(Get<RadioGroup>("RadioGroup1").ItemIndex() + 1);
  CalcData.Resolution = TypedInt(Get<Edit>("Edit_res").Text()).value_or(0);
  CalcData.d1graf = TypedDiameter().value_or(0);
}

std::optional<long double> TForm_kv6config::TypedDiameter() const {
  const Edit& diameter = Get<Edit>("Edit_d1graf");
  if (diameter.Filled()) return filledDiameter_;
  return TypedNumber(FromDisplayText(diameter.Text()), TextToLength);
}

// The resolution is kept as a whole number of 32 bits; the diameter within what a number field
// of the record takes.
bool TForm_kv6config::NumbersValid() {
  Edit& resolution = Get<Edit>("Edit_res");
  if (!TypedInt(resolution.Text())) {
    ShowInt32RangeError();
    resolution.SetText(IntText(CalcData.Resolution));
    resolution.SetFocus();
    return false;
  }
  const std::optional<long double> diameter = TypedDiameter();
  if (diameter && std::fabs(*diameter) <= kLargestInput) return true;
  ShowRangeError(LengthText(-kLargestInput), LengthText(kLargestInput));
  FillDiameter(filledDiameter_);
  Get<Edit>("Edit_d1graf").SetFocus();
  return false;
}

void TForm_kv6config::FillDiameter(long double diameter, std::string text) {
  filledDiameter_ = diameter;
  Get<Edit>("Edit_d1graf").Fill(ToDisplayText(text));
}

void TForm_kv6config::FillDiameter(long double diameter) {
  FillDiameter(diameter, LengthTextDec(3, diameter));
}

// The diameter the user entered stays; it shows again in the other unit.
void TForm_kv6config::ToggleUnitSystem() {
  DrawSettingsStore();
  UnitSystem = UnitSystem == 1 ? 0 : 1;
  DrawSettingsLoad();
  FillDiameter(CalcData.d1graf);
}
