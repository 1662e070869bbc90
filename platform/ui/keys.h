// Key codes of the drawing surface's key events: the Windows virtual-key numbering that the
// program's key tables use. Letters and digits are their upper-case ASCII codes.
#pragma once

#include <cstdint>

namespace platform::keys {

inline constexpr std::uint16_t kBackspace = 8;
inline constexpr std::uint16_t kTab = 9;
inline constexpr std::uint16_t kEnter = 13;
inline constexpr std::uint16_t kEscape = 27;
inline constexpr std::uint16_t kSpace = 32;
inline constexpr std::uint16_t kPageUp = 33;
inline constexpr std::uint16_t kPageDown = 34;
inline constexpr std::uint16_t kEnd = 35;
inline constexpr std::uint16_t kHome = 36;
inline constexpr std::uint16_t kLeft = 37;
inline constexpr std::uint16_t kUp = 38;
inline constexpr std::uint16_t kRight = 39;
inline constexpr std::uint16_t kDown = 40;
inline constexpr std::uint16_t kInsert = 45;
inline constexpr std::uint16_t kDelete = 46;
inline constexpr std::uint16_t kNumpadAdd = 107;
inline constexpr std::uint16_t kNumpadSubtract = 109;
inline constexpr std::uint16_t kF1 = 112;  // F2 .. F12 follow

}  // namespace platform::keys
