#pragma once
// Code-page conversions between the DOS code page 850 in which the program stores its texts,
// Windows-1252 in which it shows them, and UTF-8 at the toolkit boundary. All tables are the
// program's own, so the result never depends on the C library or the user's locale.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Windows-1252 <-> UTF-8. The five bytes 1252 leaves unassigned stand for the C1 control of the
// same number, so every byte survives the round trip; a character 1252 lacks becomes "?", and
// so does every byte of malformed UTF-8.
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text);
// The characters of a UTF-8 text that Utf8ToCp1252 cannot keep, as UTF-8, each once in the order
// of their first appearance and separated by blanks; a malformed byte shows as U+FFFD. "?" counts
// among them, since after the conversion it cannot be told from a lost character. Empty for a
// text that converts whole.
std::string LettersLostInCp1252(std::string_view text);

// Lossless CP850 <-> Windows-1252 pair. Every character both code pages hold maps exactly; the
// 31 characters each lacks are paired among themselves, so AnsiToOem(OemToAnsi(t)) == t and
// OemToAnsi(AnsiToOem(t)) == t for every text. Use it wherever a converted text is stored back.
std::uint8_t OemToAnsiChar(std::uint8_t c);
std::uint8_t AnsiToOemChar(std::uint8_t c);
std::string OemToAnsi(std::string_view text);
std::string AnsiToOem(std::string_view text);

// Display conversion CP850 -> Windows-1252 for texts that are only shown: exact where 1252 has
// the character, else a look-alike (box drawing to "|", "+", "-", shades and blocks to "_",
// dotless i to "i"). Keeps the length of the text.
std::uint8_t OemToDisplayChar(std::uint8_t c);
std::string OemToDisplay(std::string_view text);

// Text typed by the user (Windows-1252) back to CP850: exact where CP850 has the character, else
// a look-alike (curly quotes to '"', dashes to "-", the euro sign to "E"; unassigned bytes to
// "?"). Keeps the length of the text.
std::uint8_t DisplayToOemChar(std::uint8_t c);
std::string DisplayToOem(std::string_view text);

}  // namespace platform
