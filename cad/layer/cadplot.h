// Start of the external plot program after its DXF file is written.
#pragma once

#include <array>
#include <string>
#include <vector>

// The plot program's destinations as its options form and its prompts offer them, and in the same
// order the codes its /C option takes.
inline constexpr std::array<const char*, 5> kPlotDestinations = {
    "HP-GL Laserjet (HPL)", "Postscript  (PS)", "HP-GL (PLT)", "HP-GL/2  (PL2)", "Aristo  (ART)"};
inline constexpr std::array<const char*, 5> kPlotDestinationCodes = {"HPL", "PS", "PLT", "PL2",
                                                                     "ART"};
// The output interfaces in the order offered; the /D option takes an interface's place from 1.
inline constexpr std::array<const char*, 3> kPlotInterfaces = {"serial", "parallel", "file"};

// The command line split at blanks, double quotes grouping (the quotes are removed).
std::vector<std::string> cad_split_command_line(const std::string& line);
// One word of a command line: in double quotes when it holds a blank, so that it stays one.
std::string cad_quote_command_word(const std::string& word);
// The program file a command line's first word stands for, looked for as Windows would: the name
// as given, then in another letter case, then either with ".exe"; a name without a folder on
// PATH. The name itself when nothing is found.
std::string cad_find_plot_program(const std::string& name);
// The plot program's drawing file: "penwerk.dxf" in TempDir, or, while another running copy
// holds that name, "penwerk2.dxf" and so on. The claim lasts for the run, since the plot
// program reads the file after the drawing is done.
std::string cad_plot_file_name();
// Starts the chosen plot command line without waiting, its program found by
// cad_find_plot_program; a failure is shown and sets AbortFlag. A word of the line that names
// "penwerk" (with or without ".dxf") names the file actually written.
void cad_start_plot_program();
