// HP-GL plot files (help images, auxiliary images, the start image) drawn through the drawing
// facade into the display list, in millimetres.
#pragma once

#include <string>

// Draws the file; AbortFlag is cleared afterwards, or set when the file is missing. The caller
// prepares the window before and shows it after.
void PlotHpgl(const std::string& fileName);

// Draws plot-file bytes already in memory, as PlotHpgl does with a file's content.
void PlotHpglText(const std::string& data);
