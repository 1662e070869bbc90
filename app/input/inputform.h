#pragma once
// What the three input forms of a connection share: loading and storing the record, and the
// buttons that end the form, recalculate and switch the units.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/input/filledvalues.h"
#include "calc/calcfileformat.h"
#include "calc/connectionstate.h"
#include "platform/ui/forms.h"

// A number field that the store takes, with the values it may take in the record's units. Its
// text reads by parse and the bounds show by show, both in the user's units.
struct NumberRange {
  const char* edit;
  FilledValues::Parser parse;
  std::string (*show)(long double);
  long double lo = -kLargestInput;
  long double hi = kLargestInput;
};

// A modal input form on the record: loads its fields when it shows, stores them on OK, Calc and
// the unit toggle. None of them stores while a number field holds text that is not a number or
// a value outside its range: that field is refused with the range message, shows again the value
// the form opened with or its last Calc took, and takes the focus, so the record only takes values
// the calculation file keeps. OK clears AbortFlag and does not calculate; Cancel, Esc and the close
// box set AbortFlag and put the connection back as the form found it or as its last Calc left it,
// so no result stands beside inputs it was not calculated from. Calc stores, calculates and redraws
// the current drawing, and the form stays open. A pick from a table fills the form only: what it
// picked reaches the record with the next store, and Cancel drops it.
class InputForm : public platform::Form {
 public:
  InputForm(std::string name, std::string caption, platform::Size designed);

 protected:
  virtual void Load() = 0;
  virtual void Store() = 0;
  // Whether the fields may be stored; a form refuses by moving the focus to the culprit.
  virtual bool Acceptable() { return true; }
  // The number fields the store takes now.
  virtual std::vector<NumberRange> NumberRanges() const { return {}; }

  void AddHelpButton(const std::string& name, const std::string& caption, std::uint16_t number,
                     std::uint16_t mode);
  void AddUnitButton(const std::string& caption);
  void AddCalcButton();
  void AddOkCancel();
  // Runs `pick`, which picks from a table and fills the form from the record, on the record as
  // the form's earlier picks left it; what it wrote is held for the next store and the record
  // is put back as it was.
  void HoldPick(const std::function<void()>& pick);

  FilledValues fields_;

 private:
  // Whether every number field holds a value within its range; refuses the first that does not.
  bool NumbersInRange();
  // The held picks, then the fields, into the record.
  void StoreAll();
  void Calc();
  void ToggleUnits();

  std::optional<ConnectionState> picked_;
  // The calculated connection a Cancel returns to.
  ConnectionState kept_;
};

// Creates the form, centres it on the drawing window, shows it and frees it; AbortFlag tells
// the caller whether the user confirmed (0) or cancelled (1).
template <class T>
void ShowInputForm() {
  T form;
  form.ShowModal();
}
