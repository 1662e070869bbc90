// A calculation file loaded by name: read whole or refused, then calculated.
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "tests/fuzz/fuzzrun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  for (std::string& text : DrawingTexts) text.clear();
  DecimalSeparator = '.';
  StartCalculationUnits();
  FileExt = "kv6";
  DataDir = run.Path("");
  run.Put("c.kv6", Bytes(data, size));
  LoadCalcFile(run.Path("c.kv6"));
  return 0;
}
