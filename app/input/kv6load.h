#pragma once
// The load form "TForm_kv6load": torque, bending moment, application factor KA, fatigue factor
// fW and the axial displacement case of the hub.

#include "app/input/inputform.h"

class TForm_kv6load final : public InputForm {
 public:
  // Also installs the program's handler for unexpected errors, for the rest of the run.
  TForm_kv6load();

 protected:
  void Load() override;
  void Store() override;
  std::vector<NumberRange> NumberRanges() const override;

 private:
  void AddTorqueRow(const char* edit, const char* caption, const char* unit,
                    const std::string& text, std::uint16_t hint);
  void AddFactorRow(const char* name, const std::string& text, std::uint16_t hint);
};

// Shows the load form; AbortFlag 0 after OK, 1 after Cancel, Esc or the close box.
void ShowLoadForm();

// The program's box for an exception that reached the guard of a control handler.
void ShowUnexpectedError(const std::string& typeName, const std::string& text);
