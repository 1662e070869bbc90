// Changes the kill test's table until it is killed: appends, replaces, deletes, packs and
// rebuilds the indexes of DIR/w.dbf (with its memo file and the indexes on NAME and QTY),
// chosen at random from SEED.
//
//   table_writer DIR exclusive|shared SEED
//   table_writer DIR turns SEED SECONDS
//
// Before each operation a line goes to DIR/log: "A id 0" (append), "R id ver" (replace the
// record with that ID by version ver), "D id" (delete), "P" (pack) or "I" (reindex); after it
// "E". Each line is written at once, so what the log holds when the writer is killed is what it
// had done. Exit status: 2 when the table does not open or an operation fails.
//
// "turns" is one of several writers of the shared table at once: it keeps no log and neither
// packs nor reindexes, takes the append or record lock of each change with one request, and ends
// after SECONDS with status 0, or with status 3 when a lock is refused.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "platform/headless/headless.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprstart.h"
#include "tables/modules/memo/memostart.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tests/tables/modules/ndx/driver/writerrecord.h"

namespace {

int logFile = -1;

void Log(const std::string& line) {
  if (logFile < 0) return;
  const std::string text = line + "\n";
  if (write(logFile, text.data(), text.size()) != static_cast<ssize_t>(text.size())) _exit(2);
}

std::int64_t StoredNumber(int field, std::int32_t record) {
  std::string text;
  dadav::Peek(field, record, text);
  return std::stoll(text);
}

// Fills the record buffer with the values of (id, ver), its memo written anew.
void Fill(std::int64_t id, std::int64_t ver) {
  const writertest::RecordValues v = writertest::ValuesOf(id, ver);
  for (int field = 1; field <= 6; ++field) {
    dadav::PutStoredField(field, v.stored[static_cast<std::size_t>(field - 1)]);
  }
  const auto reference = static_cast<std::int32_t>(dadav::MemoHooks.addMemo(v.memo));
  std::memcpy(dadav::FieldAddress(7), &reference, sizeof reference);
}

class Writer {
 public:
  Writer(unsigned seed, bool exclusive, bool inTurns)
      : random_(seed), exclusive_(exclusive), inTurns_(inTurns) {
    for (std::int32_t r = 1; r <= dadav::RecCount(); ++r) {
      nextId_ = std::max(nextId_, StoredNumber(1, r) + 1);
    }
    // Writers in turns append IDs of their own, from a range that does not depend on what the
    // others appended before this one started.
    if (inTurns_) nextId_ = std::int64_t{seed} * 1000000;
  }

  void Step() {
    const std::int32_t records = dadav::RecCount();
    const int roll = Below(100);
    const bool large = records > 300;
    if (records < 20 || roll < (large ? 25 : 45)) return Append();
    if (roll < (large ? 55 : 75)) return Replace(Any(records));
    if (roll < 95 || inTurns_) return Delete(Any(records));
    if (roll < 97) return Pack();
    Reindex();
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  std::int32_t Any(std::int32_t records) { return 1 + Below(records); }

  // A writer in turns takes the lock of each change; the others hold the file lock throughout.
  void TakeLock(bool (*lock)()) {
    if (!inTurns_ || lock()) return;
    std::fprintf(stderr, "lock not taken\n");
    std::exit(3);
  }
  void ReleaseLock() {
    if (inTurns_) dadav::Unlock();
  }

  void Append() {
    const std::int64_t id = nextId_++;
    Log("A " + std::to_string(id) + " 0");
    TakeLock(&dadav::ALock);
    dadav::ClearRecord();
    Fill(id, 0);
    dadav::Append();
    ReleaseLock();
    Log("E");
  }

  void Replace(std::int32_t record) {
    dadav::GO(record);
    TakeLock(&dadav::RLock);
    const std::int64_t id = StoredNumber(1, record);
    const std::int64_t ver = StoredNumber(2, record) + 1;
    Log("R " + std::to_string(id) + " " + std::to_string(ver));
    Fill(id, ver);
    dadav::Replace();
    ReleaseLock();
    Log("E");
  }

  void Delete(std::int32_t record) {
    dadav::GO(record);
    TakeLock(&dadav::RLock);
    Log("D " + std::to_string(StoredNumber(1, record)));
    dadav::DeleteRec();
    ReleaseLock();
    Log("E");
  }

  void Pack() {
    Log("P");
    if (!dadav::Pack()) throw dadav::EDadavError("PACK failed");
    // PACK had the table to itself for a while, which gave up the file lock.
    if (!exclusive_ && !dadav::FLock()) throw dadav::EDadavError("FLOCK failed");
    Log("E");
  }

  void Reindex() {
    Log("I");
    dadav::Reindex();
    Log("E");
  }

  std::mt19937 random_;
  bool exclusive_;
  bool inTurns_;
  std::int64_t nextId_ = 1;
};

}  // namespace

int main(int argc, char** argv) {
  const bool inTurns = argc == 5 && std::strcmp(argv[2], "turns") == 0;
  if (argc != 4 && !inTurns) {
    std::fprintf(stderr,
                 "usage: table_writer DIR exclusive|shared SEED\n"
                 "       table_writer DIR turns SEED SECONDS\n");
    return 2;
  }
  platform::headless::Install();
  const std::string dir = std::string(argv[1]) + "/";
  const bool exclusive = std::strcmp(argv[2], "exclusive") == 0;
  if (!inTurns) {
    logFile = open((dir + "log").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
    if (logFile < 0) return 2;
  }
  dadav::EngineStart({&dadav::ExprModuleStart, &dadav::IndexInit, &dadav::MemoStart});
  dadav::SetExceptionMode(true);
  try {
    dadav::USE(dir + writertest::kTable + (exclusive ? " EXCLUSIVE" : ""));
    dadav::CloseAndSetIndexTo(dir + writertest::kNameIndex + " " + dir + writertest::kQtyIndex);
    if (!exclusive && !inTurns && !dadav::FLock()) throw dadav::EDadavError("FLOCK failed");
    Writer writer(static_cast<unsigned>(std::stoul(argv[3])), exclusive, inTurns);
    const std::uint32_t seconds = inTurns ? static_cast<std::uint32_t>(std::stoul(argv[4])) : 0;
    for (const std::uint32_t start = dadav::TickCount();
         !inTurns || dadav::TickCount() - start < seconds * 1000;) {
      writer.Step();
    }
    dadav::CloseAll();
  } catch (const dadav::EDadavError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
}
