#pragma once
// The configuration file: every setting of the program in one labelled text file, kept between
// runs. Reader and writer follow one table of the items, so that each setting keeps its fixed
// line; a file that ends early is read as far as it goes.

#include <string>
#include <vector>

// Scale of the drawings' horizontal extent on the screen; 1.0 unless configured.
extern long double GraphicXFactor;

// Finds the file (the current folder, the user's configuration folder, the system's ones) and
// reads it; ConfigDir becomes the folder later writes go to. Without a file the screen gives the
// window size, AbortFlag is set and no message shown.
void ReadConfig();
// Reads the file at path into the settings. False when it cannot be opened (nothing changed).
bool ReadConfigFile(const std::string& path);
// The configuration file of ConfigDir, written whole: the old file stays until the new one is
// complete. Writes nothing while AbortFlag is set.
void WriteConfig();
// Writes the settings to path, making its folder when needed; a failure leaves the old file
// and AbortFlag set.
void WriteConfigFile(const std::string& path);
// The lines WriteConfigFile writes.
std::vector<std::string> ConfigFileLines();
// The reader's last step: the window size from the screen, and the table copy switched off.
void FinishConfigRead();
