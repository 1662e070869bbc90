#include "base/draw/fontstyle.h"

#include <gtest/gtest.h>

namespace {

TEST(print_font_style, CodesNamesAndSetsAgreeAndHighCodesUseTheirLowBits) {
  struct Case {
    std::uint16_t code;
    FontStyleSet style;
    const char* name;
  };
  const Case cases[] = {
      {0, {}, ""},
      {3, {true, true, false, false}, "bold italic"},
      {12, {false, false, true, true}, "underline strikeout"},
      {15, {true, true, true, true}, "bold italic underline strikeout"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodeToFontStyle(c.code), c.style) << c.code;
    EXPECT_EQ(FontStyleToCode(c.style), c.code) << c.code;
    std::string name = "old";
    FontStyleName(c.code, name);
    EXPECT_EQ(name, c.name) << c.code;
  }
  // Codes above 15 use their low bits and leave the name as it was.
  EXPECT_EQ(CodeToFontStyle(17), (FontStyleSet{true, false, false, false}));
  EXPECT_EQ(CodeToFontStyle(0xFFF0), FontStyleSet{});
  std::string name = "bold";
  FontStyleName(16, name);
  EXPECT_EQ(name, "bold");
}

}  // namespace
