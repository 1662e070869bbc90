#pragma once
// The menu-term dictionary: 77 menu words with their access keys, switched as a whole to German,
// English, Portuguese, Romanian, Korean or Chinese. Each term carries the code page it is stored
// in (1252, or 949 Korean and 936 Chinese). Four of them reach the menus.

#include <array>
#include <cstdint>

#include "app/lang/menutexts.h"

inline constexpr int kMenuTermCount = 77;
extern std::array<MenuText, kMenuTermCount + 1> MenuTerms;  // [1..77] in the dictionary's order

inline constexpr int kTermLoad = 11;
inline constexpr int kTermHub = 15;
inline constexpr int kTermShaft = 33;
inline constexpr int kTermMaterialType = 35;
inline MenuText& TermLoad = MenuTerms[kTermLoad];
inline MenuText& TermHub = MenuTerms[kTermHub];
inline MenuText& TermShaft = MenuTerms[kTermShaft];
inline MenuText& TermMaterialType = MenuTerms[kTermMaterialType];

// Codes 1, 2, 6, 7, 8 and 12 overwrite the terms; every other code (compared as the full 32-bit
// value) changes nothing. Codes 6, 7, 8 and 12 leave five terms as they were ("Driving wheel",
// "Maltese cross", "Bearing plate", "Spacer sleeeve", "cross-helical gear"), code 12 also
// "&multistage"; their other unread terms take the English text. The program starts in English.
void SetMenuTermsLanguage(std::int32_t code);
