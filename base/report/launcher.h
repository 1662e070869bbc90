#pragma once
// Starting the program a report or an export is shown with: the configured program (a word
// processor, an HTML browser), the desktop's default opener, or the user's text editor. A start
// that fails is never silent: a box names the file and the program.

#include <string>
#include <vector>

// False, with the " not found" message, when the named program does not exist; a program that
// means the desktop's default (an empty one where emptyMeansDefault) always exists.
bool ProgramAvailable(const std::string& program, bool emptyMeansDefault);
// Starts the program with the file, or opens the file with the desktop's default program.
void OpenWith(const std::string& program, bool emptyMeansDefault, const std::string& file);
// Starts the program argv[0] (argv not empty) for the file; false after the failure box.
bool StartProgramReported(const std::vector<std::string>& argv, const std::string& file);
// Opens the file with the desktop's default program; false after the failure box.
bool OpenDocumentReported(const std::string& file);
// Opens the text file in the user's editor; false after the failure box.
bool EditTextReported(const std::string& file);
