// The browse form on bench/tablebench.h's table with 1% of its records deleted: opening it and
// showing the first 40 rows (picking view, mode 1, and edit view, mode 2; headless, and in Qt
// offscreen to the first paint into a QImage), sorting by a title
// click on the C(10) and the N(10,2) column (split into index, row map and first screen), and a
// jump to a random row with its 40 rows read while the row cache is empty.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <random>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/headless.h"
#include "platform/qt/qtbackend.h"
#include "tablebench.h"
#include "tables/access/dbf4.h"
#include "tables/access/tableaccess.h"
#include "tables/modules/ndx/ndxmanage.h"

namespace {

constexpr std::int32_t kScreenRows = 40;
constexpr int kDeleteEvery = 100;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The table and the program's globals for the browse form, for one benchmark.
struct BrowseTable {
  tablebench::Table table{"browse", kDeleteEvery};
  platform::headless::DialogScript script;

  BrowseTable() {
    static const bool installed = (platform::headless::Install(), true);
    static_cast<void>(installed);
    InitWbrelvar();
    InitBrelvar();
    dadav::EngineStart({&dadav::ExprModuleStart, &dadav::IndexInit});
    dadav::SetExceptionMode(true);
    DbfDir = tablebench::BenchPath("");
    TempDir = tablebench::BenchPath("tmp/");
    std::filesystem::create_directories(TempDir);
    DbfWriteChecked = 1;
    DbfWritable = 1;
    dadav::CreateDbfForm();
  }
  ~BrowseTable() { dadav::FreeDbfForm(); }
  BrowseTable(const BrowseTable&) = delete;
  BrowseTable& operator=(const BrowseTable&) = delete;
};

void ReadScreen(dadav::TTzGrid& grid, std::int32_t top) {
  for (std::int32_t row = top; row < std::min(top + kScreenRows, grid.RowCount()); ++row) {
    for (std::int32_t column = 0; column < grid.ColumnCount(); ++column) {
      benchmark::DoNotOptimize(grid.CellText(row, column));
    }
  }
}

void BM_OpenAndFirstScreen(benchmark::State& state) {
  BrowseTable browse;
  const auto mode = static_cast<std::uint16_t>(state.range(0));
  for (auto _ : state) {
    browse.script->Expect(
        platform::headless::Step(platform::DialogKind::Form).Act([](platform::Form& form) {
          ReadScreen(dadav::DbfForm->Grid(), 0);
          form.PressEnter();
        }));
    OpenTable("browse");
    ShowTable("", mode);
    state.PauseTiming();
    CloseTableFile();
    state.ResumeTiming();
  }
}

void BM_OpenAndFirstPaintQt(benchmark::State& state) {
  static int argc = 1;
  static char name[] = "browse_bench";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The table first: its set-up puts the headless kit in place once, which the Qt kit replaces.
  BrowseTable browse;
  static const bool installed = (platform::qt::Install(argc, argv), true);
  static_cast<void>(installed);
  bool painted = false;
  for (auto _ : state) {
    QTimer::singleShot(0, [&painted] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) return;
      QImage image(dialog->size(), QImage::Format_RGB32);
      dialog->render(&image);
      painted = !image.isNull();
      dadav::DbfForm->PressEnter();
    });
    OpenTable("browse");
    ShowTable("", static_cast<std::uint16_t>(state.range(0)));
    state.PauseTiming();
    CloseTableFile();
    state.ResumeTiming();
  }
  if (!painted) state.SkipWithError("the form was not painted");
}

void BM_TitleClickSort(benchmark::State& state) {
  BrowseTable browse;
  const auto column = static_cast<std::int32_t>(state.range(0));
  OpenTable("browse");
  dadav::Tdbf4& form = *dadav::DbfForm;
  form.GoRecord(tablebench::Records() / 2);
  double index = 0, rows = 0, screen = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    form.IndexOn(column == 0 ? "NAME" : "PRICE", TempPath("$brltemp"));
    const auto built = Clock::now();
    form.SetIndexTo(TempPath("$brltemp"));
    form.GoRecord(tablebench::Records() / 2);
    const auto mapped = Clock::now();
    ReadScreen(form.Grid(), std::max(form.Grid().RowOfRecord(form.RecNo()), 0));
    const auto shown = Clock::now();
    index += Milliseconds(built - start);
    rows += Milliseconds(mapped - built);
    screen += Milliseconds(shown - mapped);
    state.PauseTiming();
    form.tzdbf.SetIndexTo("");
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["index_ms"] = index / n;
  state.counters["rowmap_ms"] = rows / n;
  state.counters["screen_ms"] = screen / n;
  CloseTableFile();
}

void BM_JumpToRandomRow(benchmark::State& state) {
  BrowseTable browse;
  OpenTable("browse");
  dadav::TTzGrid& grid = dadav::DbfForm->Grid();
  grid.Control().SetVisibleRows(kScreenRows);
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> rows(0, std::max(grid.RowCount() - kScreenRows, 0));
  for (auto _ : state) {
    grid.ClearRowCache();
    const std::int32_t top = rows(random);
    grid.Control().SetTopRow(top);
    ReadScreen(grid, top);
  }
  CloseTableFile();
}

}  // namespace

BENCHMARK(BM_OpenAndFirstScreen)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_OpenAndFirstPaintQt)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TitleClickSort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_JumpToRandomRow)->Unit(benchmark::kMicrosecond)->Iterations(200);
