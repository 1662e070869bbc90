#include "platform/files/lockwait.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/files/blockfile.h"
#include "platform/files/filelock.h"

#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#endif

// Older C libraries do not name the thread field of a timer's signal event.
#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// The signal that ends a wait whose time ran out; its handler does nothing. Libraries that need a
// real-time signal take the first ones, and valgrind keeps the last one for itself.
int WakeSignal() {
  return SIGRTMIN + 4;
}

void Wake(int) {}

// Takes the signal only where nobody else handles it: a library or the program itself may use it,
// and then the wait polls instead of taking it away.
bool WakeInstalled() {
  struct sigaction current {};
  if (sigaction(WakeSignal(), nullptr, &current) != 0) return false;
  if (current.sa_handler == &Wake) return true;
  if (current.sa_handler != SIG_DFL) return false;
  struct sigaction action {};
  action.sa_handler = &Wake;
  sigemptyset(&action.sa_mask);
  // Without SA_RESTART the signal ends the waiting lock request with EINTR.
  action.sa_flags = 0;
  return sigaction(WakeSignal(), &action, nullptr) == 0;
}

timespec Span(std::uint32_t milliseconds) {
  return {static_cast<time_t>(milliseconds / 1000),
          static_cast<long>(milliseconds % 1000) * 1000000L};
}

sigset_t WakeSet() {
  sigset_t wake;
  sigemptyset(&wake);
  sigaddset(&wake, WakeSignal());
  return wake;
}

// Signals the calling thread once the time is up, and every few milliseconds after, in case the
// first signal came before the wait began. The thread takes the signal meanwhile even where it
// blocks it otherwise.
class WakeTimer {
 public:
  explicit WakeTimer(std::uint32_t milliseconds) {
    const sigset_t wake = WakeSet();
    pthread_sigmask(SIG_UNBLOCK, &wake, &mask_);
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = WakeSignal();
    // Not kept from an earlier wait: after a fork that id names no thread of the child.
    event.sigev_notify_thread_id = gettid();
    armed_ = timer_create(CLOCK_MONOTONIC, &event, &timer_) == 0;
    if (!armed_) return;
    const itimerspec when{Span(kRepeatMs), Span(milliseconds == 0 ? 1 : milliseconds)};
    armed_ = timer_settime(timer_, 0, &when, nullptr) == 0;
    if (!armed_) timer_delete(timer_);
  }
  // The handler has no SA_RESTART, so a wake-up after the wait would cut short a read, write or
  // sleep elsewhere in the program. The signal stays let through until the timer is gone: a
  // wake-up sent before then is taken at the latest when the deletion returns, by a handler that
  // does nothing, and none is left pending.
  ~WakeTimer() {
    if (armed_) timer_delete(timer_);
    if (sigismember(&mask_, WakeSignal()) == 1) pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
  }
  WakeTimer(const WakeTimer&) = delete;
  WakeTimer& operator=(const WakeTimer&) = delete;
  bool Armed() const { return armed_; }

 private:
  static constexpr std::uint32_t kRepeatMs = 5;
  sigset_t mask_{};
  timer_t timer_{};
  bool armed_ = false;
};

// Where no timer can end a wait (no signal may be queued, another handler has the signal, or
// valgrind runs the program), the range is asked for again every few milliseconds until the
// time is up.
int PollForRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                 Clock::time_point end) {
  constexpr auto kPollStep = std::chrono::milliseconds(2);
  for (;;) {
    const auto now = Clock::now();
    if (now >= end) return 33;
    std::this_thread::sleep_for(std::min<Clock::duration>(end - now, kPollStep));
    const int code = LockRange(fd, offset, length, exclusive);
    if (code != 33) return code;
  }
}

// Waits in the system's queue of the lock; the timer's signal ends the request once the time is
// up.
int QueueForRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                  Clock::time_point end) {
  struct flock request {};
  request.l_type = exclusive ? F_WRLCK : F_RDLCK;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(offset);
  request.l_len = static_cast<off_t>(length);
  for (;;) {
    if (fcntl(fd, F_OFD_SETLKW, &request) == 0) return 0;
    if (errno != EINTR) return IoCodeFromErrno(errno);
    if (Clock::now() >= end) return 33;
  }
}

}  // namespace

int WaitForRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                 std::uint32_t milliseconds) {
  const int code = LockRange(fd, offset, length, exclusive);
  if (code != 33 || milliseconds == 0) return code;
  const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
  // Valgrind runs a lock request that waits with every signal blocked, where no timer can end it.
  if (!RUNNING_ON_VALGRIND && WakeInstalled()) {
    const WakeTimer timer(milliseconds);
    if (timer.Armed()) return QueueForRange(fd, offset, length, exclusive, end);
  }
  return PollForRange(fd, offset, length, exclusive, end);
}

}  // namespace platform
