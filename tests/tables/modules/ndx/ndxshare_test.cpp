// Two programs on one shared table and its index: forked processes that append and change keys
// at the same time, log in to the semaphore file, wait for each other's readers and refuse to
// rebuild an index the other one uses.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/files/filefaults.h"
#include "platform/files/filelock.h"
#include "platform/system/clock.h"
#include "platform/system/services.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzfiles.h"
#include "tables/modules/ndx/ndxmark.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tables/modules/ndx/ndxsemaphore.h"
#include "tests/support/smallfilesystem.h"
#include "tests/tables/core/inchild.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;

// A child process running body; its exit status is 0 when body ended without an engine error.
class Child {
 public:
  template <typename Body>
  explicit Child(Body body) {
    pid_ = fork();
    if (pid_ != 0) return;
    int status = 0;
    try {
      body();
    } catch (const EDadavError& error) {
      std::fprintf(stderr, "child: %s\n", error.what());
      status = 3;
    } catch (...) {
      status = 4;
    }
    try {
      EngineExit();
    } catch (...) {
      status = 5;
    }
    _exit(status);
  }
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
};

// A pipe through which one process tells the other it reached a point.
class Signal {
 public:
  Signal() {
    if (pipe(fds_) != 0) std::abort();
  }
  ~Signal() {
    close(fds_[0]);
    close(fds_[1]);
  }
  void Give() { (void)!write(fds_[1], "x", 1); }
  bool Take() {
    char byte = 0;
    return read(fds_[0], &byte, 1) == 1;
  }

 private:
  int fds_[2];
};

class IndexSharing : public ndxtest::IndexTest {
 protected:
  void SetUp() override {
    IndexTest::SetUp();
    NewTable(Path("s.dbf"), {Def("NAME", 'C', 10)}, 20,
             [](int i) { SetText(1, "S" + std::to_string(i)); });
    MakeIndexExpr("NAME", Path("s.ndx"));
    CloseAll();
  }
  void TearDown() override {
    WriteLockTimeout = 100;
    IndexTest::TearDown();
  }

  void OpenShared() {
    USE(Path("s.dbf"));
    SetIndexToNames(Path("s.ndx"), 1);
  }

  std::vector<std::uint8_t> Semaphore() { return ReadBytes(Path("s.@S@")); }
};

void AppendName(const std::string& name) {
  while (!ALock()) WaitMs(1);
  ClearRecord();
  SetText(1, name);
  Append();
  Unlock();
}

void ChangeName(std::int32_t record, const std::string& name) {
  GO(record);
  while (!RLock()) WaitMs(1);
  SetText(1, name);
  Replace();
  Unlock();
}

void Work(unsigned seed, const std::string& prefix) {
  std::mt19937 random(seed);
  for (int i = 0; i < 3000; ++i) {
    AppendName(prefix + std::to_string(random() % 5000));
    if (i % 2 == 1) {
      const auto record =
          static_cast<std::int32_t>(random() % static_cast<unsigned>(RecCount())) + 1;
      ChangeName(record, prefix + std::to_string(random() % 5000));
    }
  }
}

// An index another program is changing right now carries its in-change mark: an open meanwhile
// waits for the change to end rather than refusing the index as one a crash left half changed.
TEST_F(IndexSharing, AnIndexOpenedDuringAnotherProgramsChangeIsTaken) {
  USE(Path("s.dbf") + " EXCLUSIVE");
  MakeIndexExpr("UPPER(NAME)", Path("u.ndx"));
  CloseAll();
  Signal loggedIn, changing;
  Child child([&] {
    OpenShared();
    loggedIn.Give();
    changing.Take();
    SetIndexToNames(Path("u.ndx"), 2);
  });
  OpenShared();
  SetIndexToNames(Path("u.ndx"), 2);
  ASSERT_TRUE(loggedIn.Take());
  SetChangeBracket(true);
  ASSERT_EQ(LastErrorCode, 0);
  changing.Give();
  usleep(300 * 1000);
  SetChangeBracket(false);
  EXPECT_EQ(child.Wait(), 0);
  CloseAll();
}

TEST_F(IndexSharing, TwoWritersAtOnceLoseNoKey) {
  Child child([this] {
    OpenShared();
    Work(2, "B");
  });
  OpenShared();
  Work(1, "A");
  ASSERT_EQ(child.Wait(), 0);
  CloseAll();
  USE(Path("s.dbf") + " EXCLUSIVE");
  ASSERT_EQ(RecCount(), 6020);
  std::vector<Entry> expected;
  for (int i = 1; i <= RecCount(); ++i) {
    std::string key = Stored(1, i);
    key.resize(10, ' ');
    expected.emplace_back(key, static_cast<std::uint32_t>(i));
  }
  const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path("s.ndx"), true);
  ASSERT_EQ(report.problem, "");
  std::vector<Entry> found = report.entries;
  std::sort(found.begin(), found.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
  if (ndxtest::HavePerlReader()) {
    EXPECT_EQ(ndxtest::PerlDisagreement(Path("s.ndx"), expected, Path("s.txt")), "");
  }
  EXPECT_FALSE(FileExists(Path("s.@S@"))) << "the last logout deletes the semaphore file";
}

