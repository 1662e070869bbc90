#include "tables/modules/ndx/ndxbuild.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tables/core/tzfiles.h"
#include "tables/modules/expr/exprdates.h"
#include "tables/modules/ndx/ndxsearch.h"
#include "tests/support/smallfilesystem.h"
#include "tests/tables/core/inchild.h"
#include "tests/tables/modules/ndx/ndxtest.h"

namespace {

using namespace dadav;
using namespace enginetest;
using ndxtest::Entry;

// NAME C(10) with about a third repeated, PRICE N(10,2), BORN D.
std::string NameOf(int i) {
  const int n = i % 3 == 0 ? i / 3 : i * 7919 % 100003;
  return "N" + std::to_string(n);
}

class IndexBuild : public ndxtest::IndexTest {
 protected:
  // The table t.dbf in the folder ("" or ending in "/").
  void MakeTable(int records, const std::string& folder = "") {
    NewTable(Path(folder + "t.dbf"),
             {Def("NAME", 'C', 10), Def("PRICE", 'N', 10, 2), Def("BORN", 'D', 8)}, records,
             [](int i) {
               SetText(1, NameOf(i));
               SetReal(2, (i * 37 % 1000) / 4.0 - 50);
               PutStoredField(3, "2026" + std::string(i % 12 < 9 ? "0" : "") +
                                     std::to_string(i % 12 + 1) + "15");
             });
  }

  // The (key, record) items the table's records give, in index order.
  std::vector<Entry> Expected(int records, char type) {
    std::vector<Entry> items;
    for (int i = 1; i <= records; ++i) {
      std::string key;
      if (type == 'C') {
        key = NameOf(i);
        key.resize(10, ' ');
      } else {
        GO(i);
        double value = 0;
        std::memcpy(&value, FieldAddress(type == 'N' ? 2 : 3), 8);
        if (type == 'D') value = DtosToJulian(Stored(3, i));
        key.resize(8);
        StoreNdxDouble(value, reinterpret_cast<std::uint8_t*>(key.data()));
      }
      items.emplace_back(key, static_cast<std::uint32_t>(i));
    }
    const bool numeric = type != 'C';
    std::stable_sort(items.begin(), items.end(), [numeric](const Entry& a, const Entry& b) {
      const int order =
          CompareNdxKeys(numeric, reinterpret_cast<const std::uint8_t*>(a.first.data()),
                         reinterpret_cast<const std::uint8_t*>(b.first.data()),
                         static_cast<std::uint16_t>(a.first.size()));
      return order != 0 ? order < 0 : a.second < b.second;
    });
    return items;
  }

  // 3000 records in the folder ("" or ending in "/") with n.ndx on NAME and p.ndx on PRICE.
  void MakeIndexedTable(const std::string& folder) {
    MakeTable(3000, folder);
    MakeIndexExpr("NAME", Path(folder + "n.ndx"));
    MakeIndexExpr("PRICE", Path(folder + "p.ndx"));
    CloseAll();
  }

  std::vector<std::vector<std::uint8_t>> Files(const std::string& folder) const {
    std::vector<std::vector<std::uint8_t>> files;
    for (const char* name : {"t.dbf", "n.ndx", "p.ndx"})
      files.push_back(ReadBytes(Path(folder + name)));
    return files;
  }

  void PutFiles(const std::string& folder, const std::vector<std::vector<std::uint8_t>>& files) {
    const char* names[] = {"t.dbf", "n.ndx", "p.ndx"};
    for (std::size_t i = 0; i < files.size(); ++i) WriteBytes(Path(folder + names[i]), files[i]);
  }

