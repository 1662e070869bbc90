#pragma once
// Small text routines of the report and file writers, dates, line splitting and command-line
// switches. Positions are 1-based as the program counts them; letter case changes touch ASCII
// letters only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The program's command-line parameters (without the program name); set by the program start.
extern std::vector<std::string> CommandLineParams;

// Date by DateCode: 1 dd.mm.yyyy, 2 mm/dd/yyyy, 3 yyyy-mm-dd, 4 dd/mm/yyyy, other yyyy/mm/dd.
std::string DateText(std::int32_t year, std::int32_t month, std::int32_t day);

std::string UpperText(std::string_view text);
std::string LowerText(std::string_view text);
std::string FirstUpper(std::string_view text);

std::string TextLeft(std::string_view text, std::int32_t width);   // cut or blank-filled behind
std::string TextRight(std::string_view text, std::int32_t width);  // trimmed, blanks in front
std::string LeftStr(std::string_view text, std::int32_t n);
std::string RightStr(std::string_view text, std::int32_t n);
std::string CopyFrom(std::string_view text, std::int32_t pos);  // from pos to the end

std::string TrimBlanks(std::string_view text);  // character 32 only
std::string NoBlanks(std::string_view text);
void ReplaceChar(char oldChar, char newChar, std::string& text);
std::string PointToComma(std::string_view text);
std::string CommaToPoint(std::string_view text);
std::string NoLineBreaks(std::string_view text);  // CR and LF become blanks

std::int32_t LastPos(std::string_view sub, std::string_view text);  // 0 when absent
std::int32_t CountChar(char c, std::string_view text);

// Shorter than maxLen: unchanged; else maxLen < 11: the first maxLen characters; else the first
// and last maxLen / 2 - 2 characters joined by "__".
std::string ShortenText(std::string_view text, std::int32_t maxLen);

// Puts sub over text from pos on, only when it fits entirely; the length never changes.
void OverwriteAt(std::string_view sub, std::string& text, std::int32_t pos);

char IndexLetter(std::int32_t n);  // 1 gives 'A'

// Cuts text into pieces of at most width characters, each ending at the last breakChar before
// the width (else after width characters), into WrapLines[1..count]. The fifth piece carries the
// rest of the text. maxLen is the longest piece (at least 1).
void SplitLines(std::string_view text, char breakChar, std::int32_t width, std::int32_t& maxLen,
                std::int32_t& count);

// Whether a command-line parameter equals the switch, both compared in ASCII upper case.
bool HasParam(std::string_view switchText);
