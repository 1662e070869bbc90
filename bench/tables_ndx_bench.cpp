// NDX index speed on a table of 200,000 records (KV6_BENCH_RECORDS), NAME C(10) with about 30 %
// repeated keys, PRICE N(10,2) and BORN D, each figure beside its baseline in the same run.
// Targets: MakeIndex on NAME <= 2 x std::sort of the same (key, record) items and <= 0.31 s;
// a SeekKey of a random existing key (warm node cache) <= 1 us, beside std::map::find; the
// index-order walk >= 10,000,000 keys/s, beside a raw read of the index file; SKIP(1) in index
// order <= 1.35 x one pread of a record per move in the index's order, as random GO's are held
// against their pread (the record is unpacked on every move, and the read-ahead of the natural
// order cannot serve an order that jumps). Reported without target: the natural SKIP scan, Find
// with its record read beside the core's random GO, Find of missing keys, builds at five times
// the size, of N and D keys and with 8,189-item runs, APPEND with one and three indexes and a
// key-moving REPLACE on an exclusive and on a shared table, and a shared table's walk, SKIP
// and Find.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "benchtargets.h"
#include "platform/files/blockfile.h"
#include "tablebench.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/modules/ndx/ndxbuild.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tables/modules/ndx/ndxsearch.h"

namespace {

using namespace dadav;
using namespace tablebench;

constexpr int kFinds = 20000;

std::int32_t IndexRecords() {
  static const auto records = static_cast<std::int32_t>(BenchSize(200000));
  return records;
}

// Every tenth record in three repeats a name.
std::string NameOf(std::int32_t i) {
  return "N" + std::to_string(i % 10 < 3 ? i / 10 : i * 7919 % 1000003);
}

void FillIndexRecord(std::int32_t i) {
  FillRecord(i);
  const std::string name = NameOf(i);
  std::uint8_t* p = FieldAddress(1);
  p[0] = static_cast<std::uint8_t>(name.size());
  std::memcpy(p + 1, name.data(), name.size());
  const double price = (i * 37 % 100000) / 4.0;
  std::memcpy(FieldAddress(2), &price, 8);
}

void StartEngine() {
  EngineStart({&ExprModuleStart, &IndexInit});
  SetExceptionMode(true);
}

std::string MakeIndexTable(const char* name, std::int32_t records) {
  StartEngine();
  const std::string path = TablePath(name);
  CreateDBF(path, {NameField(), PriceField(), BornField(), OkField()});
  USE(path + " EXCLUSIVE");
  for (std::int32_t i = 1; i <= records; ++i) {
    FillIndexRecord(i);
    Append();
  }
  CloseAll();
  return path;
}

// The table and its NAME index, built once for the benchmarks that only read them.
const std::string& IndexTable() {
  static const std::string path = [] {
    std::string table = MakeIndexTable("ndx", IndexRecords());
    USE(table + " EXCLUSIVE");
    MakeIndexExpr("NAME", BenchPath("name.ndx"));
    CloseAll();
    return table;
  }();
  return path;
}

void OpenIndexed(const char* option = " EXCLUSIVE") {
  StartEngine();
  USE(IndexTable() + option);
  SetIndexToNames(BenchPath("name.ndx"), 1);
}

void Report(benchmark::State& state, std::int64_t perIteration) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * perIteration);
}

std::string Key(std::int32_t i) {
  std::string key = NameOf(i);
  key.resize(10, ' ');
  return key;
}

std::vector<std::string> RandomKeys() {
  std::mt19937 random(1);
  std::vector<std::string> keys;
  for (int i = 0; i < kFinds; ++i) {
    keys.push_back(
        Key(static_cast<std::int32_t>(random() % static_cast<unsigned>(IndexRecords())) + 1));
  }
  return keys;
}

void BM_MakeIndexName(benchmark::State& state) {
  const std::string table = IndexTable();
  StartEngine();
  USE(table + " EXCLUSIVE");
  for (auto _ : state) MakeIndexExpr("NAME", BenchPath("build.ndx"));
  CloseAll();
  Report(state, IndexRecords());
}

// The baseline: the same (key, record) items sorted by the same comparison.
void BM_SortItems(benchmark::State& state) {
  std::vector<std::uint8_t> items;
  for (std::int32_t i = 1; i <= IndexRecords(); ++i) {
    const std::string key = Key(i);
    items.insert(items.end(), key.begin(), key.end());
    const auto* record = reinterpret_cast<const std::uint8_t*>(&i);
    items.insert(items.end(), record, record + 4);
  }
  for (auto _ : state) {
    std::vector<const std::uint8_t*> order;
    order.reserve(items.size() / 14);
    for (std::size_t at = 0; at < items.size(); at += 14) order.push_back(&items[at]);
    std::sort(order.begin(), order.end(), [](const std::uint8_t* a, const std::uint8_t* b) {
      const int c = CompareNdxKeys(false, a, b, 10);
      if (c != 0) return c < 0;
      std::int32_t ra, rb;
      std::memcpy(&ra, a + 10, 4);
      std::memcpy(&rb, b + 10, 4);
      return ra < rb;
    });
    benchmark::DoNotOptimize(order.data());
  }
  Report(state, IndexRecords());
}