  // INDEX ON NAME to n.ndx, or REINDEX of both indexes, over the files `old`, once for each
  // k = 1, 2, ... with fail(k) arming a failure, until one run completes. Each failed run leaves
  // the files byte for byte as they were and no file of its own, its error reaches the caller,
  // and after a REINDEX both indexes are open again: an appended record reaches both. The
  // number of failed runs.
  int FailEachStep(const std::string& folder, const std::vector<std::vector<std::uint8_t>>& old,
                   bool reindex, const std::function<void(std::uint64_t)>& fail) {
    for (std::uint64_t k = 1;; ++k) {
      PutFiles(folder, old);
      USE(Path(folder + "t.dbf") + " EXCLUSIVE");
      if (reindex) CloseAndSetIndexTo(Path(folder + "n.ndx") + " " + Path(folder + "p.ndx"));
      fail(k);
      std::string error;
      try {
        if (reindex) {
          Reindex();
        } else {
          MakeIndexExpr("NAME", Path(folder + "n.ndx"));
        }
      } catch (const EDadavError& e) {
        error = e.what();
      }
      fail(0);
      if (error.empty()) return static_cast<int>(k - 1);
      EXPECT_EQ(Files(folder), old) << "step " << k << ": " << error;
      if (reindex) {
        ClearRecord();
        Append();
        CloseAll();
        for (const char* index : {"n.ndx", "p.ndx"}) {
          EXPECT_EQ(ndxtest::CheckIndexFile(Path(folder + index)).entries.size(), 3001u) << index;
        }
      }
      CloseAll();
      for (const auto& entry : std::filesystem::directory_iterator(Path(folder))) {
        EXPECT_EQ(entry.path().string().find('$'), std::string::npos) << entry.path();
      }
      if (HasFailure()) return static_cast<int>(k);
    }
  }
};

TEST_F(IndexBuild, EveryLevelEndsSoundForTheSizesThatCloseLevels) {
  struct Case {
    int records;
    const char* expression;
    char type;
  };
  // 651..675 close a level exactly at key length 10; 16,901 makes two levels borrow.
  for (const Case c :
       {Case{0, "NAME", 'C'}, Case{1, "NAME", 'C'}, Case{5, "NAME", 'C'}, Case{26, "NAME", 'C'},
        Case{651, "NAME", 'C'}, Case{660, "NAME", 'C'}, Case{3000, "PRICE", 'N'},
        Case{3000, "BORN", 'D'}, Case{16901, "NAME", 'C'}}) {
    SCOPED_TRACE(std::to_string(c.records) + " " + c.expression);
    CloseAll();
    MakeTable(c.records);
    MakeIndexExpr(c.expression, Path("t.ndx"));
    const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path("t.ndx"), true);
    EXPECT_EQ(report.problem, "");
    EXPECT_EQ(report.entries, Expected(c.records, c.type));
    IndexInfoRecord info;
    IndexInfo(info, Path("t.ndx"));
    EXPECT_EQ(info.recordCount, c.records);
    EXPECT_EQ(info.keyType, c.type == 'N' ? 'F' : c.type);
    EXPECT_EQ(info.tableName, "t.dbf");
  }
}

