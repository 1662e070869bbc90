#pragma once
// The drawing settings form: how the P3G contour is drawn (single lines or one polyline, the
// resolution) and at which diameter. The values live in the calculation record, so they are
// saved with the calculation file.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/ui/forms.h"

// Shown modally, or run without showing through DrawSettingsLoad and DrawSettingsStore, which
// gives the values of an immediate OK. OK clears AbortFlag and stores; Cancel and the close box
// set it and store nothing. OK and the unit toggle refuse a field that holds text that is not a
// number, or a value the record does not take, with the range message, show its old value again
// and put the focus on it.
class TForm_kv6config final : public platform::Form {
 public:
  TForm_kv6config();

  // Set before the form loads: 1 hides the diameter controls.
  std::int32_t HideDiameter = 0;
  // Whose contour the diameter is proposed for: 0 the connection (d1), 1 the shaft, 2 the hub
  // (the mean of its limits).
  std::int32_t SettingsPart = 0;

  // The record's settings into the controls, the diameter proposed by SettingsPart.
  void DrawSettingsLoad();
  // The controls into the record. A diameter text the user left as filled stores the exact value
  // behind it, not the value read back from its rounded text.
  void DrawSettingsStore();

 private:
  void AddDiameterControls();
  void AddButtons();
  void FillDiameter(long double diameter, std::string text);
  // The diameter with three decimals.
  void FillDiameter(long double diameter);
  void ToggleUnitSystem();
  // The diameter the field stands for; nothing for text that is not a number.
  std::optional<long double> TypedDiameter() const;
  // Whether the fields may be stored; refuses the first that may not.
  bool NumbersValid();

  long double filledDiameter_ = 0;
};
