#pragma once
// The materials of shaft and hub as a section of the open results report: names, material
// numbers, yield points, the support and hardness factors and the allowable pressures. Writes
// lines and rows only; opening, page headers and closing belong to the caller.

void WriteMaterialReport();