TEST_F(IndexSharing, ASecondLoginCountsWhenTheFileIsDatedYesterday) {
  Signal loggedIn, done;
  Child child([&] {
    OpenShared();
    loggedIn.Give();
    done.Take();
  });
  ASSERT_TRUE(loggedIn.Take());
  const time_t yesterday = time(nullptr) - 86400 * 2;
  const utimbuf times{yesterday, yesterday};
  ASSERT_EQ(utime(Path("s.@S@").c_str(), &times), 0);
  OpenShared();
  EXPECT_EQ(Semaphore()[0], 2) << "the probe found the file in use and kept its counts";
  done.Give();
  EXPECT_EQ(child.Wait(), 0);
  EXPECT_EQ(Semaphore()[0], 1);
}

// A full disk or a kill right after the semaphore file was made leaves it short of its record,
// dated today: it counts nobody and is written whole at the next open.
TEST_F(IndexSharing, ASemaphoreFileShorterThanItsRecordIsTakenAsAZeroRecord) {
  SetTodayProc([] { return platform::LocalNow(); });
  for (const std::string& left : {std::string(), std::string("\x02\x01\x07", 3)}) {
    SCOPED_TRACE(std::to_string(left.size()) + " bytes");
    Put("s.@S@", left);
    OpenShared();
    Find("S7");
    EXPECT_TRUE(FindFound);
    AppendName("NEW");
    EXPECT_EQ(Semaphore(), (std::vector<std::uint8_t>{1, 0, 2, 0}));
    CloseAll();
  }
}

// The first shared open on a full disk fails and leaves no semaphore file, and the next one
// after space was freed works.
TEST_F(IndexSharing, AFirstSharedOpenOnAFullDiskLeavesNoSemaphoreFile) {
  SmallFileSystem small(Path("small"));
  if (!small.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  NewTable(Path("small/s.dbf"), {Def("NAME", 'C', 10)}, 20,
           [](int i) { SetText(1, "S" + std::to_string(i)); });
  MakeIndexExpr("NAME", Path("small/s.ndx"));
  CloseAll();
  // A file left behind would be dated today and taken as in use.
  SetTodayProc([] { return platform::LocalNow(); });
  USE(Path("small/s.dbf"));
  small.LeaveFree(0);
  EXPECT_THROW(SetIndexToNames(Path("small/s.ndx"), 1), EDadavError);
  EXPECT_FALSE(std::filesystem::exists(Path("small/s.@S@")));
  small.Empty();
  SetIndexToNames(Path("small/s.ndx"), 1);
  Find("S7");
  EXPECT_TRUE(FindFound);
  AppendName("NEW");
  CloseAll();
}

TEST_F(IndexSharing, AWriterGivesUpOnAReaderThatNeverLeaves) {
  Signal reading, done;
  Child child([&] {
    OpenShared();
    SetReadSemaphoreProc(true);
    reading.Give();
    done.Take();
    SetReadSemaphoreProc(false);
  });
  ASSERT_TRUE(reading.Take());
  OpenShared();
  WriteLockTimeout = 2;
  const std::uint32_t start = TickCount();
  try {
    AppendName("LATE");
    ADD_FAILURE() << "no time-out";
  } catch (const EDadavError& error) {
    EXPECT_NE(std::string(error.what()).find("2 second timeout, cannot read: "), std::string::npos)
        << error.what();
  }
  EXPECT_GE(TickCount() - start, 2000u);
  Unlock();
  done.Give();
  EXPECT_EQ(child.Wait(), 0);
}

TEST_F(IndexSharing, NoRebuildWhileAnotherProgramUsesTheIndex) {
  Signal open, done;
  Child child([&] {
    OpenShared();
    open.Give();
    done.Take();
  });
  ASSERT_TRUE(open.Take());
  USE(Path("s.dbf"));
  EXPECT_THROW(MakeIndexExpr("NAME", Path("s.ndx")), EDadavError);
  EXPECT_EQ(LastErrorCode, 225);
  EXPECT_EQ(ndxtest::CheckIndexFile(Path("s.ndx")).entries.size(), 20u) << "the index is kept";
  done.Give();
  EXPECT_EQ(child.Wait(), 0);
}

// A lock the program holds stays held while it sets its indexes for the first time or again,
// builds one or closes them, though their logins and logouts take the database byte.
TEST_F(IndexSharing, IndexLoginsAndLogoutsKeepTheLocksTheProgramHolds) {
  struct Held {
    const char* name;
    bool (*take)();
    std::uint64_t offset, length;
  };
  // The records lie above the append byte.
  const Held held[] = {{"database byte", &LockFirstByte, kLockBase, 1},
                       {"record", &RLock, kAppendByte + 1, kFileLockLength - 1},
                       {"append byte", &ALock, kAppendByte, 1},
                       {"file", &FLock, kLockBase + 1, kFileLockLength}};
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"first set", [this] { SetIndexToNames(Path("s.ndx"), 1); }},
      {"set again", [this] { CloseAndSetIndexTo(Path("s.ndx")); }},
      {"built", [this] { IndexOnExpr("NAME", Path("b.ndx")); }},
      {"closed", [] { CloseIndexes(); }}};
  const int other = open(Path("s.dbf").c_str(), O_RDWR);
  for (const Held& lock : held) {
    USE(Path("s.dbf"));
    ASSERT_TRUE(lock.take()) << lock.name;
    for (const auto& [step, run] : steps) {
      run();
      EXPECT_TRUE(platform::RangeLockedElsewhere(other, lock.offset, lock.length))
          << lock.name << " after " << step;
    }
    CloseAll();
  }
  close(other);
}

