// The plot program's options form: the command line built from controls for the destination,
// the interface, scale, shifts, rotation and PostScript font, shown as it is edited.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/ui/forms.h"

// The fonts the form offers for PostScript destinations.
extern const std::array<std::string_view, 35> PsFontNames;

// The caller sets CommandLine before showing; the form never reads it back into its controls.
// OK rebuilds it from the controls and clears AbortFlag, unless a number edit holds text that is
// not a number, which it refuses; Cancel and the close box set AbortFlag and leave it as it was
// last shown.
class TForm_confpenwerk final : public platform::Form {
 public:
  TForm_confpenwerk();

  std::string CommandLine;

  // CommandLine from the controls, shown in Label_commandline.
  void BuildPlotCommandLine();

 private:
  void AddProgramControls();
  void AddDestinationControls();
  void AddScaleControls();
  void AddButtons();
  void SetHints();
  void EnableForDestination();
  void EnableForInterface();
  void ScaleFitClicked();
  // Whether every number edit holds a number; refuses the first that does not.
  bool NumbersAccepted();
  // Every change of an edit, a check box or a choice rebuilds the line.
  void RebuildOnChange();
};
