#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "enginetest.h"
#include "platform/files/filelock.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
#include "tests/tables/core/lockprobes.h"
#include "tests/tables/core/otherprocess.h"

namespace {

using namespace dadav;
using namespace enginetest;

class Sharing : public EngineTest {
 protected:
  std::string MakeTable(int n) {
    std::string path = Path("s.dbf");
    NewTable(path, {Def("NAME", 'C', 6)}, n, [](int i) { SetText(1, "N" + std::to_string(i)); });
    CloseAll();
    return path;
  }
};

TEST_F(Sharing, RecordAppendAndFileLocksConflictAcrossProcesses) {
  std::string path = MakeTable(3);
  OtherProcess other(path, [] {
    GO(2);
    if (!RLock()) throw 1;
  });
  USE(path);
  GO(2);
  EXPECT_FALSE(RLock());
  GO(1);
  EXPECT_TRUE(RLock());
  EXPECT_FALSE(FLock());
  Unlock();
  EXPECT_FALSE(FLock());
  EXPECT_TRUE(ALock());
  EXPECT_EQ(other.Finish(), 0);
  OtherProcess appender(path, [] {
    if (!ALock()) throw 1;
  });
  Unlock();
  EXPECT_FALSE(ALock());
  EXPECT_FALSE(FLock());
  EXPECT_EQ(appender.Finish(), 0);
}

TEST_F(Sharing, TwoAreasOfOneProcessConflictAndSurviveAnotherClose) {
  std::string path = MakeTable(2);
  USE(path + " ALIAS ONE");
  GO(1);
  ASSERT_TRUE(RLock());
  Select(2);
  USE(path + " ALIAS TWO");
  GO(1);
  EXPECT_FALSE(RLock());
  Select(3);
  USE(path + " ALIAS THREE");
  CloseArea();
  Select(2);
  EXPECT_FALSE(RLock());  // closing another descriptor kept the lock of area 1
}

TEST_F(Sharing, ExclusiveAgainstSharedBothWaysAndPackCreateRefused) {
  std::string path = MakeTable(2);
  {
    OtherProcess other(path, [] {});
    EXPECT_THROW(USE(path + " EXCLUSIVE"), EDadavError);
    EXPECT_EQ(LastErrorCode, 32);
    USE(path);
    GO(1);
    ASSERT_TRUE(RLock());
    DeleteRec();
    EXPECT_FALSE(Pack());
    EXPECT_EQ(std::tuple(LastErrorCode, Area()->exclusive, RecCount()), std::tuple(32, false, 2));
    EXPECT_THROW(CreateDBF(path, {Def("X", 'C', 1)}), EDadavError);
    EXPECT_EQ(LastErrorCode, 32);
    CloseAll();
    EXPECT_EQ(other.Finish(), 0);
  }
  OtherProcess holder(path + " EXCLUSIVE", [] {});
  EXPECT_THROW(USE(path), EDadavError);
  EXPECT_EQ(LastErrorCode, 32);
  EXPECT_EQ(holder.Finish(), 0);
}

TEST_F(Sharing, SharedAppendIsVisibleAndNoEndMarkLandsOnAForeignRecord) {
  std::string path = MakeTable(1);
  USE(path);
  GO(1);
  ASSERT_TRUE(RLock());
  Replace();  // the area is now "changed"
  Unlock();
  OtherProcess other(path, [] {
    if (!ALock()) throw 1;
    ClearRecord();
    SetText(1, "FOREIG");
    Append();
  });
  std::vector<std::uint8_t> bytes = ReadBytes(path);
  EXPECT_EQ(bytes[4], 2);
  EXPECT_EQ(RecCount(), 2);
  CloseAll();
  bytes = ReadBytes(path);
  EXPECT_EQ(std::string(bytes.begin() + 65 + 7, bytes.begin() + 65 + 14), " FOREIG");
  EXPECT_EQ(other.Finish(), 0);
  bytes = ReadBytes(path);
  EXPECT_EQ(std::tuple(bytes.size(), int{bytes.back()}), std::tuple(65u + 14u + 1u, 0x1A));
}

TEST_F(Sharing, SharedScanGoesOnIntoRecordsAppendedWhileItRuns) {
  std::string path = MakeTable(2);
  USE(path);
  GO(1);
  OtherProcess other(path, [] {
    if (!ALock()) throw 1;
    ClearRecord();
    SetText(1, "LATE");
    Append();
  });
  SKIP(1);
  EXPECT_EQ(RecNo(), 2);
  SKIP(1);
  EXPECT_EQ(std::tuple(RecNo(), dEOF(), FieldText(1)), std::tuple(3, false, "LATE  "));
  SKIP(1);
  EXPECT_TRUE(dEOF());
  CloseAll();
  EXPECT_EQ(other.Finish(), 0);
}

// A program that waits for a lock keeps out only programs that ask for that lock: not the program
// that holds what it waits for, asking again or for another lock, nor, while it is stopped, a
// program that asks for a free record. It has the lock once the holder lets go.
TEST_F(Sharing, AWaiterKeepsOutOnlyProgramsAskingForItsLock) {
  struct Case {
    bool (*hold)(), (*wait)(), (*ask)();
    bool stopped;  // the waiter, and another program (area 2) asks
  } const cases[] = {{[] { return GO(5), RLock(); }, &FLock, [] { return GO(7), RLock(); }, false},
                     {&LockFirstByte, &LockFirstByte, &LockFirstByte, false},
                     {[] { return GO(5), RLock(); }, &FLock, [] { return GO(7), RLock(); }, true}};
  const std::string path = MakeTable(8);
  for (const Case& c : cases) {
    USE(path);
    ASSERT_TRUE(c.hold());
    const pid_t waiter = fork();
    if (waiter == 0) [&]() noexcept { Select(2), USE(path + " ALIAS W"), _exit(!c.wait()); }();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (c.stopped) kill(waiter, SIGSTOP), Select(2), USE(path + " ALIAS OTHER");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(c.ask());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    UnlockFirstByte(), CloseAll();  // the waiter's copy of the open keeps what a close lets go
    if (c.stopped) kill(waiter, SIGKILL);
    int status = 0;
    waitpid(waiter, &status, 0);
    EXPECT_TRUE(c.stopped || status == 0);
  }
}

// Programs that hold a lock of the table and loop another (take, 1 ms, release) beside one that
// asks again and again for a lock overlapping the looped one, whatever their kinds: the asker has
// its lock at a holder's next release once its short wait out of turn is over, and a holder has
// it back after the asker's turn. The holders run on a processor of their own, where the
// system's wake-up of the asker comes too late to beat their next request. A stall lengthens
// single waits, so what is judged is what a stall cannot fake: the share of asks granted within
// 100 ms, and the holders' releases while the asker holds its turnstile (about one per holder
// and ask, none between asks).
TEST_F(Sharing, AProgramThatWaitsForALockHasItAtTheHoldersNextRelease) {
  using std::chrono::steady_clock;
  cpu_set_t all, holderCpu;
  sched_getaffinity(0, sizeof all, &all);
  if (CPU_COUNT(&all) < 2) GTEST_SKIP() << "one processor";
  int first = 0;
  while (!CPU_ISSET(first, &all)) ++first;
  CPU_ZERO(&holderCpu);
  CPU_SET(first, &holderCpu);
  cpu_set_t others = all;
  CPU_CLR(first, &others);
  const std::string path = MakeTable(8);
  struct Shared {
    std::atomic<bool> stop;
    std::atomic<int> turnReleases;  // releases while the asker's turnstile was held
  };
  auto* shared = static_cast<Shared*>(
      mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  for (const lockprobes::Probe& c : lockprobes::kProbes) {
    shared->stop = false;
    shared->turnReleases = 0;
    int holding[2];
    ASSERT_EQ(pipe(holding), 0);
    std::vector<pid_t> holders;
    for (int holder = 1; holder <= c.holders; ++holder) {
      holders.push_back(fork());
      if (holders.back() != 0) continue;
      sched_setaffinity(0, sizeof holderCpu, &holderCpu);
      try {
        USE(path);
        if (!c.keep()) _exit(2);
        GO(c.record == 0 ? holder : c.record);
        for (bool told = false; !shared->stop;) {
          if (!c.loop()) _exit(5);
          if (!told) {  // closed, lest a holder that ends before its first lock leave the wait open
            told = write(holding[1], "", 1) == 1;
            close(holding[1]);
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
          shared->turnReleases += platform::RangeLockedElsewhere(Area()->file.Descriptor(),
                                                                 c.turnstile, c.length, false);
          c.release();
        }
      } catch (...) {
        _exit(3);
      }
      _exit(0);
    }
    close(holding[1]);
    char byte = 0;
    int started = 0;
    while (started < c.holders && read(holding[0], &byte, 1) == 1) ++started;
    close(holding[0]);
    sched_setaffinity(0, sizeof others, &others);
    USE(path);
    GO(std::max(c.record, 1));
    int asks = 0, within = 0, turnReleasesInAsks = 0;
    const auto end = steady_clock::now() + std::chrono::milliseconds(1500);
    while (started == c.holders && steady_clock::now() < end) {
      const int releasesBefore = shared->turnReleases;
      const auto asked = steady_clock::now();
      within += c.ask() && steady_clock::now() - asked < std::chrono::milliseconds(100);
      turnReleasesInAsks += shared->turnReleases - releasesBefore;
      ++asks;
      Unlock(), UnlockFirstByte();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    shared->stop = true;
    sched_setaffinity(0, sizeof all, &all);
    CloseAll();
    for (const pid_t holder : holders) {
      int status = 0;
      waitpid(holder, &status, 0);
      EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    const auto n = &c - lockprobes::kProbes;
    ASSERT_EQ(started, c.holders) << "case " << n;
    EXPECT_GE(2 * within, asks) << "case " << n << ": " << within << " of " << asks;
    EXPECT_LE(turnReleasesInAsks, 3 * c.holders * asks) << "case " << n << ", " << asks << " asks";
    EXPECT_EQ(shared->turnReleases, turnReleasesInAsks) << "case " << n;
  }
  munmap(shared, sizeof(Shared));
}

// The memory of a look that found nobody waiting belongs to the open file, not to its descriptor
// number: a file opened on the number another file had a moment ago looks at its first lock and
// finds the waiter there, whom it does not pass in a wait too short for a turn.
TEST_F(Sharing, AFileOpenedOnTheNumberOfAnotherLooksForWaitersAtItsFirstLock) {
  constexpr std::uint64_t kLock = 0x40000000;
  const std::string a = Path("a.bin"), b = Path("b.bin");
  WriteBytes(a, {0});
  WriteBytes(b, {0});
  const int waiter = open(b.c_str(), O_RDWR);
  ASSERT_EQ(platform::LockRange(waiter, kLock + (std::uint64_t{1} << 32), 1, true), 0);
  TurnstileLook lookOfA, lookOfB;
  const int fileA = open(a.c_str(), O_RDWR);
  EXPECT_EQ(WaitForRegion(fileA, lookOfA, kLock, 1, true, 0), 0);
  close(fileA);
  const int fileB = open(b.c_str(), O_RDWR);
  ASSERT_EQ(fileB, fileA);
  EXPECT_EQ(WaitForRegion(fileB, lookOfB, kLock, 1, true, 0), 33);
  close(fileB);
  close(waiter);
}

}  // namespace
