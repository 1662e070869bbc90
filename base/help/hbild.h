// HP-GL plot files (help images, auxiliary images, the start image) drawn through the drawing
// facade into the display list, in millimetres.
#pragma once

#include <string>

// Draws the file; AbortFlag is cleared afterwards, or set when the file is missing. The caller
// prepares the window before and shows it after.
void PlotHpgl(const std::string& fileName);
// PlotHpgl of PltDir + name + ".plt". Image names come from help files and the auxiliary-image
// list, which the user edits: a name that could lead out of PltDir (a "/", ".." or NUL byte in
// it) counts as a missing file.
void PlotNamedImage(const std::string& name);

// Draws plot-file bytes already in memory, as PlotHpgl does with a file's content.
void PlotHpglText(const std::string& data);
