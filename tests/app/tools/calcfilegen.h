#pragma once
// Calculation files for the table of files: a family of connections scaled from the standard's
// worked example, written by the program's own writer, with the odd files a data folder holds
// (upper-case extension, a hidden file, a folder, a damaged file, a file whose calculation
// stops, a material name with "ß").

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/files/utilpath.h"
#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/kv6record.h"

namespace calcfilegen {

inline const std::vector<long double> kProfiles = {8, 12.5L, 18, 25, 32, 40, 60, 80, 110};
// "Gußeisen" in code page 850, in which material names are stored.
inline const std::string kCastIron =
    "Gu\xE1"
    "eisen";
inline const std::vector<std::string> kMaterials = {"C45", "42CrMo4", "S355J2", kCastIron};

// The i-th connection of the family: one of the profiles, its load and materials varied by i.
inline void SetConnection(std::int32_t i) {
  ResetCalcData();
  ResetMaterials();
  const auto k = static_cast<std::size_t>(i);
  const long double s = kProfiles[k % kProfiles.size()] / 60;
  kv6record& r = CalcData;
  r.d1 = 60 * s;
  r.e1 = 2.25L * s;
  r.d2 = 64.5L * s;
  r.d3 = 55.5L * s;
  r.d4 = r.d1;
  r.d5 = r.d2;
  r.l = r.l1 = r.l2 = 60 * s;
  r.T = std::round(1000 * s * s * s * (1 + static_cast<long double>(i % 7) / 10));
  r.Mb = static_cast<long double>(i % 3) * r.T / 4;
  r.KA = r.fW = 1;
  r.DisplacementCase = 1;
  for (int part = kShaft; part <= kHub; ++part) {
    Materials[part].Name = kMaterials[(k + static_cast<std::size_t>(part)) % kMaterials.size()];
    Materials[part].Re = 250 + 10 * (i % 11);
    PartFS[part] = 1.2L;
    PartFH[part] = 1;
  }
  DrawingNo = {"W-" + IntText(i), "N-" + IntText(i)};
}

// The name of the i-th generated file.
inline std::string FileName(std::int32_t i, const std::string& ext) {
  return "calc" + IntTextZero(i, 5) + "." + ext;
}

inline bool Write(const std::string& folder, const std::string& name) {
  return WriteCalcFile(AddBackslash(folder) + name);
}

// n files of the family, then the odd ones unless only the family is asked for.
inline bool MakeCalcFiles(const std::string& folder, std::int32_t n, const std::string& ext,
                          bool oddOnes = true) {
  for (std::int32_t i = 0; i < n; ++i) {
    SetConnection(i);
    if (!Write(folder, FileName(i, ext))) return false;
  }
  if (!oddOnes) return true;
  SetConnection(n);
  if (!Write(folder, "UPPER." + ext)) return false;
  // The program's writer refuses names starting with ".".
  std::filesystem::copy_file(folder + "/UPPER." + ext, folder + "/.hidden." + ext);
  SetConnection(n + 1);
  CalcData.d1 = 0;
  if (!Write(folder, "zero_d1." + ext)) return false;
  std::filesystem::create_directory(folder + "/dir." + ext);
  std::ofstream(folder + "/damaged." + ext) << "only\nthree\nlines\n";
  return true;
}

}  // namespace calcfilegen
