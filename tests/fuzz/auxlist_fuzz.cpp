// The auxiliary-image list read by the browse run, whose first pass shows the first line's
// image; the list form then takes Cancel.
#include "base/dialogs/hilfebild.h"
#include "tests/fuzz/fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  run.Put("kv6.dbh", Bytes(data, size));
  run.Put("one.plt", "SP1;PU0,0;PD40,0;");
  AuxImages();
  run.Paint();
  return 0;
}