// "" when the FIND of every record's name and the walk in the names' order are right, "refused"
// after error 222, else what was wrong.
std::string ReadersFault() {
  try {
    const int records = RecCount();
    for (int r = 1; r <= records; ++r) {
      Find(Stored(1, r));
      if (!FindFound || Stored(1, RecNo()) != Stored(1, r)) return "FIND missed " + Stored(1, r);
    }
    int walked = 0;
    std::string previous;
    for (GoTop(); !dEOF(); SKIP(1), ++walked) {
      if (Stored(1, RecNo()) < previous) return "walk out of order at " + previous;
      previous = Stored(1, RecNo());
    }
    if (walked != records) return "walk of " + std::to_string(walked) + " records";
  } catch (const EDadavError& error) {
    return LastErrorCode == 222 ? "refused" : error.what();
  }
  return "";
}

// A program keeps the table and two indexes open beside writers that end at their k-th write or
// sync, inside a change, for every k until their changes complete. After each end its FIND and
// walk are right, or refused with the error that asks for REINDEX, never wrong; after its
// REINDEX the next writer completes its change at once.
TEST_F(IndexSharing, AReaderBesideAWriterEndedInsideAChangeAnswersRightOrRefuses) {
  USE(Path("s.dbf") + " EXCLUSIVE");
  MakeIndexExpr("UPPER(NAME)", Path("u.ndx"));
  CloseAll();
  // The semaphore file is dated today, so that no open takes its counts for left over.
  SetTodayProc([] { return platform::LocalNow(); });
  WriteLockTimeout = 5;
  const auto openBoth = [this] {
    OpenShared();
    SetIndexToNames(Path("u.ndx"), 2);
  };
  // A writer of its own: a fresh engine in a child process, not the parent's open table.
  const auto writer = [openBoth](std::uint64_t crashAt, int n) {
    return InChild([openBoth, crashAt, n] {
      EngineStart({&ExprModuleStart, &IndexInit});
      SetExceptionMode(true);
      openBoth();
      platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
      faults->CrashAtStep(crashAt);
      for (int i = n; i < n + 2; ++i) {
        AppendName("A" + std::to_string(i));
        ChangeName(3, "R" + std::to_string(i));
      }
    });
  };
  openBoth();
  int ended = 0, refused = 0;
  for (std::uint64_t k = 1;; ++k) {
    SCOPED_TRACE("step " + std::to_string(k));
    // The reader has seen every change that ended.
    ASSERT_EQ(ReadersFault(), "");
    const int status = writer(k, static_cast<int>(k) * 10);
    if (status == 0) break;
    ASSERT_EQ(status, platform::FileFaults::kCrashStatus);
    ++ended;
    const std::string fault = ReadersFault();
    if (fault == "refused") {
      ++refused;
      Reindex();
    } else {
      ASSERT_EQ(fault, "");
    }
    const std::uint32_t start = TickCount();
    ASSERT_EQ(writer(0, static_cast<int>(k) * 10 + 5), 0);
    ASSERT_LT(TickCount() - start, 1000u) << "the next writer waited";
  }
  CloseAll();
  std::printf("%d writers ended during their changes, the reader refused after %d\n", ended,
              refused);
  EXPECT_GE(ended, 20);
  EXPECT_GT(refused, 0);
}

}  // namespace
