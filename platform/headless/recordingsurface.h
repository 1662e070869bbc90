// A drawing surface without a display: every call is written down as one line, the step form
// answers from a script, and tests drive the event sink themselves.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/ui/drawsurface.h"

namespace platform {

class RecordingDrawSurface : public DrawSurface {
 public:
  explicit RecordingDrawSurface(Size clientSize = {640, 480}) : clientSize_(clientSize) {}

  // Lines such as "invalidate", "cursor hourglass", "sleep 20", "band 1,2,30,40".
  const std::vector<std::string>& Calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }
  int PumpCount() const { return pumps_; }
  DrawSurfaceEvents* Events() const { return events_; }
  void SetClientSize(Size size) { clientSize_ = size; }
  // Answers of the coming step prompts; an empty script answers End.
  void ScriptStepAnswers(std::deque<StepAnswer> answers) { stepAnswers_ = std::move(answers); }

  void SetEvents(DrawSurfaceEvents* events) override { events_ = events; }
  void Invalidate() override;
  void Show() override;
  Size ClientSize() const override { return clientSize_; }
  void SetCursor(CursorShape shape) override;
  void PumpEvents() override;
  void Sleep(std::int32_t ms) override;
  StepAnswer StepPrompt() override;
  void ShowRubberBand(const Rect& band) override;
  void HideRubberBand() override;

 private:
  DrawSurfaceEvents* events_ = nullptr;
  Size clientSize_;
  std::vector<std::string> calls_;
  int pumps_ = 0;
  std::deque<StepAnswer> stepAnswers_;
};

}  // namespace platform
