#pragma once
// A program's memory of its last look at the turnstiles of one open file.

#include <cstdint>

namespace dadav {

// When a look at a turnstile of the file last found nobody waiting (steady clock, in
// nanoseconds). Each open file keeps its own, so that a file opened on a descriptor number that
// another file used a moment ago looks at its first lock.
struct TurnstileLook {
  std::int64_t nobodyWaitingAt = 0;
};

}  // namespace dadav
