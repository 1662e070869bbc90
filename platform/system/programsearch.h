#pragma once

#include <string>

namespace platform {

// Whether a program can be started: a text with "/" names a file that must be executable, any
// other is looked for on PATH.
bool ProgramExists(const std::string& program);

}  // namespace platform
