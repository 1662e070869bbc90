// Replay is the hot path of zoom, pan and repaint: 100,000 records at 1600 x 1200, replayed
// onto the recording canvas and onto an image, unzoomed and at 4x zoom, and built through the
// drawing calls. KV6_BENCH_RECORDS sets the number of records.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "benchsize.h"
#include "platform/headless/recordingcanvas.h"
#include "platform/headless/recordingsurface.h"
#include "platform/qt/qtbackend.h"
#include "platform/qt/renderpng.h"
#include "replaydrawing.h"

namespace {

constexpr platform::Size kSize{replaydrawing::kWidth, replaydrawing::kHeight};

std::size_t Records() {
  return static_cast<std::size_t>(BenchSize(100000));
}

struct Fixture {
  Fixture() { replaydrawing::Build(window, Records()); }
  platform::RecordingDrawSurface surface{kSize};
  TFbrelgra window{surface};
  TDrawer drawer;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_ReplayOntoRecordingCanvas(benchmark::State& state) {
  Fixture& f = Shared();
  replaydrawing::Zoom(f.window, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    platform::RecordingCanvas canvas(kSize);
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
  replaydrawing::Zoom(f.window, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    platform::qt::PaintImage(kSize, [&f](platform::Canvas& c) { f.window.OnPaint(c); });
  }
}
BENCHMARK(BM_ReplayOntoImage)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_BuildListThroughDrawingCalls(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    replaydrawing::Build(f.window, Records());
    benchmark::DoNotOptimize(DisplayList.size());
  }
}
BENCHMARK(BM_BuildListThroughDrawingCalls)->Unit(benchmark::kMillisecond);

}  // namespace
