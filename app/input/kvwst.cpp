#include "app/input/kvwst.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/input/materialtables.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

using platform::Button;
using platform::Edit;
using platform::GroupBox;
using platform::Label;

constexpr std::uint16_t kHelp = 5040;
constexpr std::size_t kIdentLength = 9;
constexpr std::size_t kNameLength = 18;

// The controls of one part; the hub's names differ in letter case, as the form has them.
struct PartControls {
  const char* group;
  const char* caption;
  const char* ident;
  const char* name;
  const char* re;
  const char* fs;
  const char* fh;
  const char* plim;
  const char* pick;
  const char* suffix;
};

const PartControls kParts[] = {
    {"GroupBox_INT", " Inner part (shaft) ", "Edit_ident1", "Edit_Name1", "Edit_Re1", "Edit_fs1",
     "Edit_fh1", "Label_plim1", "Button_mat1", "1"},
    {"GroupBox_EXT", " Outer part (hub) ", "Edit_ident2", "Edit_name2", "Edit_re2", "Edit_fs2",
     "Edit_fh2", "Label_plim2", "Button_mat2", "2"},
};

const PartControls& ControlsOf(int part) {
  return kParts[part - 1];
}

// A caption label with its help hint, which shows only while the help level asks for hints.
void AddCaption(GroupBox& group, const std::string& name, const char* caption, std::uint16_t hint) {
  auto& label = group.Add<Label>(name);
  label.SetCaption(caption);
  if (HelpLevel == 0) return;
  std::string text;
  HelpHint(hint, text);
  label.SetHint(text);
}

// The yield point is kept as a whole number of 32 bits.
constexpr long double kLowestStress = std::numeric_limits<std::int32_t>::min();
constexpr long double kHighestStress = std::numeric_limits<std::int32_t>::max();

// Whole N/mm^2, halves to the even neighbour; values beyond 32 bits are held at its limits.
std::int32_t WholeStress(long double stress) {
  if (std::isnan(stress)) return 0;
  return static_cast<std::int32_t>(
      std::nearbyint(std::clamp(stress, kLowestStress, kHighestStress)));
}

}  // namespace

TForm_kvwst::TForm_kvwst()
    : InputForm("TForm_kvwst", ToDisplayText(VocMaterial + "  " + ProductCode), {820, 440}) {
  AddPart(kShaft);
  AddPart(kHub);
  AddHelpButton("Button_hilfebild", "fs, fH ?", kHelp, 2);
  AddUnitButton("Mpa <--> psi");
  AddCalcButton();
  AddOkCancel();
  AddHelpButton("Button_help", "?", kHelp, 1);
}

void TForm_kvwst::AddPart(int part) {
  const PartControls& c = ControlsOf(part);
  auto& group = Add<GroupBox>(c.group);
  group.SetCaption(c.caption);
  const std::string suffix = c.suffix;
  AddCaption(group, "Label_ident" + suffix, "Material number", 5340);
  group.Add<Edit>(c.ident).SetMaxLength(kIdentLength);
  AddCaption(group, "Label_name" + suffix, "Material name", 5300);
  group.Add<Edit>(c.name).SetMaxLength(kNameLength);
  AddCaption(group, "Label_re" + suffix, "Yield Point (Tens.streng. w/brittle mat.)  Re", 5310);
  group.Add<Edit>(c.re).onChange = [this, part] { ShowAllowablePressure(part); };
  group.Add<Label>("Label_re" + suffix + "u");
  AddCaption(group, "Label_fs" + suffix, "support factor fS", 5400);
  group.Add<Edit>(c.fs).onChange = [this, part] { ShowAllowablePressure(part); };
  AddCaption(group, "Label_fh" + suffix, "Hardness factor fH", 5410);
  group.Add<Edit>(c.fh).onChange = [this, part] { ShowAllowablePressure(part); };
  group.Add<Label>(c.plim);
  auto& pick = group.Add<Button>(c.pick);
  pick.SetCaption("Material database...");
  pick.onClick = [this, part] { Pick(part); };
}

void TForm_kvwst::Load() {
  LoadPart(kShaft);
  LoadPart(kHub);
}

// A brittle material has no yield point: its field shows Rm, which OK then stores as Re.
void TForm_kvwst::LoadPart(int part) {
  const PartControls& c = ControlsOf(part);
  const RKM1BASE_Record& m = Materials[part];
  if (!m.Ident.empty()) {
    Get<Button>(c.pick).SetCaption(ToDisplayText(VocMaterialDatabase + "  " + m.Ident));
  }
  Get<Label>("Label_re" + std::string(c.suffix) + "u").SetCaption(ToDisplayText(StressUnitLabel()));
  fields_.FillText(Get<Edit>(c.ident), m.Ident);
  fields_.FillText(Get<Edit>(c.name), m.Name);
  const std::int32_t strength = m.Re != 0 ? m.Re : m.Rm;
  fields_.Fill(Get<Edit>(c.re), strength, StressText(strength));
  fields_.Fill(Get<Edit>(c.fs), PartFS[part], RealText(PartFS[part]));
  fields_.Fill(Get<Edit>(c.fh), PartFH[part], RealText(PartFH[part]));
  ShowAllowablePressure(part);
}

void TForm_kvwst::Store() {
  StorePart(kShaft);
  StorePart(kHub);
}

void TForm_kvwst::StorePart(int part) {
  const PartControls& c = ControlsOf(part);
  RKM1BASE_Record& m = Materials[part];
  m.Ident = fields_.ReadText(Get<Edit>(c.ident));
  m.Name = fields_.ReadText(Get<Edit>(c.name));
  m.Re = WholeStress(fields_.Read(Get<Edit>(c.re), TextToStress));
  PartFS[part] = fields_.Read(Get<Edit>(c.fs), TextToReal);
  PartFH[part] = fields_.Read(Get<Edit>(c.fh), TextToReal);
}

// From what the fields hold, Re not yet rounded.
void TForm_kvwst::ShowAllowablePressure(int part) {
  const PartControls& c = ControlsOf(part);
  const long double pressure = fields_.Read(Get<Edit>(c.re), TextToStress) *
                               fields_.Read(Get<Edit>(c.fs), TextToReal) *
                               fields_.Read(Get<Edit>(c.fh), TextToReal);
  Get<Label>(c.plim).SetCaption(
      ToDisplayText("plim = Re * fs * fH = " + StressText(pressure) + " " + StressUnitLabel()));
}

// The shaft's pick looks for the typed number; the hub's for the stored one. Only the picked
// part shows the table's row again: what was typed for the other part stays in its fields.
void TForm_kvwst::Pick(int part) {
  HoldPick([this, part] {
    if (part == kShaft) {
      Materials[kShaft].Ident = fields_.ReadText(Get<Edit>(ControlsOf(part).ident));
    }
    if (PickMaterial(1, part)) LoadPart(part);
  });
  AbortFlag = 0;
}

std::vector<NumberRange> TForm_kvwst::NumberRanges() const {
  std::vector<NumberRange> ranges;
  for (const PartControls& c : kParts) {
    ranges.push_back({c.re, TextToStress, StressText, kLowestStress, kHighestStress});
    ranges.push_back({c.fs, TextToReal, RealText});
    ranges.push_back({c.fh, TextToReal, RealText});
  }
  return ranges;
}

void ShowMaterialForm() {
  ShowInputForm<TForm_kvwst>();
}
