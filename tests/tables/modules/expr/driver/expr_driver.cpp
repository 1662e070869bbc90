// Prints the results of expressions over every record of a table, for comparing the evaluator
// with an independent one.
//
//   expr_driver [--date N] [--century] TABLE EXPRESSIONS
//
// TABLE is opened in area 1 (its alias is the file's name). EXPRESSIONS holds one expression a
// line (Windows-1252, LF or CR LF; empty lines are skipped). For each record in physical order
// (deleted ones too) and each expression in file order one line is printed:
//   C text    a C or M result; "\" is written "\\", bytes below 0x20 and 0x7F as "\xHH"
//   N number  the shortest text that reads back as the same 8-byte float ("." always)
//   D date    YYYYMMDD, or "D -" for the blank date
//   L T or F
//   E code    the compile or evaluation failed with that engine error code
// --date sets the SET DATE picture (0..8, default 0) and --century SET CENTURY (default off).
// Exit status: 0, or 2 when the arguments are wrong or the table does not open.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/files/osfiles.h"
#include "platform/headless/headless.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzerror.h"
#include "tables/modules/expr/exprcompile.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/expr/expreval.h"
#include "tables/modules/expr/exprstart.h"

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string Escaped(const char* text) {
  std::string out;
  for (const char* p = text; *p != 0; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c == '\\') {
      out += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Shortest(double value) {
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, written.ptr);
}

struct Compiled {
  dadav::CompiledExpr* expr;
  std::uint16_t error;  // of the compile
};

std::string ResultLine(const Compiled& compiled) {
  dadav::CompiledExpr* expr = compiled.expr;
  if (expr == nullptr) return "E " + std::to_string(compiled.error);
  dadav::LastErrorCode = 0;
  const void* result = dadav::EvalCompiled(expr);
  if (dadav::LastErrorCode != 0) return "E " + std::to_string(dadav::LastErrorCode);
  switch (expr->type) {
    case 'C':
    case 'M':
      return "C " + Escaped(static_cast<const char*>(result));
    case 'L':
      return *static_cast<const std::int32_t*>(result) != 0 ? "L T" : "L F";
    case 'D': {
      const double day = *static_cast<const double*>(result);
      return day == 0 ? "D -" : "D " + dadav::JulianToDtos(day);
    }
    default:
      return "N " + Shortest(*static_cast<const double*>(result));
  }
}

int Usage() {
  std::fputs("usage: expr_driver [--date N] [--century] TABLE EXPRESSIONS\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  platform::headless::Install();
  const std::vector<std::string> args = platform::os::ProgramArguments(argc, argv);
  int picture = 0;
  bool century = false;
  std::vector<std::string> files;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--century") {
      century = true;
    } else if (args[i] == "--date" && i + 1 < args.size()) {
      const std::string& value = args[++i];
      const auto read = std::from_chars(value.data(), value.data() + value.size(), picture);
      if (read.ptr != value.data() + value.size()) return Usage();
    } else {
      files.push_back(args[i]);
    }
  }
  std::string bytes;
  if (files.size() != 2 || picture < 0 || picture > 8 ||
      !platform::os::ReadWholeFile(files[1], bytes))
    return Usage();
  dadav::EngineStart({&dadav::ExprModuleStart});
  dadav::SetReportErrors(false);
  dadav::SetDateFormat(static_cast<std::uint8_t>(picture));
  dadav::CenturyOn = century;
  dadav::USE(files[0]);
  if (dadav::Area() == nullptr) return Usage();
  std::vector<Compiled> exprs;
  for (const std::string& line : Lines(bytes)) {
    dadav::LastErrorCode = 0;
    dadav::CompiledExpr* expr = dadav::AssignExpr(line);
    exprs.push_back({expr, dadav::LastErrorCode});
  }
  for (std::int32_t record = 1; record <= dadav::RecCount(); ++record) {
    dadav::RawGo(record);
    for (const Compiled& compiled : exprs) {
      const std::string line = ResultLine(compiled) + "\n";
      std::fwrite(line.data(), 1, line.size(), stdout);
    }
  }
  for (Compiled& compiled : exprs) dadav::FreeExpr(compiled.expr);
  dadav::EngineExit();
  return 0;
}
