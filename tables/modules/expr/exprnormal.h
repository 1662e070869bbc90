#pragma once
// The stored form of a key expression: outside quotes a..z raised and blanks and tabs
// dropped; a quoted text kept as it is between double quotes, or between its own single
// quotes when it holds a double quote, so that every stored form reads back.

#include <string>
#include <string_view>

namespace dadav {

std::string NormalizeKeyExpression(std::string_view text);

}  // namespace dadav
