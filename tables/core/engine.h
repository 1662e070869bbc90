#pragma once
// Start and end of the table engine. Everything the engine needs is set up here, once, in a
// fixed order: error state and base settings, the work areas, then the modules, which fill
// their hook tables.

#include <vector>

namespace dadav {

using ModuleInit = void (*)();

void EngineStart(const std::vector<ModuleInit>& modules = {});

}  // namespace dadav
