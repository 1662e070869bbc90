#include "tables/modules/ndx/ndxsemaphore.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files/blockfile.h"
#include "platform/files/filelock.h"
#include "platform/files/osfiles.h"
#include "platform/system/clock.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/tzdate.h"
#include "tests/tables/core/enginetest.h"
#include "tests/tables/core/inchild.h"

namespace {

using namespace dadav;
using namespace enginetest;

struct SemaphoreCounts {
  int logins = -1;
  int readers = -1;
  int counter = -1;
};

// The message of the engine error the call raises, or "" when it raises none.
template <typename Call>
std::string RaisedMessage(Call call) {
  try {
    call();
  } catch (const EDadavError& error) {
    return error.what();
  }
  return "";
}

// The same while the engine's clock runs fifty times as fast, which ends a ten-second wait for a
// lock in a fraction of one.
template <typename Call>
std::string RaisedInAHurry(Call call) {
  SetTickProc([] { return platform::TickCountMs() * 50; });
  const std::string message = RaisedMessage(call);
  SetTickProc(nullptr);
  return message;
}

// One table opened shared in areas 1 and 2: the two descriptors' locks conflict like those of
// two programs.
class Semaphores : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ResetSemaphores();
    NewTable(Path("s.dbf"), {Def("NAME", 'C', 6)}, 2);
    CloseAll();
  }
  void TearDown() override {
    ResetSemaphores();
    SetTickProc(nullptr);
    WriteLockTimeout = 100;
    SemaphoreDirectory.clear();
    EngineTest::TearDown();
  }

  void OpenBoth() {
    Select(1);
    USE(Path("s.dbf"));
    Select(2);
    USE(Path("s.dbf") + " ALIAS OTHER");
  }

  void LoginIn(std::uint8_t area) {
    Select(area);
    HandleSemafore(SemaphoreAction::kLogin);
  }

  SemaphoreCounts Counts() const {
    const std::string bytes = TempFolder::Bytes("s.@S@");
    if (bytes.size() != 4) return {};
    auto byte = [&](int i) {
      return static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]);
    };
    return {byte(0), byte(1), byte(2) | byte(3) << 8};
  }

  void PutCounts(int logins, int readers, int counter) {
    Put("s.@S@", std::string{static_cast<char>(logins), static_cast<char>(readers),
                             static_cast<char>(counter & 0xFF), static_cast<char>(counter >> 8)});
  }

  bool SemaphoreFileExists() const { return TempFolder::Bytes("s.@S@").size() == 4; }
};

TEST_F(Semaphores, LoginsAreCountedAndTheLastLogoutDeletesTheFile) {
  OpenBoth();
  LoginIn(1);
  EXPECT_EQ(SemaphoreFileName(), Path("s.@S@"));
  EXPECT_EQ(Counts().logins, 1);
  // The file is not dated today (the tests' today is fixed in March), so the exclusive probe
  // decides, and it fails while area 1 holds the file: the count is kept.
  LoginIn(2);
  EXPECT_EQ(Counts().logins, 2);
  LoginIn(2);
  EXPECT_EQ(Counts().logins, 2);

  HandleSemafore(SemaphoreAction::kLogout);
  EXPECT_EQ(Counts().logins, 1);
  Select(1);
  HandleSemafore(SemaphoreAction::kLogout);
  EXPECT_FALSE(SemaphoreFileExists());
}

TEST_F(Semaphores, CountsLeftByAnEndedProgramAreClearedUnlessTheFileIsDatedToday) {
  PutCounts(3, 2, 9);
  OpenBoth();
  LoginIn(1);
  EXPECT_EQ(Counts().logins, 1);
  EXPECT_EQ(Counts().readers, 0);
  EXPECT_EQ(Counts().counter, 0);
  HandleSemafore(SemaphoreAction::kLogout);

  SetTodayProc([] { return platform::LocalNow(); });
  PutCounts(3, 0, 9);
  LoginIn(1);
  EXPECT_EQ(Counts().logins, 4);
  EXPECT_EQ(Counts().counter, 9);
  HandleSemafore(SemaphoreAction::kLogout);
  EXPECT_EQ(Counts().logins, 3);
  EXPECT_TRUE(SemaphoreFileExists());
}

TEST_F(Semaphores, AnExclusiveTableHasNoSemaphoreFile) {
  USE(Path("s.dbf") + " EXCLUSIVE");
  HandleSemafore(SemaphoreAction::kLogin);
  SetReadSemaphoreProc(true);
  SetReadSemaphoreProc(false);
  EXPECT_FALSE(SemaphoreLoggedIn());
  EXPECT_FALSE(SemaphoreFileExists());
}

