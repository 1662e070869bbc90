#pragma once
// One expression text run through the compiler and the evaluator, as the fuzz target and the
// mutation test both do: compiled with errors only recorded against a table with every field
// type and an aliased second area, then evaluated on a filled record, a blank record and an
// empty table. Probe returns what broke, or "" when the text behaved.

#include <cstring>
#include <string>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/expreval.h"
#include "tables/modules/expr/exprnormal.h"
#include "tests/tables/core/enginetables.h"

namespace exprprobe {

// DATE and YEAR are fields named like functions.
inline std::vector<dadav::FieldDescriptor> Fields() {
  using enginetest::Def;
  return {Def("NAME", 'C', 12),     Def("CITY", 'C', 20),    Def("QTY", 'N', 6),
          Def("PRICE", 'N', 10, 2), Def("RATE", 'N', 12, 5), Def("BIG", 'N', 15),
          Def("TEMP", 'F', 8, 3),   Def("BORN", 'D', 8),     Def("DATE", 'D', 8),
          Def("YEAR", 'N', 4),      Def("OK", 'L', 1),       Def("NOTE", 'M', 10)};
}

// Record 1 filled, record 2 blank.
inline void FilledAndBlank(const std::string& path) {
  using namespace enginetest;
  NewTable(path, Fields(), 2, [](int record) {
    if (record != 1) return;
    SetText(1, "O'Brien \"x\"");
    SetText(2, "  Stuttgart");
    SetReal(3, -12);
    SetReal(4, 1234.5);
    SetReal(5, -0.125);
    SetReal(6, 1e14);
    SetReal(7, 3.25);
    SetReal(10, 1940);
    SetLogical(11, true);
    std::memcpy(dadav::Area()->raw.data() + dadav::Area()->fields[7].offset, "19400501", 8);
    std::memcpy(dadav::Area()->raw.data() + dadav::Area()->fields[8].offset, "20000229", 8);
  });
}

// Area 1 holds the filled and the blank record, area 2 the same under the alias PEOPLE, area 3
// an empty table.
inline void OpenTables(const std::string& folder) {
  dadav::Select(2);
  FilledAndBlank(folder + "/people.dbf");
  dadav::Area()->alias = "PEOPLE";
  dadav::GO(1);
  dadav::Select(3);
  enginetest::NewTable(folder + "/empty.dbf", Fields());
  dadav::Select(1);
  FilledAndBlank(folder + "/t.dbf");
}

inline dadav::CompiledExpr* CompileQuietly(const std::string& text) {
  dadav::CompiledExpr* handle = dadav::AssignExpr(text);
  dadav::TakeLastMessage();
  dadav::LastErrorCode = 0;
  return handle;
}

inline std::string EvaluateOnce(dadav::CompiledExpr* handle) {
  const void* result = dadav::EvalCompiled(handle);
  dadav::TakeLastMessage();
  dadav::LastErrorCode = 0;
  if (result == nullptr) return "no result";
  if (handle->type != 'C' && handle->type != 'M') return "";
  if (std::strlen(static_cast<const char*>(result)) > dadav::kMaxText) return "text over 255 bytes";
  return "";
}

inline bool SameCode(const dadav::CompiledExpr& a, const dadav::CompiledExpr& b) {
  return a.type == b.type && a.width == b.width && a.decimals == b.decimals && a.code == b.code &&
         a.literals == b.literals && a.poolSize == b.poolSize;
}

// Evaluates on record 1 and 2 of the current area.
inline std::string EvaluateRecords(dadav::CompiledExpr* handle) {
  std::string broken;
  for (std::int32_t record : {1, 2}) {
    dadav::GO(record);
    broken += EvaluateOnce(handle);
  }
  return broken;
}

// Needs the engine started with the expression module and OpenTables done; leaves area 1
// selected and errors reported as it found them.
inline std::string Probe(const std::string& text) {
  const bool report = dadav::SetReportErrors(false);
  std::string broken;
  dadav::Select(1);
  dadav::CompiledExpr* handle = CompileQuietly(text);
  if (handle != nullptr) {
    broken += EvaluateRecords(handle);
    dadav::CompiledExpr* normal = CompileQuietly(dadav::NormalizeKeyExpression(text));
    if (normal == nullptr || !SameCode(*handle, *normal)) broken += "normal form differs";
    dadav::FreeExpr(normal);
    dadav::FreeExpr(handle);
  }
  dadav::Select(3);
  handle = CompileQuietly(text);
  if (handle != nullptr) broken += EvaluateOnce(handle);
  dadav::FreeExpr(handle);
  dadav::Select(1);
  dadav::SetReportErrors(report);
  return broken;
}

}  // namespace exprprobe
