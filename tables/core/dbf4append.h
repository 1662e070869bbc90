#pragma once
// Appending the records of another table (open in an area or a file on disk) to the current
// table, fields matched by name and converted between types.

#include <cstdint>
#include <string>

namespace dadav {

// The area that holds a source opened from disk for the time of one append.
constexpr std::uint8_t kScratchArea = 35;

void AppendFrom(const std::string& source);

}  // namespace dadav
