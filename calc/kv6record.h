#pragma once
// The calculation record of one P3G connection and the material data of its two parts,
// part 1 the shaft, part 2 the hub. Global records that live for the whole run.

#include <array>
#include <cassert>
#include <cstdint>
#include <string>

// A small fixed array indexed from 1, as the program counts parts and designations.
template <typename T, int N>
struct OneBased {
  std::array<T, N> items{};

  T& operator[](int i) {
    assert(i >= 1 && i <= N);
    return items[static_cast<std::size_t>(i - 1)];
  }
  const T& operator[](int i) const {
    assert(i >= 1 && i <= N);
    return items[static_cast<std::size_t>(i - 1)];
  }
  bool operator==(const OneBased&) const = default;
};

// [1] shaft, [2] hub.
template <typename T>
using PartPair = OneBased<T, 2>;

inline constexpr int kShaft = 1;
inline constexpr int kHub = 2;
inline constexpr int kFit = 3;

struct kv6record {
  long double d1 = 0, d2 = 0, d3 = 0, e1 = 0;
  long double d4 = 0, d5 = 0, d6 = 0, d6pre = 0, d7 = 0, e2 = 0;
  long double r1 = 0, r2 = 0;
  long double d1min = 0, d1max = 0, d4min = 0, d4max = 0;
  long double d1graf = 0;
  std::string TolShaft;
  std::string TolHub;
  OneBased<std::string, 3> Designation;  // [1] shaft, [2] hub, [3] fit
  std::int32_t P3GRow = 0;
  long double A = 0, Wp = 0, Wpd1 = 0, Ip = 0, Wx = 0;
  long double KA = 0;
  long double nueFs = 0, nueFw = 0;
  PartPair<long double> pFs, pFw;
  std::uint16_t DisplacementCase = 0;
  long double T = 0, Mb = 0, l = 0;
  long double p = 0, pFA = 0;
  PartPair<long double> tau, sigmab, sigmav;
  long double Ts = 0, Tw = 0;
  long double fW = 0;
  PartPair<long double> Sp, pa, fWRe, Se;
  long double fapp = 0;
  std::int32_t Resolution = 0;
  std::uint16_t CadElement = 0;
  std::uint16_t DimensionMode = 0;
  long double dB1 = 0, dB2 = 0;
  long double l1 = 0, l2 = 0;
  PartPair<long double> s, smin, sRatio, Wt, Wb;
  long double elim = 0;
  long double hmin = 0;

  bool operator==(const kv6record&) const = default;
};

struct RKM1BASE_Record {
  std::string Ident;
  std::string Name;
  std::string Name2;
  std::int32_t TypeNo = 0;
  std::int32_t Rm = 0;
  std::int32_t Re = 0;
  std::int32_t E = 0;
  double Val8 = 0, Val9 = 0;
  double Poisson = 0;
  double Val11 = 0;
  std::string Text12, Text13;

  bool operator==(const RKM1BASE_Record&) const = default;
};

struct KV3WSTYP_Record {
  std::int32_t TypeNo = 0;
  std::string Name;
  double Field3 = 0, Field4 = 0;
  double Field5 = 0, Field6 = 0;  // fS and fH of the shaft
  double Field7 = 0, Field8 = 0;  // fS and fH of the hub

  bool operator==(const KV3WSTYP_Record&) const = default;
};

extern kv6record CalcData;
extern PartPair<std::string> DrawingName;
extern PartPair<std::string> DrawingNo;
extern PartPair<std::string> DrawingName2;

extern PartPair<RKM1BASE_Record> Materials;
extern PartPair<long double> PartFS;    // support factor fS
extern PartPair<long double> PartFH;    // hardness factor fH
extern PartPair<long double> PartPzul;  // allowable pressure Re x fH x fS
extern PartPair<std::uint16_t> MaterialRecNo;
extern KV3WSTYP_Record MaterialType;

// Every field to its default; elim and hmin keep their values. Reads calculation texts 37 and 38.
void ResetCalcData();
void ResetMaterials();

// The vocabulary word for part 1 (shaft) or 2 (hub); any other number gives an empty text.
std::string PartName(std::uint16_t part);
