// Speed of the number texts every report line and CAD file is built from.
#include <benchmark/benchmark.h>

#include <array>

#include "base/text/numbertext.h"

namespace {

constexpr std::array<long double, 8> kValues = {
    12.5L, -0.0345L, 2.675L, 1234.5678L, 0.000123L, 99999.7L, 25.4L, -7.0L,
};

void BM_RealTextFixed(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RealTextFixed(4, 3, kValues[i++ % kValues.size()]));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RealTextFixed);

void BM_RealText(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(RealText(kValues[i++ % kValues.size()]));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RealText);

void BM_TextToReal(benchmark::State& state) {
  constexpr std::array<const char*, 4> kTexts = {"12,5", "-0.0345", "1234.5678", "2.5e-3"};
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(TextToReal(kTexts[i++ % kTexts.size()]));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TextToReal);

}  // namespace
