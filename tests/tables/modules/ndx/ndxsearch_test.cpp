#include "tables/modules/ndx/ndxsearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tables/core/dbf4lock.h"
#include "tables/modules/ndx/ndxfile.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;

class IndexSearch : public ndxtest::IndexTest {
 protected:
  void Indexed(const std::vector<std::string>& names) {
    NewTable(Path("s.dbf"), {Def("NAME", 'C', 10)}, static_cast<int>(names.size()),
             [&names](int i) { SetText(1, names[static_cast<std::size_t>(i - 1)]); });
    IndexOnExpr("NAME", Path("s.ndx"));
  }

  std::string RaisedMessage(void (*call)()) {
    try {
      call();
    } catch (const EDadavError& error) {
      return error.what();
    }
    return "";
  }

  std::vector<int> WalkForward() {
    std::vector<int> records;
    for (GoTop(); !dEOF(); SKIP(1)) records.push_back(RecNo());
    return records;
  }

  std::vector<int> WalkBack() {
    std::vector<int> records;
    for (GoBottom(); !dBOF(); SKIP(-1)) records.push_back(RecNo());
    return records;
  }
};

TEST_F(IndexSearch, StepsStopAtBothEndsOnTheEndRecords) {
  Indexed({"C", "A", "B"});
  EXPECT_EQ(_FindLastRec(), 1);
  EXPECT_EQ(_FindNextRec(), 1);
  EXPECT_TRUE(IndexEOF());
  EXPECT_EQ(_FindNextRec(), 1) << "a further next answers the last record again";
  EXPECT_EQ(_FindFirstRec(), 2);
  EXPECT_EQ(_FindPriorRec(), 2);
  EXPECT_TRUE(IndexBOF());
  EXPECT_EQ(WalkForward(), (std::vector<int>{2, 3, 1}));
  EXPECT_EQ(WalkBack(), (std::vector<int>{1, 3, 2}));
}

TEST_F(IndexSearch, FindMatchesTheBeginningUnlessExact) {
  Indexed({"ABX", "ABC", "B", "AA"});
  Find("AB");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 2);
  SetFindExact();
  Find("AB");
  EXPECT_FALSE(FindFound);
  Find("ABX");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 1);
  ClearFindExact();
  Find("C");
  EXPECT_FALSE(FindFound);
  EXPECT_EQ(RecNo(), 5);
  EXPECT_TRUE(dEOF());
  Find("");
  EXPECT_EQ(RecNo(), 5) << "an empty text does nothing";
}

TEST_F(IndexSearch, FindPassesOverHiddenRecords) {
  Indexed({"K", "K", "K", "L"});
  GO(1);
  DeleteRec();
  GO(2);
  DeleteRec();
  SetIgnoreDel(true);
  Find("K");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 3);
  GO(3);
  DeleteRec();
  Find("K");
  EXPECT_FALSE(FindFound) << "the next visible record has another key";
  EXPECT_TRUE(dEOF());
}

TEST_F(IndexSearch, NumericAndDateFindsReadTheirText) {
  NewTable(Path("n.dbf"), {Def("QTY", 'N', 10, 2), Def("BORN", 'D', 8)}, 3, [](int i) {
    SetReal(1, i == 2 ? -0.0 : i * 1.5);
    PutStoredField(2, i == 3 ? "        " : "2026031" + std::to_string(i));
  });
  MakeIndexExpr("QTY", Path("q.ndx"));
  MakeIndexExpr("BORN", Path("b.ndx"));
  CloseAndSetIndexTo(Path("q.ndx") + " " + Path("b.ndx"));
  Find("4.5 pieces");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 3);
  Find("0");
  EXPECT_TRUE(FindFound) << "-0.0 is stored and found as 0";
  EXPECT_EQ(RecNo(), 2);
  Find("abc");
  EXPECT_TRUE(FindFound) << "no number reads as 0";
  Set_Order_To(2);
  Find("03/11/26");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 1);
  Find("  ");
  EXPECT_TRUE(FindFound) << "blank text is the blank date";
  EXPECT_EQ(RecNo(), 3);
}

TEST_F(IndexSearch, ARecordMissingFromItsIndexIsNamedWithItsKey) {
  Indexed({"A", "B"});
  Poke("ZZ", 1, 2);
  std::string message = RaisedMessage([] { GO(2); });
  EXPECT_NE(
      message.find("Key: \"ZZ\" not in index: " + Path("s.ndx") + ". [SyncIndex-1] Record: 2"),
      std::string::npos)
      << message;
  Poke("A         ", 1, 2);
  message = RaisedMessage([] { GO(2); });
  EXPECT_NE(
      message.find("Record with key: \"A\" not in index: " + Path("s.ndx") + ". [SyncIndex-2]"),
      std::string::npos)
      << message;
}

TEST_F(IndexSearch, FindInRecordOrderIsRefused) {
  Indexed({"A"});
  Set_Order_To(0);
  EXPECT_THROW(Find("A"), EDadavError);
  EXPECT_EQ(LastErrorCode, 254);
}

// A file another program wrote: no type letter, a serial byte, no record count, an inner
// node with its trailing child only, and a separator above its child's largest key.
TEST_F(IndexSearch, PeerFilesAreWalkedAndSearched) {
  NewTable(Path("p.dbf"), {Def("NAME", 'C', 10)}, 4,
           [](int i) { SetText(1, std::string(1, static_cast<char>('A' + i - 1))); });
  NdxAnchor anchor = NewNdxAnchor('C', 10, false);
  anchor.bytes[9] = 0;
  anchor.bytes[20] = 7;
  anchor.SetNextFree(5);
  std::vector<NdxBlock> blocks(5);
  blocks[0] = NdxAnchorBlock(anchor, "NAME", 0, "p.dbf");
  std::fill(blocks[0].begin() + 488, blocks[0].end(), std::uint8_t{0});
  const auto entry = [&](NdxBlock& block, std::uint16_t i, std::uint32_t child,
                         std::uint32_t record, const char* key) {
    NdxNodeView view(block, anchor.EntrySize());
    view.SetChild(i, child);
    view.SetRecord(i, record);
    std::string padded = key;
    padded.resize(10, ' ');
    std::copy(padded.begin(), padded.end(), view.Key(i));
    view.SetCount(static_cast<std::uint16_t>(i + 1));
  };
  entry(blocks[1], 0, 2, 0, "C");  // too high: node 2 ends at B
  NdxNodeView(blocks[1], anchor.EntrySize()).SetTrailingChild(3);
  entry(blocks[2], 0, 0, 1, "A");
  entry(blocks[2], 1, 0, 2, "B");
  NdxNodeView(blocks[3], anchor.EntrySize()).SetChild(0, 4);  // no key, one child
  entry(blocks[4], 0, 0, 3, "C");
  entry(blocks[4], 1, 0, 4, "D");
  std::vector<std::uint8_t> bytes;
  for (const NdxBlock& block : blocks) bytes.insert(bytes.end(), block.begin(), block.end());
  WriteBytes(Path("p.ndx"), bytes);

  IndexInfoRecord info;
  IndexInfo(info, Path("p.ndx"));
  EXPECT_EQ(info.expression, "NAME");
  EXPECT_EQ(info.keyType, 0);
  EXPECT_EQ(info.recordCount, -1);
  EXPECT_EQ(info.tableName, "");
  SetIndexToNames(Path("p.ndx"), 1);
  EXPECT_EQ(WalkForward(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(WalkBack(), (std::vector<int>{4, 3, 2, 1}));
  for (int i = 1; i <= 4; ++i) {
    Find(std::string(1, static_cast<char>('A' + i - 1)));
    EXPECT_TRUE(FindFound) << i;
    EXPECT_EQ(RecNo(), i);
  }
  Find("BB");
  EXPECT_FALSE(FindFound);
  // The seek for C ends in node 2 below the too-high separator and steps on to node 4: the
  // key found there counts as found, so placing the index on record 3 raises no 212.
  GO(3);
  EXPECT_EQ(RecNo(), 3);
  SKIP(1);
  EXPECT_EQ(RecNo(), 4);
  EXPECT_EQ(ReadBytes(Path("p.ndx"))[20], 7) << "the anchor's first bytes stay as read";
}

TEST_F(IndexSearch, ANumericFileLetteredNKeepsItsLetterAndIsSearchedByValue) {
  NewTable(Path("n.dbf"), {Def("QTY", 'N', 10, 2)}, 50, [](int i) { SetReal(1, 100 - i * 2.5); });
  MakeIndexExpr("QTY", Path("n.ndx"));
  std::vector<std::uint8_t> bytes = ReadBytes(Path("n.ndx"));
  ASSERT_EQ(bytes[9], 'F');
  bytes[9] = 'N';
  WriteBytes(Path("n.ndx"), bytes);
  SetIndexToNames(Path("n.ndx"), 1);
  Find("-25");
  EXPECT_TRUE(FindFound);
  EXPECT_EQ(RecNo(), 50);
  ClearRecord();
  SetReal(1, 7);
  Append();
  EXPECT_EQ(ReadBytes(Path("n.ndx"))[9], 'N');
  Find("7");
  EXPECT_EQ(RecNo(), 51);
}

TEST_F(IndexSearch, AnExpressionWhoseTypeDisagreesWithTheNumericFlagIsRefused) {
  NewTable(Path("n.dbf"), {Def("QTY", 'N', 10, 2), Def("NAME", 'C', 8)}, 3);
  MakeIndexExpr("QTY", Path("n.ndx"));
  std::vector<std::uint8_t> bytes = ReadBytes(Path("n.ndx"));
  const char name[] = "NAME";
  std::fill(bytes.begin() + 24, bytes.begin() + 125, std::uint8_t{0});
  std::copy(name, name + 4, bytes.begin() + 24);
  WriteBytes(Path("n.ndx"), bytes);
  EXPECT_THROW(SetIndexToNames(Path("n.ndx"), 1), EDadavError);
  EXPECT_EQ(LastErrorCode, 222);
  EXPECT_FALSE(IndexActive());
}

}  // namespace