void BM_MakeIndexOther(benchmark::State& state, const char* expression, std::size_t budget) {
  const std::string table = IndexTable();
  StartEngine();
  USE(table + " EXCLUSIVE");
  const std::size_t saved = IndexSortBudget;
  IndexSortBudget = budget;
  for (auto _ : state) MakeIndexExpr(expression, BenchPath("other.ndx"));
  IndexSortBudget = saved;
  CloseAll();
  Report(state, IndexRecords());
}

void BM_MakeIndexFiveTimes(benchmark::State& state) {
  const std::int32_t records = IndexRecords() * 5;
  const std::string table = MakeIndexTable("large", records);
  USE(table + " EXCLUSIVE");
  for (auto _ : state) MakeIndexExpr("NAME", BenchPath("large.ndx"));
  CloseAll();
  std::filesystem::remove(table);
  Report(state, records);
}

void BM_SeekKey(benchmark::State& state) {
  const std::vector<std::string> keys = RandomKeys();
  OpenIndexed();
  for (const std::string& key : keys) SeekKey(reinterpret_cast<const std::uint8_t*>(key.data()));
  for (auto _ : state) {
    for (const std::string& key : keys) {
      SeekKey(reinterpret_cast<const std::uint8_t*>(key.data()));
      if (!FindFound) state.SkipWithError("a key was not found");
    }
  }
  CloseAll();
  Report(state, kFinds);
}

void BM_MapFind(benchmark::State& state) {
  std::map<std::string, std::int32_t> map;
  for (std::int32_t i = 1; i <= IndexRecords(); ++i) map.emplace(Key(i), i);
  const std::vector<std::string> keys = RandomKeys();
  for (auto _ : state) {
    for (const std::string& key : keys) benchmark::DoNotOptimize(map.find(key));
  }
  Report(state, kFinds);
}

void BM_IndexWalk(benchmark::State& state, const char* option) {
  OpenIndexed(option);
  std::int64_t keys = 0;
  for (auto _ : state) {
    keys = 1;
    _FindFirstRec();
    while (!IndexEOF()) {
      _FindNextRec();
      ++keys;
    }
  }
  if (keys != IndexRecords() + 1) state.SkipWithError("the walk missed keys");
  CloseAll();
  Report(state, IndexRecords());
}

void BM_RawIndexRead(benchmark::State& state) {
  IndexTable();
  platform::BlockFile file;
  file.Open(BenchPath("name.ndx"), platform::kModeSharedRead);
  std::uint64_t size = 0;
  file.Size(size);
  std::vector<std::uint8_t> buffer(std::size_t{1} << 16);
  for (auto _ : state) {
    for (std::uint64_t at = 0; at < size; at += buffer.size()) {
      std::size_t done = 0;
      file.ReadAt(at, buffer.data(), buffer.size(), done);
      benchmark::DoNotOptimize(buffer.data());
    }
  }
  Report(state, IndexRecords());
}

void SkipIndexed(benchmark::State& state, const char* option) {
  OpenIndexed(option);
  for (auto _ : state) SkipScan();
  CloseAll();
  Report(state, IndexRecords());
}

void BM_SkipIndexed(benchmark::State& state) {
  SkipIndexed(state, " EXCLUSIVE");
}

// The baseline of the index-order SKIP: the record numbers in the index's order, read once
// before the timing, then one pread of a whole record for each of them.
void BM_SkipIndexedPread(benchmark::State& state) {
  OpenIndexed();
  const std::uint64_t header = static_cast<std::uint64_t>(Area()->headerLength);
  const std::size_t length = Area()->recordLength;
  std::vector<std::int32_t> order;
  for (GoTop(); !Area()->eof; SKIP(1)) order.push_back(Area()->recNo);
  CloseAll();
  if (order.size() != static_cast<std::size_t>(IndexRecords()))
    state.SkipWithError("the index order missed records");
  const int fd = open(IndexTable().c_str(), O_RDONLY);
  std::vector<char> record(length);
  for (auto _ : state) {
    for (const std::int32_t n : order) {
      benchmark::DoNotOptimize(
          pread(fd, record.data(), length,
                static_cast<off_t>(header + static_cast<std::uint64_t>(n - 1) * length)));
    }
  }
  close(fd);
  Report(state, IndexRecords());
}

void BM_SkipNatural(benchmark::State& state) {
  StartEngine();
  USE(IndexTable() + " EXCLUSIVE");
  for (auto _ : state) SkipScan();
  CloseAll();
  Report(state, IndexRecords());
}

void BM_FindRecord(benchmark::State& state, bool missing, const char* option) {
  std::vector<std::string> texts;
  for (const std::string& key : RandomKeys()) texts.push_back(missing ? key + "X" : key);
  OpenIndexed(option);
  SetFindExact();
  for (auto _ : state) {
    for (const std::string& text : texts) Find(text);
  }
  ClearFindExact();
  CloseAll();
  Report(state, kFinds);
}

