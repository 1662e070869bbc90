#include "calc/kv6rech.h"

#include <cmath>

#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "base/text/unittext.h"
#include "base/text/utilmath.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/toliso.h"

namespace {

constexpr long double kPiQuarter = Pi / 4;
constexpr long double kFourPi = 4 * Pi;
constexpr long double kPi32 = Pi / 32;
constexpr long double kThreePiQuarter = 3 * Pi / 4;
constexpr long double kSixPi = 6 * Pi;
constexpr long double kPi64 = Pi / 64;

constexpr int kTextProfile = 7;

bool StopRun(const std::string& text) {
  AddMessage(text);
  FatalFlag = 1;
  return false;
}

// The two original fatal checks, then every input that would make a formula divide by zero
// or pick no displacement case: such a run stops before it writes anything.
bool InputsCalculable(const kv6record& r) {
  if (r.d1 == 0) return StopRun("Fatal  : d1 = 0 !");
  if (r.l == 0) return StopRun("Fatal  : l = 0 !");
  if (r.d2 == 0) return StopRun("Fatal  : d2 = 0 !");
  if (PolarModulusDivisor(r.d1, r.e1) == 0) return StopRun("Fatal  : Wp: division by 0 !");
  if (PressureBracket(r.d1, r.e1) == 0) return StopRun("Fatal  : p: division by 0 !");
  if (r.DisplacementCase < 1 || r.DisplacementCase > 3) {
    return StopRun("Fatal  : displacement case = " + IntText(r.DisplacementCase) + " !");
  }
  if (r.e1 == 0) AddMessage("Error  : e1 = 0 !");
  if (r.l1 < r.l) AddMessage("Error  : leff > l1 !");
  if (r.l2 < r.l) AddMessage("Error  : leff > l2 !");
  return true;
}

void SetDesignations(kv6record& r) {
  const std::string& profile = CalcTexts[kTextProfile];
  const std::string& tS = r.TolShaft;
  if (r.DimensionMode == 2) {
    const std::string sizes = " P3G - e=" + LengthText(r.e1) + ", d1=" + LengthText(r.d1);
    r.Designation[kShaft] = profile + " A" + sizes + " " + tS;
    r.Designation[kHub] = profile + " B" + sizes + " H7";
    r.Designation[kFit] = profile + sizes + " H7/" + tS;
  } else {
    const std::string size = RealText(r.d1);
    r.Designation[kShaft] = profile + " DIN 32711 - A P3G " + size + " " + tS;
    r.Designation[kHub] = profile + " DIN 32711 - B P3G " + size + " H7";
    r.Designation[kFit] = profile + " DIN 32711 - P3G " + size + " H7/" + tS;
  }
}

void ProposeDiameters(kv6record& r) {
  if (r.d6 <= r.d6pre) r.d6pre = DefaultReliefDiameter();
  if (r.d7 == 0 || r.d7 > 2 * r.r2) r.d7 = std::nearbyint(1.2L * r.r2);
}

void SetSectionValues(kv6record& r) {
  const long double d1 = r.d1;
  const long double e1 = r.e1;
  r.A = kPiQuarter * d1 * d1 - kFourPi * e1 * e1;
  r.Ip = ProfilePolarInertia(d1, e1);
  r.Wp = IntPower(4, r.A) * (d1 + 4 * e1) / (20 * d1 * PolarModulusDivisor(d1, e1));
  r.Wpd1 = 2 * r.Ip / d1;
  r.Wx = r.Ip / r.d2;
}

void SetAllowablePressures(kv6record& r) {
  static constexpr long double kFapp[] = {1.0L, 0.5L, 0.25L};
  r.fapp = kFapp[r.DisplacementCase - 1];
  for (int part = kShaft; part <= kHub; ++part) {
    const long double re = Materials[part].Re;
    PartPzul[part] = re * PartFH[part] * PartFS[part];
    r.pa[part] = PartPzul[part] * r.fW * r.fapp;
    r.fWRe[part] = re * r.fW;
  }
}

void SetModuli(kv6record& r) {
  r.Wt[kShaft] = r.dB1 == 0 ? r.Wp : AnnulusPolarModulus(r.d3, r.dB1);
  r.Wt[kHub] = r.dB2 == 0 ? r.Wp : AnnulusPolarModulus(std::fabs(r.dB2), r.d2);
  r.Wb[kShaft] = r.dB1 == 0 ? r.Wx : AnnulusBendingModulus(r.d3, r.dB1);
  r.Wb[kHub] = r.dB2 == 0 ? r.Wx : AnnulusBendingModulus(std::fabs(r.dB2), r.d2);
}

void SetStresses(kv6record& r, int part) {
  const long double tau = r.Wt[part] == 0 ? 0 : 1000 * r.T * r.KA / r.Wt[part];
  const long double sigmab = r.Wb[part] == 0 ? 0 : 1000 * r.Mb * r.KA / r.Wb[part];
  r.tau[part] = tau;
  r.sigmav[part] = std::sqrt(3 * tau * tau + sigmab * sigmab);
  r.sigmab[part] = sigmab < 0 ? 0 : sigmab;
}

void SetSafeties(kv6record& r, int part) {
  r.Sp[part] = r.p == 0 ? 0 : r.pa[part] / r.p;
  if (r.Sp[part] > 0 && r.Sp[part] < 1) {
    AddMessage("Error  : Sp < 1 (" + RealTextFixed(1, 2, r.Sp[part]) + " " +
               PartName(static_cast<std::uint16_t>(part)) + ")");
  }
  r.Se[part] = r.sigmav[part] == 0 ? 0 : r.fWRe[part] / r.sigmav[part];
  if (r.Se[part] > 0 && r.Se[part] < 1) {
    AddMessage("Error  : Se < 1 (" + RealTextFixed(1, 2, r.Se[part]) + ")");
  }
}

long double MinimumWall(const char* name, long double factor, std::int32_t re, const kv6record& r) {
  if (re <= 0) return 0;
  return factor * CheckedSqrt(name, 1000 * r.T / (re * r.l));
}

void SetWalls(kv6record& r) {
  const long double hubFactor = r.d4 <= 35 ? 1.44L : 1.2L;
  r.smin[kHub] = MinimumWall("smin", hubFactor, Materials[kHub].Re, r);
  r.smin[kShaft] = MinimumWall("s1min", 1, Materials[kShaft].Re, r);
  for (int part = kShaft; part <= kHub; ++part) {
    r.sRatio[part] = r.smin[part] > 0 ? r.s[part] / r.smin[part] : 0;
  }
  if (r.smin[kShaft] > r.s[kShaft]) AddMessage("Warning: s < smin ! (1)");
  // A hub outer diameter that does not reach past the profile leaves the hub no wall at all,
  // which is below any minimum, whatever the hub's material.
  const bool hubWithoutWall = r.dB2 != 0 && r.s[kHub] == 0;
  if (hubWithoutWall || (r.s[kHub] > 0 && r.smin[kHub] > r.s[kHub])) {
    AddMessage("Warning: s < smin ! (2)");
  }
}

void SetTransmissibleTorques(kv6record& r) {
  static constexpr long double kNueFs[] = {1.6L, 3.2L, 7.5L};
  static constexpr long double kNueFw[] = {4.0L, 8.0L, 16.0L};
  r.nueFs = kNueFs[r.DisplacementCase - 1];
  r.nueFw = kNueFw[r.DisplacementCase - 1];
  for (int part = kShaft; part <= kHub; ++part) {
    r.pFs[part] = Materials[part].Re / r.nueFs;
    r.pFw[part] = Materials[part].Re / r.nueFw;
  }
  if (r.KA == 0) {
    r.Ts = 0;
    r.Tw = 0;
    return;
  }
  const long double g = r.l * PressureBracket(r.d1, r.e1);
  r.Ts = MinReal(r.pFs[kShaft], r.pFs[kHub]) * g / (1000 * r.KA);
  r.Tw = MinReal(r.pFw[kShaft], r.pFw[kHub]) * g / (1000 * r.KA);
}

}  // namespace

