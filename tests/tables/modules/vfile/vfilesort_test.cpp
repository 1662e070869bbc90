#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <random>

#include "tests/tables/modules/vfile/vfiletest.h"

namespace {

using vfiletest::allocationRefusedAt;
using vfiletest::keyFailsAtCall;
using vfiletest::Record;
using vfiletest::VFileTest;
using Strings = std::vector<std::string>;

TEST(SortKey, NumbersOnlyWhenTheWholeTextIsOneFiniteNumber) {
  for (const char* text : {"10", " -2.5 ", "1e3", "0.", ".5"})
    EXPECT_TRUE(dadav::MakeSortKey(text).numeric) << text;
  for (const char* text : {"", "  ", "1a", "1,5", "+1", "inf", "nan", "0x1A", "1 2", "1e999"})
    EXPECT_FALSE(dadav::MakeSortKey(text).numeric) << text;
  EXPECT_EQ(dadav::MakeSortKey(std::string(150, 'k')).text.size(), 100u);
  EXPECT_LT(dadav::CompareSortKeys(dadav::MakeSortKey("9"), dadav::MakeSortKey("10")), 0);
  EXPECT_LT(dadav::CompareSortKeys(dadav::MakeSortKey("a"), dadav::MakeSortKey("\xe4")), 0);
  EXPECT_LT(dadav::CompareSortKeys(dadav::MakeSortKey("ab"), dadav::MakeSortKey("abc")), 0);
  EXPECT_EQ(dadav::CompareSortKeys(dadav::MakeSortKey("2"), dadav::MakeSortKey(" 2.0")), 0);
}

// A key's number is the value the library reads from the text, to the last bit, whichever way
// the text is read: short decimals, long ones, signs, points at either end, exponents.
TEST(SortKey, NumbersAreWhatTheLibraryReads) {
  std::vector<std::string> texts{"-0",
                                 "0.",
                                 ".5",
                                 "-.5",
                                 "-",
                                 ".",
                                 "1.2.3",
                                 "1-2",
                                 "--1",
                                 "999999999999999",
                                 "9999999999999999",
                                 "0.000000000000001",
                                 "123456789012345.",
                                 "1e5",
                                 "-1e-5",
                                 "00000000000000012",
                                 " 7 ",
                                 "0.1",
                                 "-0.0"};
  std::mt19937 random(9);
  for (int i = 0; i < 20000; ++i) {
    std::string text = random() % 4 == 0 ? "-" : "";
    const std::size_t digits = 1 + random() % 18;
    const std::size_t point = random() % (digits + 2);
    for (std::size_t d = 0; d < digits; ++d) {
      if (d == point) text += '.';
      text += static_cast<char>('0' + random() % 10);
    }
    if (point == digits) text += '.';
    texts.push_back(text);
  }
  for (const std::string& text : texts) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    double expected = 0;
    const auto [stop, error] =
        std::from_chars(text.data() + first, text.data() + last + 1, expected);
    const bool number = error == std::errc() && stop == text.data() + last + 1;
    const dadav::VFileSortKey key = dadav::MakeSortKey(text);
    ASSERT_EQ(key.numeric, number) << text;
    if (number) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(key.value), std::bit_cast<std::uint64_t>(expected))
          << text;
    }
  }
}

TEST_F(VFileTest, SortedAppendsFollowTheKeys) {
  Open(" ASCENDING");
  for (const char* key : {"10", "9", "100"}) Add(key);
  EXPECT_EQ(Names(), (Strings{"9", "10", "100"}));
  dadav::VFileRequest(*dadav::Area(), 12);
  for (const char* key : {"b", "a10", "a9"}) Add(key);
  EXPECT_EQ(Names(), (Strings{"a10", "a9", "b"}));
}

