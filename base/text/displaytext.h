#pragma once
// Stored texts (code page 850) for windows, message boxes, printers, the report viewer and CAD
// files (Windows-1252), and typed texts back. Texts of any length are converted.

#include <string>
#include <string_view>

// TextCharMode 1: Transliterate, then OemToAnsiTable; otherwise the display conversion of
// platform/files/codepage.h (exact where 1252 has the character, box drawing as "|", "+", "-").
std::string ToDisplayText(std::string_view text);

// A path (held in Windows-1252) placed in a stored text that is shown through ToDisplayText:
// turned into code page 850 by the lossless pair, so that the display shows the path's own
// characters instead of converting them a second time.
std::string PathInText(std::string_view path);
// The reverse: a typed answer (code page 850, as FromDisplayText gives it) that names a file or
// folder, back in the Windows-1252 in which the program holds paths.
std::string TextAsPath(std::string_view text);

// Typed Windows-1252 text back to code page 850, same length; every character both code pages
// hold maps back exactly.
std::string FromDisplayText(std::string_view text);

// A stored text shown through ToDisplayText, read back from the control that shows it. While the
// control still shows what it was filled with, the stored bytes come back as they were: the
// display may have spelled characters out or best-fitted them, which no conversion undoes. A text
// the user changed comes back through the lossless pair, so every typed character is kept.
std::string StoredAfterEdit(std::string_view shown, std::string_view stored);

// Umlauts, sharp s and a few signs spelled out in ASCII ("\x84" to "ae", "\xF1" to "+/-", "\xF8"
// to "deg", "\xFD" to "2", "\xC4" and "\xCD" to "-"); every other character stays.
std::string Transliterate(std::string_view text);

// Transliterate first when TextCharMode is 1; then the display conversion.
std::string OemToAnsiTable(std::string_view text);

// Text for CAD files by CadTextMode: 2 ToDisplayText, 3 Transliterate, others unchanged.
std::string CadText(std::string_view text);
