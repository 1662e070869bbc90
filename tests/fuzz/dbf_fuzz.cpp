// A table file opened and scanned: every field of every record read as text, forwards and
// backwards; once shared as a DOS table, once exclusive (which takes in trailing records) as a
// Windows one. Then a copy of its own opened exclusive is written: a record appended, the first
// one rewritten deleted, the table packed. Damage must end in the engine's error, never a fault.
// Another copy gets field values made from the input's bytes in a few of its records (numbers
// of the field's width and decimals, dates in a picture the input picks, texts, logicals),
// written with REPLACE and read back after the table is opened again: every stored field must
// be what the general formatter makes of its value, and every number read back what the
// general parser reads from that text; a difference aborts.
#include <functional>
#include <utility>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzerror.h"
#include "tests/fuzz/dbfvalues.h"
#include "tests/fuzz/fuzzrun.h"

namespace {

constexpr int kMaxRecords = 1000;

void ReadRecord() {
  std::string text;
  for (std::int32_t n = 1; n <= dadav::FieldCount(); ++n) {
    dadav::Field(n, text);
    dadav::FieldAsText(n, text);
  }
  dadav::Deleted();
}

void Scan(const std::string& command, bool oem) {
  dadav::TableLanguageOem = oem;
  dadav::USE(command);
  for (int i = 0; i < kMaxRecords && !dadav::dEOF(); ++i) {
    ReadRecord();
    dadav::SKIP(1);
  }
  dadav::GoBottom();
  for (int i = 0; i < kMaxRecords && !dadav::dBOF(); ++i) {
    ReadRecord();
    dadav::SKIP(-1);
  }
  dadav::GO(dadav::RecCount());
  ReadRecord();
  dadav::CloseAll();
}

// One step of the write side; an error ends only that step.
void Step(const std::function<void()>& step) {
  try {
    step();
  } catch (const dadav::EDadavError&) {
  }
}

void Write(const std::string& path) {
  dadav::TableLanguageOem = true;
  dadav::USE(path + " EXCLUSIVE");
  // An exclusive area trusts the header's count: past some records the append would only make
  // a sparse file that PACK then reads through.
  if (dadav::RecCount() <= kMaxRecords) {
    Step([] { dadav::Append(); });  // the first record once more, or a blank one
    Step([] {
      dadav::GO(1);
      dadav::DeleteRec();
      dadav::Replace();
    });
    Step([] { dadav::Pack(); });
    Step(ReadRecord);
  }
  dadav::CloseAll();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzRun run;
  run.Put("t.dbf", Bytes(data, size));
  run.Put("w.dbf", Bytes(data, size));
  dadav::EngineStart();
  dadav::SetExceptionMode(true);
  for (const auto& [option, oem] : {std::pair{"", true}, {" EXCLUSIVE", false}}) {
    try {
      Scan(run.Path("t.dbf") + option, oem);
    } catch (const dadav::EDadavError&) {
    }
  }
  try {
    Write(run.Path("w.dbf"));
  } catch (const dadav::EDadavError&) {
  }
  run.Put("v.dbf", Bytes(data, size));
  try {
    dbfvalues::WriteAndReadBack(run.Path("v.dbf"), Bytes(data, size), kMaxRecords);
  } catch (const dadav::EDadavError&) {
  }
  try {
    dadav::EngineExit();
  } catch (const dadav::EDadavError&) {
  }
  return 0;
}
