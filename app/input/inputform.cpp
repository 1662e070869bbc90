#include "app/input/inputform.h"

#include <cmath>

#include "base/dialogs/formplace.h"
#include "base/dialogs/utilcrt.h"
#include "base/files/utilsys.h"
#include "base/help/helptext.h"
#include "base/settings/wbrelvar.h"
#include "cad/drawings/outputdrawing.h"
#include "calc/kv6rech.h"

using platform::Button;
using platform::Edit;
using platform::ModalResult;

InputForm::InputForm(std::string name, std::string caption, platform::Size designed)
    : platform::Form(std::move(name), std::move(caption), designed) {
  CenterOnDrawWindow(Placement());
  onShow = [this] {
    kept_ = ConnectionState::Current();
    Load();
  };
  onClose = [this] {
    if (GetModalResult() == ModalResult::Ok) return;
    AbortFlag = 1;
    kept_.Restore();
  };
}

void InputForm::AddHelpButton(const std::string& name, const std::string& caption,
                              std::uint16_t number, std::uint16_t mode) {
  auto& help = Add<Button>(name);
  help.SetCaption(caption);
  help.onClick = [number, mode] {
    ShowHelpText(number, "", mode);
    AbortFlag = 0;
  };
}

void InputForm::AddUnitButton(const std::string& caption) {
  auto& units = Add<Button>("Button_metric");
  units.SetCaption(caption);
  units.onClick = [this] { ToggleUnits(); };
}

void InputForm::AddCalcButton() {
  auto& calc = Add<Button>("Button_calc");
  calc.SetCaption("Calc");
  calc.onClick = [this] { Calc(); };
}

void InputForm::AddOkCancel() {
  auto& ok = Add<Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.onClick = [this] {
    if (!NumbersInRange() || !Acceptable()) return;
    StoreAll();
    AbortFlag = 0;
    SetModalResult(ModalResult::Ok);
  };
  auto& cancel = Add<Button>("Button_cancel");
  cancel.SetCaption("Cancel");
  cancel.SetCancel(true);
  cancel.SetModalResult(ModalResult::Cancel);
  cancel.onClick = [] { AbortFlag = 1; };
}

void InputForm::HoldPick(const std::function<void()>& pick) {
  const ConnectionState record = ConnectionState::Current();
  if (picked_) picked_->Restore();
  pick();
  ConnectionState picked = ConnectionState::Current();
  record.Restore();
  // A pick that changed nothing leaves nothing to hold, so the next pick starts from the record.
  if (picked == record) {
    picked_.reset();
  } else {
    picked_ = std::move(picked);
  }
}

// Text that is no number, a text that names no long double, or a value beyond the range once
// converted (an infinity too), is refused.
bool InputForm::NumbersInRange() {
  for (const NumberRange& range : NumberRanges()) {
    Edit& edit = Get<Edit>(range.edit);
    const std::optional<long double> value = fields_.Typed(edit, range.parse);
    if (value && std::isfinite(*value) && *value >= range.lo && *value <= range.hi) continue;
    ShowRangeError(range.show(range.lo), range.show(range.hi));
    fields_.Refill(edit);
    // What the form shows from the field follows its old value too.
    if (edit.onChange) edit.onChange();
    edit.SetFocus();
    return false;
  }
  return true;
}

void InputForm::StoreAll() {
  if (picked_) picked_->Restore();
  picked_.reset();
  Store();
}

void InputForm::Calc() {
  if (!NumbersInRange() || !Acceptable()) return;
  StoreAll();
  CalculateP3G();
  kept_ = ConnectionState::Current();
  // A value refused later comes back as the one this calculation took, the one Cancel keeps.
  for (const NumberRange& range : NumberRanges()) fields_.Keep(Get<Edit>(range.edit), range.parse);
  RedrawCurrentDrawing();
}

// The values stored before the switch show again in the other units; a value left alone stays
// exactly what it was, however often the units switch. What the switch stores is not
// calculated, so a Cancel takes it back; the unit system stays switched.
void InputForm::ToggleUnits() {
  if (!NumbersInRange()) return;
  StoreAll();
  ToggleUnitSystem();
  Load();
}
