// The current printer on Qt: the system's default printer, else its first one, else a PDF writer.
#pragma once

#include <QString>
#include <memory>

#include "platform/print/currentprinter.h"

namespace platform::qt {

std::unique_ptr<PrinterService> MakeQtCurrentPrinter();
// The system name of the current printer, or empty while it writes a file.
QString CurrentQtPrinterName();

}  // namespace platform::qt
