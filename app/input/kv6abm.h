#pragma once
// The dimensions form "TForm_kv6abm": a DIN 32711 profile picked from the profile table or a
// free d1 and e1, with proposals for e1, the lengths, the bores and the shaft's fit.

#include "app/input/inputform.h"

class TForm_kv6abm final : public InputForm {
 public:
  TForm_kv6abm();

 protected:
  void Load() override;
  void Store() override;
  // The effective length must not read as 0; else the focus goes to Edit_l.
  bool Acceptable() override;
  // d1 and e1 only where the store takes them: for a free profile.
  std::vector<NumberRange> NumberRanges() const override;

 private:
  void AddModeControls();
  void AddLengthRow(const char* name, const std::string& caption, const char* copyFrom);
  void AddProfileRows();
  void AddBoreRows();
  void AddToleranceRow();
  void FillLength(const char* edit, long double value);
  // Table mode (and a mode outside both items) shows the designation and the pick; free mode
  // lets d1 and e1 be typed.
  void EnableForMode();
  long double ReadLength(const char* edit) const;
  void ProposeBore(const char* edit, long double diameter);
  void RefreshProfile();
};

// Shows the dimensions form; AbortFlag 0 after OK, 1 after Cancel, Esc or the close box.
void ShowDimensionsForm();
