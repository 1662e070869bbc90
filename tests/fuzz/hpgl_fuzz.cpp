// An HP-GL image opened by name from the image folder, drawn into the display list and painted.
#include "base/help/hbild.h"
#include "tests/fuzz/fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  run.Put("image.plt", Bytes(data, size));
  PlotNamedImage("image");
  run.Paint();
  return 0;
}
