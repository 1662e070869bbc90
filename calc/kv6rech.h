#pragma once
// The P3G polygon shaft-hub calculation to DIN 32711, with ISO 286 limit dimensions and the
// transmissible torques after Roloff/Matek. Reads and writes CalcData, Materials and PartPzul;
// findings go to the message list.

#include <cstdint>
#include <string>

// The whole run. Afterwards FatalFlag is 1 exactly when an input check stopped it; then the
// record holds the results of the previous run.
void CalculateP3G();

// Whether the record holds results: every run that gets past the input checks names the
// profiles, and a record no run has gone through since its reset names none.
bool HasResults();

// "profile DIN 32711 - P3G " + d1 for the dimensions form; empty while d1 is 0.
void P3GDesignation(std::string& text);

// The pre-bore proposal from d6.
long double DefaultReliefDiameter();

long double PolygonFactor(std::int32_t sides);
long double PolygonBaseFactor(std::int32_t sides);

// Section values of a tube of outer diameter D and inner diameter d.
long double AnnulusPolarInertia(long double D, long double d);
long double AnnulusPolarModulus(long double D, long double d);
long double AnnulusAxialInertia(long double D, long double d);
long double AnnulusBendingModulus(long double D, long double d);

// Profile formulas shared by the input checks and the calculation, so that a divisor the
// checks accept is the one the calculation divides by.
long double ProfilePolarInertia(long double d1, long double e1);
long double PolarModulusDivisor(long double d1, long double e1);  // Ip (d1 + 8 e1)
long double PressureBracket(long double d1, long double e1);      // d1^2/20 + (3 pi/4) e1 d1
