// Text inside a quoted string of an ISO 10303-21 exchange file.
#pragma once

#include <string>
#include <string_view>

// text (Windows-1252 bytes) with "'" and "\" doubled, printable ASCII as it stands and every other
// character as its Unicode code point in a \X2\hhhh\X0\ group.
std::string step_string_text(std::string_view text);
