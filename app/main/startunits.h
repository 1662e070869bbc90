// The program body's first step, before any window exists: every unit's start routine, in the
// order the units build on each other, so that no unit's defaults are read from the machine
// before the platform kit is installed.
#pragma once

#include <string>

// programPath: the program's own file, which places the shipped files beside it.
void StartUnits(const std::string& programPath);
