// An expression text compiled and evaluated on a filled record, a blank record and an empty
// table. Beyond the sanitizers' faults, a text longer than 255 bytes as a result, or a stored
// (normalised) form that compiles to other code, stops the run.
#include <cstdio>
#include <cstdlib>

#include "tables/core/engine.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprstart.h"
#include "tests/fuzz/fuzzrun.h"
#include "tests/tables/modules/expr/exprprobe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  dadav::EngineStart({&dadav::ExprModuleStart});
  dadav::SetExceptionMode(true);
  std::string broken;
  try {
    exprprobe::OpenTables(run.Path(""));
    broken = exprprobe::Probe(Bytes(data, size));
  } catch (const dadav::EDadavError&) {
  }
  try {
    dadav::EngineExit();
  } catch (const dadav::EDadavError&) {
  }
  if (!broken.empty()) {
    std::fprintf(stderr, "expression broke: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
