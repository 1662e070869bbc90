// Speed of the drawings on the golden connection (resolution 360, one polyline), headless: the
// default views drawn on the screen target and replayed onto a recording canvas, drawing 11
// painted by Qt onto an offscreen image, each drawing written as DXF as the command line writes
// it, and drawing 1 at the contour's highest resolution. KV6_BENCH_RECORDS sets that resolution
// (100,000 by default).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "benchfolder.h"
#include "benchgolden.h"
#include "benchsize.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadvar.h"
#include "calc/calcstart.h"
#include "calc/kv6record.h"
#include "platform/headless/recordingcanvas.h"
#include "platform/headless/recordingsurface.h"
#include "platform/qt/qtbackend.h"
#include "platform/qt/renderpng.h"

namespace {

constexpr platform::Size kSize{1280, 1024};
constexpr std::int32_t kResolution = 360;

// The program's state after loading the golden connection, with a drawing window of its own.
struct Drawings {
  Drawings() {
    InitWbrelvar();
    InitBrelvar();
    InitGraphicsSettings();
    InitPrintSetup();
    InitCadDefaults();
    StartCalculationUnits();
    window.FormCreate();
    HorizontalPixels = static_cast<std::uint16_t>(kSize.width - 1);
    VerticalPixels = static_cast<std::uint16_t>(kSize.height - 1);
    LoadGoldenConnection(folder, kResolution);
  }
  BenchFolder folder;
  platform::RecordingDrawSurface surface{kSize};
  TFbrelgra window{surface};
  TDrawer drawer;
};

Drawings& Shared() {
  static Drawings drawings;
  return drawings;
}

void StartQt() {
  static int argc = 1;
  static char name[] = "drawing_bench";
  static char* argv[] = {name, nullptr};
  static const bool started = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::qt::Install(argc, argv);
    return true;
  }();
  benchmark::DoNotOptimize(started);
}

std::uint16_t Drawing(const benchmark::State& state) {
  return static_cast<std::uint16_t>(state.range(0));
}

void BM_RedrawOnScreen(benchmark::State& state) {
  Drawings& d = Shared();
  for (auto _ : state) {
    OutputDrawing(kCadScreen, Drawing(state));
    platform::RecordingCanvas canvas(kSize);
    d.window.Replay(canvas, nullptr);
    benchmark::DoNotOptimize(canvas.CallCount());
  }
  if (AbortFlag != 0) state.SkipWithError("the drawing failed");
}
BENCHMARK(BM_RedrawOnScreen)
    ->Arg(2)
    ->Arg(5)
    ->Arg(8)
    ->Arg(11)
    ->Arg(12)
    ->Unit(benchmark::kMillisecond);

void BM_QtPaintQuickSheet3(benchmark::State& state) {
  StartQt();
  Drawings& d = Shared();
  OutputDrawing(kCadScreen, 11);
  for (auto _ : state) {
    platform::qt::PaintImage(kSize, [&d](platform::Canvas& c) { d.window.OnPaint(c); });
  }
}
BENCHMARK(BM_QtPaintQuickSheet3)->Unit(benchmark::kMillisecond);

void BM_DxfFile(benchmark::State& state) {
  Shared();
  for (auto _ : state) OutputDrawing(kCadDxf, Drawing(state));
  if (AbortFlag != 0) state.SkipWithError("the drawing failed");
}
BENCHMARK(BM_DxfFile)->DenseRange(1, 12)->Unit(benchmark::kMillisecond);

void BM_DxfContourAtHighestResolution(benchmark::State& state) {
  Shared();
  CalcData.Resolution = static_cast<std::int32_t>(BenchSize(100000));
  for (auto _ : state) OutputDrawing(kCadDxf, 1);
  CalcData.Resolution = kResolution;
  if (AbortFlag != 0) state.SkipWithError("the drawing failed");
  state.SetItemsProcessed(state.iterations() * (2 * BenchSize(100000) + 1));
}
BENCHMARK(BM_DxfContourAtHighestResolution)->Unit(benchmark::kMillisecond);

}  // namespace
