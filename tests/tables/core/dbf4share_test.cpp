#include <sched.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "enginetest.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
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

// A program that releases a record lock and asks for it again at once, beside a program that
// waits for it: the one that waits has it at the holder's next release once its short wait out of
// turn is over, time after time, and the holder has it back after the other's turn. The holder runs
// on a processor of its own, where the system's wake-up of the other comes too late to beat the
// holder's next request.
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
  const std::string path = MakeTable(1);
  int holding[2];
  ASSERT_EQ(pipe(holding), 0);
  auto* releases = static_cast<std::atomic<int>*>(  // the holder's, from 0
      mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
  const pid_t holder = fork();
  if (holder == 0) {
    sched_setaffinity(0, sizeof holderCpu, &holderCpu);
    try {
      USE(path);
      GO(1);
      const auto end = steady_clock::now() + std::chrono::milliseconds(3500);
      const char byte = 1;
      bool told = false;
      while (steady_clock::now() < end) {
        if (!RLock()) _exit(5);
        if (!told) told = write(holding[1], &byte, 1) == 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ++*releases;
        Unlock();
      }
    } catch (...) {
      _exit(3);
    }
    _exit(0);
  }
  close(holding[1]);
  char byte = 0;
  const bool started = read(holding[0], &byte, 1) == 1;
  close(holding[0]);
  sched_setaffinity(0, sizeof others, &others);
  USE(path);
  GO(1);
  steady_clock::duration longest{};
  int turns = 0, mostReleasesWaited = 0;
  const auto end = steady_clock::now() + std::chrono::seconds(3);
  while (started && steady_clock::now() < end) {
    const auto asked = steady_clock::now();
    const int releasesBefore = *releases;
    const bool granted = RLock();
    longest = std::max(longest, steady_clock::now() - asked);
    mostReleasesWaited = std::max(mostReleasesWaited, *releases - releasesBefore);
    if (granted) {
      ++turns;
      Unlock();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  sched_setaffinity(0, sizeof all, &all);
  CloseAll();
  int status = 0;
  waitpid(holder, &status, 0);
  ASSERT_TRUE(started && WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_LT(longest, std::chrono::milliseconds(100))
      << std::chrono::duration_cast<std::chrono::milliseconds>(longest).count() << " ms, " << turns
      << " turns";
  // The holder releases about once a millisecond while the other waits out of turn.
  EXPECT_LE(mostReleasesWaited, static_cast<int>(kWaitOutOfTurnMs) + 5);
}

}  // namespace
