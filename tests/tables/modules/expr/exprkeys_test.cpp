#include "tables/modules/expr/exprkeys.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace dadav {
namespace {

int Sign(int value) {
  return (value > 0) - (value < 0);
}

int DigitCountOf(const BcdKey& key) {
  return (key[1] >> 2) & 0x1F;
}

TEST(BcdKeys, ZeroHasOneForm) {
  const BcdKey zero = TextToBcdKey("0", 0);
  for (const char* text : {"-0", "0.000", "   ", "", "+0", "-0.00"}) {
    const BcdKey key = TextToBcdKey(text, 2);
    EXPECT_EQ(DigitCountOf(key), 0) << text;
    EXPECT_EQ(key[1] & 0x80, 0) << text;
    EXPECT_EQ(CompareBcdKeys(key, zero), 0) << text;
  }
}

TEST(BcdKeys, ExponentsDigitCountsAndTrailingZeros) {
  EXPECT_EQ(TextToBcdKey("0.001", 3)[0], 50);
  EXPECT_EQ(TextToBcdKey("1", 0)[0], 53);
  EXPECT_EQ(TextToBcdKey("100", 0)[0], 55);
  EXPECT_EQ(DigitCountOf(TextToBcdKey("12.50", 2)), 4);
  EXPECT_EQ(DigitCountOf(TextToBcdKey("12.50", 0)), 10);
  const BcdKey key = TextToBcdKey(" -12.5", 1);
  EXPECT_EQ(key[1] & 0x80, 0x80);
  EXPECT_EQ(key[1] & 3, 1);
  EXPECT_EQ(key[2], 0x12);
  EXPECT_EQ(key[3], 0x50);
  EXPECT_GT(CompareBcdKeys(TextToBcdKey("-5", 0), TextToBcdKey("-50", 0)), 0);
  // Digits beyond the twentieth are dropped and do not move the exponent.
  EXPECT_EQ(TextToBcdKey("123456789012345678901", 0)[0], 52 + 20);
}

std::string Text(double value, int decimals) {
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, result.ptr);
}

// Values exactly as their fixed-point texts with 0 to 4 decimals give them, 1e-4 to 1e12.
std::vector<std::pair<double, int>> KeyedValues() {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> decimalsOf(0, 4);
  std::uniform_int_distribution<int> scaleOf(-4, 12);
  std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
  std::vector<std::pair<double, int>> values = {{0, 0}, {1, 0}, {-1, 0}, {0.001, 3}, {100, 0}};
  for (int i = 0; i < 2000; ++i) {
    const int decimals = decimalsOf(random);
    double value = mantissa(random) * std::pow(10.0, scaleOf(random));
    const std::string text = Text(value, decimals);
    std::from_chars(text.data(), text.data() + text.size(), value);
    values.emplace_back(value, decimals);
  }
  return values;
}

template <typename MakeKey>
void ExpectKeysOrderAsTheNumbers(MakeKey key) {
  const auto values = KeyedValues();
  for (std::size_t i = 0; i + 1 < values.size(); ++i) {
    for (std::size_t j : {i + 1, (i * 7919) % values.size()}) {
      const auto [a, da] = values[i];
      const auto [b, db] = values[j];
      const int expected = (a > b) - (a < b);
      EXPECT_EQ(Sign(CompareBcdKeys(key(a, da), key(b, db))), expected)
          << Text(a, da) << " vs " << Text(b, db);
    }
  }
}

TEST(BcdKeys, ComparisonSignsFollowTheNumbers) {
  ExpectKeysOrderAsTheNumbers([](double v, int d) { return TextToBcdKey(Text(v, d), d); });
}

TEST(BcdKeys, KeysOfFloatsCompareAsTheFloats) {
  ExpectKeysOrderAsTheNumbers([](double v, int d) { return FloatToBcdKey(d, v); });
  EXPECT_EQ(DigitCountOf(FloatToBcdKey(2, 12.5)), 4);
  EXPECT_EQ(FloatToBcdKey(0, -0.4), TextToBcdKey("0", 0));
}

