#pragma once
// The drawing-text form "TForm_kveingabetext": drawing names and numbers of the inner part
// (shaft) and the outer part (hub), and two information lines.

#include "app/input/filledvalues.h"
#include "platform/ui/forms.h"

class TForm_kveingabetext final : public platform::Form {
 public:
  TForm_kveingabetext();

 private:
  void AddPartGroup(const char* group, const std::string& part, const char* suffix);
  void AddEdit(platform::Container& parent, const std::string& name, std::size_t maxLength,
               const std::string& stored);
  // The eight edits into their variables; an edit left alone gives back its bytes unchanged.
  void Store();

  FilledValues fields_;
};

// Shows the form. OK takes the texts and clears AbortFlag; Cancel, Esc and the close box keep
// every text and set AbortFlag.
void ShowTextInput();
