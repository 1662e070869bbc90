#include "base/text/displaytext.h"

#include <gtest/gtest.h>

#include <string>

#include "base/settings/brelvar.h"

namespace {

class DisplayText : public testing::Test {
 protected:
  void SetUp() override { InitBrelvar(); }
};

TEST_F(DisplayText, TextsOfAnyLengthAreConverted) {
  for (std::size_t length : {254u, 255u, 1000u}) {
    const std::string stored(length, '\x84');
    EXPECT_EQ(ToDisplayText(stored), std::string(length, '\xE4')) << length;
    EXPECT_EQ(FromDisplayText(std::string(length, '\xE4')), stored) << length;
  }
}

TEST_F(DisplayText, TransliteratingModeSpellsOutAndKeepsTheRest) {
  TextCharMode = 1;
  const std::pair<const char*, const char*> cases[] = {
      // clang-format off
      {"\x84", "ae"}, {"\x8E\x99\x9A\x94\x81\xE1", "AeOeUeoeuess"}, {"N/mm\xFD", "N/mm2"},
      {"\x82\xA0\xA3\xA4\xE6", "eaunu"}, {"d1 \xF1 0,1 \xF8", "d1 +/- 0,1 deg"}, {"a|b", "a|b"},
      // Not spelled out, so converted: superscript three as 1252's, accented letters, box drawing.
      {"mm\xFC", "mm\xB3"}, {"\x87\xA1", "\xE7\xED"}, {"\xC4\xCD\xB3\xDA", "--|+"},
      // clang-format on
  };
  for (const auto& [stored, shown] : cases) EXPECT_EQ(ToDisplayText(stored), shown) << stored;
  EXPECT_EQ(Transliterate("\x84\xFC|"), "ae\xFC|");
  EXPECT_EQ(OemToAnsiTable("\x84"), "ae");
  TextCharMode = 0;
  EXPECT_EQ(ToDisplayText("\x84\xFD|"), "\xE4\xB2|");
  EXPECT_EQ(OemToAnsiTable("\x84"), "\xE4");
}

TEST_F(DisplayText, CadTextFollowsCadTextMode) {
  for (const auto& [mode, text] : {std::pair<std::uint16_t, const char*>{1, "\x84\xF8"},
                                   {2, "\xE4\xB0"},
                                   {3, "aedeg"},
                                   {7, "\x84\xF8"}}) {
    CadTextMode = mode;
    EXPECT_EQ(CadText("\x84\xF8"), text) << mode;
  }
}

}  // namespace
