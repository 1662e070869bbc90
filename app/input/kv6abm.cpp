#include "app/input/kv6abm.h"

#include <cmath>

#include "app/input/materialtables.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "calc/calctexts.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

using platform::Button;
using platform::Edit;
using platform::Label;
using platform::RadioGroup;

constexpr std::uint16_t kHelpText = 5005;
constexpr std::uint16_t kBoreImage = 5145;
constexpr int kTextNotDisplaceable = 1;
constexpr int kTextUnloadedDisplaceable = 2;
constexpr int kTextSphericalDiameter = 8;
constexpr int kTextEccentricity = 11;
constexpr std::int32_t kTableItem = 0;
constexpr std::int32_t kFreeItem = 1;

const char* const kUnitLabels[] = {"Label_d1u", "Label_e1u",       "Label_lu",       "Label_l1u",
                                   "Label_l2u", "Label_bohrung1u", "Label_bohrung2u"};

std::string BoreHint() {
  std::string hint;
  HelpHint(kBoreImage, hint);
  return hint;
}

}  // namespace

TForm_kv6abm::TForm_kv6abm() : InputForm("TForm_kv6abm", ToDisplayText(ProductCode), {780, 470}) {
  AddModeControls();
  AddProfileRows();
  AddLengthRow("l", VocJointLength + " l eff", "Edit_d1");
  AddLengthRow("l1", VocLength + " " + VocShaft + " l1", "Edit_l");
  AddLengthRow("l2", VocLength + " " + VocHub + " l2", "Edit_l");
  AddBoreRows();
  AddToleranceRow();
  AddOkCancel();
}

// The mode, then the buttons that belong to the whole form.
void TForm_kv6abm::AddModeControls() {
  auto& mode = Add<RadioGroup>("RadioGroup_abm");
  mode.SetItems({"Database DIN 32711", "self-defined"});
  mode.onClick = [this] { EnableForMode(); };
  auto& pick = Add<Button>("Button_db");
  pick.SetCaption("DIN 32711");
  pick.onClick = [this] {
    HoldPick([this] {
      SelectP3GProfile(1);
      if (AbortFlag == 0) RefreshProfile();
    });
    AbortFlag = 0;
  };
  AddHelpButton("Button_hilfebild", "Aux. &Image", kHelpText, 2);
  AddHelpButton("Button_help", "&Help Text", kHelpText, 1);
  AddUnitButton("mm <--> inch");
  AddCalcButton();
  Add<Label>("Label_db");
}

void TForm_kv6abm::AddProfileRows() {
  Add<Label>("Label_d1").SetCaption(ToDisplayText(CalcTexts[kTextSphericalDiameter] + " d1"));
  Add<Edit>("Edit_d1");
  Add<Label>("Label_d1u");
  Add<Label>("Label_e1").SetCaption(ToDisplayText(CalcTexts[kTextEccentricity] + " e1"));
  Add<Edit>("Edit_e1");
  Add<Label>("Label_e1u");
  // Both read d1 as the plain number shown, in the unit shown.
  auto& propose = Add<Button>("Button_e1");
  propose.SetCaption("<");
  propose.onClick = [this] {
    const long double d1 = TypedReal(Get<Edit>("Edit_d1").Text()).value_or(0);
    Get<Edit>("Edit_e1").SetText(RealText(PolygonFactor(3) * d1));
  };
  auto& largest = Add<Button>("Button_emax");
  largest.SetCaption("max");
  largest.onClick = [this] {
    Get<Edit>("Edit_e1").SetText(RealText(TypedReal(Get<Edit>("Edit_d1").Text()).value_or(0) / 16));
  };
}

// A length with its "<" button, which copies the text of another edit.
void TForm_kv6abm::AddLengthRow(const char* name, const std::string& caption,
                                const char* copyFrom) {
  const std::string suffix(name);
  Add<Label>("Label_" + suffix).SetCaption(ToDisplayText(caption));
  Add<Edit>("Edit_" + suffix);
  Add<Label>("Label_" + suffix + "u");
  auto& copy = Add<Button>("Button_" + suffix);
  copy.SetCaption("<");
  copy.onClick = [this, suffix, copyFrom] {
    Get<Edit>("Edit_" + suffix).SetText(Get<Edit>(copyFrom).Text());
  };
}

void TForm_kv6abm::AddBoreRows() {
  auto& shaftLabel = Add<Label>("Label_bohrung1");
  shaftLabel.SetCaption(ToDisplayText(VocBore + " " + VocShaft + " dB1"));
  shaftLabel.SetHint(BoreHint());
  Add<Edit>("Edit_bohrung1");
  Add<Label>("Label_bohrung1u");
  auto& shaftBore = Add<Button>("Button_bohrung1");
  shaftBore.SetCaption("<");
  shaftBore.onClick = [this] {
    ProposeBore("Edit_bohrung1", (ReadLength("Edit_d1") - 2 * ReadLength("Edit_e1")) * 0.5L);
  };
  AddHelpButton("Button_bohr", "?", kBoreImage, 2);
  auto& hubLabel = Add<Label>("Label_bohrung2");
  hubLabel.SetCaption(ToDisplayText(VocOuterDiameter + " " + VocHub + " dB2"));
  hubLabel.SetHint(BoreHint());
  Add<Edit>("Edit_bohrung2");
  Add<Label>("Label_bohrung2u");
  auto& hubBore = Add<Button>("Button_bohrung2");
  hubBore.SetCaption("<");
  hubBore.onClick = [this] {
    ProposeBore("Edit_bohrung2", (2 * ReadLength("Edit_e1") + ReadLength("Edit_d1")) * 1.5L);
  };
}

