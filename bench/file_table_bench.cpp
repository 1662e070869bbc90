// Speed of the table of calculation files over a data folder of 2,000 generated files
// (KV6_BENCH_RECORDS sets the number): the listing with each file's load and calculation, a sort
// by a number column, a search that finds nothing, and the whole table written as a ".fods"
// workbook.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/filetable/filetablerows.h"
#include "app/filetable/formpreview.h"
#include "app/spreadsheet/fodssheet.h"
#include "app/spreadsheet/spreadsheetapp.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "benchfolder.h"
#include "benchsize.h"
#include "calc/calcstart.h"
#include "platform/headless/headless.h"
#include "tests/app/tools/calcfilegen.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The units started and the data folder filled once for every benchmark of the run.
const BenchFolder& DataFolder() {
  static const BenchFolder folder = [] {
    platform::headless::Install();
    InitWbrelvar();
    InitBrelvar();
    StartCalculationUnits();
    FileExt = "kv6";
    return BenchFolder();
  }();
  static const bool filled = [] {
    const auto n = static_cast<std::int32_t>(BenchSize(2000));
    if (!calcfilegen::MakeCalcFiles(folder.Path(), n, FileExt, false)) std::exit(2);
    return true;
  }();
  (void)filled;
  return folder;
}

Rows ListTable(const std::string& folder) {
  const std::vector<std::string> names = CalcFileNames(folder);
  Rows rows = {FileTableHeader()};
  for (const std::string& name : names) rows.push_back(FileTableRow(folder, name));
  return rows;
}

const Rows& Table() {
  static const Rows rows = ListTable(DataFolder().Path());
  return rows;
}

void BM_BuildTable(benchmark::State& state) {
  const std::string folder = DataFolder().Path();
  for (auto _ : state) benchmark::DoNotOptimize(ListTable(folder));
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(Table().size() - 1));
}

void BM_SortNumberColumn(benchmark::State& state) {
  TForm_preview table;
  const std::vector<std::string> files(Table().size() - 1);
  for (auto _ : state) {
    state.PauseTiming();
    table.Fill(Table(), files);
    state.ResumeTiming();
    table.SortByColumn(14);  // the torque
  }
}

void BM_SearchFindingNothing(benchmark::State& state) {
  TForm_preview table;
  table.Fill(Table(), std::vector<std::string>(Table().size() - 1));
  table.SearchText = "nowhere";
  for (auto _ : state) benchmark::DoNotOptimize(table.SearchGrid());
}

void BM_WriteWorkbook(benchmark::State& state) {
  TempDir = DataFolder().Path();
  for (auto _ : state) {
    SheetCells sheet;
    std::int32_t r = 0;
    for (const auto& row : Table()) {
      ++r;
      for (std::size_t c = 0; c < row.size(); ++c) {
        sheet.Set(r, static_cast<std::int32_t>(c) + 1, row[c]);
      }
    }
    const std::string file = WriteNewWorkbookFile(FodsDocument(sheet));
    state.PauseTiming();
    std::filesystem::remove(file);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_BuildTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNumberColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchFindingNothing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWorkbook)->Unit(benchmark::kMillisecond);

}  // namespace
