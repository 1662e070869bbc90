#pragma once
// Start-up of the calculation units, in the order their defaults depend on each other: the
// record defaults read calculation texts. Runs after the base units; the drawing documentation
// takes today's date from the clock.

void StartCalculationUnits();
