// The golden connection loaded for a benchmark that writes its drawings into a folder of its own,
// as the command line writes them: no question asked and no file opened afterwards.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "benchfolder.h"
#include "cad/layer/cadvar.h"
#include "calc/calcfile.h"
#include "calc/kv6record.h"

// The contour at resolution steps as one polyline; the drawings go to folder as "drawing".
inline void LoadGoldenConnection(const BenchFolder& folder, std::int32_t resolution) {
  TempDir = folder.Path();
  CadDir = folder.Path();
  const auto golden = std::filesystem::path(__FILE__).parent_path().parent_path() / "tests" /
                      "calc" / "golden" / "p3g60.kv6";
  if (!LoadCalcFile(golden.string())) {
    std::fprintf(stderr, "cannot load %s\n", golden.string().c_str());
    std::exit(2);
  }
  CalcData.Resolution = resolution;
  CalcData.CadElement = 2;
  CadBatch = 1;
  OpenAfterExport = 0;  // the files are for the clock only
  CurrentFile = folder.Path() + "/drawing";
}
