// The index files the module writes, read by an NDX reader written apart from it (Debian's
// libdbd-xbase-perl): its walk gives the expected entries and each of its seeks finds its key.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/modules/expr/exprdates.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;

std::string NameOf(int i) {
  return "N" + std::to_string(i % 3 == 0 ? i / 3 : i * 7919 % 100003);
}

double ValueOf(int i) {
  return (i * 37 % 1000) / 4.0 - 50;
}

std::string DateOf(int i) {
  const int month = i % 12 + 1;
  return "20" + std::to_string(10 + i % 17) + (month < 10 ? "0" : "") + std::to_string(month) +
         std::to_string(10 + i % 19);
}

class IndexPerl : public ndxtest::IndexTest {
 protected:
  void SetUp() override {
    IndexTest::SetUp();
    if (!ndxtest::HavePerlReader()) GTEST_SKIP() << "libdbd-xbase-perl missing";
  }

  // A table of `records` with one field of the type, indexed on it; the entries expected.
  std::vector<Entry> Indexed(int records, char type, int length) {
    CloseAll();
    NewTable(Path("p.dbf"), {Def("F", type, type == 'N' ? 10 : length, type == 'N' ? 2 : 0)},
             records, [type](int i) {
               if (type == 'C') SetText(1, NameOf(i));
               if (type == 'N') SetReal(1, ValueOf(i));
               if (type == 'D') PutStoredField(1, DateOf(i));
             });
    MakeIndexExpr("F", Path("p.ndx"));
    std::vector<Entry> entries;
    for (int i = 1; i <= records; ++i) {
      std::string key(type == 'C' ? static_cast<std::size_t>(length) : 8, ' ');
      if (type == 'C') {
        const std::string name = NameOf(i).substr(0, key.size());
        key.replace(0, name.size(), name);
      } else {
        const double value = type == 'N' ? ValueOf(i) : DtosToJulian(DateOf(i));
        StoreNdxDouble(value, reinterpret_cast<std::uint8_t*>(key.data()));
      }
      entries.emplace_back(key, static_cast<std::uint32_t>(i));
    }
    return entries;
  }

  void Agree(int records, char type, int length) {
    SCOPED_TRACE(std::to_string(records) + " records of " + type + std::to_string(length));
    const std::vector<Entry> entries = Indexed(records, type, length);
    EXPECT_EQ(ndxtest::CheckIndexFile(Path("p.ndx"), true).problem, "");
    EXPECT_EQ(ndxtest::PerlDisagreement(Path("p.ndx"), entries, Path("p.txt")), "");
  }
};

TEST_F(IndexPerl, CharacterKeysOfTenBytes) {
  for (int records : {0, 1, 5, 26, 651, 660, 3000, 16901, 20000}) Agree(records, 'C', 10);
}

TEST_F(IndexPerl, CharacterKeysOfTwelveBytes) {
  for (int records : {26, 660, 3000}) Agree(records, 'C', 12);
}

TEST_F(IndexPerl, NumericAndDateKeys) {
  for (int records : {5, 3000, 20000, 31745}) Agree(records, 'N', 8);
  for (int records : {660, 3000}) Agree(records, 'D', 8);
}

TEST_F(IndexPerl, AUniqueIndexHoldsEachKeyOnce) {
  NewTable(Path("u.dbf"), {Def("NAME", 'C', 4)}, 3, [](int i) { SetText(1, i == 3 ? "B" : "A"); });
  MakeIndexExpr("NAME", Path("u.ndx UNIQUE"));
  EXPECT_EQ(ndxtest::PerlDisagreement(Path("u.ndx"), {{"A   ", 1}, {"B   ", 3}}, Path("u.txt")),
            "");
}

}  // namespace
