#pragma once
// Starting the program a report or an export is shown with: the configured program (a word
// processor, an HTML browser), or the desktop's default opener where the setting asks for it.

#include <string>

// False, with the " not found" message, when the named program does not exist; a program that
// means the desktop's default (an empty one where emptyMeansDefault) always exists.
bool ProgramAvailable(const std::string& program, bool emptyMeansDefault);
// Starts the program with the file, or opens the file with the desktop's default program.
void OpenWith(const std::string& program, bool emptyMeansDefault, const std::string& file);
