#include "platform/taggedtext.h"

#include <gtest/gtest.h>

namespace {

using platform::TaggedText;

// Stored menu texts in every code page are checked against iconv by the language tables' tests;
// these are the texts that cannot be stored in their code page.
TEST(language_tagged_text, UnencodableTextsStayUtf8AndBrokenBytesBecomeMarks) {
  EXPECT_EQ(platform::EncodeTagged("메뉴 😀", 949), (TaggedText{"메뉴 😀", platform::kCodePageUtf8}));
  EXPECT_EQ(platform::EncodeTagged("x", 4711), (TaggedText{"x", platform::kCodePageUtf8}));
  EXPECT_EQ(platform::TaggedToUtf8({"a\xFF", 949}), "a?");
  EXPECT_EQ(platform::TaggedToUtf8({"ok", platform::kCodePageUtf8}), "ok");
}

TEST(language_tagged_text, JoinTakesTheTagOfNonAsciiPieces) {
  const TaggedText korean{"\xB8\xDE\xB4\xBA", 949};
  EXPECT_EQ(platform::JoinTagged({korean, {" &Go", 1252}}), (TaggedText{"\xB8\xDE\xB4\xBA &Go", 949}));
  EXPECT_EQ(platform::JoinTagged({{"a", 949}, {"b", 936}}), (TaggedText{"ab", 1252}));
  EXPECT_EQ(platform::JoinTagged({korean, {" ", 1252}, {"Men\xFC", 1252}}),
            (TaggedText{"메뉴 Menü", 65001}));
}

}  // namespace
