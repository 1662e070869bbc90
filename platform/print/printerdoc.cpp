#include "platform/print/printerdoc.h"

namespace platform {

namespace {
PrinterDocument* active = nullptr;
}  // namespace

PrinterDocument::~PrinterDocument() {
  if (active == this) active = nullptr;
}

bool PrinterDocument::Begin(PageOrientation orientation) {
  if (active_ || !DoBegin(orientation)) return false;
  active_ = true;
  active = this;
  return true;
}

bool PrinterDocument::End() {
  if (!active_) return false;
  active_ = false;
  if (active == this) active = nullptr;
  return DoEnd();
}

PrinterDocument* ActivePrinterDocument() {
  return active;
}

}  // namespace platform
