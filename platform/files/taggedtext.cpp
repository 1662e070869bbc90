#include "platform/files/taggedtext.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/files/codepage.h"

namespace platform {

namespace {

const char* IconvName(std::uint16_t codePage) {
  switch (codePage) {
    case kCodePage949:
      return "CP949";
    case kCodePage936:
      return "CP936";
    default:
      return nullptr;
  }
}

// Converts the whole text or nothing: false when iconv cannot open the pair or meets a byte
// sequence it cannot convert. With lenient set, such a byte becomes "?" instead.
bool IconvConvert(std::string_view text, const char* to, const char* from, bool lenient,
                  std::string& out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.clear();
  std::vector<char> buffer(4 * text.size() + 16);
  char* in = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  bool ok = true;
  while (inLeft > 0) {
    char* outPtr = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
    if (done != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    if (!lenient) {
      ok = false;
      break;
    }
    out += '?';
    ++in;
    --inLeft;
  }
  iconv_close(cd);
  return ok;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

TaggedText EncodeTagged(std::string_view utf8, std::uint16_t codePage) {
  if (codePage == kCodePage1252) return {Utf8ToCp1252(utf8), kCodePage1252};
  const char* name = IconvName(codePage);
  std::string stored;
  if (name != nullptr && IconvConvert(utf8, name, "UTF-8", false, stored)) {
    return {stored, codePage};
  }
  return {std::string(utf8), kCodePageUtf8};
}

std::string TaggedToUtf8(const TaggedText& text) {
  if (text.codePage == kCodePageUtf8) return text.bytes;
  const char* name = IconvName(text.codePage);
  std::string utf8;
  if (name != nullptr && IconvConvert(text.bytes, "UTF-8", name, true, utf8)) return utf8;
  return Cp1252ToUtf8(text.bytes);
}

TaggedText JoinTagged(const std::vector<TaggedText>& pieces) {
  std::uint16_t tag = 0;
  bool mixed = false;
  for (const TaggedText& piece : pieces) {
    if (IsAscii(piece.bytes)) continue;
    if (tag == 0) {
      tag = piece.codePage;
    } else if (tag != piece.codePage) {
      mixed = true;
    }
  }
  TaggedText joined{"", tag == 0 ? kCodePage1252 : tag};
  if (mixed) joined.codePage = kCodePageUtf8;
  for (const TaggedText& piece : pieces) {
    joined.bytes += mixed ? TaggedToUtf8(piece) : piece.bytes;
  }
  return joined;
}

}  // namespace platform
