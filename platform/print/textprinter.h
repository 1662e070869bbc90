// Printing text pages: the print dialog with a page range, then a job that draws lines of text
// on its pages. The desktop backend prints through the system's printers, or into a PDF file
// when none is installed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/ui/textviewer.h"

namespace platform {

struct PrintRangeRequest {
  std::string title;  // job title, Windows-1252
  std::int32_t minPage = 1;
  std::int32_t maxPage = 1;
  std::int32_t fromPage = 1;  // preset, and the user's choice after OK
  std::int32_t toPage = 1;
  std::string pdfFileName;  // proposed output file when there is no printer
};

class TextPrintJob {
 public:
  virtual ~TextPrintJob() = default;
  // Height of the printable area in device pixels.
  virtual std::int32_t PageHeight() const = 0;
  virtual void SetFont(const TextFontSpec& font) = 0;
  virtual void NewPage() = 0;
  // A line of Windows-1252 text with its top at y, from the printable area's left edge.
  virtual void DrawLine(std::int32_t x, std::int32_t y, const std::string& text) = 0;
  // Ends the document; false when the output could not be completed.
  virtual bool Finish() = 0;
};

class TextPrinterBackend {
 public:
  virtual ~TextPrinterBackend() = default;
  // Shows the print dialog (portrait); null when the user cancels. After OK the request holds
  // the chosen From and To pages and the job has begun its first page.
  virtual std::unique_ptr<TextPrintJob> Begin(PrintRangeRequest& request) = 0;
};

// The text printer service of the platform's kit (platform/services.h). Without one every job
// fails: its lines go nowhere and Finish answers false.
TextPrinterBackend& TextPrinter();
std::unique_ptr<TextPrinterBackend> MakeCommandLineTextPrinter();

}  // namespace platform
