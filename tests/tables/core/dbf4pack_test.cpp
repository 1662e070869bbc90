#include "tables/core/dbf4pack.h"
#include "enginetest.h"
#include "tables/core/dbf4locate.h"
#include "tables/core/dbf4nav.h"

namespace {

using namespace dadav;
using namespace enginetest;

class PackSearch : public EngineTest {
 protected:
  void MakeTable(int n, const std::vector<int>& deleted = {}) {
    auto fill = [](int i) {
      SetText(1, "item" + std::to_string(i)), SetReal(2, i + 0.5), SetText(3, "abc");
    };
    NewTable(Path("p.dbf"), {Def("NAME", 'C', 10), Def("PRICE", 'N', 8, 2), Def("TAG", 'C', 3)}, n,
             fill, deleted);
  }
};

TEST_F(PackSearch, PackKeepsLiveRecordsInOrder) {
  MakeTable(5, {2, 4});
  EXPECT_TRUE(Pack());
  EXPECT_EQ(std::tuple(RecCount(), RecNo()), std::tuple(3, 1));
  GO(3);
  EXPECT_EQ(FieldText(1), "item5     ");
  CloseAll();
  std::vector<std::uint8_t> bytes = ReadBytes(Path("p.dbf"));
  EXPECT_EQ(std::tuple(bytes.size(), int{bytes[4]}, int{bytes.back()}),
            std::tuple(129u + 3 * 22 + 1, 3, 0x1A));
}

TEST_F(PackSearch, PackWithAllDeletedAndAfterAnError) {
  MakeTable(3, {1, 2, 3});
  EXPECT_TRUE(Pack());
  EXPECT_EQ(std::tuple(RecCount(), dBOF(), dEOF()), std::tuple(0, true, true));
  CloseAll();
  EXPECT_EQ(ReadBytes(Path("p.dbf")).size(), 130u);
  MakeTable(400, {1});
  WithFileSizeLimit(
      129, [] { EXPECT_THROW(Pack(), EDadavError); });  // every write beyond the header fails
  EXPECT_EQ(RecCount(), 400);
  GO(400);
  EXPECT_EQ(FieldText(1), "item400   ");
}

TEST_F(PackSearch, SearchAcrossBlocksAndFields) {
  MakeTable(7000, {6500});
  // the field and record a search lands on
  auto found = [](const char* text, std::int32_t field, bool fromTop) {
    Search(text, field, fromTop);
    return std::pair(field, RecNo());
  };
  EXPECT_EQ(found("ITEM6999", 0, true), std::pair(1, 6999));
  EXPECT_EQ(found("  item65", 0, true), std::pair(0, 6999));
  SetIgnoreDel(true);
  GO(6499);
  EXPECT_EQ(found("item650", 0, false), std::pair(1, 6501));  // the deleted 6500 is hidden
  EXPECT_EQ(found("ABC", 3, false), std::pair(3, 6502));
  EXPECT_EQ(found("5.50abc", 0, true).first, 0);  // spans two fields
}

TEST_F(PackSearch, LocateOptionsAndNumbersUnderAComma) {
  MakeTable(4);
  DecimalChar = ',';
  EXPECT_TRUE(LocateValue("PRICE", LocateVariant{3.5L}, false, 1, false));
  EXPECT_EQ(RecNo(), 3);
  EXPECT_TRUE(LocateValue("NAME", LocateVariant{std::string("ITEM2")}, true, 1, false));
  EXPECT_EQ(RecNo(), 2);
  EXPECT_FALSE(LocateValue("NAME", LocateVariant{std::string("ITEM2")}, false, 1, false));
  EXPECT_THROW(Continue(), EDadavError);
  EXPECT_FALSE(LocateValue("NAME", LocateVariant{std::string("item")}, false, 1, true));
  EXPECT_TRUE(LocateValue("NAME", LocateVariant{std::string("item4")}, false, 1, true));
  EXPECT_EQ(ParseLocateField("name contained"), 1);
  LocateText = "em3";
  LocateFrom(1, 1, true);
  EXPECT_EQ(RecNo(), 3);
  EXPECT_TRUE(LocateFields("TAG;NAME",
                           {LocateVariant{std::string("abc")}, LocateVariant{std::string("item3")}},
                           false, true, false));
  EXPECT_EQ(RecNo(), 3);
  EXPECT_THROW(ParseLocateField("nosuch"), EDadavError);
}

TEST_F(PackSearch, LocateInAnOemTableComparesAnsiText) {
  NewTable(Path("oem.dbf"), {Def("MAT", 'C', 10)}, 1, [](int) {
    SetText(1,
            "Gu\xDF"
            "eisen");
  });  // code page 1252
  CloseAll();
  std::vector<std::uint8_t> bytes = ReadBytes(Path("oem.dbf"));
  EXPECT_EQ(bytes[65 + 3], 0xE1);  // stored as code page 850
  USE(Path("oem.dbf"));
  EXPECT_TRUE(LocateValue("MAT",
                          LocateVariant{std::string("GU\xDF"
                                                    "EISEN")},
                          true, 1, false));
  std::int32_t field = 0;
  Search("gu\xDF", field, true);
  EXPECT_EQ(field, 1);
}

}  // namespace
