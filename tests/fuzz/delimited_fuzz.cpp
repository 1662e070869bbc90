// A comma-separated text file appended to a table of every stored field type, then the records
// it made read back.
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4delim.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tests/fuzz/fuzzrun.h"
#include "tests/tables/core/enginetables.h"

namespace {

void Import(const FuzzRun& run) {
  using enginetest::Def;
  dadav::CreateDBF(run.Path("t.dbf"), {Def("NAME", 'C', 10), Def("PRICE", 'N', 8, 2),
                                       Def("BORN", 'D', 8), Def("OK", 'L', 1), Def("BIG", 'N', 12),
                                       Def("RATE", 'F', 10, 3), Def("SMALL", 'N', 3)});
  dadav::USE(run.Path("t.dbf") + " EXCLUSIVE");
  dadav::AppendFromDelimited(run.Path("in.txt"), false);
  std::string text;
  for (dadav::GoTop(); !dadav::dEOF(); dadav::SKIP(1)) {
    for (std::int32_t n = 1; n <= dadav::FieldCount(); ++n) dadav::FieldAsText(n, text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  run.Put("in.txt", Bytes(data, size));
  dadav::EngineStart();
  dadav::SetExceptionMode(true);
  dadav::DelimitedSeparator = ',';
  dadav::DelimitedQuote = '"';
  dadav::DelimitedLineMax = 2048;
  try {
    Import(run);
  } catch (const dadav::EDadavError&) {
  }
  try {
    dadav::EngineExit();
  } catch (const dadav::EDadavError&) {
  }
  return 0;
}
