#include <gmock/gmock.h>

#include "tests/base/drawwindow_fixture.h"

namespace {

using Rect = std::vector<std::int32_t>;

class ZoomTest : public DrawWindowTest {
 protected:
  ZoomTest() {
    window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
    DisplayList.clear();
  }
  static Rect Zoom() { return {ZoomRect.x1, ZoomRect.y1, ZoomRect.x2, ZoomRect.y2}; }
  const Rect whole_{0, 0, 640, 480};
};

using ::testing::ElementsAre;

TEST_F(ZoomTest, KeysZoomAndPan) {
  const std::pair<std::uint16_t, Rect> cases[] = {
      {107, {54, 40, 586, 440}}, {109, {-64, -48, 704, 528}}, {37, {64, 0, 704, 480}},
      {39, {-64, 0, 576, 480}},  {38, {0, -48, 640, 432}},    {40, {0, 48, 640, 528}},
      {33, {0, -240, 640, 240}}, {34, {0, 240, 640, 720}}};
  for (const auto& [key, rect] : cases) {
    window_.ResetZoom();
    window_.processKey(key);
    EXPECT_EQ(Zoom(), rect) << "key " << key;
  }
  surface_.ClearCalls();
  for (const std::uint16_t unlisted : {std::uint16_t{65}, std::uint16_t{13}})
    window_.processKey(unlisted);
  EXPECT_EQ(Zoom(), cases[7].second);
  EXPECT_TRUE(surface_.Calls().empty()) << "unlisted keys do nothing";
  window_.processKey(27);
  EXPECT_EQ(Zoom(), whole_);
  EXPECT_TRUE(DisplayList.empty()) << "zoom never changes the list";
}

TEST_F(ZoomTest, ZoomOutStopsAtThePixelBound) {
  for (int i = 0; i < 200; ++i) window_.processKey(109);
  const auto withinBound = [] {
    for (const std::int32_t v : Zoom()) EXPECT_LE(std::abs(std::int64_t{v}), kZoomPixelBound);
  };
  withinBound();
  EXPECT_GT(ZoomRect.x2, 1'000'000) << "zoomed out as far as the bound allows";
  WheelZoomOn = 1;
  for (int i = 0; i < 200; ++i) window_.FormMouseWheel(120);
  withinBound();
}

TEST_F(ZoomTest, WheelZoomsAboutTheCentreWhenSwitchedOn) {
  window_.FormMouseWheel(120);
  EXPECT_EQ(Zoom(), whole_) << "off by default";
  WheelZoomOn = 1;
  // -240 divides by 2.4.
  // clang-format off
  const std::pair<std::int32_t, Rect> cases[] = {
      {120, {-64, -48, 704, 528}}, {240, {-448, -336, 1088, 816}}, {-120, {54, 40, 586, 440}},
      {-240, {187, 140, 453, 340}}, {60, {-64, -48, 704, 528}}};
  // clang-format on
  for (const auto& [delta, rect] : cases) {
    window_.ResetZoom();
    window_.FormMouseWheel(delta);
    EXPECT_EQ(Zoom(), rect) << "delta " << delta;
  }
}

TEST_F(ZoomTest, DragZoomsToTheRectangleAndHidesTheBand) {
  surface_.SetClientSize({640, 480});
  window_.FormMouseDown(platform::MouseButton::Left, 100, 100);
  window_.FormMouseUp(platform::MouseButton::Left, 100, 300);
  EXPECT_EQ(Zoom(), whole_) << "a drag without width does not zoom";
  window_.FormMouseDown(platform::MouseButton::Left, 100, 100);
  window_.FormMouseMove(200, 150);
  window_.FormMouseMove(300, 200);
  window_.FormMouseUp(platform::MouseButton::Left, 300, 200);
  EXPECT_EQ(Zoom(), (Rect{100, 280, 300, 380}));
  EXPECT_THAT(
      Matching(surface_.Calls(), "band"),
      ElementsAre("band hidden", "band 100,100,200,150", "band 100,100,300,200", "band hidden"));
  window_.FormMouseUp(platform::MouseButton::Right, 5, 5);
  EXPECT_EQ(surface_.Calls().back(), "band hidden") << "every release hides the band";
}

TEST_F(ZoomTest, DragScalesXByTheMouseAspectWithKeepAspect) {
  window_.Header(0, 0, 320, 120);  // mouse aspect 0.5
  surface_.SetClientSize({640, 480});
  window_.FormMouseDown(platform::MouseButton::Left, 100, 100);
  window_.FormMouseUp(platform::MouseButton::Left, 300, 200);
  // x from the inset zoom rectangle 1..639: (100 / 640 * 638 + 1) * 0.5 = 50.34 and
  // (300 / 640 * 638 + 1) * 0.5 = 150.03; y is not scaled.
  EXPECT_EQ(Zoom(), (Rect{50, 280, 150, Zoom()[3]}));
}

TEST_F(ZoomTest, RightButtonResetsAndDoubleClickRestoresTheLimit) {
  window_.processKey(107);
  window_.FormMouseDown(platform::MouseButton::Right, 1, 1);
  EXPECT_EQ(Zoom(), whole_);
  window_.SaveLimit();
  window_.FormDblClick();
  window_.FormMouseDown(platform::MouseButton::Left, 1, 1);
  EXPECT_THAT(DisplayList, ElementsAre(::testing::StartsWith("10;"), "10;0;0;640;480;0;0;1;1"));
  // The double click is used up: the next press starts a drag.
  window_.FormMouseUp(platform::MouseButton::Left, 1, 1);
  window_.FormMouseDown(platform::MouseButton::Left, 1, 1);
  EXPECT_EQ(DisplayList.size(), 2u);
}

TEST_F(ZoomTest, ZoomCarriesOverToEveryWindowRecordOfTheReplay) {
  window_.line(0, 0, 640, 480);
  window_.processKey(107);
  DisplayList.insert(DisplayList.begin(), "10;0;0;640;480;0;0;640;480");
  // The corner (640, 0) through the zoom rectangle 54,40 .. 586,440 stretched to 640 x 480.
  EXPECT_THAT(Replayed("line_to"), ElementsAre("line_to 705,-48"));
}

TEST_F(ZoomTest, RegenRestoresTheWholeDrawing) {
  window_.Header(0, 0, 160, 120);
  window_.processKey(107);
  window_.Regen();
  EXPECT_EQ(std::tuple(WorldWindow.xmax, Zoom()), std::tuple(1.0L, Rect{1, 1, 639, 479}));
}

}  // namespace
