// The client area of the drawing window. The core asks the backend for paints, cursors and
// waits; the backend hands paints, keys, mouse and wheel to the core's event sink.
#pragma once

#include <cstdint>

#include "platform/ui/canvas.h"
#include "platform/ui/mainwindow.h"

namespace platform {

// The two buttons of the animation step form: "+" goes on, "+++++++" ends stepping.
enum class StepAnswer { Next, End };

class DrawSurfaceEvents {
 public:
  virtual ~DrawSurfaceEvents() = default;
  virtual void OnPaint(Canvas& canvas) = 0;
  virtual void OnActivate() = 0;
  virtual void OnKey(std::uint16_t windowsKeyCode) = 0;
  virtual void OnMouseDown(MouseButton button, std::int32_t x, std::int32_t y) = 0;
  virtual void OnMouseMove(std::int32_t x, std::int32_t y) = 0;
  virtual void OnMouseUp(MouseButton button, std::int32_t x, std::int32_t y) = 0;
  virtual void OnDblClick() = 0;
  // Multiples of 120 per notch, positive away from the user.
  virtual void OnWheel(std::int32_t delta) = 0;
};

class DrawSurface {
 public:
  virtual ~DrawSurface() = default;
  // Null stops the events.
  virtual void SetEvents(DrawSurfaceEvents* events) = 0;
  // A paint follows later through OnPaint, never inside this call.
  virtual void Invalidate() = 0;
  virtual void Show() = 0;
  virtual Size ClientSize() const = 0;
  virtual void SetCursor(CursorShape shape) = 0;
  virtual void PumpEvents() = 0;
  virtual void Sleep(std::int32_t ms) = 0;
  virtual StepAnswer StepPrompt() = 0;
  // Client pixels; corners in any order.
  virtual void ShowRubberBand(const Rect& band) = 0;
  virtual void HideRubberBand() = 0;
};

}  // namespace platform
