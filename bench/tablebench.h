// The table every table benchmark works on, built untimed: NAME C(10), PRICE N(10,2), BORN D
// and OK L (30 bytes a record) in a folder of its own under $TMPDIR, and the engine's append
// and skip loops that other table figures are judged against. KV6_BENCH_RECORDS sets the size
// (1,000,000 by default).
#pragma once

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "benchfolder.h"
#include "benchsize.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprstart.h"

namespace tablebench {

inline std::int32_t Records() {
  static const auto records = static_cast<std::int32_t>(BenchSize(1000000));
  return records;
}

inline std::string BenchPath(const std::string& name) {
  static const BenchFolder folder;
  return folder.Path() + "/" + name;
}

inline std::string TablePath(const char* name) {
  return BenchPath(std::string(name) + ".dbf");
}

constexpr std::int32_t kHeader = 32 * 5 + 1;
constexpr std::int32_t kRecord = 30;

inline dadav::FieldDescriptor NameField() {
  return {"NAME", 'C', 10, 0, 0};
}
inline dadav::FieldDescriptor PriceField() {
  return {"PRICE", 'N', 10, 2, 0};
}
inline dadav::FieldDescriptor BornField() {
  return {"BORN", 'D', 8, 0, 0};
}
inline dadav::FieldDescriptor OkField() {
  return {"OK", 'L', 1, 0, 0};
}

// Record i of the table into the current area's record buffer.
inline void FillRecord(std::int32_t i) {
  using namespace dadav;
  ClearRecord();
  std::uint8_t* p = FieldAddress(1);
  p[1] = 'N';
  char* end = std::to_chars(reinterpret_cast<char*>(p + 2), reinterpret_cast<char*>(p + 11), i).ptr;
  p[0] = static_cast<std::uint8_t>(end - reinterpret_cast<char*>(p + 1));
  double value = i * 0.25;
  std::memcpy(FieldAddress(2), &value, 8);
  p = FieldAddress(3);
  p[0] = 8;
  std::memcpy(p + 1, "03/15/26", 8);
  *FieldAddress(4) = static_cast<std::uint8_t>(i % 2);
}

// Records 1 to records appended to the current area.
inline void AppendRecords(std::int32_t records) {
  for (std::int32_t i = 1; i <= records; ++i) {
    FillRecord(i);
    dadav::Append();
  }
}

// Every record of the current area from the top, each field's value looked at.
inline void SkipScan() {
  using namespace dadav;
  GoTop();
  while (!Area()->eof) {
    for (int f = 1; f <= 4; ++f) benchmark::DoNotOptimize(FieldAddress(f));
    SKIP(1);
  }
}

// The engine started as the program starts it, and an empty table of the given fields.
inline std::string CreateTable(const char* name,
                               const std::vector<dadav::FieldDescriptor>& fields) {
  using namespace dadav;
  EngineStart({&ExprModuleStart});
  SetExceptionMode(true);
  std::string path = TablePath(name);
  CreateDBF(path, fields);
  return path;
}

inline std::string MakeTable(const char* name, std::int32_t records, int deleteEvery = 0) {
  using namespace dadav;
  std::string path = CreateTable(name, {NameField(), PriceField(), BornField(), OkField()});
  USE(path + " EXCLUSIVE");
  for (std::int32_t i = 1; i <= records; ++i) {
    FillRecord(i);
    if (deleteEvery > 0 && i % deleteEvery == 0) *FieldAddress(0) = 1;
    Append();
  }
  CloseAll();
  return path;
}

// A full table for the lifetime of one benchmark.
struct Table {
  std::string path;
  explicit Table(const char* name, int deleteEvery = 0)
      : path(MakeTable(name, Records(), deleteEvery)) {}
  ~Table() {
    try {
      dadav::CloseAll();
    } catch (...) {
    }
    std::filesystem::remove(path);
  }
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;
};

// The engine's APPEND of the whole table, into a new table opened exclusive.
inline void BM_AppendEngine(benchmark::State& state) {
  using namespace dadav;
  std::int32_t records = Records();
  for (auto _ : state) {
    state.PauseTiming();
    std::string path = MakeTable("app", 0);
    USE(path + " EXCLUSIVE");
    state.ResumeTiming();
    AppendRecords(records);
    state.PauseTiming();
    CloseAll();
    std::filesystem::remove(path);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * records);
}

// The engine's SKIP through the whole table, opened with the USE option given.
inline void BM_SkipScan(benchmark::State& state, const char* option) {
  Table table("scan");
  dadav::USE(table.path + option);
  for (auto _ : state) SkipScan();
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * Records());
}

}  // namespace tablebench
