// The animation step form: while stepping, each erase colour of a replay waits for "+" (next
// step) or "+++++++" (run the rest through).
#pragma once

#include "platform/ui/drawsurface.h"
#include "platform/ui/forms.h"

class TForm_anistep : public platform::Form {
 public:
  TForm_anistep();
  bool EndMark() const { return endMark_; }

 private:
  bool endMark_ = false;
};

// Shows the form modally; closing it by any means but "+" ends stepping.
platform::StepAnswer RunAnimationStep();
