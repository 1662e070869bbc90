#pragma once
// Path texts. Paths use "/" only: "\" and ":" are ordinary name characters here, and there are no
// drive letters. Every routine looks at the last path component only where it looks for a name or
// an extension, so dotted folders ("../x", "v1.2/x") never disturb it.

#include <cstdint>
#include <string>

// The path without surrounding blanks, with "/" appended unless it is empty or already ends in "/".
std::string AddBackslash(const std::string& path);
// The same as AddBackslash (there are no drives to treat apart).
std::string AddBackslashDrive(const std::string& path);
// The path without surrounding blanks and without one trailing "/"; a lone "/" stays.
std::string RemoveBackslash(const std::string& path);
// The path up to and including its last "/"; empty when it has none.
std::string DirOfPath(const std::string& path);
// Always empty: Linux paths have no drive.
std::string DriveOfPath(const std::string& path);
// The last component without its extension (from its last "." on).
std::string NameWithoutExt(const std::string& path);
// DirOfPath plus NameWithoutExt.
std::string PathWithoutExt(const std::string& path);
// The text after the first "." of the last component; empty when it has none.
std::string ExtOfName(const std::string& name);
// The last component cut before its last "." (a "." in its last position does not count).
std::string BareFileName(const std::string& path);
// The text when it fits in width characters, else its first k characters, " ... " and its last
// k + 1 characters, k = width / 2 - 3 (0 for widths below 6).
std::string ShortenMiddle(const std::string& text, std::int32_t width);
// text := text without leading and trailing blanks.
void TrimInPlace(std::string& text);