long double ProfilePolarInertia(long double d1, long double e1) {
  return kPi32 * IntPower(4, d1) - kThreePiQuarter * d1 * d1 * e1 * e1 - kSixPi * IntPower(4, e1);
}

long double PolarModulusDivisor(long double d1, long double e1) {
  return ProfilePolarInertia(d1, e1) * (d1 + 8 * e1);
}

long double PressureBracket(long double d1, long double e1) {
  return d1 * d1 / 20 + kThreePiQuarter * e1 * d1;
}

bool HasResults() {
  return !CalcData.Designation[kShaft].empty();
}

void CalculateP3G() {
  ClearMessages();
  FatalFlag = 0;
  kv6record& r = CalcData;
  if (!InputsCalculable(r)) return;

  SetDesignations(r);
  IsoLimitDimensions(r.d1min, r.d1max, r.TolShaft, r.d1);
  IsoLimitDimensions(r.d4min, r.d4max, "H7", r.d4);
  ProposeDiameters(r);
  r.d1graf = r.d1;
  SetSectionValues(r);

  r.elim = r.d1 / 16;
  if (r.e1 > r.elim) AddMessage("Error  : e > e lim !");
  r.hmin = ((r.d2 - r.d3) - (r.d4max - r.d1min)) / 2;

  r.s[kShaft] = (r.d3 - r.dB1) / 2;
  r.s[kHub] = (std::fabs(r.dB2) - r.d5) / 2;
  if (r.s[kHub] < 0) r.s[kHub] = 0;

  SetAllowablePressures(r);
  r.p = 1000 * r.T * r.KA / (r.l * PressureBracket(r.d1, r.e1));
  r.pFA = r.e1 == 0 ? 0 : 1000 * r.T * r.KA / (3 * r.l * r.e1 * r.d1);

  SetModuli(r);
  for (int part = kShaft; part <= kHub; ++part) SetStresses(r, part);
  for (int part = kShaft; part <= kHub; ++part) SetSafeties(r, part);
  if (r.dB2 == 0) AddMessage("Warning: dB2 = 0 !");
  if (Materials[kHub].Re == 0) AddMessage("Warning: Re = 0 !");

  SetWalls(r);
  SetTransmissibleTorques(r);
}

