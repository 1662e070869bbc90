// A print job of one page: the drawing is replayed onto its canvas between Begin and End.
#pragma once

#include <cstdint>

#include "platform/ui/canvas.h"

namespace platform {

enum class PageOrientation { Portrait, Landscape };

// Device pixels per inch across and down a page.
struct Resolution {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Resolution&) const = default;
};

class PrinterDocument {
 public:
  virtual ~PrinterDocument();
  // False when the job cannot start; the document then stays inactive.
  bool Begin(PageOrientation orientation);
  // False when the output could not be completed.
  bool End();
  bool Active() const { return active_; }
  // Valid between Begin and End; its size is the page in device pixels.
  virtual Canvas& PageCanvas() = 0;
  // The resolution of that page.
  virtual Resolution PageResolution() const = 0;

 protected:
  virtual bool DoBegin(PageOrientation orientation) = 0;
  virtual bool DoEnd() = 0;

 private:
  bool active_ = false;
};

// The document between its Begin and End, else null.
PrinterDocument* ActivePrinterDocument();

}  // namespace platform
