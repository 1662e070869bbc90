#pragma once

#include <string>

#include "platform/ui/textviewer.h"

// The configured printout font (name, size, style), used by the printer and the text viewer.
platform::TextFontSpec PrintoutFont();

// Prints a report file (code page 850) on the desktop printer, one text line per printer line in
// the printout font, pages split at the form-feed lines, over the page range the user picks.
void PrintTextFile(const std::string& name);