TEST_F(VFileTest, SortModeOnlyThroughSortVFileOnceFilled) {
  Open();
  for (const char* key : {"e", "d", "c", "b", "a"}) Add(key);
  EXPECT_EQ(Failure([] { dadav::Set_VFileMode_To(3); }),
            std::pair(std::uint16_t{1100},
                      std::string("Cannot set a sort mode on a virtual file containing records. "
                                  "(NAMES) [(Set_VFileMode_To) VFiles]")));
  EXPECT_EQ(dadav::Get_VFileMode(), 0);
  dadav::GO(3);
  dadav::SortVFile(3);
  EXPECT_EQ(Names(), (Strings{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(dadav::Get_VFileMode(), 3);
  EXPECT_EQ(dadav::RecNo(), 1);
  EXPECT_EQ(Current().name, "a");
  dadav::Set_VFileMode_To(3);
  dadav::Set_VFileMode_To(1);
  EXPECT_EQ(dadav::Get_VFileMode(), 1);
}

TEST_F(VFileTest, SortingAnEmptyFileSetsTheMode) {
  Open();
  dadav::SortVFile(4);
  EXPECT_EQ(dadav::RecCount(), 0);
  EXPECT_EQ(dadav::Get_VFileMode(), 4);
}

TEST_F(VFileTest, SortAndSortedAppendNeedAKeyProcedure) {
  Open(" ASCENDING", false);
  Add("b");  // the first record needs no key
  EXPECT_EQ(Failure([this] { Add("a"); }),
            std::pair(std::uint16_t{1100},
                      std::string("NAMES is a \"Sorted\" virtual file with no keymaker function. "
                                  "[Append/InsertRec/PushRec]")));
  EXPECT_EQ(Names(), (Strings{"b"}));
  EXPECT_EQ(
      Failure([] { dadav::SortVFile(3); }),
      std::pair(std::uint16_t{1100},
                std::string("NAMES has no KeyMaker.  Records cannot be sorted. [SortVFile]")));
  dadav::Set_VFileKey_To(&vfiletest::NameKey, nullptr);
  EXPECT_EQ(
      Failure([] { dadav::SortVFile(2); }),
      std::pair(std::uint16_t{220}, std::string("Sort mode not ASCENDING or DESCENDING for NAMES "
                                                "[(SortVFile) VFiles]")));
  dadav::USE("");
  EXPECT_EQ(
      Failure([] { dadav::SortVFile(3); }),
      std::pair(std::uint16_t{215}, std::string("No database in use [SortVFile]  WorkArea = 1")));
}

// A key procedure that fails part-way, or memory running short, leaves the file as it was:
// every record, its order, its mode and the position.
TEST_F(VFileTest, FailedSortLosesNothing) {
  Open();
  for (const char* key : {"d", "a", "c", "b"}) Add(key);
  dadav::GO(3);
  const std::vector<Record> before = Records();
  const Record current = Current();
  for (int call : {1, 3, 4}) {
    keyFailsAtCall = call;
    EXPECT_EQ(Failure([] { dadav::SortVFile(3); }).first, 220);
    allocationRefusedAt = 1;
    EXPECT_EQ(Failure([] { dadav::SortVFile(4); }),
              std::pair(std::uint16_t{217},
                        std::string("Not enough HEAP memory to sort NAMES [SortVFile]")));
    EXPECT_EQ(Records(), before);
    EXPECT_EQ(dadav::Get_VFileMode(), 0);
    EXPECT_EQ(dadav::RecNo(), 3);
    EXPECT_EQ(Current(), current);
  }
}

// A rewritten record moves to its new key's place; without a key procedure it stays as it was.
TEST_F(VFileTest, SortedRewriteMovesTheRecordOrKeepsIt) {
  Open(" ASCENDING");
  for (const char* key : {"b", "d", "f", "h"}) Add(key);
  dadav::GO(2);
  Fill("g", 7);
  dadav::Replace();
  EXPECT_EQ(Names(), (Strings{"b", "f", "g", "h"}));
  EXPECT_EQ(dadav::RecNo(), 3);

  Fill("a", 8);
  dadav::Set_VFileKey_To(nullptr, nullptr);
  EXPECT_EQ(Failure([] { dadav::Replace(); }).first, 1100);
  EXPECT_EQ(Records()[2], (Record{"g", 7}));
}

std::vector<std::string> RandomKeys(std::mt19937& random, bool numeric, int count) {
  std::uniform_int_distribution<int> pick(0, 40);
  std::vector<std::string> keys;
  for (int i = 0; i < count; ++i) {
    const int value = pick(random);
    keys.push_back(numeric ? std::to_string(value - 20) + "." + std::to_string(value % 7)
                           : std::string(value % 3 == 0 ? "8 bytes:" : "") +
                                 static_cast<char>('a' + value % 5) +
                                 static_cast<char>(0xe0 + value / 5));
  }
  return keys;
}

// SortVFile orders like a stable sort of the same keys, ascending and descending; some texts
// share their first eight bytes.
TEST_F(VFileTest, SortVFileEqualsStableSort) {
  std::mt19937 random(7);
  for (bool numeric : {false, true}) {
    for (std::uint8_t mode : {std::uint8_t{3}, std::uint8_t{4}}) {
      const std::vector<std::string> keys = RandomKeys(random, numeric, 500);
      Open(" INSERTION");
      dadav::Set_VFileMode_To(0);
      for (std::size_t i = 0; i < keys.size(); ++i) Add(keys[i], static_cast<std::int32_t>(i));
      dadav::SortVFile(mode);
      std::vector<std::int32_t> expected(keys.size());
      for (std::size_t i = 0; i < keys.size(); ++i) expected[i] = static_cast<std::int32_t>(i);
      std::stable_sort(expected.begin(), expected.end(), [&](std::int32_t a, std::int32_t b) {
        const auto& ka = keys[static_cast<std::size_t>(a)];
        const auto& kb = keys[static_cast<std::size_t>(b)];
        if (numeric) {
          const double va = std::stod(ka), vb = std::stod(kb);
          return mode == 3 ? va < vb : vb < va;
        }
        return mode == 3 ? ka < kb : kb < ka;
      });
      std::vector<std::int32_t> ids;
      for (const Record& r : Records()) ids.push_back(r.id);
      EXPECT_EQ(ids, expected) << (numeric ? "numeric " : "text ") << int{mode};
    }
  }
}

// Keys that are all numbers sort by value alone, equal values (-0 and 0 among them) in the order
// they were added, whether the values differ in their sign, their exponent or only in their
// last bits; and a file whose keys all hold one value keeps its order.
TEST_F(VFileTest, NumericSortOfTrickyValuesEqualsStableSort) {
  const std::vector<std::string> pool{
      "-0",     "0",    "0.0",  "-0.0",      "1e-310",   "-1e-310",   "4.9e-324", "1e300",
      "-1e300", "-1",   "1",    "1.0000001", "1.000001", "-1.000001", "0.1",      "0.3",
      "-0.3",   "1e-5", "2e-5", "123456.78", "-2",       "7",         "7.0",      "07"};
  std::mt19937 random(5);
  std::vector<std::vector<std::string>> files(1);
  for (int i = 0; i < 400; ++i) files[0].push_back(pool[random() % pool.size()]);
  files.push_back({"7", "7.0", "07", " 7", "7.", "7"});
  for (const std::vector<std::string>& keys : files) {
    for (std::uint8_t mode : {std::uint8_t{3}, std::uint8_t{4}}) {
      Open();
      for (std::size_t i = 0; i < keys.size(); ++i) Add(keys[i], static_cast<std::int32_t>(i));
      dadav::SortVFile(mode);
      std::vector<std::int32_t> expected(keys.size());
      for (std::size_t i = 0; i < keys.size(); ++i) expected[i] = static_cast<std::int32_t>(i);
      std::stable_sort(expected.begin(), expected.end(), [&](std::int32_t a, std::int32_t b) {
        const double va = dadav::MakeSortKey(keys[static_cast<std::size_t>(a)]).value;
        const double vb = dadav::MakeSortKey(keys[static_cast<std::size_t>(b)]).value;
        return mode == 3 ? va < vb : vb < va;
      });
      std::vector<std::int32_t> ids;
      for (const Record& r : Records()) ids.push_back(r.id);
      EXPECT_EQ(ids, expected) << keys.size() << " keys, mode " << int{mode};
    }
  }
}

// Numbers and texts mixed compare without a total order; the sort still keeps every record and
// gives the same order every time.
TEST_F(VFileTest, MixedKeysKeepEveryRecordAndRepeatTheOrder) {
  std::mt19937 random(11);
  std::vector<std::string> keys = RandomKeys(random, true, 300);
  const std::vector<std::string> texts = RandomKeys(random, false, 300);
  for (std::size_t i = 0; i < keys.size(); i += 2) keys[i] = texts[i];
  keys[0] = "1a";
  keys[1] = "9";
  keys[2] = "10";
  std::vector<Record> first;
  for (int run = 0; run < 2; ++run) {
    Open();
    for (std::size_t i = 0; i < keys.size(); ++i) Add(keys[i], static_cast<std::int32_t>(i));
    dadav::SortVFile(3);
    const std::vector<Record> sorted = Records();
    std::vector<std::int32_t> ids;
    for (const Record& r : sorted) ids.push_back(r.id);
    std::sort(ids.begin(), ids.end());
    for (std::size_t i = 0; i < ids.size(); ++i) ASSERT_EQ(ids[i], static_cast<std::int32_t>(i));
    if (run == 0)
      first = sorted;
    else
      EXPECT_EQ(sorted, first);
  }
}

}  // namespace
