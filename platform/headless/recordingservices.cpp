#include "platform/headless/recordingservices.h"

#include "platform/files/osfiles.h"

namespace platform {

namespace {

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

// Adds the file's bytes as a job of the port; false when it cannot be read.
bool Keep(std::int32_t port, const std::string& fileName,
          std::vector<std::pair<std::int32_t, std::string>>& kept) {
  std::string bytes;
  if (!os::ReadWholeFile(fileName, bytes)) return false;
  kept.emplace_back(port, std::move(bytes));
  return true;
}

}  // namespace

WindowRect RecordingTextViewer::Show(const TextViewerRequest& request) {
  shown.push_back(request);
  const std::vector<ViewerPress> script = std::move(presses);
  presses.clear();
  for (ViewerPress press : script) {
    if (press == ViewerPress::Close) break;
    switch (press) {
      case ViewerPress::Export:
        if (request.onExport) request.onExport();
        break;
      case ViewerPress::Print:
        if (request.onPrint) request.onPrint();
        break;
      case ViewerPress::SelectAll:
        selection = request.textUtf8;
        break;
      case ViewerPress::Copy:
        clipboard = selection;
        break;
      case ViewerPress::Close:
        break;
    }
  }
  return closeRect.width > 0 ? closeRect : request.rect;
}

std::unique_ptr<TextPrintJob> RecordingTextPrinter::Begin(PrintRangeRequest& request) {
  dialogs.push_back(request);
  if (cancel) return nullptr;
  if (from != 0) request.fromPage = from;
  if (to != 0) request.toPage = to;
  jobs.push_back({request, {}, false});
  return std::make_unique<RecordedJob>(jobs.back(), pageHeight, failFinish);
}

bool RecordingRawPrinter::SendRaw(std::int32_t port, const std::string& fileName) {
  return !fail && Keep(port, fileName, jobs);
}

bool RecordingRawPrinter::SendText(std::int32_t port, const std::string& fileName) {
  return !fail && Keep(port, fileName, textJobs);
}

}  // namespace platform
