#pragma once
// The results report of one calculated connection: dimensions of shaft and hub, the profile's
// section properties, the materials, the loads, stresses and safety factors by DIN 3892/32711,
// the strength by Roloff/Matek and the calculation messages, on the device the user picks.

// After a fatal calculation the messages are shown instead and AbortFlag is set, as it is after
// every other stop, so that a caller sees that no report was written.
void WriteResultsReport();
// View, Printout: the results report, or where the record holds no results because its
// calculation stopped, a printout that says so and gives the messages that say why.
void WritePrintout();
