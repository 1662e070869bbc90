#pragma once
// Files a run makes for itself only (block files, later the table access's temporary indexes)
// live in a folder of its own under TempDir, so that two running copies of the program never
// meet there. The folder is made (mkdtemp) the first time a run needs it, again when TempDir
// has changed since (the old one is removed), and removed with its files when the program ends.

#include <string>

// The run's private folder with a closing "/"; TempDir itself when no folder can be made there,
// so that the failure shows where the files are written.
std::string RunFolder();

// Removes the private folder and its files now (the end of the program does it otherwise).
void RemoveRunFolder();
