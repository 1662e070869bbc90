// An index file opened against a fixed table: its header read, the index walked both ways,
// searched, and changed by an insert and a key-moving replace. Damage must end in the engine's
// error, never a fault or a hang.
#include "tests/fuzz/fuzzrun.h"
#include "tests/tables/modules/ndx/ndxdamage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  dadav::EngineStart();
  ndxdamage::MakeTable(run.Path("t.dbf"));
  run.Put("t.ndx", Bytes(data, size));
  ndxdamage::Exercise(run.Path("t.dbf"), run.Path("t.ndx"));
  return 0;
}