TEST_F(Semaphores, NestedReadBracketsAnnounceOneReader) {
  OpenBoth();
  LoginIn(1);
  SetReadSemaphoreProc(true);
  SetReadSemaphoreProc(true);
  EXPECT_EQ(Counts().readers, 1);
  SetReadSemaphoreProc(false);
  EXPECT_EQ(Counts().readers, 1);
  SetReadSemaphoreProc(false);
  EXPECT_EQ(Counts().readers, 0);

  const std::string message = RaisedMessage([] { SetReadSemaphoreProc(false); });
  EXPECT_NE(
      message.find("Unbalanced IncRead/DecRead for semaphore file: " + Path("s.@S@") + " DECREAD"),
      std::string::npos)
      << message;
  EXPECT_EQ(LastErrorCode, 254);
  // The unbalanced close does not leave later brackets unannounced.
  SetReadSemaphoreProc(true);
  EXPECT_EQ(Counts().readers, 1);
  SetReadSemaphoreProc(false);
  EXPECT_EQ(Counts().readers, 0);
}

// The counter moves as a change begins and as it ends.
TEST_F(Semaphores, WriteBracketsCountChangesThatOtherAreasNotice) {
  OpenBoth();
  LoginIn(1);
  LoginIn(2);
  SetLockSemaphoreProc(true);
  SetLockSemaphoreProc(true);
  EXPECT_EQ(Counts().readers, 1);
  SetLockSemaphoreProc(false);
  EXPECT_EQ(Counts().counter, 1);
  SetLockSemaphoreProc(false);
  EXPECT_EQ(Counts().counter, 2);
  EXPECT_EQ(Counts().readers, 0);
  EXPECT_FALSE(SemaphoreCounterMoved());  // its own change

  Select(1);
  EXPECT_FALSE(SemaphoreCounterMoved());  // not read yet
  SetReadSemaphoreProc(true);
  EXPECT_TRUE(SemaphoreCounterMoved());
  EXPECT_FALSE(SemaphoreCounterMoved());
  SetReadSemaphoreProc(false);

  EXPECT_THROW(SetLockSemaphoreProc(false), EDadavError);
  EXPECT_EQ(LastErrorCode, 254);
}

TEST_F(Semaphores, TheChangeCounterWrapsAfter65534) {
  OpenBoth();
  LoginIn(1);
  PutCounts(1, 0, 65532);
  SetLockSemaphoreProc(true);
  SetLockSemaphoreProc(false);
  EXPECT_EQ(Counts().counter, 65534);
  SetLockSemaphoreProc(true);
  EXPECT_EQ(Counts().counter, 0);
  SetLockSemaphoreProc(false);
  EXPECT_EQ(Counts().counter, 1);
}

TEST_F(Semaphores, AWriterGivesUpAfterItsTimeOutWhileAReaderStaysInside) {
  WriteLockTimeout = 2;
  OpenBoth();
  LoginIn(1);
  LoginIn(2);
  Select(1);
  SetReadSemaphoreProc(true);
  Select(2);
  const std::uint32_t start = TickCount();
  const std::string message = RaisedMessage([] { SetLockSemaphoreProc(true); });
  EXPECT_GE(TickCount() - start, 2000u);
  EXPECT_EQ(LastErrorCode, 1202);
  EXPECT_NE(message.find("2 second timeout, cannot read: " + Path("s.@S@")), std::string::npos)
      << message;
  SetLockSemaphoreProc(false);  // the bracket's own close

  Select(1);
  SetReadSemaphoreProc(false);
  Select(2);
  SetLockSemaphoreProc(true);
  EXPECT_EQ(Counts().readers, 1);
  SetLockSemaphoreProc(false);
  EXPECT_EQ(Counts().counter, 2);
}

// The count of a program that ended inside its read or write bracket stays in the file; the next
// writer neither waits for it nor keeps it.
TEST_F(Semaphores, ACountLeftByAProgramThatEndedInsideABracketIsNotWaitedFor) {
  // Dated today, the file is taken as in use at each login and keeps its counts.
  SetTodayProc([] { return platform::LocalNow(); });
  WriteLockTimeout = 5;
  for (void (*bracket)(bool) : {&SetReadSemaphoreProc, &SetLockSemaphoreProc}) {
    ASSERT_EQ(InChild([this, bracket] {
                EngineStart();
                USE(Path("s.dbf"));
                HandleSemafore(SemaphoreAction::kLogin);
                bracket(true);
              }),
              0);
    EXPECT_EQ(Counts().readers, 1);
    USE(Path("s.dbf"));
    HandleSemafore(SemaphoreAction::kLogin);
    const std::uint32_t start = TickCount();
    SetLockSemaphoreProc(true);
    EXPECT_LT(TickCount() - start, 1000u);
    EXPECT_EQ(Counts().readers, 1) << "the writer's own count";
    SetLockSemaphoreProc(false);
    EXPECT_EQ(Counts().readers, 0);
    HandleSemafore(SemaphoreAction::kLogout);
    CloseAll();
  }
}

