#include "platform/textprinter.h"

namespace platform {

namespace {

std::unique_ptr<TextPrinterBackend>& Installed() {
  static std::unique_ptr<TextPrinterBackend> printer;
  return printer;
}

class RecordedJob final : public TextPrintJob {
 public:
  RecordedJob(RecordingTextPrinter::Job& job, std::int32_t height, bool fails)
      : job_(job), height_(height), fails_(fails) {
    job_.pages.emplace_back();
  }
  std::int32_t PageHeight() const override { return height_; }
  void SetFont(const TextFontSpec& font) override { job_.pages.back().font = font; }
  void NewPage() override {
    const TextFontSpec font = job_.pages.back().font;
    job_.pages.emplace_back();
    job_.pages.back().font = font;
  }
  void DrawLine(std::int32_t, std::int32_t y, const std::string& text) override {
    job_.pages.back().lines.push_back({y, text});
  }
  bool Finish() override {
    job_.finished = !fails_;
    return !fails_;
  }

 private:
  RecordingTextPrinter::Job& job_;
  std::int32_t height_;
  bool fails_;
};

}  // namespace

void InstallTextPrinter(std::unique_ptr<TextPrinterBackend> printer) {
  Installed() = std::move(printer);
}

TextPrinterBackend& TextPrinter() {
  if (!Installed()) Installed() = std::make_unique<RecordingTextPrinter>();
  return *Installed();
}

RecordingTextPrinter& UseRecordingTextPrinter() {
  auto printer = std::make_unique<RecordingTextPrinter>();
  RecordingTextPrinter& result = *printer;
  InstallTextPrinter(std::move(printer));
  return result;
}

std::unique_ptr<TextPrintJob> RecordingTextPrinter::Begin(PrintRangeRequest& request) {
  dialogs.push_back(request);
  if (cancel) return nullptr;
  if (from != 0) request.fromPage = from;
  if (to != 0) request.toPage = to;
  jobs.push_back({request, {}, false});
  return std::make_unique<RecordedJob>(jobs.back(), pageHeight, failFinish);
}

}  // namespace platform
