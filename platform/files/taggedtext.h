// Texts that carry the code page they are stored in. Menu texts of the Latin-script languages are
// Windows-1252 bytes, Korean ones code page 949 and Chinese ones code page 936; a caption made of
// pieces from two of these code pages is held as UTF-8. Whoever shows a text converts it by its
// tag, so a Korean entry kept beside Romanian ones still shows correctly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

inline constexpr std::uint16_t kCodePage1252 = 1252;
inline constexpr std::uint16_t kCodePage949 = 949;
inline constexpr std::uint16_t kCodePage936 = 936;
inline constexpr std::uint16_t kCodePageUtf8 = 65001;

struct TaggedText {
  std::string bytes;
  std::uint16_t codePage = kCodePage1252;
  bool operator==(const TaggedText&) const = default;
};

// The UTF-8 text stored in the code page: 1252 by the program's own table, 949 and 936 through
// the C library's iconv. When iconv cannot open the code page or cannot convert a character,
// the text keeps its UTF-8 bytes and the UTF-8 tag, so it still shows correctly.
TaggedText EncodeTagged(std::string_view utf8, std::uint16_t codePage);
// The text as UTF-8 for showing; bytes a code page cannot read become "?".
std::string TaggedToUtf8(const TaggedText& text);
// Concatenation. Pieces of plain ASCII fit any code page; the result takes the tag of the other
// pieces, or UTF-8 when they carry two different tags.
TaggedText JoinTagged(const std::vector<TaggedText>& pieces);

}  // namespace platform
