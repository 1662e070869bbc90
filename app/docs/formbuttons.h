#pragma once
// The OK, Cancel and help buttons the application's forms end with.

#include <cstdint>
#include <string>

#include "platform/ui/forms.h"

// "Button_ok" (default, ends with OK), "Button_cancel" (Esc, ends with Cancel) and "Button_help"
// with the caption given, which shows help text helpNumber in a message box.
void AddOkCancelHelp(platform::Form& form, const std::string& helpCaption,
                     std::uint16_t helpNumber);
