#include "platform/files/lockwait.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/files/blockfile.h"
#include "platform/files/filelock.h"

// Older C libraries do not name the thread field of a timer's signal event.
#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

namespace platform {
namespace {

// The signal that ends a wait whose time ran out; its handler does nothing.
int WakeSignal() {
  return SIGRTMAX;
}

void Wake(int) {}

bool InstallWake() {
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

// Signals the calling thread once the time is up, and every few milliseconds after, in case the
// first signal came before the wait began. The thread takes the signal meanwhile even where it
// blocks it otherwise.
class WakeTimer {
 public:
  explicit WakeTimer(std::uint32_t milliseconds) {
    sigset_t wake;
    sigemptyset(&wake);
    sigaddset(&wake, WakeSignal());
    pthread_sigmask(SIG_UNBLOCK, &wake, &mask_);
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = WakeSignal();
    event.sigev_notify_thread_id = gettid();
    armed_ = timer_create(CLOCK_MONOTONIC, &event, &timer_) == 0;
    if (!armed_) return;
    const itimerspec when{Span(kRepeatMs), Span(milliseconds == 0 ? 1 : milliseconds)};
    armed_ = timer_settime(timer_, 0, &when, nullptr) == 0;
    if (!armed_) timer_delete(timer_);
  }
  ~WakeTimer() {
    if (armed_) timer_delete(timer_);
    pthread_sigmask(SIG_SETMASK, &mask_, nullptr);
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

}  // namespace

int WaitForRange(int fd, std::uint64_t offset, std::uint64_t length, bool exclusive,
                 std::uint32_t milliseconds) {
  const int code = LockRange(fd, offset, length, exclusive);
  if (code != 33 || milliseconds == 0) return code;
  static const bool wakeable = InstallWake();
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  const WakeTimer timer(milliseconds);
  if (!wakeable || !timer.Armed()) return code;
  struct flock request {};
  request.l_type = exclusive ? F_WRLCK : F_RDLCK;
  request.l_whence = SEEK_SET;
  request.l_start = static_cast<off_t>(offset);
  request.l_len = static_cast<off_t>(length);
  for (;;) {
    if (fcntl(fd, F_OFD_SETLKW, &request) == 0) return 0;
    if (errno != EINTR) return IoCodeFromErrno(errno);
    if (std::chrono::steady_clock::now() >= end) return 33;
  }
}

}  // namespace platform
