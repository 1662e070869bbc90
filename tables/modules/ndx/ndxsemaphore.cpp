#include "tables/modules/ndx/ndxsemaphore.h"

#include <array>
#include <memory>

#include "platform/files/blockfile.h"
#include "platform/files/filelock.h"
#include "platform/files/fileresolve.h"
#include "platform/files/osfiles.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"
#include "tables/core/tzfiles.h"

namespace dadav {

std::uint16_t WriteLockTimeout = 100;
std::string SemaphoreDirectory;

namespace {

constexpr std::uint8_t kSemaphoreAreas = 34;
constexpr std::uint64_t kSemaphoreLockOffset = 1;
constexpr std::uint64_t kSemaphoreLockLength = 4;
// A program inside a read bracket holds a shared lock on the byte after the semaphore lock, which
// the system releases when the program ends: a reader count that no such lock vouches for was
// left by programs that ended inside their brackets. A writer inside its bracket holds the
// semaphore lock itself.
constexpr std::uint64_t kPresenceOffset = kSemaphoreLockOffset + kSemaphoreLockLength;
// The database and semaphore locks are waited for 10 seconds.
constexpr std::uint32_t kLockWaitMs = 10000;
constexpr std::uint16_t kLastCounter = 65534;
constexpr std::uint8_t kMostReaders = 127;

struct SemaphoreRecord {
  std::uint8_t logins = 0;
  std::uint8_t readers = 0;
  std::uint16_t counter = 0;
};

struct SemaphoreState {
  platform::BlockFile file;
  std::string name;
  SemaphoreRecord record;
  std::uint8_t loginsSeen = 0;
  std::uint16_t counterSeen = 0;
  bool lockHeld = false;
  bool readAnnounced = false;
  std::int32_t readNesting = 0;
  std::int32_t writeNesting = 0;
  TurnstileLook turnstileLook;
};

std::array<std::unique_ptr<SemaphoreState>, kSemaphoreAreas + 1> States;

std::string ActionName(SemaphoreAction action) {
  static const char* const kNames[] = {"LOGIN",   "LOGOUT",        "INCREAD",
                                       "DECREAD", "LOCKSEMAPHORE", "UNLOCKSEMAPHORE"};
  return kNames[static_cast<int>(action)];
}

bool SharedTable(const WorkArea& area) {
  return !area.exclusive && (area.openMode & 0x70) == 0x40;
}

// The shared table of the current area, or nullptr when the action has nothing to do.
WorkArea* SharedArea() {
  WorkArea* area = Area();
  if (area == nullptr || area->state == kClosed || !SharedTable(*area)) return nullptr;
  if (CurrentArea() > kSemaphoreAreas) {
    ReportError(
        254, "Work area [" + std::to_string(CurrentArea()) + " ] out of range. [HandleSemafore]");
    return nullptr;
  }
  return area;
}

// The table's first byte, which serialises logins and logouts between programs. Where the area
// holds the byte already (LockFirstByte), the system would grant it again over that lock and the
// release would end that lock too: the byte is neither taken nor released then.
class DatabaseLock {
 public:
  explicit DatabaseLock(WorkArea& area)
      : fd_(area.file.Descriptor()),
        heldBefore_(area.firstByteLocked),
        taken_(!heldBefore_ && WaitForTableRegion(area, kLockBase, 1, kLockWaitMs) == 0) {}
  ~DatabaseLock() {
    if (taken_) platform::UnlockRange(fd_, kLockBase, 1);
  }
  DatabaseLock(const DatabaseLock&) = delete;
  DatabaseLock& operator=(const DatabaseLock&) = delete;
  bool Held() const { return heldBefore_ || taken_; }

