// Speed of the IGES, STEP and STL writers as the command line uses them: the golden connection's
// drawings at the contour's resolution 3600 as one polyline (the shaft body of drawing 9 as
// binary and ASCII STL, drawing 1 as IGES and as STEP), each written to a file in a fresh folder;
// and binary STL alone: lines written as walls (two facets each) and the file written at close.
// KV6_BENCH_RECORDS sets the number of STL lines (500,000 by default, 1,000,000 facets); the
// counter "facets" gives facets per second.
#include <benchmark/benchmark.h>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "benchfolder.h"
#include "benchgolden.h"
#include "benchsize.h"
#include "benchtargets.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "calc/calcstart.h"

namespace {

constexpr std::int32_t kResolution = 3600;

// The golden connection loaded, its drawings written without a question into folder.
void LoadGolden(const BenchFolder& folder) {
  InitWbrelvar();
  InitBrelvar();
  InitCadDefaults();
  StartCalculationUnits();
  LoadGoldenConnection(folder, kResolution);
}

// One drawing on one target; the STL type for target 6.
void Drawing(benchmark::State& state, std::uint16_t target, std::uint16_t drawing,
             std::int32_t stl_type) {
  const BenchFolder folder;
  LoadGolden(folder);
  StlType = stl_type;
  for (auto _ : state) OutputDrawing(target, drawing);
  if (AbortFlag != 0) state.SkipWithError("the drawing failed");
}

void BM_ShaftBodyBinaryStl(benchmark::State& state) {
  Drawing(state, kCadStl, 9, 0);
}
void BM_ShaftBodyAsciiStl(benchmark::State& state) {
  Drawing(state, kCadStl, 9, 1);
}
void BM_ContourIges(benchmark::State& state) {
  Drawing(state, kCadIges, 1, 0);
}
void BM_ContourStep(benchmark::State& state) {
  Drawing(state, kCadStep, 1, 0);
}
BENCHMARK(BM_ShaftBodyBinaryStl)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ShaftBodyAsciiStl)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ContourIges)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ContourStep)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BinaryStlLines(benchmark::State& state) {
  const BenchFolder folder;
  const std::int64_t lines = BenchSize(500000);
  InitWbrelvar();
  InitCadDefaults();
  TempDir = folder.Path();
  CadBatch = 1;
  OpenAfterExport = 0;  // the written file is not handed to a viewer
  CurrentFile = folder.Path() + "/bench";
  StlType = 0;
  for (auto _ : state) {
    cad_open(kCadStl);
    cad_setz(0, 10);
    for (std::int64_t i = 0; i < lines; ++i) {
      const auto x = static_cast<long double>(i % 1000);
      const auto y = static_cast<long double>(i / 1000);
      cad_line(x, y, x + 0.5L, y + 0.25L);
    }
    cad_close();
  }
  if (AbortFlag != 0) state.SkipWithError("the STL output failed");
  state.counters["facets"] = benchmark::Counter(static_cast<double>(2 * lines * state.iterations()),
                                                benchmark::Counter::kIsRate);
}
BENCHMARK(BinaryStlLines)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  return benchtargets::Run(argc, argv,
                           {
                               {"BinaryStlLines", "", 10e6, "facets"},
                           });
}
