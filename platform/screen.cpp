#include "platform/screen.h"

#include <utility>

namespace platform {
namespace {

ScreenFacts FixedScreen() {
  return ScreenFacts{Size{1280, 1024}, 96};
}

std::function<ScreenFacts()>& Source() {
  static std::function<ScreenFacts()> source = FixedScreen;
  return source;
}

}  // namespace

ScreenFacts PrimaryScreen() {
  return Source()();
}

void SetScreenSource(std::function<ScreenFacts()> source) {
  Source() = source ? std::move(source) : FixedScreen;
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