TEST_F(IndexBuild, AnEmptyTableWritesAnAllZeroRoot) {
  MakeTable(0);
  MakeIndexExpr("NAME", Path("t.ndx"));
  const std::vector<std::uint8_t> bytes = ReadBytes(Path("t.ndx"));
  ASSERT_EQ(bytes.size(), 1024u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[4], 2);
  EXPECT_TRUE(std::all_of(bytes.begin() + 512, bytes.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(IndexBuild, SpilledRunsGiveTheSameBytes) {
  MakeTable(20000);
  MakeIndexExpr("NAME", Path("memory.ndx"));
  const std::size_t saved = IndexSortBudget;
  IndexSortBudget = 8189 * (14 + sizeof(void*));
  MakeIndexExpr("NAME", Path("runs.ndx"));
  IndexSortBudget = saved;
  EXPECT_EQ(ReadBytes(Path("runs.ndx")), ReadBytes(Path("memory.ndx")));
}

TEST_F(IndexBuild, UniqueKeepsTheLowestRecordOfAKey) {
  NewTable(Path("u.dbf"), {Def("NAME", 'C', 4)}, 3, [](int i) { SetText(1, i == 3 ? "B" : "A"); });
  MakeIndexExpr("NAME", Path("u.ndx UNIQUE"));
  const ndxtest::TreeReport report = ndxtest::CheckIndexFile(Path("u.ndx"), true);
  ASSERT_EQ(report.entries.size(), 2u);
  EXPECT_EQ(report.entries[0], Entry("A   ", 1));
  EXPECT_EQ(report.entries[1], Entry("B   ", 3));
}

TEST_F(IndexBuild, KeyLengthComesFromTheBlankRecord) {
  MakeTable(3);
  GO(2);
  EXPECT_THROW(MakeIndexExpr("TRIM(NAME)", Path("trim.ndx")), EDadavError);
  EXPECT_EQ(LastErrorCode, 266);
  EXPECT_FALSE(FileExists(Path("trim.ndx")));
  MakeIndexExpr("LEFT(NAME,3)+TRIM(NAME)", Path("mixed.ndx"));
  IndexInfoRecord info;
  IndexInfo(info, Path("mixed.ndx"));
  EXPECT_EQ(info.keyLength, 3) << "three blanks and an empty trim";
  EXPECT_EQ(RecNo(), 2) << "the build leaves the table where it was";
}

TEST_F(IndexBuild, ShortDiskReportsBothFiguresAndLeavesNoFile) {
  MakeTable(3000);
  platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
  faults->SetFreeBytes(10 * 1024);
  try {
    MakeIndexExpr("NAME", Path("full.ndx"));
    FAIL() << "no error";
  } catch (const EDadavError& error) {
    EXPECT_NE(std::string(error.what()).find("Available disk space: 10 KBytes;needed: "),
              std::string::npos)
        << error.what();
  }
  EXPECT_EQ(LastErrorCode, 227);
  EXPECT_FALSE(FileExists(Path("full.ndx")));
}

TEST_F(IndexBuild, AFailedWriteIsReportedAndLeavesNoFile) {
  MakeTable(3000);
  platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
  faults->FailWrite(2);
  EXPECT_THROW(MakeIndexExpr("NAME", Path("bad.ndx")), EDadavError);
  EXPECT_EQ(LastErrorCode, 101);
  EXPECT_FALSE(FileExists(Path("bad.ndx")));
}

// A write that fails at any point of INDEX ON or REINDEX leaves the table and the old index
// files byte for byte as they were, an index that a crash left marked still marked, and the
// error reaches the caller; a failed REINDEX leaves every index open, so that later changes
// keep them all in step. Also when the build spills sorted runs to a file.
TEST_F(IndexBuild, AWriteFailingAtAnyPointLeavesTheOldIndexAsItWas) {
  struct Case {
    const char* name;
    bool reindex;
    bool marked;
    std::size_t budget;
  };
  MakeIndexedTable("");
  const std::size_t saved = IndexSortBudget;
  platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
  for (const Case c : {Case{"INDEX ON", false, false, saved}, Case{"marked", false, true, saved},
                       Case{"runs", false, false, 500 * (14 + sizeof(void*))},
                       Case{"REINDEX", true, false, saved}}) {
    SCOPED_TRACE(c.name);
    auto old = Files("");
    if (c.marked) std::copy_n("INCHANGE", 8, old[1].begin() + 480);
    IndexSortBudget = c.budget;
    EXPECT_GE(
        FailEachStep("", old, c.reindex, [&faults](std::uint64_t k) { faults->FailWrite(k); }), 2);
    if (HasFailure()) break;
  }
  IndexSortBudget = saved;
}

// The same on a small file system that fills up: with the disk space check let through, each
// INDEX ON and REINDEX runs out of space at a later write, until one completes.
TEST_F(IndexBuild, AFileSystemThatFillsUpLeavesTheOldIndexAsItWas) {
  SmallFileSystem small(Path("small"));
  if (!small.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  MakeIndexedTable("small/");
  const auto old = Files("small/");
  platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
  faults->SetFreeBytes(1e12L);
  const auto fill = [&small](std::uint64_t k) {
    small.Empty();
    if (k != 0) small.LeaveFree((k - 1) * 4096);
  };
  for (const bool reindex : {false, true}) {
    SCOPED_TRACE(reindex ? "REINDEX" : "INDEX ON");
    EXPECT_GE(FailEachStep("small/", old, reindex, fill), 2);
  }
}

int progressCalls = 0;

TEST_F(IndexBuild, ProgressIsCalledExactlyTheStepsAskedFor) {
  MakeTable(1000);
  for (std::uint32_t steps : {1u, 7u, 100u, 5000u}) {
    progressCalls = 0;
    SetIndexProgressProc([] { ++progressCalls; }, steps);
    MakeIndexExpr("NAME", Path("p.ndx"));
    EXPECT_EQ(progressCalls, static_cast<int>(steps));
  }
  SetIndexProgressProc(nullptr, 0);
}

// A build file a crash left, or a link planted under its name, is removed, never followed; the
// rebuilt index keeps its mode, owner and group.
TEST_F(IndexBuild, TheBuildFileFollowsNoLinkAndTheIndexKeepsModeOwnerAndGroup) {
  MakeTable(50);
  MakeIndexExpr("NAME", Path("n.ndx"));
  if (::chown(Path("n.ndx").c_str(), 65534, 4242) != 0) GTEST_SKIP() << "not the superuser";
  ASSERT_EQ(::chmod(Path("n.ndx").c_str(), 0640), 0);
  Put("mine", "mine");
  ASSERT_EQ(::symlink(Path("mine").c_str(), Path("n.ndx.build$").c_str()), 0);
  MakeIndexExpr("PRICE", Path("n.ndx"));
  EXPECT_EQ(Bytes("mine"), "mine");
  struct stat info {};
  EXPECT_NE(::lstat(Path("n.ndx.build$").c_str(), &info), 0);
  ASSERT_EQ(::lstat(Path("n.ndx").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode, S_IFREG | 0640);
  EXPECT_EQ(info.st_uid, 65534u);
  EXPECT_EQ(info.st_gid, 4242u);
  EXPECT_EQ(ndxtest::CheckIndexFile(Path("n.ndx")).entries.size(), 50u);
}

// Where no new file can take the index's place, the index is rebuilt in place: for a second name
// of it, and in a folder the program (the user nobody, in a child) may not make files in.
TEST_F(IndexBuild, AnIndexNoNewFileCanReplaceIsRebuiltInPlace) {
  const auto Inode = [this](const char* name) {
    struct stat info {};
    return ::stat(Path(name).c_str(), &info) == 0 ? info.st_ino : 0;
  };
  MakeTable(50);
  MakeIndexExpr("PRICE", Path("p.ndx"));
  ASSERT_EQ(::chmod(Dir().c_str(), 0711), 0);
  for (const bool secondName : {true, false}) {
    MakeIndexExpr("NAME", Path("n.ndx"));
    if (secondName) {
      ASSERT_EQ(::link(Path("n.ndx").c_str(), Path("m.ndx").c_str()), 0);
    } else if (::chown(Path("n.ndx").c_str(), 65534, 65534) != 0) {
      GTEST_SKIP() << "not the superuser";
    }
    const ino_t inode = Inode("n.ndx");
    const int status = InChild([&] {
      if (!secondName && (::setgid(65534) != 0 || ::setuid(65534) != 0)) throw 0;
      MakeIndexExpr("PRICE", Path("n.ndx"));
    });
    ASSERT_EQ(status, 0) << secondName;
    EXPECT_EQ(Inode("n.ndx"), inode) << secondName;
    EXPECT_EQ(ReadBytes(Path("n.ndx")), ReadBytes(Path("p.ndx"))) << secondName;
    if (secondName) {
      EXPECT_EQ(ReadBytes(Path("m.ndx")), ReadBytes(Path("p.ndx")));
      std::filesystem::remove(Path("m.ndx"));
    }
  }
}

TEST_F(IndexBuild, RefusalsNameTheirCause) {
  MakeTable(2);
  EXPECT_THROW(MakeIndexExpr("NAME", "  "), EDadavError);
  EXPECT_EQ(LastErrorCode, 220);
  EXPECT_THROW(MakeIndexExpr("NAME = 'A'", Path("l.ndx")), EDadavError);
  EXPECT_EQ(LastErrorCode, 254);
  EXPECT_THROW(MakeIndexExpr(std::string(101, 'A'), Path("l.ndx")), EDadavError);
  EXPECT_EQ(LastErrorCode, 300);
  IndexOnExpr("NAME", Path("open.ndx"));
  EXPECT_THROW(MakeIndexExpr("NAME", Path("OPEN.NDX")), EDadavError);
  EXPECT_EQ(LastErrorCode, 214);
  std::filesystem::create_directory(Path("d.ndx.build$"));
  try {
    MakeIndexExpr("NAME", Path("d.ndx"));
    FAIL() << "no error";
  } catch (const EDadavError& error) {
    EXPECT_NE(std::string(error.what()).find("File not open " + Path("d.ndx")), std::string::npos)
        << error.what();
  }
}

}  // namespace
