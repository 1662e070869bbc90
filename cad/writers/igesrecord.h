// The fixed 80-column records of an IGES file: the line layout, Hollerith strings, directory
// fields and the cutting of parameter text into records.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// text, blanks, the pointer field ending in column 72, the section letter and the sequence
// number in seven digits: 80 columns when text and pointer fit in 72.
std::string iges_record(std::string_view text, std::string_view pointer, char section,
                        std::int32_t sequence);
// The byte count, "H" and the text; line breaks become blanks so the record stays one line.
std::string iges_hollerith(std::string_view text);
// A directory field: trimmed, cut to its first eight characters, right-aligned in eight columns.
std::string iges_field(std::string_view text);
// Reals of the parameter and global sections: four decimals, "." as decimal sign.
std::string iges_real(long double v);
// Pieces of at most width bytes: each ends with the last "," outside a Hollerith string among
// its first width - 1 bytes, or holds width bytes when there is none (a long string continues
// in the next piece).
std::vector<std::string> iges_cut(std::string_view text, std::size_t width);
