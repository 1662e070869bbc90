// A writer killed at random moments: the table_writer program appends, replaces, deletes, packs
// and reindexes a table with C, N, D, L and M fields and two indexes, logging each operation
// before and after, and is killed with SIGKILL again and again. After each kill the table holds
// every record the log shows done, with its values and once only, and each index finds every
// record under its key once the table is opened again: an index the kill left half changed is
// rebuilt by an exclusive open, or refused by a shared one and then rebuilt by the test.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tables/core/dbf4hooks.h"
#include "tables/modules/memo/memostart.h"
#include "tests/tables/modules/ndx/driver/writerrecord.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;

constexpr int kKillsPerMode = 50;

struct RecordState {
  std::int64_t ver = 0;
  bool deleted = false;
  bool operator==(const RecordState&) const = default;
};
using TableState = std::map<std::int64_t, RecordState>;

// One logged operation: its letter, the record's ID and the new version where it has them.
struct Operation {
  char kind = 0;
  std::int64_t id = 0;
  std::int64_t ver = 0;
};

class TableKill : public ndxtest::IndexTest {
 protected:
  void SetUp() override {
    IndexTest::SetUp();
    MemoStart();
    MemoType = 0x8B;
    MemoBlockSize = 512;
    CreateDBF(Path(writertest::kTable), writertest::Fields());
    USE(Path(writertest::kTable) + " EXCLUSIVE");
    for (std::int64_t id = 1; id <= 60; ++id) {
      ClearRecord();
      const writertest::RecordValues v = writertest::ValuesOf(id, 0);
      for (int field = 1; field <= 6; ++field) PutStoredField(field, v.stored[field - 1u]);
      const auto reference = static_cast<std::int32_t>(MemoHooks.addMemo(v.memo));
      std::memcpy(FieldAddress(7), &reference, sizeof reference);
      Append();
      state_[id] = {};
    }
    MakeIndexExpr(writertest::kNameKey, Path(writertest::kNameIndex));
    MakeIndexExpr(writertest::kQtyKey, Path(writertest::kQtyIndex));
    CloseAll();
  }

  // Waits until the writer has run for micros more of its own processor time, so that a busy
  // machine, which gives it less of the processor, does not end it before it got anything done.
  static void WaitForWritersTime(pid_t pid, int micros) {
    clockid_t clock{};
    const auto used = [&clock] {
      timespec spent{};
      return clock_gettime(clock, &spent) == 0 ? spent.tv_sec * 1000000LL + spent.tv_nsec / 1000
                                               : -1LL;
    };
    const long long start = clock_getcpuclockid(pid, &clock) == 0 ? used() : -1;
    if (start < 0) return static_cast<void>(usleep(static_cast<useconds_t>(micros)));
    for (long long now = start; now >= 0 && now < start + micros; now = used()) usleep(200);
  }

  // Runs the writer for a random while and kills it; the operations it logged as done are
  // applied to the state expected, and the one it was in the middle of is returned.
  std::optional<Operation> RunAndKill(const std::string& mode, unsigned seed, int micros) {
    // A writer killed before it opened its log must not leave the last one's to be read again.
    std::filesystem::remove(Path("log"));
    const pid_t pid = fork();
    if (pid == 0) {
      const std::string dir = Path("");
      const std::string seedText = std::to_string(seed);
      execl(KV6_TABLE_WRITER, "table_writer", dir.c_str(), mode.c_str(), seedText.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    // The moment counts from the writer's start, before it opens the table: started from an
    // instrumented build on a busy machine, it takes tens of milliseconds to get there.
    for (int wait = 0; wait < 50000 && !std::filesystem::exists(Path("log")); ++wait) usleep(100);
    WaitForWritersTime(pid, micros);
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status))
        << "the writer ended by itself, status " << WEXITSTATUS(status);
    std::ifstream log(Path("log"));
    std::optional<Operation> open;
    for (std::string line; std::getline(log, line);) {
      if (line == "E") {
        if (open) Apply(*open);
        open.reset();
        continue;
      }
      std::istringstream words(line);
      Operation op;
      words >> op.kind >> op.id >> op.ver;
      open = op;
    }
    return open;
  }

  static void ApplyTo(TableState& state, const Operation& op) {
    switch (op.kind) {
      case 'A':
      case 'R':
        state[op.id].ver = op.ver;
        break;
      case 'D':
        state[op.id].deleted = true;
        break;
      case 'P':
        std::erase_if(state, [](const auto& record) { return record.second.deleted; });
        break;
      default:
        break;
    }
  }

  void Apply(const Operation& op) {
    ++done_;
    ApplyTo(state_, op);
  }

  // The next open of the table as the writer opens it: an index it refuses is rebuilt.
  void OpenIndexes(const std::string& mode) {
    USE(Path(writertest::kTable) + mode);
    for (auto [index, key] : {std::pair{writertest::kNameIndex, writertest::kNameKey},
                              std::pair{writertest::kQtyIndex, writertest::kQtyKey}}) {
      try {
        SetIndexTo(Path(index), 1, nullptr, nullptr);
      } catch (const EDadavError& e) {
        ASSERT_TRUE(mode.empty()) << "an exclusive open rebuilds: " << e.what();
        ASSERT_NE(std::string(e.what()).find("must be rebuilt (REINDEX)"), std::string::npos)
            << e.what();
        ++refused_;
        MakeIndexExpr(key, Path(index));
        SetIndexTo(Path(index), 1, nullptr, nullptr);
      }
    }
    CloseAll();
  }

