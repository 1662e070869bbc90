#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

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

// Programs that hold a lock of the table and loop another beside one that asks again and again
// for a lock overlapping the looped one, whatever their kinds: the asker has its lock at a holder's
// next release once its short wait out of turn is over, and a holder has it back after the
// asker's turn. A stall lengthens single waits, so what is judged is what a stall cannot fake:
// the share of asks granted within 100 ms, and the holders' releases while the asker holds its
// turnstile (about one per holder and ask, none between asks).
TEST_F(Sharing, AProgramThatWaitsForALockHasItAtTheHoldersNextRelease) {
  cpu_set_t all;
  sched_getaffinity(0, sizeof all, &all);
  if (CPU_COUNT(&all) < 2) GTEST_SKIP() << "one processor";
  const std::string path = Path("s.dbf");
  lockprobes::MakeTable(path);
  for (const lockprobes::Probe& probe : lockprobes::kProbes) {
    const auto t = lockprobes::Run(path, probe, std::chrono::milliseconds(1500));
    SCOPED_TRACE("probe " + std::to_string(&probe - lockprobes::kProbes));
    ASSERT_TRUE(t.holdersRan);
    EXPECT_GE(2 * t.within, t.asks) << t.within << " of " << t.asks;
    EXPECT_LE(t.turnReleasesInAsks, 3 * probe.holders * t.asks) << t.asks << " asks";
    EXPECT_EQ(t.turnReleases, t.turnReleasesInAsks);
  }
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
