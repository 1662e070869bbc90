#pragma once
// A check of the engine's buffer accesses that the checked builds (sanitizers, fuzzing) keep:
// there a failed check stops the program at once with what it was, so a damaged file that gets
// past the header checks is found where it goes wrong. Other builds compile it away.

#include <cstdio>
#include <cstdlib>

namespace dadav {

inline void ExpectInsideBuffer(bool inside, const char* access) {
#ifdef KV6_CHECKED_BUILD
  if (inside) return;
  std::fputs(access, stderr);
  std::fputs(" outside its buffer\n", stderr);
  std::abort();
#else
  static_cast<void>(inside);
  static_cast<void>(access);
#endif
}

}  // namespace dadav
