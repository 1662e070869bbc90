// A printer without a device: one recorded A4 page at 600 dpi (7016 x 4961 in landscape).
#pragma once

#include <optional>

#include "platform/headless/recordingcanvas.h"
#include "platform/print/printerdoc.h"

namespace platform {

class RecordingPrinterDocument : public PrinterDocument {
 public:
  static constexpr std::int32_t kDpi = 600;
  Canvas& PageCanvas() override { return *page_; }
  Resolution PageResolution() const override { return {kDpi, kDpi}; }
  // The page of the last job, kept after End.
  const RecordingCanvas& Page() const { return *page_; }
  int JobsBegun() const { return jobsBegun_; }
  int PagesEnded() const { return pagesEnded_; }

 protected:
  bool DoBegin(PageOrientation orientation) override;
  bool DoEnd() override;

 private:
  std::optional<RecordingCanvas> page_;
  int jobsBegun_ = 0;
  int pagesEnded_ = 0;
};

}  // namespace platform
