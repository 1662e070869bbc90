#include "platform/ui/windowsurface.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/headless.h"

namespace platform {
namespace {

// Keeps the wheel deltas it gets; a paint asks the surface for the step answer.
class Sink : public DrawSurfaceEvents {
 public:
  explicit Sink(DrawSurface& surface) : surface_(surface) {}
  void OnPaint(Canvas&) override { answersInPaint.push_back(surface_.StepPrompt()); }
  void OnActivate() override {}
  void OnKey(std::uint16_t) override {}
  void OnMouseDown(MouseButton, std::int32_t, std::int32_t) override {}
  void OnMouseMove(std::int32_t, std::int32_t) override {}
  void OnMouseUp(MouseButton, std::int32_t, std::int32_t) override {}
  void OnDblClick() override {}
  void OnWheel(std::int32_t delta) override { wheels.push_back(delta); }

  std::vector<std::int32_t> wheels;
  std::vector<StepAnswer> answersInPaint;

 private:
  DrawSurface& surface_;
};

class WindowSurfaceTest : public ::testing::Test {
 protected:
  MainWindow window_;
  int formRuns_ = 0;
  WindowDrawSurface surface_{window_, [this] {
                               ++formRuns_;
                               return StepAnswer::Next;
                             }};
  Sink sink_{surface_};
};

TEST_F(WindowSurfaceTest, WheelDeltasSumToWholeNotches) {
  const std::pair<std::vector<std::int32_t>, std::vector<std::int32_t>> cases[] = {
      {{120}, {120}},
      {{-120}, {-120}},
      {{240}, {240}},
      {{60, 60}, {120}},
      {{40, 40, 40, -120}, {120, -120}},
      {{-90, -90, -60}, {-120, -120}},
      {{100, -100}, {}},
  };
  for (const auto& [deltas, wheels] : cases) {
    WindowDrawSurface surface(window_, nullptr);
    Sink sink(surface);
    surface.SetEvents(&sink);
    for (const std::int32_t d : deltas) window_.onMouseWheel(d, ShiftState{}, Point{});
    EXPECT_EQ(sink.wheels, wheels) << "first delta " << deltas.front();
  }
}

TEST_F(WindowSurfaceTest, StepPromptShowsTheFormOnlyOutsideAPaint) {
  surface_.SetEvents(&sink_);
  EXPECT_EQ(surface_.StepPrompt(), StepAnswer::Next);
  window_.Repaint();
  EXPECT_EQ(sink_.answersInPaint, std::vector<StepAnswer>{StepAnswer::End});
  EXPECT_EQ(formRuns_, 1) << "no modal form inside a paint";
  EXPECT_EQ(surface_.StepPrompt(), StepAnswer::Next) << "the paint has ended";
  EXPECT_EQ(WindowDrawSurface(window_, nullptr).StepPrompt(), StepAnswer::End);
}

TEST_F(WindowSurfaceTest, PumpEventsRunsNoPendingPaint) {
  surface_.SetEvents(&sink_);
  surface_.Invalidate();
  surface_.PumpEvents();
  EXPECT_EQ(headless::StateOf(window_).repaints, 0);
  EXPECT_TRUE(sink_.answersInPaint.empty());
}

TEST_F(WindowSurfaceTest, DetachedSurfaceLeavesNoHandlers) {
  {
    WindowDrawSurface surface(window_, nullptr);
    surface.SetEvents(&sink_);
    ASSERT_TRUE(window_.onPaint);
  }
  EXPECT_FALSE(window_.onPaint);
  EXPECT_FALSE(window_.onMouseWheel);
  EXPECT_FALSE(window_.onKeyDown);
}

}  // namespace
}  // namespace platform
