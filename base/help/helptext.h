#pragma once
// Numbered help texts from the help files beside the help images: shown in a box, drawn as a help
// image, or fetched as one line for hints. Numbers from 4000 up are in the program's own file
// (short name + ".hlp"), lower ones in "brelcor.hlp". Texts are in the DOS code page.

#include <array>
#include <cstdint>
#include <string>

// The help text and image that the help buttons of the next dialog show.
extern std::uint16_t HelpNumber;

std::string HelpFileName(std::uint16_t number);
// number := the value of the first four characters, or -1 when they are not a whole number;
// image := the text after the first ":", trimmed, or "NULL" when the line has none.
void ParseHelpLine(const std::string& line, std::int32_t& number, std::string& image);
std::string HelpNotAvailableText(std::int32_t number);

// Mode 0 box and image, 1 box only, 2 image only, above 2 as 0; number 0 means HelpNumber.
// Ends with AbortFlag clear, so a missing image does not cancel the dialog that asked for help.
void ShowHelpText(std::uint16_t number, const std::string& text, std::uint16_t mode);
// The help text as one line of display text, for hints and labels.
void HelpEntryLine(std::uint16_t number, std::string& text);
void HelpHint(std::uint16_t number, std::string& text);

using HelpLines = std::array<std::string, 5>;
void ShowHelpEntry(const HelpLines& lines, const std::string& image, std::uint16_t mode,
                   std::uint16_t number);
