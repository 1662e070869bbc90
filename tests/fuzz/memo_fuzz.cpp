// A memo file and up to eight memo field references (see memoprobe.h) through every reader and
// writer of the memo module and PACK. Beyond the sanitizers' faults, an error code that no memo
// operation gives stops the run.
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/fuzzrun.h"
#include "tests/tables/modules/memo/memoprobe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  const std::string broken = memoprobe::Run(run.Path(""), Bytes(data, size));
  if (!broken.empty()) {
    std::fprintf(stderr, "memo probe broke: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
