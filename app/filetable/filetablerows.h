#pragma once
// What the table of calculation files shows: the calculation files of a folder, the header row
// in the program's language and units, and each file's row of key values from its own
// calculation. Cells are display texts (Windows-1252).

#include <cstddef>
#include <string>
#include <vector>

// Regular files named "*." + FileExt in any letter case, none starting with "."; sorted by name
// without regard to letter case, then by bytes.
std::vector<std::string> CalcFileNames(const std::string& folder);
// How many files CalcFileNames leaves out because their names hold letters the program cannot
// keep.
std::size_t CalcFilesLeftOut(const std::string& folder);

std::vector<std::string> FileTableHeader();

// The listed file's path, made absolute so that the reader takes it as the file itself, never as
// a bare name, also when the folder is empty (the working folder).
std::string ListedFilePath(const std::string& folder, const std::string& name);
// Loads the file (its calculation runs) and gives its row. A file that does not load gets its
// name, date and "P3G" only; a calculation that stopped leaves the safety factors empty. No
// message box is shown on the way.
std::vector<std::string> FileTableRow(const std::string& folder, const std::string& name);
