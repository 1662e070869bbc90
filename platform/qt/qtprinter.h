// Print jobs on Qt: the default printer, or a PDF file.
#pragma once

#include <memory>
#include <string>

#include "platform/printerdoc.h"

namespace platform::qt {

// An empty pdfPath prints to the default printer.
std::unique_ptr<PrinterDocument> MakePrinterDocument(const std::string& pdfPath = "");

}  // namespace platform::qt
