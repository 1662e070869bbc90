#pragma once
// Text services of the table engine. Engine texts are Windows-1252 ("ANSI") bytes; tables
// stored in the DOS code page 850 ("OEM") are converted through the lossless pair.

#include <cstdint>
#include <string>
#include <string_view>

namespace dadav {

std::string StrToOem(std::string_view text);
std::string OemToStr(std::string_view text);

std::string AllTrim(std::string_view text);
std::string RTrim(std::string_view text);
std::string LTrim(std::string_view text);
std::string UpperStr(std::string_view text);
char CharUpper(char c);
char CharLower(char c);
bool IsAlpha(std::string_view text);

std::int32_t Occurs(std::string_view part, std::string_view text);
std::int32_t AtNth(std::int32_t n, std::string_view part, std::string_view text);
std::string Replicate(char c, std::int32_t count);
std::string PadRight(std::string_view text, std::int32_t width);
std::string IIfText(bool condition, std::string_view text1, std::string_view text2);
// 1-based position of text1 in text2 compared in upper case, 0 when absent.
std::int32_t PosNoCase(std::string_view text1, std::string_view text2);

// Removes every occurrence of keyword (given with its leading blank, e.g. " EXCLUSIVE") that
// is followed by neither a digit, a letter, "\" nor "_", compared in any case; the rest of the
// command keeps its case. True when one was removed. The command comes back trimmed.
bool ExtractOption(std::string_view keyword, std::string& command);

}  // namespace dadav
