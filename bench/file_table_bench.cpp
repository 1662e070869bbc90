// Speed of the table of calculation files over a data folder of 2,000 generated files
// (KV6_BENCH_RECORDS sets the number): the listing with each file's load and calculation, a sort
// by a number column, a search that finds nothing, the whole table written as a ".fods" workbook,
// and the filled table window shown by Qt offscreen up to its first paint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

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
#include "platform/qt/qtbackend.h"
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

// The table window from its creation to its first paint; the listing is BM_BuildTable's.
void BM_QtTableFirstPaint(benchmark::State& state) {
  const Rows& rows = Table();
  static int argc = 1;
  static char name[] = "file_table_bench";
  static char* argv[] = {name, nullptr};
  static const bool started = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::qt::Install(argc, argv);
    return true;
  }();
  benchmark::DoNotOptimize(started);
  for (auto _ : state) {
    TForm_preview table;
    table.Fill(rows, std::vector<std::string>(rows.size() - 1));
    QTimer::singleShot(0, [&table] {
      if (QWidget* dialog = QApplication::activeModalWidget()) dialog->repaint();
      table.SetModalResult(platform::ModalResult::Cancel);
    });
    table.ShowModal();
  }
}

BENCHMARK(BM_BuildTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNumberColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchFindingNothing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWorkbook)->Unit(benchmark::kMillisecond);
// Last: it puts the Qt kit in place of the headless one.
BENCHMARK(BM_QtTableFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace
