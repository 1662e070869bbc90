#include <unistd.h>

#include "enginetest.h"
#include "tables/core/dbf4append.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"

namespace {

using namespace dadav;
using namespace enginetest;

class AppendFromTest : public EngineTest {
 protected:
  // Source "src.dbf": NAME C(10), PRICE N(8,2), BORN D, OK L, BIG N(12), closed again.
  std::string MakeSource() {
    std::string path = Path("src.dbf");
    auto fill = [](int i) {
      SetText(1, "Name" + std::to_string(i));
      SetReal(2, i == 1 ? 3.5 : -3.75);
      PutStoredField(3, i == 1 ? "19400501" : "20260315");
      SetLogical(4, i == 1);
      SetInt64(5, 12345678901);
    };
    NewTable(path,
             {Def("NAME", 'C', 10), Def("PRICE", 'N', 8, 2), Def("BORN", 'D', 8), Def("OK", 'L', 1),
              Def("BIG", 'N', 12)},
             2, fill, {2});
    CloseArea();
    return path;
  }

  static bool ScratchClosed() { return WorkAreaTable[kScratchArea] == nullptr; }
};

TEST_F(AppendFromTest, SameStructureKeepsStoredTextUnderACommaDesktop) {
  const std::string source = MakeSource();
  DecimalChar = ',';
  NewTable(Path("t.dbf"), {Def("NAME", 'C', 10), Def("PRICE", 'N', 8, 2), Def("BORN", 'D', 8),
                           Def("OK", 'L', 1), Def("BIG", 'N', 12)});
  AppendFrom(source);
  EXPECT_EQ(LastErrorCode, 0);
  ASSERT_EQ(RecCount(), 2);
  EXPECT_EQ(std::tuple(Stored(2, 1), Stored(3, 1), Stored(5, 1)),
            std::tuple("    3.50", "19400501", " 12345678901"));
  GO(2);
  EXPECT_TRUE(Deleted());  // a source from disk shows its deleted records, flagged
  EXPECT_TRUE(ScratchClosed());
  EXPECT_EQ(CurrentArea(), 1);
}

TEST_F(AppendFromTest, ReorderedFieldsAreMatchedByNameAndConverted) {
  const std::string source = MakeSource();
  DecimalChar = ',';
  NewTable(Path("t.dbf"), {Def("BIG", 'N', 11), Def("BORN", 'D', 8), Def("PRICE", 'C', 6),
                           Def("NAME", 'C', 3), Def("OK", 'C', 1), Def("OTHER", 'C', 4)});
  AppendFrom(source);
  ASSERT_EQ(RecCount(), 2);
  EXPECT_EQ(std::tuple(Stored(1, 1), Stored(2, 1), Stored(3, 1), Stored(4, 1), Stored(5, 1),
                       Stored(6, 1)),
            std::tuple("12345678901", "19400501", "  3,50", "Nam", "T", "    "));
  GO(2);
  EXPECT_TRUE(Deleted());
  EXPECT_EQ(Stored(3, 2), " -3,75");
}

TEST_F(AppendFromTest, NumbersAndDatesBetweenTypes) {
  const std::string source = MakeSource();
  DecimalChar = ',';
  CenturyOn = true;
  SetDateFormat(0);
  // PRICE: integer <- real truncates; BIG: too wide for C(3); BORN: C(8) loses the century
  NewTable(Path("t.dbf"), {Def("PRICE", 'N', 4), Def("BIG", 'C', 3), Def("BORN", 'C', 8),
                           Def("OK", 'N', 2), Def("NAME", 'L', 1)});
  AppendFrom(source);
  ASSERT_EQ(RecCount(), 2);
  EXPECT_EQ(std::tuple(Stored(1, 1), Stored(2, 1), Stored(3, 1), Stored(5, 1)),
            std::tuple("   3", "***", "05/01/40", "F"));
  EXPECT_EQ(Stored(1, 2), "  -3");
  CloseArea();

  // Back from text, with the desktop's decimal sign: N -> C -> N round-trips.
  NewTable(Path("c.dbf"), {Def("PRICE", 'C', 8), Def("BORN", 'C', 10)}, 1, [](int) {
    SetText(1, "   3,50");
    SetText(2, "05/01/1940");
  });
  CloseArea();
  NewTable(Path("n.dbf"), {Def("PRICE", 'N', 8, 2), Def("BORN", 'D', 8)});
  AppendFrom(Path("c.dbf"));
  EXPECT_EQ(std::tuple(Stored(1, 1), Stored(2, 1)), std::tuple("    3.50", "19400501"));
}

TEST_F(AppendFromTest, SelfAppendUnderAnyNameIsRefused) {
  NewTable(Path("t.dbf"), {Def("NAME", 'C', 4)}, 1);
  ASSERT_EQ(::symlink(Path("t.dbf").c_str(), Path("link.dbf").c_str()), 0);
  for (const std::string& name : {Path("link.dbf"), Path("T.DBF"), Dir() + "/./t"}) {
    EXPECT_THROW(AppendFrom(name), EDadavError);
    EXPECT_EQ(LastErrorCode, 214) << name;
  }
  // a shared target whose file another area holds as well
  CloseArea();
  USE(Path("t.dbf"));
  ASSERT_TRUE(FLock());
  Select(2);
  USE(Path("link.dbf") + " ALIAS OTHER");
  Select(1);
  EXPECT_THROW(AppendFrom(Path("link")), EDadavError);
  EXPECT_EQ(LastErrorCode, 214);
  EXPECT_EQ(RecCount(), 1);
}

TEST_F(AppendFromTest, SharedTargetWithoutLockAppendsNothing) {
  const std::string source = MakeSource();
  NewTable(Path("t.dbf"), {Def("NAME", 'C', 10)});
  CloseArea();
  USE(Path("t.dbf"));
  EXPECT_THROW(AppendFrom(source), EDadavError);
  EXPECT_EQ(LastErrorCode, 5);
  EXPECT_EQ(RecCount(), 0);
  EXPECT_TRUE(ScratchClosed());
  EXPECT_EQ(CurrentArea(), 1);
  ASSERT_TRUE(ALock());
  AppendFrom(source);
  EXPECT_EQ(RecCount(), 2);
}

TEST_F(AppendFromTest, RefusalsLeaveTheScratchAreaClosed) {
  const std::string source = MakeSource();
  EXPECT_THROW(AppendFrom(source), EDadavError);
  EXPECT_EQ(LastErrorCode, 215);
  CreateDBF(Path("memo.dbf"), {Def("NAME", 'C', 10), Def("M", 'M', 10)});
  USE(Path("memo.dbf") + " EXCLUSIVE");
  EXPECT_THROW(AppendFrom(Path("none")), EDadavError);
  EXPECT_EQ(LastErrorCode, 2);
  EXPECT_THROW(AppendFrom(source), EDadavError);
  EXPECT_EQ(LastErrorCode, 220);
  Put("bad.dbf", "not a table");
  EXPECT_THROW(AppendFrom(Path("bad.dbf")), EDadavError);
  EXPECT_TRUE(ScratchClosed());
  EXPECT_EQ(CurrentArea(), 1);
  EXPECT_THROW(AppendFrom("x VIRTUAL FILE"), EDadavError);
  EXPECT_EQ(LastErrorCode, 215);
  EXPECT_TRUE(ScratchClosed());
  EXPECT_EQ(RecCount(), 0);
}

TEST_F(AppendFromTest, OpenSourceHidesItsHiddenRecordsAndNoCommonFieldCopiesNothing) {
  const std::string source = MakeSource();
  USE(source + " ALIAS SRC");
  SetIgnoreDel(true);
  Select(2);
  NewTable(Path("t.dbf"), {Def("NAME", 'C', 10), Def("X", 'N', 3)});
  AppendFrom(source);
  EXPECT_EQ(RecCount(), 1);
  EXPECT_EQ(Stored(1, 1), "Name1     ");
  EXPECT_TRUE(ScratchClosed());
  CloseArea();
  NewTable(Path("u.dbf"), {Def("X", 'N', 3)});
  AppendFrom(source);
  EXPECT_EQ(std::tuple(LastErrorCode, RecCount()), std::tuple(0, 0));
}

TEST_F(AppendFromTest, VirtualSourceIsFoundByItsName) {
  VFileHook = [](WorkArea&) {};
  std::uint8_t buffer[8] = {};
  USE("LIST VIRTUAL FILE", buffer, 8);
  EXPECT_THROW(AppendFrom("list virtual file"), EDadavError);
  EXPECT_EQ(LastErrorCode, 214);
  Select(2);
  NewTable(Path("t.dbf"), {Def("A", 'C', 2)});
  AppendFrom("list LINKED");
  EXPECT_EQ(std::tuple(LastErrorCode, RecCount(), CurrentArea()), std::tuple(0, 0, 2));
  EXPECT_THROW(AppendFrom("other VIRTUAL"), EDadavError);
  EXPECT_EQ(LastErrorCode, 215);
}

std::vector<std::string> memoCalls;

TEST_F(AppendFromTest, MemoFieldsGoThroughTheMemoModule) {
  MemoHooks.copyMemoAsOld = [](std::uint8_t area, std::int32_t reference) {
    memoCalls.push_back("copy " + std::to_string(area) + " " + std::to_string(reference));
    return reference * 10;
  };
  MemoHooks.addMemo = [](const std::string& text) {
    memoCalls.push_back("add " + text);
    return std::int32_t{5};
  };
  NewTable(Path("src.dbf"), {Def("NAME", 'C', 4), Def("NOTE", 'M', 10)}, 2, [](int i) {
    SetText(1, "N" + std::to_string(i));
    PutStoredField(2, i == 1 ? "7" : "");
  });
  CloseArea();
  NewTable(Path("same.dbf"), {Def("NAME", 'C', 4), Def("NOTE", 'M', 10)});
  AppendFrom(Path("src.dbf"));
  EXPECT_EQ(std::tuple(Stored(1, 1), Stored(2, 1), Stored(2, 2)),
            std::tuple("N1  ", "        70", "          "));
  CloseArea();
  NewTable(Path("text.dbf"), {Def("NAME", 'M', 10)});
  AppendFrom(Path("src.dbf"));
  EXPECT_EQ(Stored(1, 2), "         5");
  EXPECT_EQ(memoCalls, (std::vector<std::string>{"copy 35 7", "add N1  ", "add N2  "}));
}

}  // namespace
