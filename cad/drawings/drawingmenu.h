// The menu of the twelve drawings and "return", in the words of the current language.
#pragma once

#include <cstdint>
#include <string>

inline constexpr std::uint16_t kDrawingCount = 12;
inline constexpr std::uint16_t kDrawingReturn = 13;

// ChoiceTexts[1..13]: the twelve drawings, then "return".
void FillDrawingMenu();
// The title the menu is shown under.
std::string DrawingMenuTitle();
