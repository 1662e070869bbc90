// The one guard around every handler a user action runs: an exception a handler lets out stops
// there, is shown by the program's handler for unexpected errors, and never crosses the
// toolkit's event loop, which could not unwind through it.
#pragma once

#include <functional>
#include <string>

namespace platform {

// Receives the demangled C++ type name of the exception and its text (Windows-1252 bytes).
using UnexpectedErrorHandler =
    std::function<void(const std::string& typeName, const std::string& text)>;

// Installs the program's handler for the rest of the run; an empty one restores the default,
// which shows the text alone in an error box (a line on standard error without a display).
void SetUnexpectedErrorHandler(UnexpectedErrorHandler handler);

// Runs the handler, if there is one; false when it ended by an exception, which was reported.
bool RunGuarded(const std::function<void()>& handler);

}  // namespace platform
