#include "calc/kv6rech.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "calc/kv6record.h"
#include "calcfixture.h"

namespace {

using Texts = std::vector<std::string>;
using Designations = std::array<std::string, 3>;

Texts MessageList() {
  return std::vector<std::string>(Messages.begin() + 1, Messages.begin() + 1 + MessageCount);
}

class P3G : public CalcFixture {
 protected:
  void SetUp() override {
    CalcFixture::SetUp();
    SetWorkedExample();
  }
};

TEST_F(P3G, WorkedExampleGivesTheKnownResults) {
  CalculateP3G();
  const kv6record& r = CalcData;
  EXPECT_EQ(FatalFlag, 0);
  EXPECT_EQ(MessageList(), Texts{"Warning: dB2 = 0 !"});
  struct Result {
    long double actual, expected;
    const char* what;
  };
  // clang-format off
  const Result results[] = {
      {r.A, 2763.81613700L, "A"}, {r.Ip, 1228920.28662L, "Ip"}, {r.Wp, 35001.4568626L, "Wp"},
      {r.Wpd1, 40964.0095540L, "Wpd1"}, {r.Wx, 19053.0276995L, "Wx"}, {r.elim, 3.75L, "elim"},
      {r.p, 33.4614064532L, "p"}, {r.pFA, 41.1522633745L, "pFA"},
      {r.tau[kShaft], 28.5702393454L, "tau"}, {r.tau[kHub], 28.5702393454L, "tau"},
      {r.sigmav[kShaft], 49.4851061306L, "sigmav"}, {r.sigmav[kHub], 49.4851061306L, "sigmav"},
      {r.Sp[kShaft], 10.7586631334L, "Sp"}, {r.Sp[kHub], 10.7586631334L, "Sp"},
      {r.Se[kShaft], 6.06243016249L, "Se"}, {r.Se[kHub], 6.06243016249L, "Se"},
      {r.Ts, 5603.47038198L, "Ts"}, {r.Tw, 2241.38815279L, "Tw"},
      {r.smin[kHub], 8.94427191000L, "smin hub"}, {r.smin[kShaft], 7.45355992500L, "smin shaft"},
      {r.hmin, 4.486L, "hmin"}, {r.d1min, 60.002L, "d1min"}, {r.d1max, 60.021L, "d1max"},
      {r.d4min, 60.000L, "d4min"}, {r.d4max, 60.030L, "d4max"},
  };
  // clang-format on
  for (const Result& result : results) {
    EXPECT_LE(std::fabs(result.actual - result.expected), 1e-9L * std::fabs(result.expected))
        << result.what << ": " << static_cast<double>(result.actual);
  }
  EXPECT_EQ(r.d1graf, 60);
  EXPECT_EQ(r.Designation.items,
            (Designations{"profile DIN 32711 - A P3G 60 k6", "profile DIN 32711 - B P3G 60 H7",
                          "profile DIN 32711 - P3G 60 H7/k6"}));
  std::string designation;
  P3GDesignation(designation);
  EXPECT_EQ(designation, "profile DIN 32711 - P3G 60");

  CalcData.DimensionMode = 2;
  CalcData.TolShaft = "m6";
  CalculateP3G();
  EXPECT_EQ(r.Designation.items,
            (Designations{"profile A P3G - e=2.25, d1=60 m6", "profile B P3G - e=2.25, d1=60 H7",
                          "profile P3G - e=2.25, d1=60 H7/m6"}));
}

// Each input stops the run with exactly its message and leaves every result as it was.
void ExpectStop(const std::string& message) {
  const kv6record before = CalcData;
  const PartPair<long double> pzulBefore = PartPzul;
  CalculateP3G();
  EXPECT_EQ(MessageList(), Texts{message});
  EXPECT_EQ(FatalFlag, 1);
  EXPECT_TRUE(CalcData == before) << message;
  EXPECT_TRUE(PartPzul == pzulBefore) << message;
}

// An eccentricity that makes the pressure divisor exactly zero, stepped towards from -d1/(15 pi).
bool FindZeroPressureDivisor(long double d1, long double& e1) {
  const long double start = -d1 / (15 * 3.14159265358979323846L);
  for (long double direction : {-1.0L, 1.0L}) {
    e1 = start;
    for (int step = 0; step < 64; ++step) {
      if (PressureBracket(d1, e1) == 0) return true;
      e1 = std::nextafter(e1, direction * 1e9L);
    }
  }
  return false;
}

TEST_F(P3G, InputsTheFormulasCannotTakeStopTheRun) {
  struct StopCase {
    const char* message;
    void (*change)(kv6record&);
  };
  const std::vector<StopCase> cases = {
      {"Fatal  : d1 = 0 !", [](kv6record& r) { r.d1 = 0; }},
      {"Fatal  : l = 0 !", [](kv6record& r) { r.l = 0; }},
      {"Fatal  : d2 = 0 !", [](kv6record& r) { r.d2 = 0; }},
      {"Fatal  : Wp: division by 0 !", [](kv6record& r) { r.d1 = 8, r.e1 = -1; }},
      {"Fatal  : displacement case = 0 !", [](kv6record& r) { r.DisplacementCase = 0; }},
      {"Fatal  : displacement case = 4 !", [](kv6record& r) { r.DisplacementCase = 4; }},
  };
  for (const StopCase& c : cases) {
    SetWorkedExample();
    CalculateP3G();
    c.change(CalcData);
    ExpectStop(c.message);
  }
  long double e1 = 0;
  for (long double d1 : {60.0L, 8.0L, 10.0L, 20.0L, 25.0L, 32.0L, 40.0L, 50.0L, 64.0L, 100.0L}) {
    if (!FindZeroPressureDivisor(d1, e1)) continue;
    SetWorkedExample();
    CalculateP3G();
    CalcData.d1 = d1;
    CalcData.e1 = e1;
    ExpectStop("Fatal  : p: division by 0 !");
    return;
  }
  ADD_FAILURE() << "no eccentricity makes the pressure divisor zero";
}

TEST_F(P3G, ZeroOuterDiameterGivesNoPolarModulus) {
  EXPECT_EQ(std::tuple(AnnulusPolarModulus(0, -5), AnnulusPolarModulus(0, 0),
                       AnnulusBendingModulus(0, -5), AnnulusPolarModulus(10, 20)),
            std::tuple(0, 0, 0, 0));
  CalcData.d3 = 0;
  CalcData.dB1 = -5;
  CalculateP3G();
  EXPECT_EQ(std::tuple(CalcData.Wt[kShaft], CalcData.tau[kShaft]), std::tuple(0, 0));
}

TEST_F(P3G, EachInputGivesExactlyItsMessages) {
  struct MessageCase {
    const char* name;
    void (*change)();
    Texts messages;
    void (*check)() = nullptr;
  };
  const char* dB2 = "Warning: dB2 = 0 !";
  const std::vector<MessageCase> cases = {
      {"shaft first",
       [] {
         Materials[kShaft].Re = 30, Materials[kHub].Re = 20, PartFS = {1, 1};
       },
       {"Error  : Sp < 1 (0.90 shaft)", "Error  : Se < 1 (0.61)", "Error  : Sp < 1 (0.60 hub)",
        "Error  : Se < 1 (0.40)", dB2}},
      {"equal Se once",
       [] {
         Materials[kShaft].Re = Materials[kHub].Re = 30, PartFS = {1, 1};
       },
       {"Error  : Sp < 1 (0.90 shaft)", "Error  : Se < 1 (0.61)", "Error  : Sp < 1 (0.90 hub)",
        dB2}},
      {"Sp just below 1",
       [] { CalculateP3G(), PartFS[kShaft] = 0.99L * CalcData.p / 300; },
       {"Error  : Sp < 1 (0.99 shaft)", dB2}},
      {"negative torque", [] { CalcData.T = -1000; }, {dB2, "smin (sqrt)", "s1min (sqrt)"}},
      {"e at its limit", [] { CalcData.d1 = 64, CalcData.e1 = 4; }, {dB2}},
      {"e above its limit",
       [] { CalcData.d1 = 64, CalcData.e1 = 4.0001L; },
       {"Error  : e > e lim !", dB2}},
      {"round and short",
       [] { CalcData.l1 = 59.9L, CalcData.l2 = 59, CalcData.e1 = 0; },
       {"Error  : e1 = 0 !", "Error  : leff > l1 !", "Error  : leff > l2 !", dB2}},
      // The hub always takes H7; tolerance advice sets the abort flag but is no stop.
      {"tolerances",
       [] { CalcData.TolHub = "P9", CalcData.TolShaft = "m12"; },
       {"m3..m9", dB2},
       [] {
         EXPECT_EQ(std::tuple(CalcData.d4max, CalcData.d1min, AbortFlag),
                   std::tuple(60.030L, 60.011L, 1));
       }},
      {"default materials", ResetMaterials, {dB2, "Warning: Re = 0 !"}},
      // The profile's outer circle d5 is 64.5: a hub no larger has no wall, whatever its material.
      {"hub with a wall", [] { CalcData.dB2 = 90; }, {}},
      {"hub inside the profile", [] { CalcData.dB2 = 50; }, {"Warning: s < smin ! (2)"}},
      {"hub at the profile", [] { CalcData.dB2 = -64.5L; }, {"Warning: s < smin ! (2)"}},
      {"hub without wall or material",
       [] { CalcData.dB2 = 50, Materials[kHub].Re = 0; },
       {"Warning: Re = 0 !", "Warning: s < smin ! (2)"}},
  };
  for (const MessageCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetWorkedExample();
    AbortFlag = 0;
    c.change();
    CalculateP3G();
    EXPECT_EQ(MessageList(), c.messages);
    EXPECT_EQ(FatalFlag, 0);
    if (c.check != nullptr) c.check();
  }
}

TEST_F(P3G, HubWallFactorChangesAbove35) {
  for (const auto& [d4, factor] : {std::pair(35.0L, 1.44), std::pair(35.001L, 1.2)}) {
    CalcData.d4 = d4;
    CalculateP3G();
    EXPECT_NEAR(static_cast<double>(CalcData.smin[kHub] / CalcData.smin[kShaft]), factor, 1e-15);
  }
}

TEST_F(P3G, ReliefAndGrindingDiameterProposals) {
  // d6, d6pre given, d6pre proposed
  const std::tuple<long double, long double, double> proposals[] = {
      {22.5L, 22.5L, 22.2}, {22.6L, 22.6L, 22.2}, {49.4L, 50, 49.0}, {50, 50, 49.5}, {30, 29, 29}};
  for (const auto& [d6, d6pre, expected] : proposals) {
    SetWorkedExample();
    CalcData.d6 = d6;
    CalcData.d6pre = d6pre;
    CalculateP3G();
    EXPECT_NEAR(static_cast<double>(CalcData.d6pre), expected, 1e-12) << static_cast<double>(d6);
  }
  SetWorkedExample();
  CalcData.r2 = 15.37L;
  for (const auto& [d7, expected] : {std::pair(0, 18), std::pair(30, 30), std::pair(31, 18)}) {
    CalcData.d7 = d7;
    CalculateP3G();
    EXPECT_EQ(CalcData.d7, expected) << d7;
  }
}

}  // namespace
