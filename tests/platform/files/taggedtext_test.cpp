#include "platform/files/taggedtext.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

// Stored menu texts in every code page are checked against iconv by the language tables' tests;
// these are the texts that cannot be stored in their code page.
TEST(language_tagged_text, UnencodableTextsStayUtf8AndBrokenBytesBecomeMarks) {
  EXPECT_EQ(EncodeTagged("메뉴 😀", 949), (TaggedText{"메뉴 😀", kCodePageUtf8}));
  EXPECT_EQ(EncodeTagged("x", 4711), (TaggedText{"x", kCodePageUtf8}));
  EXPECT_EQ(TaggedToUtf8({"a\xFF", 949}), "a?");
  EXPECT_EQ(TaggedToUtf8({"ok", kCodePageUtf8}), "ok");
}

TEST(language_tagged_text, JoinTakesTheTagOfNonAsciiPieces) {
  const TaggedText korean{"\xB8\xDE\xB4\xBA", 949};
  EXPECT_EQ(JoinTagged({korean, {" &Go", 1252}}), (TaggedText{"\xB8\xDE\xB4\xBA &Go", 949}));
  EXPECT_EQ(JoinTagged({{"a", 949}, {"b", 936}}), (TaggedText{"ab", 1252}));
  EXPECT_EQ(JoinTagged({korean, {" ", 1252}, {"Men\xFC", 1252}}), (TaggedText{"메뉴 Menü", 65001}));
}

}  // namespace
}  // namespace platform
