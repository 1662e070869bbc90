// Memos of 1 KiB in each layout (exclusive, warm cache, $TMPDIR) against raw calls on the same
// bytes at the same offsets: AddMemo against one pwrite of a record (padding, group header,
// text) and the 4-byte next-free pwrite; GetMemo in record and in random order, and a blob read
// of the whole memo, against one pread of the record's bytes. AddMemo in a shared file is
// reported without a raw counterpart. KV6_BENCH_RECORDS sets the number of memos (100,000 by
// default).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "benchfolder.h"
#include "benchsize.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/modules/memo/blob.h"
#include "tables/modules/memo/memoformat.h"
#include "tables/modules/memo/memolines.h"
#include "tables/modules/memo/memostart.h"
#include "tables/modules/memo/memowrite.h"

namespace {

using namespace dadav;

constexpr std::size_t kMemoBytes = 1024;
constexpr std::uint16_t kBlockSize = 512;

std::int64_t Memos() {
  static const std::int64_t memos = BenchSize(100000);
  return memos;
}

std::string Folder() {
  static const BenchFolder folder;
  return folder.Path();
}

// A 1 KiB text of words in lines of about 70 characters.
const std::string& MemoText() {
  static const std::string text = [] {
    std::string t;
    for (int i = 0; t.size() < kMemoBytes; ++i) t += (i % 10 == 9) ? "Zeile\r\n" : "Welle ";
    t.resize(kMemoBytes - 1);
    t += "x";
    return t;
  }();
  return text;
}

std::string TablePath(std::uint8_t type) {
  return Folder() + "/memo" + std::to_string(type) + ".dbf";
}

std::string MemoPath(std::uint8_t type) {
  return Folder() + "/memo" + std::to_string(type) + (type == kMemoTypeB ? ".fpt" : ".dbt");
}

// An empty table of the memo type, opened with the USE option.
void OpenEmptyTable(std::uint8_t type, const char* option) {
  EngineStart({&MemoStart});
  SetExceptionMode(true);
  TableLanguageOem = false;
  MemoType = type;
  MemoBlockSize = kBlockSize;
  CreateDBF(TablePath(type), {{"ID", 'N', 4, 0, 0}, {"NOTE", 'M', 10, 0, 0}});
  MemoType = 0x8B;
  USE(TablePath(type) + option);
}

// Where each record goes and the bytes written there, as the layout puts them.
struct RawRecord {
  std::uint64_t writeFrom;
  std::uint64_t recordStart;
  std::string bytes;  // padding and record
};

std::vector<RawRecord> RawRecords(std::uint8_t type) {
  std::uint64_t size = type == kMemoTypeA ? 513 : HeaderBytes(type);
  std::string record;
  if (type == kMemoTypeA) {
    record = MemoText() + "\x1A\x1A";
    record.resize(NextFreeBlock(record.size(), kBlockSize) * kBlockSize, '\0');
  } else {
    const auto header = GroupHeader(type, static_cast<std::uint32_t>(kMemoBytes));
    record.assign(header.begin(), header.end());
    record += MemoText();
  }
  std::vector<RawRecord> records;
  for (std::int64_t i = 0; i < Memos(); ++i) {
    RawRecord raw;
    raw.writeFrom = size == 513 && type == kMemoTypeA ? 512 : size;
    raw.recordStart =
        NextFreeBlock(std::max(raw.writeFrom, HeaderBytes(type)), kBlockSize) * kBlockSize;
    raw.bytes = std::string(raw.recordStart - raw.writeFrom, '\0') + record;
    size = raw.writeFrom + raw.bytes.size();
    records.push_back(std::move(raw));
  }
  return records;
}

void BM_AddMemo(benchmark::State& state, std::uint8_t type, const char* option) {
  for (auto _ : state) {
    state.PauseTiming();
    OpenEmptyTable(type, option);
    state.ResumeTiming();
    for (std::int64_t i = 0; i < Memos(); ++i) benchmark::DoNotOptimize(AddMemo(MemoText()));
    state.PauseTiming();
    EngineExit();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * Memos());
}

void BM_AddRaw(benchmark::State& state, std::uint8_t type) {
  const std::vector<RawRecord> records = RawRecords(type);
  const std::string path = Folder() + "/raw.dbt";
  const std::uint8_t next[4] = {1, 0, 0, 0};
  for (auto _ : state) {
    state.PauseTiming();
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (pwrite(fd, std::string(513, '\0').data(), type == kMemoTypeA ? 513 : 24, 0) < 0) {
      state.SkipWithError("pwrite");
    }
    state.ResumeTiming();
    for (const RawRecord& raw : records) {
      benchmark::DoNotOptimize(
          pwrite(fd, raw.bytes.data(), raw.bytes.size(), static_cast<off_t>(raw.writeFrom)));
      benchmark::DoNotOptimize(pwrite(fd, next, 4, 0));
    }
    state.PauseTiming();
    close(fd);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * Memos());
}

// The table of the memo type filled with the memos; their blocks, in record order or shuffled.
std::vector<std::int64_t> FilledTable(std::uint8_t type, bool shuffled) {
  OpenEmptyTable(type, " EXCLUSIVE");
  std::vector<std::int64_t> blocks;
  for (std::int64_t i = 0; i < Memos(); ++i) blocks.push_back(AddMemo(MemoText()));
  if (shuffled) std::shuffle(blocks.begin(), blocks.end(), std::mt19937_64(7));
  return blocks;
}

void BM_GetMemo(benchmark::State& state, std::uint8_t type, bool shuffled) {
  const std::vector<std::int64_t> blocks = FilledTable(type, shuffled);
  for (auto _ : state) {
    for (const std::int64_t block : blocks) benchmark::DoNotOptimize(GetMemo(block));
  }
  if (MemoLines.Count() == 0) state.SkipWithError("no lines");
  EngineExit();
  state.SetItemsProcessed(state.iterations() * Memos());
}

void BM_BlobRead(benchmark::State& state, std::uint8_t type) {
  const std::vector<std::int64_t> blocks = FilledTable(type, false);
  std::string data(kMemoBytes, '\0');
  for (auto _ : state) {
    for (const std::int64_t block : blocks) {
      OpenBlob(false, block, kBlobRead);
      benchmark::DoNotOptimize(ReadBlobStream(data.data(), kMemoBytes, 2));
      CloseBlob();
    }
  }
  if (data != MemoText()) state.SkipWithError("wrong blob");
  EngineExit();
  state.SetItemsProcessed(state.iterations() * Memos());
}

void BM_ReadRaw(benchmark::State& state, std::uint8_t type, bool shuffled) {
  std::vector<std::int64_t> blocks = FilledTable(type, shuffled);
  EngineExit();
  const std::size_t bytes = kMemoBytes + (type == kMemoTypeA ? 2 : kGroupHeaderBytes);
  std::string buffer(bytes, '\0');
  const int fd = open(MemoPath(type).c_str(), O_RDONLY);
  for (auto _ : state) {
    for (const std::int64_t block : blocks) {
      benchmark::DoNotOptimize(
          pread(fd, buffer.data(), bytes, static_cast<off_t>(block * kBlockSize)));
    }
  }
  close(fd);
  state.SetItemsProcessed(state.iterations() * Memos());
}

constexpr std::uint8_t kA = kMemoTypeA;
constexpr std::uint8_t kB = kMemoTypeB;
constexpr std::uint8_t kC = 0x8B;

BENCHMARK_CAPTURE(BM_AddMemo, LayoutA, kA, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddRaw, LayoutA, kA)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetMemo, LayoutA_InOrder, kA, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetMemo, LayoutA_Random, kA, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BlobRead, LayoutA, kA)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRaw, LayoutA_InOrder, kA, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRaw, LayoutA_Random, kA, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddMemo, LayoutA_Shared, kA, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddMemo, LayoutB, kB, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddRaw, LayoutB, kB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetMemo, LayoutB_InOrder, kB, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetMemo, LayoutB_Random, kB, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BlobRead, LayoutB, kB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRaw, LayoutB_InOrder, kB, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRaw, LayoutB_Random, kB, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddMemo, LayoutB_Shared, kB, "")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddMemo, LayoutC, kC, " EXCLUSIVE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddRaw, LayoutC, kC)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetMemo, LayoutC_InOrder, kC, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetMemo, LayoutC_Random, kC, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BlobRead, LayoutC, kC)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRaw, LayoutC_InOrder, kC, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadRaw, LayoutC_Random, kC, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_AddMemo, LayoutC_Shared, kC, "")->Unit(benchmark::kMillisecond);

}  // namespace
