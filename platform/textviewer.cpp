#include "platform/textviewer.h"

namespace platform {

namespace {

std::unique_ptr<TextViewerBackend>& Installed() {
  static std::unique_ptr<TextViewerBackend> viewer;
  return viewer;
}

}  // namespace

void InstallTextViewer(std::unique_ptr<TextViewerBackend> viewer) {
  Installed() = std::move(viewer);
}

TextViewerBackend& TextViewer() {
  if (!Installed()) Installed() = std::make_unique<RecordingTextViewer>();
  return *Installed();
}

RecordingTextViewer& UseRecordingTextViewer() {
  auto viewer = std::make_unique<RecordingTextViewer>();
  RecordingTextViewer& result = *viewer;
  InstallTextViewer(std::move(viewer));
  return result;
}

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

}  // namespace platform
