#include "platform/headless/recordingsurface.h"

namespace platform {

void RecordingDrawSurface::Invalidate() {
  calls_.push_back("invalidate");
}

void RecordingDrawSurface::Show() {
  calls_.push_back("show");
}

void RecordingDrawSurface::SetCursor(CursorShape shape) {
  calls_.push_back(shape == CursorShape::Hourglass ? "cursor hourglass" : "cursor arrow");
}

void RecordingDrawSurface::PumpEvents() {
  ++pumps_;
  calls_.push_back("pump");
}

void RecordingDrawSurface::Sleep(std::int32_t ms) {
  calls_.push_back("sleep " + std::to_string(ms));
}

StepAnswer RecordingDrawSurface::StepPrompt() {
  calls_.push_back("step");
  if (stepAnswers_.empty()) return StepAnswer::End;
  const StepAnswer answer = stepAnswers_.front();
  stepAnswers_.pop_front();
  return answer;
}

void RecordingDrawSurface::ShowRubberBand(const Rect& b) {
  calls_.push_back("band " + std::to_string(b.left) + "," + std::to_string(b.top) + "," +
                   std::to_string(b.right) + "," + std::to_string(b.bottom));
}

void RecordingDrawSurface::HideRubberBand() {
  calls_.push_back("band hidden");
}

}  // namespace platform