void BM_RandomGo(benchmark::State& state) {
  std::mt19937 random(1);
  std::vector<std::int32_t> records;
  for (int i = 0; i < kFinds; ++i) {
    records.push_back(static_cast<std::int32_t>(random() % static_cast<unsigned>(IndexRecords())) +
                      1);
  }
  StartEngine();
  USE(IndexTable() + " EXCLUSIVE");
  for (auto _ : state) {
    for (std::int32_t record : records) GO(record);
  }
  CloseAll();
  Report(state, kFinds);
}

// A shared table is changed under a file lock taken once, so that the figures show the cost of
// each change on a shared table rather than of taking locks.
void LockWhenShared(const char* mode) {
  if (*mode == '\0') FLock();
}

// APPEND of 10,000 records into a copy of the table with one or three indexes open, on an
// exclusive table or (mode "") a shared one, where every change takes the index's lock.
void BM_AppendIndexed(benchmark::State& state, int indexes, const char* mode) {
  const std::int32_t added = std::min<std::int32_t>(10000, IndexRecords());
  for (auto _ : state) {
    state.PauseTiming();
    const std::string copy = BenchPath("append.dbf");
    std::filesystem::copy_file(IndexTable(), copy,
                               std::filesystem::copy_options::overwrite_existing);
    StartEngine();
    USE(copy + mode);
    MakeIndexExpr("NAME", BenchPath("a1.ndx"));
    std::string names = BenchPath("a1.ndx");
    if (indexes == 3) {
      MakeIndexExpr("PRICE", BenchPath("a2.ndx"));
      MakeIndexExpr("BORN", BenchPath("a3.ndx"));
      names += " " + BenchPath("a2.ndx") + " " + BenchPath("a3.ndx");
    }
    CloseAndSetIndexTo(names);
    LockWhenShared(mode);
    state.ResumeTiming();
    for (std::int32_t i = 1; i <= added; ++i) {
      FillIndexRecord(IndexRecords() + i);
      Append();
    }
    state.PauseTiming();
    CloseAll();
    state.ResumeTiming();
  }
  Report(state, added);
}

// REPLACE of 10,000 random records with a name that moves the key far away, on an exclusive or
// (mode "") a shared table.
void BM_ReplaceMovingKey(benchmark::State& state, const char* mode) {
  const std::int32_t changes = std::min<std::int32_t>(10000, IndexRecords());
  std::mt19937 random(3);
  std::vector<std::int32_t> records;
  for (int i = 0; i < changes; ++i) {
    records.push_back(static_cast<std::int32_t>(random() % static_cast<unsigned>(IndexRecords())) +
                      1);
  }
  for (auto _ : state) {
    state.PauseTiming();
    const std::string copy = BenchPath("replace.dbf");
    std::filesystem::copy_file(IndexTable(), copy,
                               std::filesystem::copy_options::overwrite_existing);
    StartEngine();
    USE(copy + mode);
    IndexOnExpr("NAME", BenchPath("r.ndx"));
    LockWhenShared(mode);
    state.ResumeTiming();
    int n = 0;
    for (std::int32_t record : records) {
      GO(record);
      const std::string name = (n++ % 2 == 0 ? "A" : "Z") + std::to_string(record);
      std::uint8_t* p = FieldAddress(1);
      p[0] = static_cast<std::uint8_t>(name.size());
      std::memcpy(p + 1, name.data(), name.size());
      Replace();
    }
    state.PauseTiming();
    CloseAll();
    state.ResumeTiming();
  }
  Report(state, changes);
}

BENCHMARK(BM_MakeIndexName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortItems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeekKey)->Unit(benchmark::kMillisecond)->Repetitions(benchtargets::kRepeats);
BENCHMARK(BM_MapFind)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexWalk, exclusive, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawIndexRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SkipIndexed)->Unit(benchmark::kMillisecond)->Repetitions(benchtargets::kRepeats);
BENCHMARK(BM_SkipIndexedPread)->Unit(benchmark::kMillisecond)->Repetitions(benchtargets::kRepeats);
BENCHMARK(BM_SkipNatural)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindRecord, found, false, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindRecord, missing, true, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RandomGo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MakeIndexOther, price, "PRICE", kDefaultIndexSortBudget)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MakeIndexOther, born, "BORN", kDefaultIndexSortBudget)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MakeIndexOther, runs8189, "NAME", 8189 * (14 + sizeof(void*)))
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MakeIndexFiveTimes)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_AppendIndexed, one, 1, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AppendIndexed, three, 3, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AppendIndexed, one_shared, 1, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AppendIndexed, three_shared, 3, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReplaceMovingKey, exclusive, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReplaceMovingKey, shared, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_IndexWalk, shared, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SkipIndexed, shared, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FindRecord, found_shared, false, "")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return benchtargets::Run(argc, argv,
                           {
                               {"BM_SeekKey", "", 1e6},
                               {"BM_SkipIndexed", "BM_SkipIndexedPread", 1.35},
                           });
}
