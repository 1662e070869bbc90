// make_calc_files DIR N: N calculation files of a varied family and the odd files a data folder
// holds, for trying the table of calculation files by hand.
#include <charconv>
#include <cstdio>
#include <cstring>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "calc/calcstart.h"
#include "platform/headless/headless.h"
#include "tests/app/tools/calcfilegen.h"

int main(int argc, char** argv) {
  std::int32_t n = 0;
  if (argc != 3 || std::from_chars(argv[2], argv[2] + std::strlen(argv[2]), n).ec != std::errc() ||
      n < 0) {
    std::fprintf(stderr, "usage: make_calc_files DIR N\n");
    return 2;
  }
  platform::headless::Install();
  InitWbrelvar();
  InitBrelvar();
  StartCalculationUnits();
  FileExt = "kv6";
  if (!calcfilegen::MakeCalcFiles(argv[1], n, FileExt)) {
    std::fprintf(stderr, "make_calc_files: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
