#pragma once
// Faults a test arms in the file services, to see how the engine copes with a full disk, a
// failing device or a crash: the n-th block-file write fails with an I/O code, the n-th step (a
// block-file write, a sync of a file or folder, or a rename) fails with ENOSPC or ends the
// process at once, every folder reports a free-space figure the test sets, and every file system
// refuses files without a name, as some do. Nothing is armed unless a test puts a FileFaults
// into the platform's services (platform/services.h); then files behave as the system makes them.

#include <cstdint>
#include <string>

namespace platform {

class FileFaults {
 public:
  virtual ~FileFaults() = default;

  // Fails the n-th block-file write from now (1: the next) with `code`; 0 disarms.
  void FailWrite(std::uint64_t nth, int code = 101);
  // Fails the n-th step from now (1: the next) with ENOSPC; 0 disarms.
  void FailStep(std::uint64_t nth);
  // Ends the process with _exit(kCrashStatus) at the n-th step from now, before the step is
  // taken, as a crash would end it; 0 disarms.
  void CrashAtStep(std::uint64_t nth);
  static constexpr int kCrashStatus = 77;

  // The free bytes every folder reports from now; a negative figure gives the system's own.
  void SetFreeBytes(long double bytes) { freeBytes_ = bytes; }
  // From now every file system refuses (or, with false, makes again) files without a name.
  void RefuseUnnamedFiles(bool refuse) { refuseUnnamed_ = refuse; }

  // Asked before each block-file write: the code it fails with, or 0.
  virtual int WriteFault();
  // Asked before each sync of a file or folder and each rename: the errno it fails with, or 0.
  virtual int SyncOrRenameFault();
  // The free bytes of the folder to report, or a negative figure for the system's own.
  virtual long double FreeBytes(const std::string& folder);
  // Asked before a file without a name is made: true when it is to be refused.
  virtual bool UnnamedFilesRefused() const { return refuseUnnamed_; }

  std::uint64_t Writes() const { return writes_; }
  std::uint64_t Steps() const { return steps_; }

 private:
  // Counts one step; the errno it fails with, or 0.
  int Step();

  std::uint64_t writes_ = 0;
  std::uint64_t steps_ = 0;
  std::uint64_t failStepAt_ = 0;
  std::uint64_t crashAt_ = 0;
  std::uint64_t failAt_ = 0;
  int failCode_ = 0;
  long double freeBytes_ = -1;
  bool refuseUnnamed_ = false;
};

// The armed faults, or nullptr when no test armed any.
FileFaults* ArmedFileFaults();

}  // namespace platform
