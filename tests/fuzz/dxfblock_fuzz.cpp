// A block file replayed into the screen target under a turned, scaled insertion and painted, as a
// user's own block (a logo from another CAD program) is read at every insert.
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadprim.h"
#include "tests/fuzz/fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  run.Put("$F.dx$", Bytes(data, size));
  CadBatch = 1;
  CurrentFile = run.Path("out");
  cad_open(kCadScreen);
  if (AbortFlag == 0) {
    cad_entities_begin();
    cad_insert("F", 1, 2, 30, 1.5, 0.5);
    cad_close();
    run.Paint();
  }
  return 0;
}
