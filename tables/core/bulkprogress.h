#pragma once
// The progress a bulk transfer shows: a bar of 100 steps, advanced by the bytes worked through.
// The engine's progress window fills ProgressWindow; while its slots are empty nothing shows.

#include <cstdint>
#include <string>

namespace dadav {

struct ProgressWindowHooks {
  void (*open)(const std::string& caption) = nullptr;
  void (*step)() = nullptr;  // one of 100 steps
  void (*idle)() = nullptr;  // work went on without a step; the window may keep painting
  void (*close)() = nullptr;
};

extern ProgressWindowHooks ProgressWindow;

class AppendProgress {
 public:
  // Opens the window with "Appending..." when show is set; total is the work in bytes.
  AppendProgress(bool show, std::uint64_t total);
  ~AppendProgress();
  AppendProgress(const AppendProgress&) = delete;
  AppendProgress& operator=(const AppendProgress&) = delete;

  // Moves the bar to the bytes done so far, one step for each step's worth of bytes passed.
  void Reach(std::uint64_t done);

 private:
  bool show_;
  std::uint64_t stepBytes_;
  std::uint32_t shown_ = 0;
};

}  // namespace dadav
