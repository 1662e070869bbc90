#pragma once
// The material form "TForm_kvwst": the materials of shaft and hub, typed or picked from the
// material table, with their yield point, support factor fS and hardness factor fH, and the
// allowable pressure they give.

#include <cstdint>

#include "app/input/inputform.h"

class TForm_kvwst final : public InputForm {
 public:
  TForm_kvwst();

 protected:
  void Load() override;
  void Store() override;
  std::vector<NumberRange> NumberRanges() const override;

 private:
  void AddPart(int part);
  void LoadPart(int part);
  void StorePart(int part);
  void ShowAllowablePressure(int part);
  void Pick(int part);
};

// Shows the material form; AbortFlag 0 after OK, 1 after Cancel, Esc or the close box.
void ShowMaterialForm();
