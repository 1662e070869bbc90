// Start of the external plot program after its DXF file is written.
#pragma once

#include <string>
#include <vector>

// The command line split at blanks, double quotes grouping (the quotes are removed).
std::vector<std::string> cad_split_command_line(const std::string& line);
// The plot program's drawing file: "penwerk.dxf" in TempDir, or, while another running copy
// holds that name, "penwerk2.dxf" and so on. The claim lasts for the run, since the plot
// program reads the file after the drawing is done.
std::string cad_plot_file_name();
// Starts the chosen plot command line without waiting; a failure is shown and sets AbortFlag.
// A word of the line that names "penwerk" (with or without ".dxf") names the file actually
// written.
void cad_start_plot_program();
