// The current printer of the run, shared by the drawing's printout and the text printout: the
// system's default printer, else its first one, else a PDF writer (A4, 600 dpi, no margins). The
// user may choose another printer, or a PDF file, for the rest of the run. Texts are
// Windows-1252.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/print/printerdoc.h"

namespace platform {

// Technology codes of a printing device.
inline constexpr std::int32_t kTechnologyRasterPrinter = 2;
inline constexpr std::int32_t kTechnologyMetafile = 5;

// What the device tells of itself; an empty value is one the device does not give.
struct PrinterCaps {
  std::string name;
  std::optional<std::int32_t> driverVersion;
  std::optional<std::int32_t> technology;
  std::optional<std::int32_t> widthMm, heightMm;          // the printable area
  std::optional<std::int32_t> widthPixels, heightPixels;  // the printable area in device pixels
  std::optional<std::int32_t> offsetX, offsetY;           // of the printable area, in pixels
  std::optional<std::int32_t> dpiX, dpiY;
  std::optional<std::int32_t> brushes, pens, markers;
  std::optional<std::int32_t> colours;  // -1 for more than 256
  std::vector<std::string> fonts;
};

class PrinterService {
 public:
  virtual ~PrinterService() = default;
  // The printer's name, or "PDF: " + the file the PDF writer writes.
  virtual std::string CurrentName() = 0;
  // The file the current printer writes, or empty for a real printer.
  virtual std::string PdfFile() = 0;
  // The print dialog without page range: confirmed, its printer (or file) becomes current and
  // true is returned; cancelled, nothing changes.
  virtual bool Choose() = 0;
  virtual void SetOrientation(PageOrientation orientation) = 0;
  virtual PageOrientation Orientation() const = 0;
  virtual void SetJobTitle(const std::string& title) = 0;
  // Read for the current orientation.
  virtual PrinterCaps Caps() = 0;
  // Makes a PDF writer of that file current, as choosing a file in the dialog does.
  virtual void UsePdf(const std::string& path) = 0;
  // The file the PDF writer stands in for a missing printer writes; ignored once a printer or a
  // file was installed or chosen.
  virtual void ProposePdf(const std::string& path) = 0;
  // A job on the current printer with its title; valid until the next call.
  virtual PrinterDocument& Document() = 0;
};

// The printer service of the platform's kit (platform/services.h); without one, a printer whose
// every job fails to begin.
PrinterService& CurrentPrinter();
std::unique_ptr<PrinterService> MakeCommandLinePrinter();

}  // namespace platform
