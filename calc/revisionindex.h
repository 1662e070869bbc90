#pragma once
// The mark of a change in drawings and the configuration, so both agree.

#include <cstdint>
#include <string>

// Change n in style 0 "a", "b", ..; 1 "1", "2", ..; 2 "A", "B", ..; any other style no mark.
std::string RevisionIndexText(std::uint16_t style, std::int32_t n);
