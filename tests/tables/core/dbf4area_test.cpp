#include "enginetest.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"

namespace {

using namespace dadav;
using namespace enginetest;

class Areas : public EngineTest {
 protected:
  // A table of n records "R1".."Rn"; the records in `deleted` carry the deletion flag.
  std::string MakeTable(int n, std::vector<int> deleted = {}) {
    std::string path = Path("t.dbf");
    auto fill = [](int i) { SetText(1, "R" + std::to_string(i)), SetInt64(2, i); };
    NewTable(path, {Def("NAME", 'C', 4), Def("QTY", 'N', 10)}, n, fill, deleted);
    return path;
  }
};

TEST_F(Areas, SelectAndGuard) {
  EXPECT_THROW(Select(34), EDadavError);
  EXPECT_EQ(std::tuple(LastErrorMessage, CurrentArea()), std::tuple(std::string(), 1));
  EXPECT_THROW(GoTop(), EDadavError);
  EXPECT_EQ(LastErrorCode, 215);
  for (const std::function<void()>& command : {std::function<void()>(FieldCount), {Deleted}}) {
    LastErrorCode = 0;
    EXPECT_THROW(command(), EDadavError);
    EXPECT_EQ(LastErrorCode, 215);
  }
  std::string path = MakeTable(1);
  CloseAll();
  USE(path);
  for (int i = 2; i <= 33; ++i) {
    Select(0);
    USE(path + " ALIAS A" + std::to_string(i));
  }
  EXPECT_THROW(Select(0), EDadavError);
  EXPECT_EQ(CurrentArea(), 33);
  Select(5);
  EXPECT_THROW(USE(path + " alias a7"), EDadavError);
  EXPECT_EQ(Area(), nullptr);
}

TEST_F(Areas, SkipAndGoOverHiddenRecords) {
  MakeTable(6, {1, 3, 6});
  SetIgnoreDel(true);
  GoTop();
  // skip, then record number, BOF, EOF
  const std::tuple<int, int, bool, bool> steps[] = {{0, 2, false, false},  {1, 4, false, false},
                                                    {-1, 2, false, false}, {-1, 2, true, false},
                                                    {2, 5, false, false},  {1, 7, false, true}};
  for (const auto& [skip, rec, bof, eof] : steps) {
    SKIP(skip);
    EXPECT_EQ(std::tuple(RecNo(), dBOF(), dEOF()), std::tuple(rec, bof, eof))
        << "after reaching " << rec;
  }
  EXPECT_EQ(FieldText(1), "    ");
  EXPECT_THROW(SKIP(1), EDadavError);
  SKIP(0);
  GoBottom();
  EXPECT_EQ(RecNo(), 5);
  EXPECT_THROW(GO(0), EDadavError);
  EXPECT_TRUE(Area()->eof);
  EXPECT_FALSE(GoIfValid(99));
  GO(3);
  EXPECT_EQ(FieldText(1), "R3  ");
  EXPECT_TRUE(Deleted());
  EXPECT_TRUE(SkipToVisible());
  EXPECT_EQ(RecNo(), 4);
}

TEST_F(Areas, AllHiddenAndEmptyTables) {
  MakeTable(2, {1, 2});
  SetIgnoreDel(true);
  GoTop();
  EXPECT_TRUE(dEOF());
  GoBottom();
  EXPECT_TRUE(dBOF() && dEOF());
  NewTable(Path("e.dbf"), {Def("A", 'C', 1)});
  EXPECT_TRUE(dBOF() && dEOF());
  EXPECT_THROW(SKIP(1), EDadavError);
  EXPECT_THROW(GO(1), EDadavError);
  EXPECT_FALSE(GoIfValid(1));
}

TEST_F(Areas, FieldAccess) {
  MakeTable(1);
  EXPECT_EQ(FieldNo("qty"), 2);
  EXPECT_EQ(FieldNo("QTYLONGERNAMEX"), 0);
  EXPECT_THROW(FieldType(3), EDadavError);
  std::string text;
  Peek(0, 1, text);
  EXPECT_EQ(text, " ");
  Poke("Z", 1, 1);
  Peek(1, 1, text);
  EXPECT_EQ(text, "Z1  ");
}

TEST_F(Areas, LockMatrixOnASharedTable) {
  std::string path = MakeTable(3);
  CloseAll();
  USE(path);
  ClearRecord();
  EXPECT_THROW(Append(), EDadavError);
  EXPECT_EQ(LastErrorCode, 5);
  GO(2);
  EXPECT_THROW(Replace(), EDadavError);
  EXPECT_EQ(LastErrorCode, 1200);
  for (void (*change)() : {+[] { DeleteRec(); }, +[] { RecallRec(); }, +[] { Poke("x", 1, 2); }}) {
    EXPECT_THROW(change(), EDadavError);
  }
  EXPECT_TRUE(RLock());
  EXPECT_TRUE(RLock());
  EXPECT_EQ(Area()->recordLocks.size(), 1u);
  EXPECT_THROW(Append(), EDadavError);
  Replace();
  DeleteRec();
  RecallRec();
  Poke("x", 1, 2);
  EXPECT_FALSE(FLock());
  for (int rec : {3, 1}) {
    GO(rec);
    RLock();
  }
  EXPECT_TRUE(UnlockRec(-1));
  EXPECT_FALSE(IsLocked(2));
  EXPECT_TRUE(UnlockRec(-2));
  EXPECT_FALSE(IsLocked(1));
  EXPECT_FALSE(UnlockRec(5));
  EXPECT_EQ(LastErrorCode, 220);
  Unlock();
  EXPECT_TRUE(ALock());
  EXPECT_FALSE(RLock());
  Append();
  GO(4);
  EXPECT_THROW(Replace(), EDadavError);
  Unlock();
  EXPECT_TRUE(FLock());
  EXPECT_TRUE(IsLocked(1));
  Replace();
  Append();
  EXPECT_EQ(std::tuple(RecCount(), int{ReadBytes(path)[4]}),
            std::tuple(5, 5));  // a shared append reaches the header at once
}

// Mock index module: records the slot calls and keeps the read bracket depth.
std::vector<std::string> calls;
int bracketDepth = 0;
bool failRead = false;

void Bracket(bool on) {
  bracketDepth += on ? 1 : -1;
  calls.push_back(on ? "read+" : "read-");
}

TEST_F(Areas, IndexHooksInSlotOrderAndBalancedBrackets) {
  MakeTable(3, {2});
  SetIgnoreDel(true);
  IndexPresent = true;
  IndexHooks.indexActive = [] { return true; };
  IndexHooks.setReadSemaphore = &Bracket;
  IndexHooks.firstKey = [] { return calls.push_back("first"), failRead ? 99 : 2; };
  IndexHooks.nextKey = [] { return calls.push_back("next"), 1; };
  IndexHooks.indexEof = [] { return false; };
  IndexHooks.saveCurrentKey = [] { calls.push_back("save"); };
  IndexHooks.syncIndex = [] { calls.push_back("sync"); };
  calls.clear();
  GoTop();
  EXPECT_EQ(calls, (std::vector<std::string>{"read+", "first", "next", "save", "read-"}));
  EXPECT_EQ(RecNo(), 1);
  calls.clear();
  GO(3);
  EXPECT_EQ(calls, (std::vector<std::string>{"read+", "sync", "save", "read-"}));
  Area()->recCount = 50;  // the index names a record the file does not hold
  failRead = true;
  EXPECT_THROW(GoTop(), EDadavError);
  EXPECT_EQ(bracketDepth, 0);
  IndexPresent = false;
}

TEST_F(Areas, WithoutModules) {
  std::uint8_t buffer[8] = {};
  EXPECT_THROW(USE("x LINKED LIST", buffer, 8), EDadavError);
  EXPECT_EQ(LastErrorCode, 1101);
  CreateDBF(Path("memo.dbf"), {Def("A", 'C', 2), Def("M", 'M', 10)});
  USE(Path("MEMO.DBF"));
  EXPECT_EQ(Area()->fileName, Path("memo.dbf"));
  EXPECT_EQ(FieldCount(), 2);
}

}  // namespace
