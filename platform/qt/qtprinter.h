// Print jobs on Qt: the default printer, or a PDF file.
#pragma once

#include <memory>
#include <string>

#include "platform/print/printerdoc.h"

class QPrinter;

namespace platform::qt {

// An empty pdfPath prints to the default printer.
std::unique_ptr<PrinterDocument> MakePrinterDocument(const std::string& pdfPath = "");
// A job on a printer the caller keeps, with that printer's settings.
std::unique_ptr<PrinterDocument> MakePrinterDocument(QPrinter& printer);

}  // namespace platform::qt
