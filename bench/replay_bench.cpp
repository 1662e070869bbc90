// Replay is the hot path of zoom, pan and repaint: 100,000 records at 1600 x 1200, replayed
// onto the recording canvas and onto an image, unzoomed and at 4x zoom, and built through the
// drawing calls.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>

#include "base/breldraw.h"
#include "base/brelgraf.h"
#include "base/wbrelvar.h"
#include "platform/headless/recordingcanvas.h"
#include "platform/headless/recordingsurface.h"
#include "platform/qt/qtbackend.h"
#include "platform/qt/renderpng.h"

namespace {

constexpr int kRecords = 100000;

// 95 % lines of about 20 px, 2 % arcs, 1 % circles, 1 % colour or style, 0.5 % solids and
// 0.5 % texts, in a 160 x 120 mm window.
void BuildDrawing(TFbrelgra& window) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> x(5, 155), y(5, 115), step(-1.5, 1.5);
  window.Clear();
  window.Header(0, 0, 160, 120);
  window.SetTextStyle(0, 3.5, 2.5, 2);
  bool toggle = false;
  while (DisplayList.size() < static_cast<std::size_t>(kRecords)) {
    const int kind = static_cast<int>(random() % 1000);
    const double px = x(random), py = y(random);
    if (kind < 950) {
      window.line(px, py, px + step(random), py + step(random));
    } else if (kind < 970) {
      window.Arc(px, py, 10, 200, 2, 190);
    } else if (kind < 980) {
      window.circle(px, py, 1.5);
    } else if (kind < 990) {
      toggle = !toggle;
      if (kind % 2 == 0) {
        window.SetColor(toggle ? 5 : 12);
      } else {
        window.SetLineStyle(toggle ? 3 : 0);
      }
    } else if (kind < 995) {
      window.Solid(px, py, px + 2, py, px + 2, py + 2, px, py + 2);
    } else {
      window.OutTextXY(px, py, "P3G shaft");
    }
  }
}

struct Fixture {
  Fixture() {
    HorizontalPixels = 1599;
    VerticalPixels = 1199;
    BuildDrawing(window);
  }
  void Zoom(int factor) {
    window.ResetZoom();
    if (factor == 1) return;
    const ZoomRectangle z = ZoomRect;
    const std::int32_t cx = (z.x1 + z.x2) / 2, cy = (z.y1 + z.y2) / 2;
    const std::int32_t hw = (z.x2 - z.x1) / (2 * factor), hh = (z.y2 - z.y1) / (2 * factor);
    window.SetScale(cx - hw, cy - hh, cx + hw, cy + hh);
  }
  platform::RecordingDrawSurface surface{{1600, 1200}};
  TFbrelgra window{surface};
  TDrawer drawer;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_ReplayOntoRecordingCanvas(benchmark::State& state) {
  Fixture& f = Shared();
  f.Zoom(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    platform::RecordingCanvas canvas({1600, 1200});
    f.window.Replay(canvas, nullptr);
    benchmark::DoNotOptimize(canvas.CallCount());
  }
}
BENCHMARK(BM_ReplayOntoRecordingCanvas)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_ReplayOntoImage(benchmark::State& state) {
  static int argc = 1;
  static char name[] = "replay_bench";
  static char* argv[] = {name, nullptr};
  static const bool started = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::qt::Install(argc, argv);
    return true;
  }();
  benchmark::DoNotOptimize(started);
  Fixture& f = Shared();
  f.Zoom(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    platform::qt::PaintImage({1600, 1200}, [&f](platform::Canvas& c) { f.window.OnPaint(c); });
  }
}
BENCHMARK(BM_ReplayOntoImage)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_BuildListThroughDrawingCalls(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    BuildDrawing(f.window);
    benchmark::DoNotOptimize(DisplayList.size());
  }
}
BENCHMARK(BM_BuildListThroughDrawingCalls)->Unit(benchmark::kMillisecond);

}  // namespace
