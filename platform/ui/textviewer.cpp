#include "platform/ui/textviewer.h"

#include "platform/system/services.h"

namespace platform {

namespace {

class CommandLineTextViewer final : public TextViewerBackend {
 public:
  WindowRect Show(const TextViewerRequest& request) override {
    WriteErrorLine(request.fileName);
    return request.rect;
  }
};

}  // namespace

std::unique_ptr<TextViewerBackend> MakeCommandLineTextViewer() {
  return std::make_unique<CommandLineTextViewer>();
}

TextViewerBackend& TextViewer() {
  auto& viewer = Slot<TextViewerBackend>();
  if (!viewer) viewer = MakeCommandLineTextViewer();
  return *viewer;
}

}  // namespace platform
