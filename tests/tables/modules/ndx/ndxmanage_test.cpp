#include "tables/modules/ndx/ndxmanage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4pack.h"
#include "tables/core/tztext.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;

void NameMaker(void*, std::uint8_t, std::string& key) {
  key = FieldText(1);
}

class IndexManage : public ndxtest::IndexTest {
 protected:
  void SetUp() override {
    IndexTest::SetUp();
    NewTable(Path("m.dbf"),
             {Def("NAME", 'C', 10), Def("QTY", 'N', 10, 2), Def("PRICE", 'N', 10, 2),
              Def("CODE", 'C', 10), Def("BORN", 'D', 8)},
             6, [](int i) {
               SetText(1, "N" + std::to_string(7 - i));
               SetReal(2, i % 2 == 0 ? i : -i);
               SetReal(3, i * 1.25);
               SetText(4, "C" + std::to_string(i));
               PutStoredField(5, "2026030" + std::to_string(i));
             });
  }
};

TEST_F(IndexManage, OrdersOutsideOneToSixteenAreRefused) {
  MakeIndexExpr("NAME", Path("a.ndx"));
  for (std::uint8_t order : {std::uint8_t{0}, std::uint8_t{17}}) {
    EXPECT_THROW(SetIndexTo(Path("a.ndx"), order, nullptr, nullptr), EDadavError);
    EXPECT_EQ(LastErrorCode, 220);
  }
  EXPECT_THROW(SetIndexTo(Path("none.ndx"), 1, nullptr, nullptr), EDadavError);
  EXPECT_EQ(LastErrorCode, 2);
  EXPECT_FALSE(SetIndexTo("  ", 1, nullptr, nullptr)) << "an empty name does nothing";
}

TEST_F(IndexManage, KeyMakerIndexesAndExpressionIndexesDoNotMix) {
  MakeIndexCB(Path("k.ndx DESCENDING"), &NameMaker, nullptr);
  IndexInfoRecord info;
  IndexInfo(info, Path("k.ndx"));
  EXPECT_EQ(info.expression, "USERDEFINEDKEYMAKERWASUSEDTOBUILDTHISINDEX");
  EXPECT_THROW(SetIndexTo(Path("k.ndx"), 1, nullptr, nullptr), EDadavError);
  EXPECT_EQ(LastErrorCode, 223);
  MakeIndexExpr("NAME", Path("e.ndx"));
  EXPECT_THROW(SetIndexTo(Path("e.ndx"), 1, &NameMaker, nullptr), EDadavError);
  EXPECT_EQ(LastErrorCode, 223);
  SetIndexToCB(Path("k.ndx DESCENDING"), 1, &NameMaker, nullptr);
  Find("N6");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 1);
}

TEST_F(IndexManage, TheControllingOrderMovesBetweenSlots) {
  MakeIndexExpr("NAME", Path("a.ndx"));
  MakeIndexExpr("CODE", Path("b.ndx"));
  CloseAndSetIndexTo(Path("a.ndx") + " " + Path("b.ndx"));
  EXPECT_EQ(CurrentOrder(), 1);
  GoTop();
  EXPECT_EQ(RecNo(), 6);
  Set_Order_To(2);
  EXPECT_EQ(CurrentOrder(), 2);
  GoTop();
  EXPECT_EQ(RecNo(), 1);
  Set_Order_To(0);
  EXPECT_EQ(CurrentOrder(), 0);
  Set_Order_To(1);
  GoTop();
  EXPECT_EQ(RecNo(), 6);
  EXPECT_THROW(Set_Order_To(3), EDadavError);
  EXPECT_EQ(LastErrorCode, 221);
}

// With order 2 controlling, a refused order 3 must not move order 1 back into slot 1 under
// the node cache of order 2: the next APPEND would write a.ndx through b.ndx's nodes.
TEST_F(IndexManage, ARefusedOrderLeavesTheControllingIndexAndItsNodeCache) {
  CloseAll();
  const auto name = [](int i) { return "N" + std::to_string(1000 + i); };
  NewTable(Path("o.dbf"), {Def("NAME", 'C', 10), Def("CODE", 'C', 10)}, 100, [&](int i) {
    SetText(1, name(i));
    SetText(2, "C" + std::to_string(2000 - i));
  });
  MakeIndexExpr("NAME", Path("a.ndx"));
  MakeIndexExpr("CODE", Path("b.ndx"));
  CloseAndSetIndexTo(Path("a.ndx") + " " + Path("b.ndx"));
  Set_Order_To(2);
  GoTop();
  EXPECT_THROW(Set_Order_To(3), EDadavError);
  EXPECT_EQ(LastErrorCode, 221);
  EXPECT_EQ(CurrentOrder(), 2);
  GoTop();
  EXPECT_EQ(RecNo(), 100) << "still in CODE order";
  ClearRecord();
  SetText(1, name(101));
  SetText(2, "C0");
  Append();
  EXPECT_EQ(ndxtest::CheckIndexFile(Path("a.ndx"), true).entries.size(), 101u);
  EXPECT_EQ(ndxtest::CheckIndexFile(Path("b.ndx"), true).entries.size(), 101u);
  Set_Order_To(1);
  for (int i = 1; i <= 101; ++i) {
    Find(name(i));
    ASSERT_TRUE(FindFound) << name(i);
    EXPECT_EQ(RecNo(), i);
  }
}