  static std::string MemoOf(std::int32_t record) {
    GO(record);
    std::int32_t reference = 0;
    std::memcpy(&reference, FieldAddress(7), sizeof reference);
    auto reader = MemoHooks.assignMemo(reference);
    std::string text, line;
    while (reader && reader->ReadLine(line)) text += line;
    return text;
  }

  // Reads the table: every record whole and its ID once; the entries its indexes must hold.
  TableState ReadTable(std::vector<Entry>& names, std::vector<Entry>& quantities) {
    TableState table;
    USE(Path(writertest::kTable) + " EXCLUSIVE");
    for (std::int32_t r = 1; r <= RecCount(); ++r) {
      const std::int64_t id = std::stoll(Stored(1, r));
      const std::int64_t ver = std::stoll(Stored(2, r));
      const writertest::RecordValues v = writertest::ValuesOf(id, ver);
      for (int field = 1; field <= 6; ++field) {
        EXPECT_EQ(Stored(field, r), v.stored[field - 1u]) << "record " << r << " field " << field;
      }
      EXPECT_EQ(MemoOf(r), v.memo) << "record " << r;
      EXPECT_TRUE(table.emplace(id, RecordState{ver, Stored(0, r) == "*"}).second)
          << "ID " << id << " twice";
      names.emplace_back(v.stored[2], r);
      std::string key(8, '\0');
      StoreNdxDouble(v.qty, reinterpret_cast<std::uint8_t*>(key.data()));
      quantities.emplace_back(key, r);
    }
    CloseAll();
    return table;
  }

  // The first records in which the table differs from the state expected.
  static std::string Differences(const TableState& table, const TableState& expected) {
    std::string text;
    int shown = 0;
    for (const auto& [id, record] : expected) {
      const auto found = table.find(id);
      if (found != table.end() && found->second == record) continue;
      text += "; ID " + std::to_string(id) + " " +
              (found == table.end() ? "missing"
                                    : "version " + std::to_string(found->second.ver) +
                                          (found->second.deleted ? " deleted" : ""));
      if (++shown == 5) break;
    }
    for (const auto& [id, record] : table) {
      if (!expected.contains(id) && shown++ < 10) text += "; ID " + std::to_string(id) + " more";
    }
    return text;
  }

  // What the table may hold: the state expected, or that with the interrupted operation done.
  void ExpectStateAfter(const TableState& table, const std::optional<Operation>& open) {
    if (table == state_) return;
    ASSERT_TRUE(open.has_value()) << "the table differs though no operation was under way";
    TableState done = state_;
    ApplyTo(done, *open);
    EXPECT_TRUE(table == done) << "the table is neither before nor after operation " << open->kind
                               << " " << open->id << Differences(table, done);
  }

  void ExpectIndexHolds(const char* index, std::vector<Entry> expected) {
    ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path(index));
    EXPECT_EQ(report.problem, "") << index;
    std::sort(report.entries.begin(), report.entries.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(report.entries == expected) << index << ": " << report.entries.size()
                                            << " entries for " << expected.size() << " records";
  }

  void KillAndCheck(const std::string& mode) {
    std::mt19937 random(mode.empty() ? 7 : 11);
    for (int kill = 0; kill < kKillsPerMode; ++kill) {
      SCOPED_TRACE("kill " + std::to_string(kill));
      const int micros = std::uniform_int_distribution<int>(5000, 60000)(random);
      const std::optional<Operation> open = RunAndKill(mode.empty() ? "shared" : "exclusive",
                                                       static_cast<unsigned>(random()), micros);
      if (open && open->kind == 'P') ++packsEnded_;
      OpenIndexes(mode);
      std::vector<Entry> names, quantities;
      const TableState table = ReadTable(names, quantities);
      ExpectStateAfter(table, open);
      ExpectIndexHolds(writertest::kNameIndex, names);
      ExpectIndexHolds(writertest::kQtyIndex, quantities);
      if (HasFailure()) return;
      state_ = table;
    }
    std::printf(
        "%s writer: %d kills (%d in a PACK), %d operations done, %d indexes refused and rebuilt\n",
        mode.empty() ? "shared" : "exclusive", kKillsPerMode, packsEnded_, done_, refused_);
    EXPECT_GT(done_, kKillsPerMode * 5);
  }

  TableState state_;
  int done_ = 0;
  int refused_ = 0;
  int packsEnded_ = 0;
};

TEST_F(TableKill, AnExclusiveWriterKilledAtRandomLosesNothingItReportedDone) {
  KillAndCheck(" EXCLUSIVE");
}

TEST_F(TableKill, ASharedWriterKilledAtRandomLosesNothingItReportedDone) {
  KillAndCheck("");
}

// Four writers of the shared table change it at once for 20 seconds, each taking the lock of a
// change with one request: each waits its turn, none is refused a lock that the others take and
// release, and the table and its indexes hold every change.
TEST_F(TableKill, FourSharedWritersTakeTheirLocksInTurn) {
  std::vector<pid_t> writers;
  for (const char* seed : {"1", "2", "3", "4"}) {
    writers.push_back(fork());
    if (writers.back() == 0) {
      const std::string dir = Path("");
      execl(KV6_TABLE_WRITER, "table_writer", dir.c_str(), "turns", seed, "20",
            static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  for (const pid_t writer : writers) {
    int status = 0;
    waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  }
  std::vector<Entry> names, quantities;
  std::printf("four writers in turn: %zu records\n", ReadTable(names, quantities).size());
  ExpectIndexHolds(writertest::kNameIndex, names);
  ExpectIndexHolds(writertest::kQtyIndex, quantities);
}

}  // namespace
