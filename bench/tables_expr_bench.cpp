// Expression and bulk-transfer speed on the table of tablebench.h, judged against the engine's
// own APPEND and SKIP loops, which run here too. Targets: compile and free of the key expression
// >= 200,000/s; its evaluation on a record in memory >= 5,000,000/s; a SKIP scan evaluating it
// <= 1.3 x the SKIP scan; AppendFrom of the table (same fields) <= 1.5 x APPEND and (reordered,
// one C <- N) <= 2 x APPEND; CopyToDelimited <= 1.5 x the SKIP scan; AppendFromDelimited of that
// file with progress shown <= 1.5 x APPEND.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "benchtargets.h"
#include "tablebench.h"
#include "tables/core/bulkprogress.h"
#include "tables/core/dbf4append.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4delim.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/expreval.h"

namespace {

using namespace dadav;
using namespace tablebench;

constexpr const char* kKeyText = "UPPER(NAME)+DTOS(BORN)";

// The full table, built once and shared by the benchmarks that only read it.
const std::string& SourceTable() {
  static const std::string path = MakeTable("source", Records());
  return path;
}

// The source table written as delimited text, once.
const std::string& DelimitedFile() {
  static const std::string path = [] {
    std::string name = BenchPath("source.txt");
    USE(SourceTable() + " EXCLUSIVE");
    CopyToDelimited(name);
    CloseAll();
    return name;
  }();
  return path;
}

void Report(benchmark::State& state, std::int64_t perIteration) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * perIteration);
}

// The compiled expression for the benchmark's lifetime; the benchmark stops when it fails.
class Compiled {
 public:
  Compiled(benchmark::State& state, const char* text) : expr_(AssignExpr(text)) {
    if (expr_ == nullptr) state.SkipWithError("the expression does not compile");
  }
  ~Compiled() { FreeExpr(expr_); }
  Compiled(const Compiled&) = delete;
  Compiled& operator=(const Compiled&) = delete;
  CompiledExpr* Get() const { return expr_; }

 private:
  CompiledExpr* expr_;
};

void BM_CompileFree(benchmark::State& state) {
  USE(SourceTable() + " EXCLUSIVE");
  for (auto _ : state) {
    CompiledExpr* expr = AssignExpr(kKeyText);
    if (expr == nullptr) {
      state.SkipWithError("the expression does not compile");
      break;
    }
    FreeExpr(expr);
  }
  CloseAll();
  Report(state, 1);
}

// Evaluations of the current record, read once, as an index build evaluates each key.
void BM_EvaluateInMemory(benchmark::State& state, const char* text) {
  USE(SourceTable() + " EXCLUSIVE");
  GoTop();
  {
    Compiled expr(state, text);
    if (expr.Get() != nullptr) {
      for (auto _ : state) benchmark::DoNotOptimize(EvalCompiled(expr.Get()));
    }
  }
  CloseAll();
  Report(state, 1);
}

void BM_SkipScanEvaluating(benchmark::State& state) {
  USE(SourceTable() + " EXCLUSIVE");
  {
    Compiled expr(state, kKeyText);
    if (expr.Get() != nullptr) {
      for (auto _ : state) {
        GoTop();
        while (!Area()->eof) {
          benchmark::DoNotOptimize(EvalCompiled(expr.Get()));
          SKIP(1);
        }
      }
    }
  }
  CloseAll();
  Report(state, Records());
}

// AppendFrom of the source into a new, empty table of the given fields.
void AppendFromInto(benchmark::State& state, const std::vector<FieldDescriptor>& fields) {
  const std::string& source = SourceTable();
  for (auto _ : state) {
    state.PauseTiming();
    std::string path = CreateTable("target", fields);
    USE(path + " EXCLUSIVE");
    state.ResumeTiming();
    AppendFrom(source);
    state.PauseTiming();
    const bool complete = LastErrorCode == 0 && RecCount() == Records();
    CloseAll();
    std::filesystem::remove(path);
    state.ResumeTiming();
    if (!complete) {
      state.SkipWithError("AppendFrom did not append every record");
      break;
    }
  }
  Report(state, Records());
}

void BM_AppendFromSameFields(benchmark::State& state) {
  AppendFromInto(state, {NameField(), PriceField(), BornField(), OkField()});
}

void BM_AppendFromReordered(benchmark::State& state) {
  AppendFromInto(state, {OkField(), BornField(), {"PRICE", 'C', 12, 0, 0}, NameField()});
}

void BM_CopyToDelimited(benchmark::State& state) {
  USE(SourceTable() + " EXCLUSIVE");
  const std::string name = BenchPath("export.txt");
  for (auto _ : state) {
    if (CopyToDelimited(name) != Records()) {
      state.SkipWithError("CopyToDelimited did not write every record");
      break;
    }
  }
  CloseAll();
  std::filesystem::remove(name);
  Report(state, Records());
}

// The engine's start connects its progress window; without a display it is the terminal line
// on standard error, or nothing when that is no terminal.
void BM_AppendFromDelimited(benchmark::State& state) {
  const std::string& file = DelimitedFile();
  for (auto _ : state) {
    state.PauseTiming();
    std::string path = CreateTable("target", {NameField(), PriceField(), BornField(), OkField()});
    USE(path + " EXCLUSIVE");
    const bool progressShows = ProgressWindow.step != nullptr;
    state.ResumeTiming();
    const std::int32_t appended = AppendFromDelimited(file, true);
    state.PauseTiming();
    CloseAll();
    std::filesystem::remove(path);
    state.ResumeTiming();
    if (!progressShows || appended != Records()) {
      state.SkipWithError("AppendFromDelimited did not append every record with its progress");
      break;
    }
  }
  Report(state, Records());
}

BENCHMARK(BM_AppendEngine)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_SkipScan, exclusive, " EXCLUSIVE")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(BM_CompileFree)->Repetitions(benchtargets::kRepeats);
BENCHMARK_CAPTURE(BM_EvaluateInMemory, key, kKeyText)->Repetitions(benchtargets::kRepeats);
BENCHMARK(BM_SkipScanEvaluating)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_AppendFromSameFields)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AppendFromReordered)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CopyToDelimited)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AppendFromDelimited)->Unit(benchmark::kMillisecond)->Iterations(1);
// Untargeted.
BENCHMARK_CAPTURE(BM_EvaluateInMemory, lone_number, "PRICE");
BENCHMARK_CAPTURE(BM_EvaluateInMemory, condition, "NAME='AB' .AND. PRICE>100")
    ->Repetitions(benchtargets::kRepeats);

}  // namespace

int main(int argc, char** argv) {
  return benchtargets::Run(argc, argv,
                           {
                               {"BM_EvaluateInMemory/key", "", 20e6},
                               {"BM_EvaluateInMemory/condition", "", 20e6},
                               {"BM_CompileFree", "", 2e6},
                           });
}
