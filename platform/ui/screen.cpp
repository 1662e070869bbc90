#include "platform/ui/screen.h"

#include "platform/system/services.h"

namespace platform {
ScreenFacts PrimaryScreen() {
  auto& source = Slot<ScreenSource>();
  if (!source) source = std::make_unique<FixedScreen>();
  return source->Primary();
}

RecordedFormHandle::RecordedFormHandle(Size designed, Size frame)
    : designed_(designed), frame_(frame), outer_(designed) {}

Size RecordedFormHandle::ClientSize() const {
  return Size{outer_.width - frame_.width, outer_.height - frame_.height};
}

void RecordedFormHandle::SetClientSize(Size size) {
  outer_ = Size{size.width + frame_.width, size.height + frame_.height};
}

}  // namespace platform
