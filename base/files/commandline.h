#pragma once
// Program texts the user or the configuration stores: split into words for starting a program
// without a shell, and recognised as a Windows program that stands for the desktop's default.

#include <string>
#include <vector>

// The command line split at blanks, double quotes grouping (the quotes are removed).
std::vector<std::string> SplitCommandLine(const std::string& line);
// Whether a program text names a Windows program (a ".exe" file, a drive letter or a "\" in the
// path), which stands for the desktop's default program; empty text as emptyMeansDefault says.
bool MeansDesktopDefault(const std::string& program, bool emptyMeansDefault);
