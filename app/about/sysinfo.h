#pragma once
// Help, System Info: the facts about the computer a user quotes when asking for support, listed
// each time the window becomes active, over the logo that opening it draws into the main window.

#include <string>
#include <vector>

#include "platform/ui/forms.h"

class TSysinfo : public platform::Form {
 public:
  TSysinfo();
  // Appends the lines of SystemInfoLines to the memo, on every activation of the window.
  void FormActivate();
};

// Computer and user name when known, the program path, its file system with total and free
// size in decimal megabytes (or "File system error"), the system, the processor clock, the
// summary line and the IP addresses under "IP-Adress:". Takes about half a second.
std::vector<std::string> SystemInfoLines();

// The command: the system-information window shown modally.
void ShowSysInfo();