void P3GDesignation(std::string& text) {
  text.clear();
  if (CalcData.d1 == 0) return;
  text = CalcTexts[kTextProfile] + " DIN 32711 - P3G " + RealText(CalcData.d1);
}

long double DefaultReliefDiameter() {
  const long double d6 = CalcData.d6;
  const long double rounded = std::nearbyint(d6);  // halves to even
  if (rounded < 23) return d6 - 0.3L;
  if (rounded < 50) return d6 - 0.4L;
  return d6 - 0.5L;
}

long double PolygonBaseFactor(std::int32_t sides) {
  if (sides <= 1) return 0;
  const long double n = sides;
  return 1 / (2 * (n * n - 1));
}

long double PolygonFactor(std::int32_t sides) {
  if (sides == 3) return 0.04L;
  if (sides == 4) return 0.02L;
  return 0.6L * PolygonBaseFactor(sides);
}

long double AnnulusPolarInertia(long double D, long double d) {
  return kPi32 * (IntPower(4, D) - IntPower(4, d));
}

// D = 0 gives 0 like the bending modulus: a negative bore would otherwise divide by zero.
long double AnnulusPolarModulus(long double D, long double d) {
  if (D == 0 || !(D > d)) return 0;
  return 2 * AnnulusPolarInertia(D, d) / D;
}

long double AnnulusAxialInertia(long double D, long double d) {
  return D > d ? kPi64 * (IntPower(4, D) - IntPower(4, d)) : 0;
}

long double AnnulusBendingModulus(long double D, long double d) {
  if (D == 0) return 0;
  return 2 * AnnulusAxialInertia(D, d) / D;
}
