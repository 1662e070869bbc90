// The report viewer window and text printing through Qt: a modal dialog with a menu bar and a
// plain-text view in the printout font, and the print dialog with a page range that prints to
// the chosen printer, or into a PDF file when no printer is installed.
#pragma once

#include <memory>

#include "platform/print/textprinter.h"
#include "platform/ui/textviewer.h"

namespace platform::qt {

std::unique_ptr<TextViewerBackend> MakeQtTextViewer();
std::unique_ptr<TextPrinterBackend> MakeQtTextPrinter();

}  // namespace platform::qt
