// DXF output and block replay speed: polyline vertices and lines written to a real file on
// target 1 with default settings, and a block file of LINEs replayed into a counting writer.
// KV6_BENCH_RECORDS sets the number of vertices, lines and block lines (1,000,000 by default).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "base/files/listfile.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "benchfolder.h"
#include "benchsize.h"
#include "benchtargets.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "cad/layer/dxfread.h"
#include "platform/headless/recordingservices.h"

namespace {

// An unused target code: blocks become block files, replayed at every insert, as on the screen.
constexpr std::uint16_t kCountingTarget = 10;
std::int64_t counted = 0;

int count() {
  static const int n = static_cast<int>(BenchSize(1000000));
  return n;
}

std::string bench_dir() {
  static const BenchFolder folder;
  return folder.Path();
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
    std::vector<CadPoint> p(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i) {
      long double phi = i * 6.283185307179586L / count();
      long double r = 20 + 1.5L * std::cos(3 * phi);
      p[static_cast<std::size_t>(i)] = {r * std::cos(phi), r * std::sin(phi)};
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
  state.SetItemsProcessed(state.iterations() * count());
}
BENCHMARK(BM_PolylineVertices)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(benchtargets::kRepeats);

void BM_Lines(benchmark::State& state) {
  for (auto _ : state) {
    open_dxf();
    for (int i = 0; i < count(); ++i) cad_line(i * 0.001L, 12.5L, i * 0.001L + 3.25L, 40.125L);
    close_dxf();
  }
  state.SetItemsProcessed(state.iterations() * count());
}
BENCHMARK(BM_Lines)->Unit(benchmark::kMillisecond)->Iterations(3);

// The block is written through the counting target itself: the screen target, which also keeps
// its blocks in files, refuses to open without a drawing window.
bool write_line_block() {
  InitWbrelvar();
  InitCadDefaults();
  TempDir = bench_dir();
  AbortFlag = 0;
  cad_open(kCountingTarget);
  cad_blocks_begin();
  cad_block_begin("LINES");
  for (int i = 0; i < count(); ++i) cad_line(i * 0.001L, 12.5L, i * 0.001L + 3.25L, 40.125L);
  cad_block_end();
  cad_blocks_end();
  return std::filesystem::exists(cad_block_file_name("LINES"));
}

void BM_ReplayLines(benchmark::State& state) {
  CadWriter counter;
  counter.block_files = true;
  counter.line = [](long double, long double, long double, long double) { ++counted; };
  cad_register_writer(kCountingTarget, counter);
  if (!write_line_block()) {
    state.SkipWithError("block file not written");
    return;
  }
  for (auto _ : state) {
    counted = 0;
    cad_insert("LINES", 0, 0, 0, 1, 1);
  }
  if (counted != count()) state.SkipWithError("replay lost entities");
  state.SetItemsProcessed(state.iterations() * count());
}
BENCHMARK(BM_ReplayLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  return benchtargets::Run(argc, argv,
                           {
                               {"BM_PolylineVertices", "", 5e6},
                           });
}
