#pragma once
// Programs beside each other on a shared table of 8 records: holders that may hold a lock of the
// table and loop another (take, 1 ms, release), and an asker of a lock overlapping the looped one,
// which asks, releases at once and asks again 5 ms later. The holders share a processor of their
// own, where the system's wake-up of the asker comes too late to beat their next request. The
// test of turns judges them, the many-writer benchmark reports them.

#include <sched.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/filelock.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"

namespace lockprobes {

struct Probe {
  int holders;
  bool (*keep)();
  bool (*loop)();
  void (*release)();
  bool (*ask)();
  std::int32_t record;  // where the programs stand; 0: holder n at record n, the asker at 1
  // The asker's turnstile, in the table MakeTable makes: 4 GiB above the lock, for the file lock
  // the byte below the database byte's.
  std::uint64_t turnstile, length;
};

inline constexpr std::uint64_t kDatabaseByte = 0x40000000;
inline constexpr std::uint64_t kFileLockTurnstile = 0x13FFFFFFF;
inline constexpr std::uint64_t kRecordTurnstiles = 0x140000041;  // after a header of 65 bytes

inline bool KeepNothing() {
  return true;
}

inline bool KeepRecord5() {
  return dadav::GO(5), dadav::RLock();
}

inline const Probe kProbes[] = {
    // A record beside its holder; beside a holder of another record (S1); the file lock beside a
    // record (S2); a record beside the file lock (S3); a record beside a holder of the database
    // byte (S4); the file lock beside four programs each at its own record (S5).
    {1, &KeepNothing, &dadav::RLock, &dadav::Unlock, &dadav::RLock, 1, kRecordTurnstiles, 7},
    {1, &KeepRecord5, &dadav::RLock, [] { dadav::UnlockRec(-2); }, &dadav::RLock, 7,
     kRecordTurnstiles + 42, 7},
    {1, &KeepNothing, &dadav::RLock, &dadav::Unlock, &dadav::FLock, 1, kFileLockTurnstile, 1},
    {1, &KeepNothing, &dadav::FLock, &dadav::Unlock, &dadav::RLock, 1, kRecordTurnstiles, 7},
    {1, &dadav::LockFirstByte, &dadav::RLock, &dadav::Unlock, &dadav::RLock, 7,
     kRecordTurnstiles + 42, 7},
    {4, &KeepNothing, &dadav::RLock, &dadav::Unlock, &dadav::FLock, 0, kFileLockTurnstile, 1},
    // The database byte beside the index's lock of it by a holder of a record.
    {1, &KeepRecord5,
     [] { return dadav::WaitForTableRegion(*dadav::Area(), kDatabaseByte, 1, 1000) == 0; },
     [] { dadav::LockRegion(true, dadav::Area()->file.Descriptor(), kDatabaseByte, 1); },
     &dadav::LockFirstByte, 5, kDatabaseByte + (std::uint64_t{1} << 32), 1}};

// A table of 8 blank records of 7 bytes, with the engine started.
inline void MakeTable(const std::string& path) {
  dadav::CreateDBF(path, {{"NAME", 'C', 6, 0, 0}});
  dadav::USE(path + " EXCLUSIVE");
  for (int i = 0; i < 8; ++i) dadav::ClearRecord(), dadav::Append();
  dadav::CloseAll();
}

using Clock = std::chrono::steady_clock;

struct Tally {
  bool holdersRan = true;
  int asks = 0, refusals = 0, within = 0;  // within: granted within 100 ms
  Clock::duration longest{};
  // The holders' releases while the asker's turnstile was held: in all and during its asks.
  int turnReleases = 0, turnReleasesInAsks = 0;
};

// What holders and asker share.
struct Board {
  std::atomic<bool> stop;
  std::atomic<int> turnReleases;
};

[[noreturn]] inline void Hold(const std::string& table, const Probe& probe, int holder,
                              Board& board, int ready) {
  try {
    dadav::USE(table);
    if (!probe.keep()) _exit(2);
    dadav::GO(probe.record == 0 ? holder : probe.record);
    for (bool told = false; !board.stop;) {
      if (!probe.loop()) _exit(5);
      if (!told) {  // closed, lest a holder that ends before its first lock leave the wait open
        told = write(ready, "", 1) == 1;
        close(ready);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      board.turnReleases += platform::RangeLockedElsewhere(dadav::Area()->file.Descriptor(),
                                                           probe.turnstile, probe.length, false);
      probe.release();
    }
  } catch (...) {
    _exit(3);
  }
  _exit(0);
}

inline void Ask(const Probe& probe, Clock::duration duration, const Board& board, Tally& tally) {
  const auto end = Clock::now() + duration;
  while (Clock::now() < end) {
    const int releasesBefore = board.turnReleases;
    const auto asked = Clock::now();
    const bool granted = probe.ask();
    const auto waited = Clock::now() - asked;
    tally.turnReleasesInAsks += board.turnReleases - releasesBefore;
    tally.longest = std::max(tally.longest, waited);
    tally.refusals += !granted;
    tally.within += granted && waited < std::chrono::milliseconds(100);
    ++tally.asks;
    dadav::Unlock(), dadav::UnlockFirstByte();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Runs the probe on the table for the duration; needs two processors.
inline Tally Run(const std::string& table, const Probe& probe, Clock::duration duration) {
  cpu_set_t all, holders, others;
  sched_getaffinity(0, sizeof all, &all);
  int first = 0;
  while (!CPU_ISSET(first, &all)) ++first;
  CPU_ZERO(&holders);
  CPU_SET(first, &holders);
  others = all;
  CPU_CLR(first, &others);
  auto* board = static_cast<Board*>(
      mmap(nullptr, sizeof(Board), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  board->stop = false;
  board->turnReleases = 0;
  int ready[2];
  if (pipe(ready) != 0) std::abort();
  std::vector<pid_t> pids;
  for (int holder = 1; holder <= probe.holders; ++holder) {
    pids.push_back(fork());
    if (pids.back() != 0) continue;
    sched_setaffinity(0, sizeof holders, &holders);
    Hold(table, probe, holder, *board, ready[1]);
  }
  close(ready[1]);
  Tally tally;
  char byte = 0;
  for (int holder = 1; holder <= probe.holders; ++holder) {
    tally.holdersRan = tally.holdersRan && read(ready[0], &byte, 1) == 1;
  }
  close(ready[0]);
  sched_setaffinity(0, sizeof others, &others);
  dadav::USE(table);
  dadav::GO(std::max(probe.record, 1));
  if (tally.holdersRan) Ask(probe, duration, *board, tally);
  board->stop = true;
  sched_setaffinity(0, sizeof all, &all);
  dadav::CloseAll();
  for (const pid_t pid : pids) {
    int status = 0;
    waitpid(pid, &status, 0);
    tally.holdersRan = tally.holdersRan && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  tally.turnReleases = board->turnReleases;
  munmap(board, sizeof(Board));
  return tally;
}

}  // namespace lockprobes
