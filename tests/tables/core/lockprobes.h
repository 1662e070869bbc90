#pragma once
// Programs beside each other on a shared table of 8 records: holders that may hold a lock of the
// table and loop another (take, 1 ms, release), and an asker of a lock overlapping the looped
// one. The test of turns judges them, the many-writer benchmark times them.

#include <cstdint>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"

namespace lockprobes {

struct Probe {
  int holders;
  bool (*keep)();
  bool (*loop)();
  void (*release)();
  bool (*ask)();
  std::int32_t record;  // where the programs stand; 0: holder n at record n, the asker at 1
  // The asker's turnstile, in a table whose header has 65 bytes and whose records have 7: 4 GiB
  // above the lock, for the file lock the byte below the database byte's.
  std::uint64_t turnstile, length;
};

inline constexpr std::uint64_t kDatabaseByte = 0x40000000;
inline constexpr std::uint64_t kFileLockTurnstile = 0x13FFFFFFF;
inline constexpr std::uint64_t kRecordTurnstiles = 0x140000041;

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

}  // namespace lockprobes
