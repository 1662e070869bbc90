#include "platform/files/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <optional>
#include <set>
#include <string>

namespace {

// One text converted by glibc's iconv; nothing when iconv cannot convert it.
std::optional<std::string> Iconv(const char* to, const char* from, std::string text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out(16 * text.size() + 16, '\0');
  char* inPtr = text.data();
  char* outPtr = out.data();
  size_t inLeft = text.size();
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

std::string Byte(int b) {
  return std::string(1, static_cast<char>(b));
}

// The lossless pair and the display conversion agree with iconv wherever iconv converts; the
// display best-fits the CP850 characters 1252 lacks.
TEST(CodePage, Cp850ToAnsiAndDisplayAsIconvDoes) {
  std::string bestFits;
  for (int b = 0; b < 256; ++b) {
    const auto expected = Iconv("CP1252", "CP850", Byte(b));
    if (expected) {
      EXPECT_EQ(platform::OemToAnsi(Byte(b)), *expected) << "CP850 byte " << b;
      EXPECT_EQ(platform::OemToDisplay(Byte(b)), *expected) << "CP850 byte " << b;
    } else {
      bestFits += platform::OemToDisplay(Byte(b));
    }
  }
  // Shades, single and double box drawing (vertical, corners and tees, horizontal), dotless i,
  // full and half blocks, double low line, square.
  EXPECT_EQ(bestFits, "___||||++++++|-|++++|-+i++_____");
}

TEST(CodePage, AnsiAndTypedTextToCp850AsIconvDoes) {
  for (int b = 0; b < 256; ++b) {
    const auto expected = Iconv("CP850", "CP1252", Byte(b));
    const std::string back = platform::DisplayToOem(Byte(b));
    if (expected) {
      EXPECT_EQ(platform::AnsiToOem(Byte(b)), *expected) << "1252 byte " << b;
      EXPECT_EQ(back, *expected) << "1252 byte " << b;
      EXPECT_EQ(platform::OemToDisplay(back), Byte(b)) << "1252 byte " << b;
    } else {
      EXPECT_LT(static_cast<unsigned char>(back[0]), 0x80) << "1252 byte " << b;
    }
  }
  EXPECT_EQ(platform::DisplayToOem("\x93quoted\x94 \x96 \x80 5 \x81"), "\"quoted\" - E 5 ?");
}

TEST(CodePage, EveryByteSurvivesThePairBothWays) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += Byte(b);
  EXPECT_EQ(platform::AnsiToOem(platform::OemToAnsi(all)), all);
  EXPECT_EQ(platform::OemToAnsi(platform::AnsiToOem(all)), all);
  const std::string converted = platform::OemToAnsi(all);
  EXPECT_EQ(std::set<char>(converted.begin(), converted.end()).size(), 256u);
}

TEST(Cp1252Utf8, AgreesWithIconvAndKeepsUnassignedBytes) {
  for (int b = 0; b < 256; ++b) {
    const auto expected = Iconv("UTF-8", "CP1252", Byte(b));
    const std::string utf8 = platform::Cp1252ToUtf8(Byte(b));
    if (expected) {
      EXPECT_EQ(utf8, *expected) << "1252 byte " << b;
    }
    EXPECT_EQ(platform::Utf8ToCp1252(utf8), Byte(b)) << "1252 byte " << b;
  }
  EXPECT_EQ(platform::Cp1252ToUtf8("\x81"), "\xC2\x81");
}

TEST(Cp1252Utf8, UnmappableAndMalformedInputBecomesQuestionMarks) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\u4E2Db", "a?b"},           // not in 1252
      {"\u0080", "?"},               // a C1 control 1252 assigns to the euro sign
      {"\xC3", "?"},                 // truncated
      {"\xC3(", "?("},               // missing continuation
      {"\xC0\xAF", "??"},            // overlong
      {"\xED\xA0\x80", "???"},       // surrogate
      {"\xF4\x90\x80\x80", "????"},  // beyond U+10FFFF
      {"\xFF", "?"},                 // never a lead byte
      {"\xF0\x9F\x98\x80", "?"},     // valid, four bytes, not in 1252
  };
  for (const auto& [utf8, cp1252] : cases) EXPECT_EQ(platform::Utf8ToCp1252(utf8), cp1252) << utf8;
}

TEST(Cp1252Utf8, LettersTheConversionLosesAreNamedOnceEach) {
  EXPECT_EQ(platform::LettersLostInCp1252("Nabe \u010D \u8F74.\u010Dkv6"), "\u010D \u8F74");
  EXPECT_EQ(platform::LettersLostInCp1252("\u00F8\u00D8\u00DF\u20AC\u017D"), "");
  EXPECT_EQ(platform::LettersLostInCp1252("why?\xFF\xC3(\xF0\x9F\x98\x80"), "? \uFFFD \U0001F600");
}

}  // namespace
