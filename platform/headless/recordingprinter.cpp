#include "platform/headless/recordingprinter.h"

namespace platform {

namespace {
constexpr Size kA4At600Dpi{4961, 7016};
}  // namespace

bool RecordingPrinterDocument::DoBegin(PageOrientation orientation) {
  ++jobsBegun_;
  const bool landscape = orientation == PageOrientation::Landscape;
  page_.emplace(landscape ? Size{kA4At600Dpi.height, kA4At600Dpi.width} : kA4At600Dpi);
  return true;
}

bool RecordingPrinterDocument::DoEnd() {
  ++pagesEnded_;
  return true;
}

}  // namespace platform
