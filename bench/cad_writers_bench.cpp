// Binary STL speed: lines written as walls (two facets each) on target 6 and the file written at
// close, in a fresh folder of the run's own. KV6_BENCH_RECORDS sets the number of lines (500,000
// by default, 1,000,000 facets); the counter "facets" gives facets per second.
#include <benchmark/benchmark.h>

#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "benchfolder.h"
#include "benchsize.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"

namespace {

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