void TForm_kv6abm::AddToleranceRow() {
  Add<Label>("Label_told1").SetCaption(ToDisplayText(VocIsoTolerance + " d1"));
  Add<Edit>("Edit_told1");
  auto& fixed = Add<Button>("Button_told1a");
  fixed.SetCaption(ToDisplayText("< " + CalcTexts[kTextNotDisplaceable]));
  fixed.onClick = [this] { Get<Edit>("Edit_told1").SetText("k6"); };
  auto& sliding = Add<Button>("Button_told1b");
  sliding.SetCaption(ToDisplayText("< " + CalcTexts[kTextUnloadedDisplaceable]));
  sliding.onClick = [this] { Get<Edit>("Edit_told1").SetText("g6"); };
}

void TForm_kv6abm::FillLength(const char* edit, long double value) {
  fields_.Fill(Get<Edit>(edit), value, LengthText(value));
}

long double TForm_kv6abm::ReadLength(const char* edit) const {
  return fields_.Read(Get<Edit>(edit), TextToLength);
}

// Whole millimetres, halves to the even neighbour, as the calculation's own proposals round.
void TForm_kv6abm::ProposeBore(const char* edit, long double diameter) {
  Get<Edit>(edit).SetText(ToDisplayText(LengthText(std::nearbyint(diameter))));
}

void TForm_kv6abm::RefreshProfile() {
  std::string designation;
  P3GDesignation(designation);
  Get<Label>("Label_db").SetCaption(ToDisplayText(designation));
  FillLength("Edit_d1", CalcData.d1);
  FillLength("Edit_e1", CalcData.e1);
}

void TForm_kv6abm::Load() {
  for (const char* unit : kUnitLabels) {
    Get<Label>(unit).SetCaption(ToDisplayText(LengthUnitLabel()));
  }
  RefreshProfile();
  FillLength("Edit_l", CalcData.l);
  FillLength("Edit_l1", CalcData.l1);
  FillLength("Edit_l2", CalcData.l2);
  FillLength("Edit_bohrung1", CalcData.dB1);
  FillLength("Edit_bohrung2", CalcData.dB2);
  fields_.FillText(Get<Edit>("Edit_told1"), CalcData.TolShaft);
  Get<RadioGroup>("RadioGroup_abm").SetItemIndex(CalcData.DimensionMode - 1);
  EnableForMode();
}

void TForm_kv6abm::EnableForMode() {
  const bool free = Get<RadioGroup>("RadioGroup_abm").ItemIndex() == kFreeItem;
  Get<Label>("Label_db").SetVisible(!free);
  Get<Button>("Button_db").SetEnabled(!free);
  for (const char* name : {"Edit_d1", "Edit_e1", "Button_e1", "Button_emax"}) {
    Get<platform::Control>(name).SetEnabled(free);
  }
}

bool TForm_kv6abm::Acceptable() {
  Edit& length = Get<Edit>("Edit_l");
  if (TypedReal(FromDisplayText(length.Text())).value_or(0) != 0) return true;
  length.SetFocus();
  return false;
}

std::vector<NumberRange> TForm_kv6abm::NumberRanges() const {
  std::vector<NumberRange> ranges;
  const std::int32_t item = Get<RadioGroup>("RadioGroup_abm").ItemIndex();
  if (item == kFreeItem || (item != kTableItem && CalcData.DimensionMode == 2)) {
    ranges.push_back({"Edit_d1", TextToLength, LengthText});
    ranges.push_back({"Edit_e1", TextToLength, LengthText});
  }
  for (const char* edit : {"Edit_l", "Edit_l1", "Edit_l2", "Edit_bohrung1", "Edit_bohrung2"}) {
    ranges.push_back({edit, TextToLength, LengthText});
  }
  return ranges;
}

// A mode outside both items stays as it was (a file may hold one); only a click sets 1 or 2.
void TForm_kv6abm::Store() {
  kv6record& r = CalcData;
  r.l = ReadLength("Edit_l");
  r.l1 = ReadLength("Edit_l1");
  r.l2 = ReadLength("Edit_l2");
  r.dB1 = ReadLength("Edit_bohrung1");
  r.dB2 = ReadLength("Edit_bohrung2");
  r.TolShaft = fields_.ReadText(Get<Edit>("Edit_told1"));
  const std::int32_t item = Get<RadioGroup>("RadioGroup_abm").ItemIndex();
  if (item == kTableItem || item == kFreeItem) {
    r.DimensionMode = static_cast<std::uint16_t>(item + 1);
  }
  if (r.DimensionMode != 2) return;
  // A free profile: its whole geometry from d1 and e1; the calculation proposes d7 again.
  r.d1 = ReadLength("Edit_d1");
  r.e1 = ReadLength("Edit_e1");
  r.d2 = r.d1 + 2 * r.e1;
  r.d3 = r.d1 - 2 * r.e1;
  r.r1 = 0.5L * r.d1 + 6.5L * r.e1;
  r.r2 = 0.5L * r.d1 - 6.5L * r.e1;
  r.d4 = r.d1;
  r.d5 = r.d2;
  r.d6 = r.d3;
  r.e2 = r.e1;
  r.d6pre = DefaultReliefDiameter();
  r.d7 = 0;
}

void ShowDimensionsForm() {
  ShowInputForm<TForm_kv6abm>();
}
