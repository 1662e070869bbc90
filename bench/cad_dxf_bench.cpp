// DXF output and block replay speed: polyline vertices and lines written to a real file on
// target 1 with default settings, and a block file of LINEs replayed into a counting writer.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "base/brelvar.h"
#include "base/listfile.h"
#include "base/wbrelvar.h"
#include "cad/brelcad.h"
#include "cad/caddisp.h"
#include "cad/cadprim.h"
#include "cad/cadvar.h"
#include "platform/headless/recordingservices.h"

namespace {

constexpr int kCount = 1000000;
constexpr std::uint16_t kCountingTarget = 7;
std::int64_t counted = 0;

std::string bench_dir() {
  static const std::string dir = [] {
    auto path = std::filesystem::temp_directory_path() / "kv6_cad_bench";
    std::filesystem::create_directories(path);
    return path.string();
  }();
  return dir;
}

void open_dxf() {
  InitWbrelvar();
  InitCadDefaults();
  platform::Slot<platform::ProcessLauncher>() = std::make_unique<platform::RecordingLauncher>();
  TempDir = bench_dir();
  CadBatch = 1;
  CurrentFile = bench_dir() + "/bench";
  cad_open(kCadDxf);
  cad_entities_begin();
}

void close_dxf() {
  cad_blocks_end();
  cad_close();
}

// P3G-like contour points: a three-lobed polygon profile of about 40 mm, computed beforehand so
// that only the output is timed.
const std::vector<CadPoint>& contour() {
  static const std::vector<CadPoint> points = [] {
    std::vector<CadPoint> p(kCount);
    for (int i = 0; i < kCount; ++i) {
      long double phi = i * 6.283185307179586L / kCount;
      long double r = 20 + 1.5L * std::cos(3 * phi);
      p[i] = {r * std::cos(phi), r * std::sin(phi)};
    }
    return p;
  }();
  return points;
}

void BM_PolylineVertices(benchmark::State& state) {
  const std::vector<CadPoint>& points = contour();
  for (auto _ : state) {
    open_dxf();
    cad_polyline_begin(1);
    for (const CadPoint& p : points) cad_vertex(p.x, p.y, 0);
    cad_polyline_end();
    close_dxf();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_PolylineVertices)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Lines(benchmark::State& state) {
  for (auto _ : state) {
    open_dxf();
    for (int i = 0; i < kCount; ++i) cad_line(i * 0.001L, 12.5L, i * 0.001L + 3.25L, 40.125L);
    close_dxf();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_Lines)->Unit(benchmark::kMillisecond)->Iterations(3);

void write_line_block() {
  InitWbrelvar();
  InitCadDefaults();
  TempDir = bench_dir();
  cad_open(kCadScreen);
  cad_blocks_begin();
  cad_block_begin("LINES");
  for (int i = 0; i < kCount; ++i) cad_line(i * 0.001L, 12.5L, i * 0.001L + 3.25L, 40.125L);
  cad_block_end();
  cad_blocks_end();
}

void BM_ReplayLines(benchmark::State& state) {
  write_line_block();
  CadWriter counter;
  counter.block_files = true;
  counter.line = [](long double, long double, long double, long double) { ++counted; };
  cad_register_writer(kCountingTarget, counter);
  CadTarget = kCountingTarget;
  for (auto _ : state) {
    counted = 0;
    cad_insert("LINES", 0, 0, 0, 1, 1);
  }
  if (counted != kCount) state.SkipWithError("replay lost entities");
  state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_ReplayLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
