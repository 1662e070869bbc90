#include <sys/wait.h>
#include <unistd.h>

#include "enginetest.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4pack.h"
#include "tests/tables/core/otherprocess.h"

namespace {

using namespace dadav;
using namespace enginetest;

class Sharing : public EngineTest {
 protected:
  std::string MakeTable(int n) {
    std::string path = Path("s.dbf");
    NewTable(path, {Def("NAME", 'C', 6)}, n, [](int i) { SetText(1, "N" + std::to_string(i)); });
    CloseAll();
    return path;
  }
};

TEST_F(Sharing, RecordAppendAndFileLocksConflictAcrossProcesses) {
  std::string path = MakeTable(3);
  OtherProcess other(path, [] {
    GO(2);
    if (!RLock()) throw 1;
  });
  USE(path);
  GO(2);
  EXPECT_FALSE(RLock());
  GO(1);
  EXPECT_TRUE(RLock());
  EXPECT_FALSE(FLock());
  Unlock();
  EXPECT_FALSE(FLock());
  EXPECT_TRUE(ALock());
  EXPECT_EQ(other.Finish(), 0);
  OtherProcess appender(path, [] {
    if (!ALock()) throw 1;
  });
  Unlock();
  EXPECT_FALSE(ALock());
  EXPECT_FALSE(FLock());
  EXPECT_EQ(appender.Finish(), 0);
}

TEST_F(Sharing, TwoAreasOfOneProcessConflictAndSurviveAnotherClose) {
  std::string path = MakeTable(2);
  USE(path + " ALIAS ONE");
  GO(1);
  ASSERT_TRUE(RLock());
  Select(2);
  USE(path + " ALIAS TWO");
  GO(1);
  EXPECT_FALSE(RLock());
  Select(3);
  USE(path + " ALIAS THREE");
  CloseArea();
  Select(2);
  EXPECT_FALSE(RLock());  // closing another descriptor kept the lock of area 1
}

TEST_F(Sharing, ExclusiveAgainstSharedBothWaysAndPackCreateRefused) {
  std::string path = MakeTable(2);
  {
    OtherProcess other(path, [] {});
    EXPECT_THROW(USE(path + " EXCLUSIVE"), EDadavError);
    EXPECT_EQ(LastErrorCode, 32);
    USE(path);
    GO(1);
    ASSERT_TRUE(RLock());
    DeleteRec();
    EXPECT_FALSE(Pack());
    EXPECT_EQ(std::tuple(LastErrorCode, Area()->exclusive, RecCount()), std::tuple(32, false, 2));
    EXPECT_THROW(CreateDBF(path, {Def("X", 'C', 1)}), EDadavError);
    EXPECT_EQ(LastErrorCode, 32);
    CloseAll();
    EXPECT_EQ(other.Finish(), 0);
  }
  OtherProcess holder(path + " EXCLUSIVE", [] {});
  EXPECT_THROW(USE(path), EDadavError);
  EXPECT_EQ(LastErrorCode, 32);
  EXPECT_EQ(holder.Finish(), 0);
}

TEST_F(Sharing, SharedAppendIsVisibleAndNoEndMarkLandsOnAForeignRecord) {
  std::string path = MakeTable(1);
  USE(path);
  GO(1);
  ASSERT_TRUE(RLock());
  Replace();  // the area is now "changed"
  Unlock();
  OtherProcess other(path, [] {
    if (!ALock()) throw 1;
    ClearRecord();
    SetText(1, "FOREIG");
    Append();
  });
  std::vector<std::uint8_t> bytes = ReadBytes(path);
  EXPECT_EQ(bytes[4], 2);
  EXPECT_EQ(RecCount(), 2);
  CloseAll();
  bytes = ReadBytes(path);
  EXPECT_EQ(std::string(bytes.begin() + 65 + 7, bytes.begin() + 65 + 14), " FOREIG");
  EXPECT_EQ(other.Finish(), 0);
  bytes = ReadBytes(path);
  EXPECT_EQ(std::tuple(bytes.size(), int{bytes.back()}), std::tuple(65u + 14u + 1u, 0x1A));
}

TEST_F(Sharing, SharedScanGoesOnIntoRecordsAppendedWhileItRuns) {
  std::string path = MakeTable(2);
  USE(path);
  GO(1);
  OtherProcess other(path, [] {
    if (!ALock()) throw 1;
    ClearRecord();
    SetText(1, "LATE");
    Append();
  });
  SKIP(1);
  EXPECT_EQ(RecNo(), 2);
  SKIP(1);
  EXPECT_EQ(std::tuple(RecNo(), dEOF(), FieldText(1)), std::tuple(3, false, "LATE  "));
  SKIP(1);
  EXPECT_TRUE(dEOF());
  CloseAll();
  EXPECT_EQ(other.Finish(), 0);
}

}  // namespace
