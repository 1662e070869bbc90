#include "base/text/utilstr.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"

namespace {

TEST(UtilStr, DateTextByDateCode) {
  InitBrelvar();
  const std::pair<std::uint16_t, const char*> cases[] = {
      {1, "05.03.2024"}, {2, "03/05/2024"}, {3, "2024-03-05"}, {4, "05/03/2024"}, {7, "2024/03/05"},
  };
  for (const auto& [code, text] : cases) {
    DateCode = code;
    EXPECT_EQ(DateText(2024, 3, 5), text) << code;
  }
  DateCode = 3;
  EXPECT_EQ(DateText(812, 12, 31), "812-12-31");
}

TEST(UtilStr, SplitLinesBreaksAfterTheLastBreakCharBeforeTheWidth) {
  InitWbrelvar();
  struct Case {
    const char* text;
    int width, count, maxLen;
    std::vector<std::string> pieces;
  };
  const Case cases[] = {
      {"abc def ghi", 6, 3, 4, {"abc ", "def ", "ghi"}},
      {"", 6, 1, 1, {""}},
      {"abcdefghij", 4, 3, 4, {"abcd", "efgh", "ij"}},
      {"abc", 6, 1, 3, {"abc"}},
      {"ab cdef", 3, 3, 3, {"ab ", "cde", "f"}},
      {"a b c d e f g h", 2, 5, 7, {"a ", "b ", "c ", "d ", "e f g h"}},
      {"abc", 0, 3, 1, {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    std::int32_t maxLen = 0;
    std::int32_t count = 0;
    SplitLines(c.text, ' ', c.width, maxLen, count);
    EXPECT_EQ(count, c.count) << c.text;
    EXPECT_EQ(maxLen, c.maxLen) << c.text;
    for (std::size_t i = 0; i < c.pieces.size(); ++i) EXPECT_EQ(WrapLines[i + 1], c.pieces[i]);
  }
}

TEST(UtilStr, ShortenTextKeepsBothEnds) {
  EXPECT_EQ(std::tuple(ShortenText("short", 10), ShortenText("abcdefghij", 10),
                       ShortenText("abcdefghijkl", 8), ShortenText("abcdefghijk", 11),
                       ShortenText("abcdefghijklmnopqrstuvwxyz", 16)),
            std::tuple("short", "abcdefghij", "abcdefgh", "abc__ijk", "abcdef__uvwxyz"));
}

TEST(UtilStr, EdgesOfCuttingAndPositions) {
  EXPECT_EQ(TextRight("  ab ", 4), "  ab");
  EXPECT_EQ(TextRight("abcdef", 3), "abc");
  EXPECT_EQ(CopyFrom("abcdef", 0), "abcdef");
  EXPECT_EQ(CopyFrom("abc", 4), "");
  EXPECT_EQ(TrimBlanks("  a\tb  "), "a\tb");
  EXPECT_EQ(LastPos("aa", "aaa"), 2);
  EXPECT_EQ(LastPos("", "abc"), 0);
  EXPECT_EQ(CountChar('a', std::string(300, 'a')), 300);
  std::string text = "abcdef";
  OverwriteAt("XY", text, 5);
  OverwriteAt("XYZ", text, 5);
  OverwriteAt("Q", text, 0);
  EXPECT_EQ(text, "abcdXY");
  EXPECT_EQ(UpperText("a\x84z"), "A\x84Z");
}

TEST(UtilStr, HasParamIgnoresAsciiCase) {
  CommandLineParams = {"file.kv6", "/nogui"};
  EXPECT_TRUE(HasParam("/NOGUI"));
  EXPECT_FALSE(HasParam("/I"));
  CommandLineParams.clear();
  EXPECT_FALSE(HasParam("/NOGUI"));
}

}  // namespace
