// Start of the external plot program after its DXF file is written.
#pragma once

#include <string>
#include <vector>

// The command line split at blanks, double quotes grouping (the quotes are removed).
std::vector<std::string> cad_split_command_line(const std::string& line);
// Starts the chosen plot command line without waiting; a failure is shown and sets AbortFlag.
void cad_start_plot_program();
