#pragma once
// Help, About: the program's name, version and the file version of the program file, over the
// logo that opening the window draws into the main window.

#include "platform/ui/forms.h"

class TAboutBox : public platform::Form {
 public:
  TAboutBox();
};

// The command: the about window shown modally.
void ShowAboutBox();