 private:
  int fd_;
  bool heldBefore_;
  bool taken_;
};

int ReadRecord(SemaphoreState& state) {
  std::array<std::uint8_t, 4> bytes{};
  std::size_t done = 0;
  const int code = state.file.ReadAt(0, bytes.data(), bytes.size(), done);
  if (code != 0) return code;
  // A full disk or a kill right after the file was made leaves it without its whole record: it
  // counts nobody, and the next update writes it whole.
  if (done != bytes.size()) bytes = {};
  state.record.logins = bytes[0];
  state.record.readers = bytes[1];
  state.record.counter = static_cast<std::uint16_t>(bytes[2] | bytes[3] << 8);
  return 0;
}

int WriteRecord(const SemaphoreState& state) {
  const std::array<std::uint8_t, 4> bytes = {state.record.logins, state.record.readers,
                                             static_cast<std::uint8_t>(state.record.counter),
                                             static_cast<std::uint8_t>(state.record.counter >> 8)};
  std::size_t done = 0;
  const int code = state.file.WriteAt(0, bytes.data(), bytes.size(), done);
  if (code != 0) return code;
  return done == bytes.size() ? 0 : 101;
}

bool TakeSemaphoreLock(SemaphoreState& state, SemaphoreAction action) {
  const int code = WaitForRegion(state.file.Descriptor(), state.turnstileLook, kSemaphoreLockOffset,
                                 kSemaphoreLockLength, true, kLockWaitMs);
  if (code == 0) {
    state.lockHeld = true;
    return true;
  }
  // A read bracket whose start or end cannot count leaves the program uncounted all the same:
  // the count in the file must not stay vouched for.
  if (action == SemaphoreAction::kIncRead || action == SemaphoreAction::kDecRead) {
    platform::UnlockRange(state.file.Descriptor(), kPresenceOffset, 1);
  }
  ReportError(1202, "10 second timeout: Cannot lock index semaphore file: " + state.name + " " +
                        ActionName(action) +
                        "\r\nPossible cause: Network lock limit exceeded\r\n Lock result code: " +
                        std::to_string(code));
  return false;
}

// Releases the semaphore lock, and the presence lock with it when the program is no longer
// counted as a reader; 0 or the lock code.
int ReleaseSemaphoreLock(SemaphoreState& state, bool uncounted = false) {
  state.lockHeld = false;
  return platform::UnlockRange(state.file.Descriptor(), kSemaphoreLockOffset,
                               kSemaphoreLockLength + (uncounted ? 1 : 0));
}

// Reports the first failure of a read-change-write under the lock, after releasing it.
void FinishUpdate(SemaphoreState& state, SemaphoreAction action, int readCode, int writeCode) {
  const bool done = readCode == 0 && writeCode == 0;
  const bool uncounted =
      action == SemaphoreAction::kDecRead || (action == SemaphoreAction::kIncRead && !done);
  const int unlockCode = ReleaseSemaphoreLock(state, uncounted);
  // Every read bracket passes here twice: the message is made only for a failure.
  if (done && unlockCode == 0) return;
  const std::string object = state.name + " " + ActionName(action);
  if (readCode != 0) {
    ReportError(static_cast<std::uint16_t>(readCode), "Cannot read: " + object);
  } else if (writeCode != 0) {
    ReportError(static_cast<std::uint16_t>(writeCode), "Cannot write to: " + object);
  } else {
    ReportError(static_cast<std::uint16_t>(unlockCode),
                "Cannot unlock index semaphore file: " + object);
  }
}

// Reads the record, lets `change` alter it, writes it back, all under the semaphore lock.
template <typename Change>
bool UpdateRecord(SemaphoreState& state, SemaphoreAction action, Change change) {
  if (!TakeSemaphoreLock(state, action)) return false;
  const int readCode = ReadRecord(state);
  int writeCode = 0;
  if (readCode == 0) {
    change(state.record);
    writeCode = WriteRecord(state);
  }
  FinishUpdate(state, action, readCode, writeCode);
  return readCode == 0 && writeCode == 0;
}

bool MeansInUse(int code) {
  return code == 3 || code == 5 || code == 32 || code == 150 || code == 162 || code == 163;
}

// Opens the semaphore file for sharing. A file no other program holds is emptied to a zero
// record first: its counts were left by a program that ended without logging out. A file
// dated today is taken as in use without asking. A file that cannot be given its zero record,
// on a full disk, is removed again rather than left empty.
int OpenSemaphoreFile(SemaphoreState& state, std::string& failure) {
  failure = "Cannot open: ";
  if (FileDatedToday(state.name)) return state.file.Open(state.name, platform::kModeShared);
  int code = state.file.Open(state.name, platform::kModeExclusive);
  if (code == 2) code = state.file.Create(state.name);
  // Made by another program meanwhile: opened as the one it made.
  if (code == 80) code = state.file.Open(state.name, platform::kModeExclusive);
  if (MeansInUse(code)) return state.file.Open(state.name, platform::kModeShared);
  failure = "Cannot open/create: ";
  if (code != 0) return code;
  if ((code = state.file.Truncate(0)) != 0 || (code = WriteRecord(state)) != 0) {
    platform::os::Unlink(state.name);
    state.file.Close();
    return code;
  }
  return state.file.ConvertShare(false);
}

void Login(WorkArea& area) {
  auto& slot = States[CurrentArea()];
  if (slot) return;
  const DatabaseLock database(area);
  if (!database.Held()) {
    ReportError(
        1202, "Cannot lock database for: " + area.fileName + " Action=LOGIN [Database Semaphore]");
    return;
  }
  auto state = std::make_unique<SemaphoreState>();
  state->name = SemaphoreFileName();
  std::string failure;
  if (const int code = OpenSemaphoreFile(*state, failure); code != 0) {
    ReportError(static_cast<std::uint16_t>(code), failure + state->name);
    return;
  }
  const bool counted = UpdateRecord(*state, SemaphoreAction::kLogin,
                                    [](SemaphoreRecord& record) { ++record.logins; });
  if (!counted) return;
  state->loginsSeen = state->record.logins;
  state->counterSeen = state->record.counter;
  slot = std::move(state);
}

void Logout(WorkArea& area) {
  auto& slot = States[CurrentArea()];
  if (!slot) return;
  const DatabaseLock database(area);
  if (!database.Held()) {
    ReportError(
        1202, "Cannot lock database for: " + area.fileName + " Action=LOGOUT [Database Semaphore]");
    return;
  }
  std::unique_ptr<SemaphoreState> state = std::move(slot);
  const bool reading = state->readAnnounced;
  const bool counted =
      UpdateRecord(*state, SemaphoreAction::kLogout, [reading](SemaphoreRecord& record) {
        if (reading && record.readers > 0) --record.readers;
        if (record.logins > 0) --record.logins;
      });
  // Windows refuses to delete a file another program holds open; the exclusive probe asks the
  // same question here.
  if (counted && state->record.logins == 0 && state->file.ConvertShare(true) == 0) {
    platform::os::Unlink(state->name);
  }
  state->file.Close();
}

// Balances a nesting counter; a count below zero is reset and reported.
bool Unbalanced(std::int32_t& nesting, const SemaphoreState& state, SemaphoreAction action,
                const char* pair) {
  if (nesting >= 0) return false;
  nesting = 0;
  ReportError(254, std::string("Unbalanced ") + pair + " for semaphore file: " + state.name + " " +
                       ActionName(action));
  return true;
}

void AnnounceRead(SemaphoreState& state, bool on) {
  const SemaphoreAction action = on ? SemaphoreAction::kIncRead : SemaphoreAction::kDecRead;
  state.readNesting += on ? 1 : -1;
  if (Unbalanced(state.readNesting, state, action, "IncRead/DecRead")) return;
  if (state.readNesting != (on ? 1 : 0)) return;
  if (state.lockHeld || state.readAnnounced == on) return;
  // A start that fails counts nobody, so the bracket's end takes no count off; an end that fails
  // is an end all the same. The presence lock goes with a failure either way.
  state.readAnnounced = false;
  // Nobody takes the presence byte exclusively, so the shared lock is always granted.
  if (on) platform::LockRange(state.file.Descriptor(), kPresenceOffset, 1, false);
  const bool counted = UpdateRecord(state, action, [on](SemaphoreRecord& record) {
    if (on && record.readers < kMostReaders) ++record.readers;
    if (!on && record.readers > 0) --record.readers;
  });
  state.readAnnounced = on && counted;
}

void ReportStaleReaders(const SemaphoreState& state) {
  ReportError(1202, std::to_string(WriteLockTimeout) + " second timeout, cannot read: " +
                        state.name + "\r\nPossible cause: Other user's program has terminated " +
                        "abnormally.\r\nCure: Log all users of this application off the " +
                        "network,\r\nthen delete " + state.name);
}

bool TimedOut(std::uint32_t start) {
  return WriteLockTimeout != 0 && TickCount() - start >= std::uint32_t{WriteLockTimeout} * 1000u;
}

// Readers are inside their brackets: the count is not 0, and a program inside holds its presence
// lock. A count without one is that of programs that ended inside, and of a writer that holds
// the semaphore lock.
bool ReadersInside(const SemaphoreState& state) {
  return state.record.readers != 0 &&
         platform::RangeLockedElsewhere(state.file.Descriptor(), kPresenceOffset, 1);
}

// Waits until no reader is inside and returns holding the semaphore lock, the count of programs
// that ended inside their brackets reset.
bool WaitForNoReaders(SemaphoreState& state) {
  const std::uint32_t start = TickCount();
  for (;;) {
    if (TimedOut(start)) {
      ReportStaleReaders(state);
      return false;
    }
    if (ReadRecord(state) != 0 || ReadersInside(state)) {
      WaitMs(1);
      continue;
    }
    if (!TakeSemaphoreLock(state, SemaphoreAction::kLockSemaphore)) return false;
    if (ReadRecord(state) == 0 && !ReadersInside(state)) {
      state.record.readers = 0;
      return true;
    }
    ReleaseSemaphoreLock(state);
    WaitMs(1);
  }
}

std::uint16_t NextCounter(std::uint16_t counter) {
  return counter >= kLastCounter ? 0 : static_cast<std::uint16_t>(counter + 1);
}

// The change counter moves when a change begins as well as when it ends, so that readers notice
// a change whose writer did not live to end it.
void LockForWriting(SemaphoreState& state) {
  if (++state.writeNesting != 1 || state.lockHeld) return;
  if (!WaitForNoReaders(state)) return;
  const bool changedElsewhere = state.record.counter != state.counterSeen;
  state.record.counter = NextCounter(state.record.counter);
  ++state.record.readers;
  if (const int code = WriteRecord(state); code != 0) {
    ReleaseSemaphoreLock(state);
    ReportError(static_cast<std::uint16_t>(code), "Cannot write to: " + state.name + " " +
                                                      ActionName(SemaphoreAction::kLockSemaphore));
    return;
  }
  if (!changedElsewhere) state.counterSeen = state.record.counter;
}

void UnlockAfterWriting(SemaphoreState& state) {
  const SemaphoreAction action = SemaphoreAction::kUnlockSemaphore;
  --state.writeNesting;
  if (Unbalanced(state.writeNesting, state, action, "Lock/Unlock")) return;
  if (state.writeNesting != 0 || !state.lockHeld) return;
  const int readCode = ReadRecord(state);
  int writeCode = 0;
  if (readCode == 0) {
    state.record.counter = NextCounter(state.record.counter);
    state.record.readers = 0;
    writeCode = WriteRecord(state);
    if (writeCode == 0) state.counterSeen = state.record.counter;
  }
  FinishUpdate(state, action, readCode, writeCode);
}

}  // namespace

void HandleSemafore(SemaphoreAction action) {
  WorkArea* area = SharedArea();
  if (area == nullptr) return;
  if (action == SemaphoreAction::kLogin) return Login(*area);
  if (action == SemaphoreAction::kLogout) return Logout(*area);
  SemaphoreState* state = States[CurrentArea()].get();
  if (state == nullptr) return;
  switch (action) {
    case SemaphoreAction::kIncRead:
    case SemaphoreAction::kDecRead:
      return AnnounceRead(*state, action == SemaphoreAction::kIncRead);
    case SemaphoreAction::kLockSemaphore:
      return LockForWriting(*state);
    default:
      return UnlockAfterWriting(*state);
  }
}

void SetReadSemaphoreProc(bool on) {
  HandleSemafore(on ? SemaphoreAction::kIncRead : SemaphoreAction::kDecRead);
}

void SetLockSemaphoreProc(bool on) {
  HandleSemafore(on ? SemaphoreAction::kLockSemaphore : SemaphoreAction::kUnlockSemaphore);
}

std::string SemaphoreFileName() {
  const WorkArea* area = Area();
  if (area == nullptr) return {};
  std::string dir, name, ext;
  FSplit(area->fileName, dir, name, ext);
  if (!SemaphoreDirectory.empty()) {
    dir = SemaphoreDirectory;
    if (dir.back() != '/') dir += '/';
  }
  return platform::ResolveFileName(dir + name + ".@S@");
}

bool SemaphoreCounterMoved() {
  const std::uint8_t n = CurrentArea();
  SemaphoreState* state = n <= kSemaphoreAreas ? States[n].get() : nullptr;
  if (state == nullptr || state->record.counter == state->counterSeen) return false;
  state->counterSeen = state->record.counter;
  return true;
}

bool SemaphoreLoggedIn() {
  const std::uint8_t n = CurrentArea();
  return n <= kSemaphoreAreas && States[n] != nullptr;
}

void ResetSemaphores() {
  for (auto& state : States) state.reset();
}

}  // namespace dadav