// A read bracket whose end cannot take the semaphore lock ends all the same: its program no
// longer vouches for the count it leaves, so that the next writer waits neither for it nor for
// the count of a program that then ends inside its bracket.
TEST_F(Semaphores, AReadBracketWhoseEndTimedOutLeavesACountNobodyWaitsFor) {
  OpenBoth();
  LoginIn(1);
  LoginIn(2);
  Select(1);
  SetReadSemaphoreProc(true);
  {
    platform::BlockFile other;
    ASSERT_EQ(other.Open(Path("s.@S@"), platform::kModeShared), 0);
    ASSERT_EQ(platform::LockRange(other.Descriptor(), 1, 4, true), 0);
    const std::string message = RaisedInAHurry([] { SetReadSemaphoreProc(false); });
    EXPECT_NE(message.find("Cannot lock index semaphore file: " + Path("s.@S@") + " DECREAD"),
              std::string::npos)
        << message;
  }
  ASSERT_EQ(InChild([this] {
              ResetSemaphores();
              EngineStart();
              USE(Path("s.dbf"));
              HandleSemafore(SemaphoreAction::kLogin);
              SetReadSemaphoreProc(true);
            }),
            0);
  EXPECT_EQ(Counts().readers, 2);
  WriteLockTimeout = 5;
  Select(2);
  const std::uint32_t start = TickCount();
  EXPECT_EQ(RaisedMessage([] { SetLockSemaphoreProc(true); }), "");
  EXPECT_LT(TickCount() - start, 1000u);
  SetLockSemaphoreProc(false);
}

// A read bracket whose start cannot take the semaphore lock counts nobody: its end takes no
// other reader's count off, no presence lock stays behind, and the area's next bracket is counted
// again, whether the engine reports the failure by its error code or raises it.
TEST_F(Semaphores, AReadBracketWhoseStartTimedOutCountsNobody) {
  OpenBoth();
  LoginIn(1);
  LoginIn(2);
  platform::BlockFile other;
  ASSERT_EQ(other.Open(Path("s.@S@"), platform::kModeShared), 0);
  for (const bool raised : {false, true}) {
    SCOPED_TRACE(raised ? "raised" : "error code");
    SetExceptionMode(raised);
    SetReportErrors(raised);
    Select(2);
    SetReadSemaphoreProc(true);
    Select(1);
    ASSERT_EQ(platform::LockRange(other.Descriptor(), 1, 4, true), 0);
    // A start that reports an error code is ended like every other once the lock is free again.
    const std::string message = RaisedInAHurry([raised] {
      if (raised) IndexBracket bracket(true, &SetReadSemaphoreProc);
      if (!raised) SetReadSemaphoreProc(true);
    });
    EXPECT_EQ(LastErrorCode, 1202);
    EXPECT_EQ(message.find("INCREAD") != std::string::npos, raised) << message;
    ASSERT_EQ(platform::UnlockRange(other.Descriptor(), 1, 4), 0);
    if (!raised) SetReadSemaphoreProc(false);
    EXPECT_EQ(Counts().readers, 1) << "the reader of area 2";
    Select(2);
    SetReadSemaphoreProc(false);
    EXPECT_FALSE(platform::RangeLockedElsewhere(other.Descriptor(), 5, 1));

    Select(1);
    SetReadSemaphoreProc(true);
    EXPECT_EQ(Counts().readers, 1);
    SetReadSemaphoreProc(false);
    EXPECT_EQ(Counts().readers, 0);
  }

  // A write bracket raised out of its start likewise leaves the next one to take the lock.
  Select(1);
  SetReadSemaphoreProc(true);
  Select(2);
  WriteLockTimeout = 5;
  EXPECT_NE(RaisedInAHurry([] { IndexBracket bracket(true, &SetLockSemaphoreProc); }), "");
  Select(1);
  SetReadSemaphoreProc(false);
  Select(2);
  const int counter = Counts().counter;
  { IndexBracket bracket(true, &SetLockSemaphoreProc); }
  EXPECT_EQ(Counts().counter, counter + 2);
}

// An area that let the database byte go takes it again to log in, and gives up while another
// program holds it.
TEST_F(Semaphores, ALoginAfterTheDatabaseByteWasLetGoWaitsForIt) {
  OpenBoth();
  Select(1);
  ASSERT_TRUE(LockFirstByte());
  UnlockFirstByte();
  Select(2);
  ASSERT_TRUE(LockFirstByte());
  const std::string message = RaisedInAHurry([this] { LoginIn(1); });
  EXPECT_NE(message.find("Cannot lock database for: "), std::string::npos) << message;
}

TEST_F(Semaphores, TheSemaphoreDirectoryHoldsTheFile) {
  const std::string folder = Path("sem");
  ASSERT_EQ(platform::os::MakeFolder(folder, 0700), 0);
  SemaphoreDirectory = folder;
  OpenBoth();
  LoginIn(1);
  EXPECT_EQ(SemaphoreFileName(), folder + "/s.@S@");
  EXPECT_EQ(TempFolder::Bytes("sem/s.@S@").size(), 4u);
  EXPECT_FALSE(SemaphoreFileExists());
}

}  // namespace
