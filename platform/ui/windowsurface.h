// The drawing surface of a main window: paints, keys, mouse and wheel of the window go to the
// core's event sink.
#pragma once

#include <functional>

#include "platform/ui/drawsurface.h"
#include "platform/ui/mainwindow.h"

namespace platform {

class WindowDrawSurface : public DrawSurface {
 public:
  // stepForm shows the animation step form; it is never run inside a paint, where no modal
  // form may open and the answer is End.
  WindowDrawSurface(MainWindow& window, std::function<StepAnswer()> stepForm);
  ~WindowDrawSurface() override;

  void SetEvents(DrawSurfaceEvents* events) override;
  void Invalidate() override { window_.Invalidate(); }
  void Show() override { window_.Show(); }
  Size ClientSize() const override { return window_.ClientSize(); }
  void SetCursor(CursorShape shape) override { window_.SetCursor(shape); }
  // The replay runs inside paints, where events must not run: they could start a second
  // replay on the same coordinate state.
  void PumpEvents() override {}
  void Sleep(std::int32_t ms) override;
  StepAnswer StepPrompt() override;
  void ShowRubberBand(const Rect& band) override { window_.ShowRubberBand(band); }
  void HideRubberBand() override { window_.HideRubberBand(); }

 private:
  MainWindow& window_;
  std::function<StepAnswer()> stepForm_;
  bool painting_ = false;
  std::int32_t wheelRest_ = 0;  // wheel movement short of a notch
};

}  // namespace platform
