#include "platform/recordingcanvas.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(RecordingCanvas, RecordsEveryDrawingCallAndKeepsState) {
  RecordingCanvas canvas({200, 100});
  canvas.SetPen({{255, 0, 0}, 2, PenStyle::Dash, PenMode::Copy});
  canvas.SetBrush({{0, 0, 255}, BrushStyle::Clear});
  canvas.SetFont({.face = "Arial", .height = 12, .escapement = 900, .bold = true});
  canvas.Ellipse({0, 0, 10, 10});
  canvas.Arc({0, 0, 10, 10}, {10, 5}, {5, 0});
  canvas.Polygon({{0, 0}, {5, 0}, {5, 5}});
  canvas.Polyline({{1, 1}, {2, 2}});
  canvas.FillRect({0, 0, 4, 4});
  canvas.TextOut({5, 6}, "a;b");
  canvas.SetClip({0, 0, 50, 50});
  canvas.ClearClip();
  EXPECT_EQ(canvas.Calls(), (std::vector<std::string>{
                                "pen 255,0,0 2 dash copy",
                                "brush 0,0,255 clear",
                                "font Arial 12 0 900 0,0,0 bold",
                                "ellipse 0,0,10,10",
                                "arc 0,0,10,10 10,5 5,0",
                                "polygon 0,0 5,0 5,5",
                                "polyline 1,1 2,2",
                                "fill_rect 0,0,4,4",
                                "text 5,6 a;b",
                                "clip 0,0,50,50",
                                "no_clip",
                            }));
  EXPECT_EQ(canvas.GetPen().width, 2);
  EXPECT_EQ(canvas.GetBrush().style, BrushStyle::Clear);
  EXPECT_EQ(canvas.GetSize(), (Size{200, 100}));
  EXPECT_EQ(canvas.TextExtent("abc"), (Size{18, 12}));
}

}  // namespace
}  // namespace platform
