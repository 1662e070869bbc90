// Reads connections, one per line, runs the P3G calculation on each and prints every result
// field, for the independent oracle script. Input fields, blank separated:
//   d1 e1 d2 d3 d4 d5 l l1 l2 dB1 dB2 T Mb KA fW case Re1 Re2 fS1 fS2 fH1 fH2
// Output: "fatal" or the results in the order of kResultNames, one line per connection.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "calc/calcstart.h"
#include "calc/kv6rech.h"
#include "calc/kv6record.h"

namespace {

long double ReadNumber(const std::string& text) {
  long double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string NumberText(long double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

bool LoadConnection(const std::string& line) {
  std::istringstream fields(line);
  std::vector<long double> v;
  for (std::string field; fields >> field;) v.push_back(ReadNumber(field));
  if (v.size() != 22) return false;
  kv6record& r = CalcData;
  r.d1 = v[0], r.e1 = v[1], r.d2 = v[2], r.d3 = v[3], r.d4 = v[4], r.d5 = v[5];
  r.l = v[6], r.l1 = v[7], r.l2 = v[8], r.dB1 = v[9], r.dB2 = v[10];
  r.T = v[11], r.Mb = v[12], r.KA = v[13], r.fW = v[14];
  r.DisplacementCase = static_cast<std::uint16_t>(v[15]);
  Materials[kShaft].Re = static_cast<std::int32_t>(v[16]);
  Materials[kHub].Re = static_cast<std::int32_t>(v[17]);
  PartFS[kShaft] = v[18], PartFS[kHub] = v[19], PartFH[kShaft] = v[20], PartFH[kHub] = v[21];
  return true;
}

void PrintResults() {
  const kv6record& r = CalcData;
  const std::vector<long double> results = {
      r.A,         r.Ip,        r.Wp,        r.Wpd1,      r.Wx,        r.elim,      r.hmin,
      r.d1min,     r.d1max,     r.d4min,     r.d4max,     r.fapp,      r.p,         r.pFA,
      r.tau[1],    r.tau[2],    r.sigmab[1], r.sigmab[2], r.sigmav[1], r.sigmav[2], r.Sp[1],
      r.Sp[2],     r.Se[1],     r.Se[2],     r.pa[1],     r.pa[2],     r.fWRe[1],   r.fWRe[2],
      PartPzul[1], PartPzul[2], r.Wt[1],     r.Wt[2],     r.Wb[1],     r.Wb[2],     r.s[1],
      r.s[2],      r.smin[1],   r.smin[2],   r.sRatio[1], r.sRatio[2], r.nueFs,     r.nueFw,
      r.pFs[1],    r.pFs[2],    r.pFw[1],    r.pFw[2],    r.Ts,        r.Tw,        r.d1graf};
  std::string line;
  for (long double value : results) line += NumberText(value) + " ";
  std::cout << line << "\n";
}

}  // namespace

int main() {
  InitWbrelvar();
  InitBrelvar();
  StartCalculationUnits();
  for (std::string line; std::getline(std::cin, line);) {
    if (!LoadConnection(line)) return 2;
    CalculateP3G();
    if (FatalFlag != 0) {
      std::cout << "fatal\n";
    } else {
      PrintResults();
    }
  }
  return 0;
}
