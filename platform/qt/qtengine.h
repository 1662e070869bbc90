// The Qt side of the table engine's halts and waits, for the windowed program to register.
#pragma once

#include <string>

namespace platform::qt {

// Shows a halt text (Windows-1252) in a modal box over the whole application.
void ShowHaltBox(const std::string& text, const std::string& caption);
// Runs pending events except user input, so a click cannot start a command while the engine
// waits for a lock.
void PumpEventsWithoutInput();

}  // namespace platform::qt
