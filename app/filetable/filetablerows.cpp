// The rows of the table of calculation files.
#include "app/filetable/filetablerows.h"

#include <sys/stat.h>

#include <algorithm>

#include "base/files/utilfile.h"
#include "base/files/utilpath.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "base/text/utildate.h"
#include "calc/calcfile.h"
#include "calc/kv6record.h"
#include "platform/files/cp1252case.h"
#include "platform/files/osfiles.h"

namespace {

constexpr std::size_t kColumns = 20;
constexpr std::size_t kFirstLength = 5;
constexpr std::size_t kFirstMaterial = 12;
constexpr std::size_t kFirstTorque = 14;
constexpr std::size_t kFirstSafety = 16;

std::string Folded(const std::string& name) {
  std::string folded = name;
  platform::Cp1252UpperInPlace(folded.data(), folded.size());
  return folded;
}

std::string DateOf(const std::string& path) {
  struct stat info {};
  return platform::os::Stat(path, info) == 0 ? FileDateText(info.st_mtime) : std::string();
}

std::string PartHeader(const char* prefix, std::uint16_t part) {
  return prefix + ToDisplayText(PartName(part)) + ")";
}

class ErrorBoxesOff {
 public:
  ErrorBoxesOff() : kept_(ErrorBoxOn) { ErrorBoxOn = 0; }
  ~ErrorBoxesOff() { ErrorBoxOn = kept_; }
  ErrorBoxesOff(const ErrorBoxesOff&) = delete;
  ErrorBoxesOff& operator=(const ErrorBoxesOff&) = delete;

 private:
  std::uint8_t kept_;
};

void PutValues(std::vector<std::string>& row) {
  const kv6record& d = CalcData;
  std::size_t c = kFirstLength;
  for (long double x : {d.d1, d.d2, d.d3, d.e1, d.r1, d.r2, d.l})
    row[c++] = LengthTextFixed(3, 2, x);
  row[kFirstMaterial] = ToDisplayText(Materials[kShaft].Name);
  row[kFirstMaterial + 1] = ToDisplayText(Materials[kHub].Name);
  row[kFirstTorque] = TorqueTextFixed(6, 0, d.T);
  row[kFirstTorque + 1] = TorqueTextFixed(6, 0, d.Mb);
  row[2] = ToDisplayText(DrawingNo[kShaft]);
  row[3] = ToDisplayText(DrawingNo[kHub]);
}

void PutSafetyFactors(std::vector<std::string>& row) {
  std::size_t c = kFirstSafety;
  for (long double x :
       {CalcData.Sp[kShaft], CalcData.Sp[kHub], CalcData.Se[kShaft], CalcData.Se[kHub]}) {
    row[c++] = RealTextFixed(3, 2, x);
  }
}

}  // namespace

std::vector<std::string> CalcFileNames(const std::string& folder) {
  std::vector<std::string> names = MatchingFiles(AddBackslash(folder), "*." + FileExt);
  std::erase_if(names, [](const std::string& name) { return name.front() == '.'; });
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(names.size());
  for (std::string& name : names) keyed.emplace_back(Folded(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  names.clear();
  for (auto& [key, name] : keyed) names.push_back(std::move(name));
  return names;
}

std::size_t CalcFilesLeftOut(const std::string& folder) {
  const std::vector<std::string> names =
      UnusableMatchingNames(AddBackslash(folder), "*." + FileExt);
  return static_cast<std::size_t>(std::count_if(
      names.begin(), names.end(), [](const std::string& name) { return name.front() != '.'; }));
}

std::vector<std::string> FileTableHeader() {
  const std::string length = "[" + ToDisplayText(LengthUnitLabel()) + "]";
  const std::string torque = "[" + ToDisplayText(TorqueUnitLabel()) + "]";
  return {"File",
          "Date y-m-d",
          PartHeader("1 (", kShaft),
          PartHeader("2 (", kHub),
          "Typ",
          "d1 " + length,
          "d2 " + length,
          "d3 " + length,
          "e1 " + length,
          "r1 " + length,
          "r2 " + length,
          "b " + length,
          PartHeader("Mat.1 (", kShaft),
          PartHeader("Mat.2 (", kHub),
          "T " + torque,
          "Mb " + torque,
          "Sp1",
          "Sp2",
          "Se1",
          "Se2"};
}

std::string ListedFilePath(const std::string& folder, const std::string& name) {
  return AbsolutePath(AddBackslash(folder) + name);
}

std::vector<std::string> FileTableRow(const std::string& folder, const std::string& name) {
  const std::string path = ListedFilePath(folder, name);
  std::vector<std::string> row(kColumns);
  row[0] = name;
  row[1] = DateOf(path);
  row[4] = "P3G";
  const ErrorBoxesOff quiet;
  if (LoadCalcFile(path)) {
    PutValues(row);
    if (FatalFlag == 0) PutSafetyFactors(row);
  }
  AbortFlag = 0;
  return row;
}
