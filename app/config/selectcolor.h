#pragma once
// The colour picker of the configuration form: the 16 colour numbers of CAD layers with their
// names. A colour number is a type apart from a palette index, so that one is never taken for
// the other.

#include <cstdint>

#include "platform/ui/forms.h"

struct CadColour {
  std::int32_t number = 0;  // 1..16 are the named colours
};

// ChoiceTexts[1..16] := the colour names, "red" to "black".
void ColourNames();

class TForm_selectcolor : public platform::Form {
 public:
  // The list shows the colour names ColourNames put into ChoiceTexts.
  TForm_selectcolor();
  platform::ListBox& ListBox_colors;
};

// The picker on a colour: the new colour after OK with a line selected, else the colour as it
// was (a colour outside 1..16 selects no line). Leaves AbortFlag clear.
CadColour PickCadColour(CadColour current);
