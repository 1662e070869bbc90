#include "platform/qt/qttext.h"

#include <gtest/gtest.h>

namespace platform::qt {
namespace {

TEST(QtText, MenuTextsConvertFromTheirCodePage) {
  const struct {
    std::uint16_t codePage;
    const char* text;
    const char* utf8;
  } cases[] = {
      {1252, "\x80 \x96 \xe4", "\u20ac \u2013 \u00e4"},  // 0x80-0x9F are not Latin-1
      {949, "\xb0\xa1", "\uac00"},
      {936, "\xc4\xe3", "\u4f60"},
      {949,
       "a\xff"
       "b",
       "a?b"},  // a byte the code page lacks
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(MenuTextToQString(c.text, c.codePage), QString::fromUtf8(c.utf8));
  }
}

TEST(QtText, WindowsTextsRoundTripAndAccessKeysCanBeDropped) {
  const std::string all = "\x80\x8a\x9f\xa0\xff &&x";
  EXPECT_EQ(FromQString(ToQString(all)), all);
  EXPECT_EQ(WithoutAccessKey("&Help && E&xit&"), QString("Help & Exit&"));
}

}  // namespace
}  // namespace platform::qt