// A folder or file name with a blank is one name of the list, even beside a file named like
// the part before the blank.
TEST_F(IndexManage, BlanksInsideNamesOfTheListNeverSplitThem) {
  std::filesystem::create_directory(Path("my temp"));
  MakeIndexExpr("NAME", Path("my temp/a.ndx"));
  MakeIndexExpr("CODE", Path("my temp/code index.ndx"));
  MakeIndexExpr("QTY", Path("my.ndx"));
  CloseAndSetIndexTo(Path("my temp/a.ndx") + "  " + Path("my temp/code index.ndx NOCACHE") + " " +
                     Path("my.ndx"));
  std::string file;
  GetIndexFileName(1, file);
  EXPECT_EQ(file, Path("my temp/a.ndx"));
  GetIndexFileName(2, file);
  EXPECT_EQ(file, Path("my temp/code index.ndx"));
  GetIndexFileName(3, file);
  EXPECT_EQ(file, Path("my.ndx"));
  Find("N2");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 5);
  try {
    CloseAndSetIndexTo(Path("my temp/a.ndx") + " " + Path("gone.ndx"));
    ADD_FAILURE() << "a missing index opened";
  } catch (const EDadavError& e) {
    EXPECT_EQ(LastErrorCode, 2);
    EXPECT_NE(std::string(e.what()).find(Path("gone.ndx")), std::string::npos) << e.what();
  }
}

TEST_F(IndexManage, AFileLongerThanItsNextFreeCounterIsRepaired) {
  MakeIndexExpr("NAME", Path("a.ndx"));
  std::vector<std::uint8_t> bytes = ReadBytes(Path("a.ndx"));
  bytes.resize(bytes.size() + 1024, 0);
  WriteBytes(Path("a.ndx"), bytes);
  SetIndexToNames(Path("a.ndx"), 1);
  EXPECT_EQ(ReadBytes(Path("a.ndx"))[4], bytes.size() / 512);
  ClearRecord();
  SetText(1, "A");
  Append();
  EXPECT_EQ(ndxtest::CheckIndexFile(Path("a.ndx")).problem, "");
}

TEST_F(IndexManage, ReindexKeepsOptionsAndTheOrder) {
  MakeIndexExpr("NAME", Path("a.ndx UNIQUE"));
  MakeIndexCB(Path("k.ndx SOUNDEX"), &NameMaker, nullptr);
  SetIndexTo(Path("a.ndx NOCACHE"), 1, nullptr, nullptr);
  SetIndexTo(Path("k.ndx SOUNDEX"), 2, &NameMaker, nullptr);
  Set_Order_To(2);
  Reindex();
  EXPECT_EQ(CurrentOrder(), 2);
  IndexInfoRecord info;
  IndexInfo(info, Path("a.ndx"));
  EXPECT_TRUE(info.unique);
  EXPECT_EQ(info.recordCount, 6);
  Set_Order_To(1);
  EXPECT_EQ(IndexArea().cache, nullptr) << "NOCACHE stays";
  Set_Order_To(2);
  EXPECT_TRUE(IndexSlot(1)->soundex);
}

TEST_F(IndexManage, ConditionalKeyExpressionsReopenAndReindex) {
  IndexOnExpr("IIF(QTY>0 .AND. PRICE>1,NAME,CODE)", Path("c.ndx"));
  CloseIndexes();
  SetIndexToNames(Path("c.ndx"), 1);
  Pack();
  GoTop();
  EXPECT_EQ(RTrim(FieldText(4)), "C1");
  std::vector<std::string> keys;
  for (GoTop(); !dEOF(); SKIP(1)) {
    std::string key;
    CurrentKeyText(key);
    keys.push_back(RTrim(key));
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"C1", "C3", "C5", "N1", "N3", "N5"}));
}

TEST_F(IndexManage, CurrentKeyTextGivesTheKeyOfEachType) {
  MakeIndexExpr("NAME", Path("c.ndx"));
  MakeIndexExpr("PRICE", Path("n.ndx"));
  MakeIndexExpr("BORN", Path("d.ndx"));
  CloseAndSetIndexTo(Path("c.ndx") + " " + Path("n.ndx") + " " + Path("d.ndx"));
  GO(2);
  std::string text;
  CurrentKeyText(text);
  EXPECT_EQ(text, "N5        ");
  KeyIndexNumber = 2;
  CurrentKeyText(text);
  EXPECT_EQ(text, "      2.50");
  KeyIndexNumber = 3;
  CurrentKeyText(text);
  EXPECT_EQ(text, "03/02/26");
  KeyIndexNumber = 1;
}

TEST_F(IndexManage, IndexInfoTrustsTheCountOnlyWithItsCheck) {
  MakeIndexExpr("upper( name )", Path("a.ndx"));
  IndexInfoRecord info;
  IndexInfo(info, Path("a"));
  EXPECT_EQ(info.expression, "UPPER(NAME)");
  EXPECT_EQ(info.keyLength, 10);
  EXPECT_EQ(info.keyType, 'C');
  EXPECT_EQ(info.tableName, "m.dbf");
  EXPECT_EQ(IndexRecCount(Path("a.ndx")), 6);
  std::vector<std::uint8_t> bytes = ReadBytes(Path("a.ndx"));
  bytes[488] ^= 1;
  WriteBytes(Path("a.ndx"), bytes);
  IndexInfo(info, Path("a.ndx"));
  EXPECT_EQ(info.recordCount, -1);
  EXPECT_EQ(info.tableName, "");
  EXPECT_THROW(IndexInfo(info, Path("missing.ndx")), EDadavError);
}

TEST_F(IndexManage, TheModuleRegistersOncePerEngineStart) {
  EXPECT_TRUE(IndexPresent);
  EXPECT_THROW(IndexInit(), EDadavError);
  EXPECT_EQ(LastErrorCode, 254);
  EXPECT_EQ(IndexHooks.foundFlag, &FindFound);
}

}  // namespace
