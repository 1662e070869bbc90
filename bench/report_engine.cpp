// Speed of report line writing: five-cell rows with their rules, on a file (device 3, with the
// converted copy made at the close) and on the HTML page (device 7). KV6_BENCH_RECORDS sets the
// largest number of rows (100,000 by default); a hundredth and a tenth of it run too.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/files/listfile.h"
#include "base/report/reportdevice.h"
#include "base/report/textreport.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "benchsize.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingservices.h"

namespace {

std::string TempFolder() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/kv6benchXXXXXX";
    return std::string(::mkdtemp(pattern)) + "/";
  }();
  return dir;
}

// Device 3 asks for its file; the script answers with a fixed name.
void OpenDevice(std::uint16_t device, platform::headless::ScriptedDialogs& script) {
  if (device == 3) {
    script.Expect(
        platform::headless::Step(platform::DialogKind::SaveFile).Type(TempFolder() + "report.txt"));
  }
  OpenReport(device, "");
}

void WriteRows(std::uint16_t device, std::int64_t rows,
               platform::headless::ScriptedDialogs& script) {
  AbortFlag = 0;
  OpenDevice(device, script);
  ListFile.Rewrite();
  SetTableColumns("Quantity", "Symbol", "Unit", "Value", "Limit");
  ReportPageHeader(1, 1);
  for (std::int64_t i = 0; i < rows; ++i) {
    ReportRow5("section modulus, polar", "Wp", "mm\xFC", "1234.567", "2345.678");
  }
  CloseReport();
}

void BM_ReportRows(benchmark::State& state, std::uint16_t device) {
  InitWbrelvar();
  InitBrelvar();
  TempDir = TempFolder();
  HtmlBrowser = "sh";
  const platform::headless::DialogScript script;
  const platform::RecordedLauncher launcher;
  for (auto _ : state) WriteRows(device, state.range(0), *script);
  state.SetItemsProcessed(state.iterations() * state.range(0));
  std::filesystem::remove_all(TempFolder());
}

void BM_ReportRowsFile(benchmark::State& state) {
  BM_ReportRows(state, 3);
}
void BM_ReportRowsHtml(benchmark::State& state) {
  BM_ReportRows(state, 7);
}

void RowCounts(benchmark::internal::Benchmark* b) {
  const std::int64_t rows = BenchSize(100000);
  b->Arg(std::max<std::int64_t>(rows / 100, 1))
      ->Arg(std::max<std::int64_t>(rows / 10, 1))
      ->Arg(rows);
}

BENCHMARK(BM_ReportRowsFile)->Apply(RowCounts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportRowsHtml)->Apply(RowCounts)->Unit(benchmark::kMillisecond);

}  // namespace
