#pragma once
// The start-up routine: the configured folders checked, the command line carried out, the
// default input loaded and calculated, and the start image. The command-line outputs and the
// usage text end the program here, before any window shows.

#include <optional>

#include "app/main/commandline.h"

// ReadConfig that leaves the folders the start set up (the shipped files, the user's working
// and temporary folders) where the file leaves them empty, and a window size the screen gives
// where the file gives none.
void ReadConfigKeepingStartFolders();

// The exit code when the program ends here (usage, report, CAD file, a refused name or user
// ID); none when the window is to show.
std::optional<int> StartProgram(const CommandLine& line);
