#include "platform/ui/screen.h"

#include <algorithm>

#include "platform/system/services.h"

namespace platform {

Point Centring::PositionFor(Size outer) const {
  return {origin.x + std::max(0, (area.width - outer.width) / 2),
          origin.y + std::max(0, (area.height - outer.height) / 2 + drop)};
}

Point OntoScreen(Point position, Size outer, const Rect& screen) {
  return {std::max(std::min(position.x, screen.right - outer.width), screen.left),
          std::max(std::min(position.y, screen.bottom - outer.height), screen.top)};
}
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
