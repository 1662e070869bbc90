#include "platform/files/lockwait.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "platform/files/filelock.h"
#include "tests/support/tempfolder.h"

namespace {

// Two opens of one file conflict like two programs.
class LockWait : public testing::Test, protected TempFolder {
 protected:
  LockWait() {
    Put("f", "x");
    holder_ = open(Path("f").c_str(), O_RDWR);
    waiter_ = open(Path("f").c_str(), O_RDWR);
  }
  ~LockWait() override {
    close(holder_);
    close(waiter_);
  }
  int holder_, waiter_;
};

// A lock held for good is refused once the time is up, also in a thread that blocks every
// signal; a free one is granted at once.
TEST_F(LockWait, AWaitEndsWhenItsTimeIsUp) {
  ASSERT_EQ(platform::LockRange(holder_, 8, 1, true), 0);
  for (const bool blocked : {false, true}) {
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(blocked ? SIG_BLOCK : SIG_UNBLOCK, &all, &previous);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(platform::WaitForRange(waiter_, 8, 1, true, 300), 33) << blocked;
    const auto waited = std::chrono::steady_clock::now() - start;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    EXPECT_GE(waited, std::chrono::milliseconds(300)) << blocked;
    EXPECT_LT(waited, std::chrono::seconds(3)) << blocked;
  }
  EXPECT_EQ(platform::WaitForRange(waiter_, 9, 1, true, 300), 0);
}

// A program that may queue no signal can set no timer to end a wait: it still waits for a lock
// another program holds, to the end of its time when that is shorter, and until the lock is
// released when it is longer.
TEST_F(LockWait, AWaitWithoutATimerWaitsItsTimeOrForTheRelease) {
  ASSERT_EQ(platform::LockRange(holder_, 8, 1, true), 0);
  int results[2];
  ASSERT_EQ(pipe(results), 0);
  const pid_t child = fork();
  if (child == 0) {
    const rlimit none{0, 0};
    setrlimit(RLIMIT_SIGPENDING, &none);
    for (const std::uint32_t milliseconds : {1000u, 5000u}) {
      const auto start = std::chrono::steady_clock::now();
      const int code = platform::WaitForRange(waiter_, 8, 1, true, milliseconds);
      const std::int64_t outcome[2] = {
          code, (std::chrono::steady_clock::now() - start) / std::chrono::milliseconds(1)};
      if (write(results[1], outcome, sizeof outcome) != sizeof outcome) _exit(1);
    }
    _exit(0);
  }
  close(results[1]);
  // The code and milliseconds of each wait; the holder lets go a second after the first ended.
  std::int64_t timedOut[2] = {-1, -1}, released[2] = {-1, -1};
  if (read(results[0], timedOut, sizeof timedOut) == sizeof timedOut) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    platform::UnlockRange(holder_, 8, 1);
    if (read(results[0], released, sizeof released) != sizeof released) ADD_FAILURE();
  }
  close(results[0]);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(timedOut[0], 33);
  EXPECT_GE(timedOut[1], 1000);
  EXPECT_LT(timedOut[1], 2000);
  EXPECT_EQ(released[0], 0);
  EXPECT_LT(released[1], 5000);
}

// A program that handles the wake-up signal itself keeps its handler, and a wait still ends.
TEST_F(LockWait, AWaitLeavesAnotherHandlerOfItsSignalInPlace) {
  ASSERT_EQ(platform::LockRange(holder_, 8, 1, true), 0);
  void (*const own)(int) = [](int) {};
  signal(SIGRTMIN + 4, own);
  EXPECT_EQ(platform::WaitForRange(waiter_, 8, 1, true, 100), 33);
  EXPECT_EQ(signal(SIGRTMIN + 4, SIG_DFL), own);
}

// A program forked after a wait waits in the system's queue of the lock too, rather than asking
// for it every few milliseconds: the system shows the child inside the request that waits.
TEST_F(LockWait, AProgramForkedAfterAWaitWaitsInTheQueue) {
  const auto inside = [](pid_t pid) {
    std::string call;
    std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/syscall"), call);
    return call;
  };
  if (inside(getpid()).empty()) GTEST_SKIP() << "the system shows no process's calls";
  ASSERT_EQ(platform::LockRange(holder_, 8, 1, true), 0);
  ASSERT_EQ(platform::WaitForRange(waiter_, 8, 1, true, 1), 33);
  const pid_t child = fork();
  if (child == 0) _exit(platform::WaitForRange(waiter_, 8, 1, true, 20000));
  char queued[32];
  std::snprintf(queued, sizeof queued, "%ld 0x%x 0x%x ", long{SYS_fcntl}, waiter_, F_OFD_SETLKW);
  int status = -1;
  bool seen = false;
  while (!seen && waitpid(child, &status, WNOHANG) == 0) {
    seen = inside(child).starts_with(queued);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  platform::UnlockRange(holder_, 8, 1);
  if (seen) waitpid(child, &status, 0);
  EXPECT_TRUE(seen);
  EXPECT_EQ(status, 0);
}

}  // namespace
