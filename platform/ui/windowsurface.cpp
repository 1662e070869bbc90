#include "platform/ui/windowsurface.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
constexpr std::int32_t kWheelNotch = 120;
}  // namespace

WindowDrawSurface::WindowDrawSurface(MainWindow& window, std::function<StepAnswer()> stepForm)
    : window_(window), stepForm_(std::move(stepForm)) {}

WindowDrawSurface::~WindowDrawSurface() {
  SetEvents(nullptr);
}

void WindowDrawSurface::SetEvents(DrawSurfaceEvents* events) {
  if (events == nullptr) {
    window_.onPaint = nullptr;
    window_.onMouseDown = window_.onMouseMove = window_.onMouseUp = nullptr;
    window_.onDoubleClick = nullptr;
    window_.onMouseWheel = nullptr;
    window_.onKeyDown = nullptr;
    return;
  }
  window_.onPaint = [this, events](Canvas& canvas) {
    painting_ = true;
    events->OnPaint(canvas);
    painting_ = false;
  };
  window_.onMouseDown = [events](const MouseEvent& e) {
    events->OnMouseDown(e.button, e.position.x, e.position.y);
  };
  window_.onMouseMove = [events](const MouseEvent& e) {
    events->OnMouseMove(e.position.x, e.position.y);
  };
  window_.onMouseUp = [events](const MouseEvent& e) {
    events->OnMouseUp(e.button, e.position.x, e.position.y);
  };
  window_.onDoubleClick = [events] { events->OnDblClick(); };
  window_.onMouseWheel = [this, events](std::int32_t delta, ShiftState, Point) {
    wheelRest_ += delta;
    const std::int32_t notches = wheelRest_ / kWheelNotch;
    if (notches == 0) return;
    wheelRest_ -= notches * kWheelNotch;
    events->OnWheel(notches * kWheelNotch);
  };
  window_.onKeyDown = [events](const KeyEvent& e) { events->OnKey(e.key); };
}

void WindowDrawSurface::Sleep(std::int32_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

StepAnswer WindowDrawSurface::StepPrompt() {
  if (painting_ || !stepForm_) return StepAnswer::End;
  return stepForm_();
}

}  // namespace platform