TEST(Soundex, CodesOfNamesAndOddTexts) {
  EXPECT_EQ(SoundexCode("ROBERT"), "R163");
  EXPECT_EQ(SoundexCode("Smith"), "S530");
  EXPECT_EQ(SoundexCode("ASHCRAFT"), "A226");
  EXPECT_EQ(SoundexCode("1ABC"), "1120");
  EXPECT_EQ(SoundexCode(""), "0000");
  EXPECT_EQ(SoundexCode("A"), "A000");
  EXPECT_EQ(SoundexCode("B-B-B"), "B000");
}

TEST(TextHelpers, PaddingAndBlockSwaps) {
  EXPECT_EQ(ZeroPadInt(7, 3), "007");
  EXPECT_EQ(ZeroPadInt(12345, 2), "12345");
  EXPECT_EQ(UpperAscii("ab\xE4z"), "AB\xE4Z");
  std::uint8_t buffer[] = {'a', 'b', 'c', '1', '2'};
  SwapBlocks(buffer, 3, 2);
  EXPECT_EQ(std::string(buffer, buffer + 5), "12abc");
  SwapBlocks(buffer, 0, 5);
  EXPECT_EQ(std::string(buffer, buffer + 5), "12abc");
}

// Buffers of exactly their size, so the sanitizer sees any byte read or written past it.
std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string String(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(CStrings, StayInsideTheirBuffers) {
  const auto terminated = Bytes(std::string_view("hello\0xy", 8));
  const auto unterminated = Bytes("abc");
  EXPECT_EQ(CStrLen(terminated.data(), terminated.size()), 5u);
  EXPECT_EQ(CStrLen(unterminated.data(), unterminated.size()), 3u);
  EXPECT_EQ(CStrToText(terminated.data(), terminated.size(), 3), "hel");
  EXPECT_EQ(CStrToText(terminated.data(), terminated.size(), 50), "hello");
  EXPECT_EQ(CStrToText(unterminated.data(), unterminated.size(), 50), "abc");

  auto target = Bytes("########");
  CStrCopy(target.data(), target.size(), terminated.data(), terminated.size());
  EXPECT_EQ(String(target), std::string("hello\0##", 8));
  CStrCopy(target.data(), target.size(), unterminated.data(), unterminated.size());
  EXPECT_EQ(String(target), std::string("abc\0o\0##", 8));
  auto small = Bytes("####");
  CStrCopy(small.data(), small.size(), terminated.data(), terminated.size());
  EXPECT_EQ(String(small), std::string("hel\0", 4));
  CStrCopy(small.data(), 0, terminated.data(), terminated.size());
  EXPECT_EQ(String(small), std::string("hel\0", 4));

  TextToCStr(small.data(), small.size(), "wxyz");
  EXPECT_EQ(String(small), std::string("wxy\0", 4));
}

TEST(PoolRings, OldestFirstAndRemovalFromTheHead) {
  PoolBlock* head = nullptr;
  EXPECT_EQ(RingRemove(head), nullptr);
  for (std::uint8_t i = 1; i <= 3; ++i) {
    std::uint8_t* payload = PoolAlloc(head, 16);
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(payload[15], 0);
    payload[0] = i;
  }
  std::vector<int> order;
  for (PoolBlock* b = RingNext(head, nullptr); b != nullptr; b = RingNext(head, b))
    order.push_back(b->Payload()[0]);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  PoolBlock* newest = RingRemove(head);
  EXPECT_EQ(newest->Payload()[0], 3);
  EXPECT_EQ(head->Payload()[0], 2);
  PoolFree(newest);
  PoolFreeAll(head);
  EXPECT_EQ(head, nullptr);
}

}  // namespace
}  // namespace dadav
