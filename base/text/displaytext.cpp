#include "base/text/displaytext.h"

#include <array>

#include "base/settings/brelvar.h"
#include "platform/files/codepage.h"

namespace {

// Spelling of the transliterated code-page-850 characters; nullptr keeps the character.
constexpr std::array<const char*, 256> MakeSpellings() {
  std::array<const char*, 256> spell{};
  spell[0x8E] = "Ae";
  spell[0x99] = "Oe";
  spell[0x9A] = "Ue";
  spell[0x84] = "ae";
  spell[0x94] = "oe";
  spell[0x81] = "ue";
  spell[0xE1] = "ss";
  spell[0x82] = "e";
  spell[0xA0] = "a";
  spell[0xA3] = "u";
  spell[0xA4] = "n";
  spell[0xE6] = "u";
  spell[0xF1] = "+/-";
  spell[0xF8] = "deg";
  spell[0xFD] = "2";
  spell[0xC4] = "-";
  spell[0xCD] = "-";
  return spell;
}
constexpr std::array<const char*, 256> kSpellings = MakeSpellings();

}  // namespace

std::string Transliterate(std::string_view text) {
  std::string result;
  result.reserve(text.size() + text.size() / 4);
  for (char c : text) {
    const char* spelling = kSpellings[static_cast<unsigned char>(c)];
    if (spelling != nullptr) {
      result += spelling;
    } else {
      result += c;
    }
  }
  return result;
}

std::string OemToAnsiTable(std::string_view text) {
  if (TextCharMode == 1) return platform::OemToDisplay(Transliterate(text));
  return platform::OemToDisplay(text);
}

std::string PathInText(std::string_view path) {
  return platform::AnsiToOem(path);
}

std::string TextAsPath(std::string_view text) {
  return platform::OemToAnsi(text);
}

std::string ToDisplayText(std::string_view text) {
  return OemToAnsiTable(text);
}

std::string FromDisplayText(std::string_view text) {
  return platform::DisplayToOem(text);
}

std::string StoredAfterEdit(std::string_view shown, std::string_view stored) {
  if (shown == ToDisplayText(stored)) return std::string(stored);
  return platform::AnsiToOem(shown);
}

std::string CadText(std::string_view text) {
  switch (CadTextMode) {
    case 2:
      return ToDisplayText(text);
    case 3:
      return Transliterate(text);
    default:
      return std::string(text);
  }
}
