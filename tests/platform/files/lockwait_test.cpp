#include "platform/files/lockwait.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>

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

}  // namespace
