// SortVFile of a virtual file of C(10), N(10,2) and D records keyed on the C field, against
// std::sort of a pre-built vector of the same keys with the same comparison; and sorted APPENDs.
// KV6_BENCH_RECORDS sets the size (1,000,000 records by default, 10,000 sorted APPENDs).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "benchsize.h"
#include "benchtargets.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/modules/vfile/vfile.h"
#include "tables/modules/vfile/vfilelist.h"
#include "tables/modules/vfile/vfilesort.h"

namespace {

using namespace dadav;

std::int64_t Records() {
  static const std::int64_t records = BenchSize(1000000);
  return records;
}

// Random keys of up to 10 characters: letters, or numbers with two decimals.
std::vector<std::string> RandomKeys(std::int64_t count, bool numeric) {
  std::mt19937_64 random(numeric ? 2 : 1);
  std::vector<std::string> keys;
  keys.reserve(static_cast<std::size_t>(count));
  for (std::int64_t i = 0; i < count; ++i) {
    if (numeric) {
      char text[16];
      const auto value = static_cast<long long>(random() % 10000000);
      char* end = std::to_chars(text, text + 16, value / 100).ptr;
      *end++ = '.';
      *end++ = static_cast<char>('0' + value / 10 % 10);
      *end++ = static_cast<char>('0' + value % 10);
      keys.emplace_back(text, end);
    } else {
      std::string key(10, ' ');
      for (char& c : key) c = static_cast<char>('A' + random() % 26);
      keys.push_back(key);
    }
  }
  return keys;
}

void Field1Key(void*, std::string& key) {
  FieldAsText(1, key);
}

std::vector<std::uint8_t> buffer;

void OpenVirtual(const char* options) {
  EngineStart({&VFileStart});
  SetExceptionMode(true);
  FieldDescriptor c{"NAME", 'C', 10, 0, 0, false}, n{"PRICE", 'N', 10, 2, 0, false},
      d{"BORN", 'D', 8, 0, 0, false};
  const std::vector<FieldDescriptor> fields{c, n, d};
  std::uint32_t size = 1;
  for (const FieldDescriptor& f : fields) size += NativeFieldSize(f);
  buffer.assign(size, 0);
  USE(std::string("SORTME VIRTUAL FILE") + options, buffer.data(),
      static_cast<std::uint16_t>(size));
  AddStru(fields);
  Set_VFileKey_To(&Field1Key, nullptr);
}

void AppendRecord(const std::string& key, std::int64_t i) {
  std::uint8_t* p = FieldAddress(1);
  p[0] = static_cast<std::uint8_t>(key.size());
  std::memcpy(p + 1, key.data(), key.size());
  const double value = static_cast<double>(i) * 0.25;
  std::memcpy(FieldAddress(2), &value, 8);
  p = FieldAddress(3);
  p[0] = 8;
  std::memcpy(p + 1, "03/15/26", 8);
  Append();
}

// The records' data in list order, so that every run sorts the list as it was filled.
std::vector<std::pair<std::uint8_t*, std::uint16_t>> ListData() {
  std::vector<std::pair<std::uint8_t*, std::uint16_t>> data;
  for (VFileNode* node = ListOf(*Area()).head; node != nullptr; node = node->next)
    data.emplace_back(node->data, node->size);
  return data;
}

void RestoreListData(const std::vector<std::pair<std::uint8_t*, std::uint16_t>>& data) {
  VFileNode* node = ListOf(*Area()).head;
  for (const auto& [bytes, size] : data) {
    node->data = bytes;
    node->size = size;
    node = node->next;
  }
  Set_VFileMode_To(0);
}

void BM_SortVFile(benchmark::State& state, bool numeric) {
  const auto mode = static_cast<std::uint8_t>(state.range(0));
  const std::vector<std::string> keys = RandomKeys(Records(), numeric);
  OpenVirtual("");
  for (std::size_t i = 0; i < keys.size(); ++i) AppendRecord(keys[i], static_cast<std::int64_t>(i));
  const auto filled = ListData();
  for (auto _ : state) {
    state.PauseTiming();
    RestoreListData(filled);
    state.ResumeTiming();
    SortVFile(mode);
  }
  if (RecCount() != Records() || Get_VFileMode() != mode) state.SkipWithError("sort failed");
  CloseAll();
  state.SetItemsProcessed(state.iterations() * Records());
}

void BM_StdSortKeys(benchmark::State& state, bool numeric) {
  const bool ascending = state.range(0) == 3;
  std::vector<VFileSortKey> built;
  for (const std::string& key : RandomKeys(Records(), numeric)) built.push_back(MakeSortKey(key));
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<VFileSortKey> keys = built;
    state.ResumeTiming();
    std::sort(keys.begin(), keys.end(), [ascending](const VFileSortKey& a, const VFileSortKey& b) {
      const int order = CompareSortKeys(a, b);
      return ascending ? order < 0 : order > 0;
    });
    benchmark::DoNotOptimize(keys.data());
  }
  state.SetItemsProcessed(state.iterations() * Records());
}

void BM_SortedAppend(benchmark::State& state, bool numeric) {
  const std::int64_t count = std::max<std::int64_t>(1, Records() / 100);
  const std::vector<std::string> keys = RandomKeys(count, numeric);
  for (auto _ : state) {
    state.PauseTiming();
    OpenVirtual(" ASCENDING");
    state.ResumeTiming();
    for (std::size_t i = 0; i < keys.size(); ++i)
      AppendRecord(keys[i], static_cast<std::int64_t>(i));
    state.PauseTiming();
    CloseAll();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK_CAPTURE(BM_SortVFile, Text, false)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StdSortKeys, Text, false)->Arg(3)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SortVFile, Numeric, true)
    ->Arg(3)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(benchtargets::kRepeats);
BENCHMARK_CAPTURE(BM_StdSortKeys, Numeric, true)
    ->Arg(3)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(benchtargets::kRepeats);
BENCHMARK_CAPTURE(BM_SortedAppend, Text, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SortedAppend, Numeric, true)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return benchtargets::Run(argc, argv,
                           {
                               {"BM_SortVFile/Numeric/3", "BM_StdSortKeys/Numeric/3", 1.2},
                               {"BM_SortVFile/Numeric/4", "BM_StdSortKeys/Numeric/4", 1.2},
                           });
}
