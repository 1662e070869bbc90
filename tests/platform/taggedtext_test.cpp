#include "platform/taggedtext.h"

#include <gtest/gtest.h>

namespace {

using platform::EncodeTagged;
using platform::JoinTagged;
using platform::TaggedText;
using platform::TaggedToUtf8;

TEST(language_tagged_text, EncodesByCodePageAndFallsBackToUtf8) {
  EXPECT_EQ(EncodeTagged("Menü", 1252), (TaggedText{"Men\xFC", 1252}));
  EXPECT_EQ(EncodeTagged("메뉴", 949), (TaggedText{"\xB8\xDE\xB4\xBA", 949}));
  EXPECT_EQ(EncodeTagged("菜单", 936), (TaggedText{"\xB2\xCB\xB5\xA5", 936}));
  // A character the code page lacks keeps the whole text in UTF-8.
  EXPECT_EQ(EncodeTagged("메뉴 😀", 949), (TaggedText{"메뉴 😀", platform::kCodePageUtf8}));
  EXPECT_EQ(EncodeTagged("x", 4711), (TaggedText{"x", platform::kCodePageUtf8}));
}

TEST(language_tagged_text, DecodesByTagAndMarksBrokenBytes) {
  EXPECT_EQ(TaggedToUtf8({"Men\xFC", 1252}), "Menü");
  EXPECT_EQ(TaggedToUtf8({"\xB8\xDE\xB4\xBA", 949}), "메뉴");
  EXPECT_EQ(TaggedToUtf8({"a\xFF", 949}), "a?");
  EXPECT_EQ(TaggedToUtf8({"ok", platform::kCodePageUtf8}), "ok");
}

TEST(language_tagged_text, JoinTakesTheTagOfNonAsciiPieces) {
  const TaggedText korean{"\xB8\xDE\xB4\xBA", 949};
  const TaggedText german{"Men\xFC", 1252};
  EXPECT_EQ(JoinTagged({korean, {" &Go", 1252}}), (TaggedText{"\xB8\xDE\xB4\xBA &Go", 949}));
  EXPECT_EQ(JoinTagged({{"a", 949}, {"b", 936}}), (TaggedText{"ab", 1252}));
  EXPECT_EQ(JoinTagged({korean, {" ", 1252}, german}), (TaggedText{"메뉴 Menü", 65001}));
}

}  // namespace
