// PACK of a table with memos and two open indexes is all or nothing: a write that fails at any
// point, a file system that fills up and a process ended at any step leave the old table, memo
// file and indexes byte for byte, or the packed table with its memos; the next open leaves no
// file of the pack behind.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4pack.h"
#include "tables/core/engine.h"
#include "tables/core/tzfiles.h"
#include "tables/modules/expr/exprstart.h"
#include "tables/modules/memo/memowrite.h"
#include "tables/modules/ndx/ndxmanage.h"
#include "tests/support/smallfilesystem.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;
using platform::FileFaults;

constexpr int kRecords = 200;

class PackSafety : public MemoTest {
 protected:
  void SetUp() override {
    MemoTest::SetUp();
    EngineStart({&ExprModuleStart, &IndexInit, &MemoStart});
    SetExceptionMode(true);
  }

  // Every third record has a memo, of one to three blocks.
  static std::string MemoOf(std::int32_t id) {
    if (id % 3 != 1) return "";
    return "Memo " + std::to_string(id) + std::string(static_cast<std::size_t>(id) * 37 % 900, 'm');
  }

  // Type 0 is a table without memo file.
  static std::vector<std::string> Names(std::uint8_t type) {
    if (type == 0) return {"t.dbf", "a.ndx", "b.ndx"};
    return {"t.dbf", "a.ndx", "b.ndx", "t." + MemoExtOf(type)};
  }

  // kRecords records of 500 bytes with their memos in the folder (relative, "" or ending in
  // "/"), every other one deleted, and the indexes a.ndx on ID and b.ndx on 1000-ID.
  void MakeTable(std::uint8_t type, const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(Path(folder))) {
      if (entry.is_regular_file()) std::filesystem::remove(entry.path());
    }
    withMemo_ = type != 0;
    MemoType = withMemo_ ? type : 0x8B;
    NewTable(Path(folder + "t.dbf"), {Def("ID", 'N', 4), Def("NOTE", withMemo_ ? 'M' : 'C', 10),
                                      Def("NAME", 'C', 250), Def("CITY", 'C', 235)});
    MemoType = 0x8B;
    for (int id = 1; id <= kRecords; ++id) {
      if (withMemo_) {
        AppendWithMemo(id, MemoOf(id));
      } else {
        ClearRecord();
        SetInt(1, id);
        Append();
      }
      if (id % 2 == 0) DeleteRec();
    }
    IndexOnExpr("ID", Path(folder + "a.ndx"));
    IndexOnExpr("1000-ID", Path(folder + "b.ndx"));
    CloseAll();
  }

  void OpenWithIndexes(const std::string& folder) const {
    USE(Path(folder + "t.dbf") + " EXCLUSIVE");
    CloseAndSetIndexTo(Path(folder + "a.ndx") + " " + Path(folder + "b.ndx"));
  }

  std::vector<std::string> Snapshot(std::uint8_t type, const std::string& folder) const {
    std::vector<std::string> bytes;
    for (const std::string& name : Names(type)) bytes.push_back(Bytes(folder + name));
    return bytes;
  }

  void Restore(std::uint8_t type, const std::string& folder,
               const std::vector<std::string>& bytes) const {
    const std::vector<std::string> names = Names(type);
    for (std::size_t i = 0; i < names.size(); ++i) Put(folder + names[i], bytes[i]);
  }

  // The folder holds none but the table's files.
  void ExpectNoLeftovers(std::uint8_t type, const std::string& folder) const {
    const std::vector<std::string> names = Names(type);
    for (const auto& entry : std::filesystem::directory_iterator(Path(folder))) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file() && name != "fill") {
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name;
      }
    }
  }

  // The table holds all its records with every other one deleted, or the odd ones alone, each
  // with the memo of its ID; the first index walks them all in order of ID.
  void ExpectOldOrPacked(const std::string& folder) const {
    OpenWithIndexes(folder);
    const std::int32_t count = RecCount();
    const bool old = count == kRecords;
    ASSERT_TRUE(old || count == kRecords / 2) << count;
    for (std::int32_t r = 1; r <= count; ++r) {
      Set_Order_To(0);
      GO(r);
      const std::int32_t id = Int(1);
      ASSERT_EQ(id, old ? r : 2 * r - 1) << "record " << r;
      ASSERT_EQ(Deleted(), old && id % 2 == 0) << "record " << r;
      if (withMemo_) {
        ASSERT_EQ(Reference() == 0 ? "" : Lines(Reference()), MemoOf(id)) << "record " << r;
      }
    }
    Set_Order_To(1);
    GoTop();
    std::int32_t walked = 0;
    for (; !dEOF(); SKIP(1)) ASSERT_EQ(Int(1), old ? ++walked : 2 * ++walked - 1);
    EXPECT_EQ(walked, count);
    CloseAll();
  }

  // Opens the table and both indexes in another process, as another program would while this
  // one keeps them open; true when it could.
  bool IndexesOpenElsewhere() const {
    return InChild([this] {
             Select(2);
             USE(Path("t.dbf") + " ALIAS OTHER");
             CloseAndSetIndexTo(Path("a.ndx") + " " + Path("b.ndx"));
             CloseArea();
           }) == 0;
  }

  // Opens the table as another program would and reads the packed records or all of them, as
  // asked, with the memo of ID 199: 0, 255 for a wrong read, or the error code.
  int ReadElsewhere(bool packed) const {
    try {
      USE(Path("t.dbf"));
      const std::int32_t count = packed ? kRecords / 2 : kRecords;
      GO(packed ? 100 : 199);
      return RecCount() == count && Int(1) == 199 && Lines(Reference()) == MemoOf(199) ? 0 : 255;
    } catch (const EDadavError&) {
      return std::min<int>(LastErrorCode, 254);
    }
  }

  // Starts the programs at one moment, each as ReadElsewhere; how many ended with each status.
  std::map<int, int> OpenAtOnce(int programs, bool packed) const {
    int start[2];
    if (pipe(start) != 0) return {};
    std::vector<pid_t> children;
    for (int n = 0; n < programs; ++n) {
      const pid_t child = fork();
      if (child == 0) {
        close(start[1]);
        char byte = 0;
        _exit(read(start[0], &byte, 1) == 0 ? ReadElsewhere(packed) : 254);
      }
      if (child > 0) children.push_back(child);
    }
    // All of them see the pipe end at once.
    close(start[0]);
    close(start[1]);
    std::map<int, int> statuses;
    for (const pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      ++statuses[WIFEXITED(status) ? WEXITSTATUS(status) : -1];
    }
    return statuses;
  }

  bool withMemo_ = true;
};

// The write that fails is each of the pack's writes in turn: until the packed table is in place
// the four files stay byte for byte and the caller gets the error; a failure in the rebuild of
// the indexes leaves the packed table with its memos.
TEST_F(PackSafety, AWriteFailingAtAnyPointLeavesTheOldFilesOrThePackedOnes) {
  for (std::uint8_t type : kTypes) {
    SCOPED_TRACE(int{type});
    MakeTable(type, "");
    const std::vector<std::string> old = Snapshot(type, "");
    OpenWithIndexes("");
    ASSERT_TRUE(Pack());
    CloseAll();
    const std::vector<std::string> packed = Snapshot(type, "");
    ExpectOldOrPacked("");
    int before = 0, after = 0;
    for (std::uint64_t k = 1;; ++k) {
      Restore(type, "", old);
      OpenWithIndexes("");
      std::string error;
      {
        platform::Substitute<FileFaults, FileFaults> faults;
        faults->FailWrite(k);
        error = ErrorOf([] { Pack(); });
      }
      CloseAll();
      if (error.empty()) break;
      const std::vector<std::string> now = Snapshot(type, "");
      if (now[0] == old[0]) {
        ++before;
        EXPECT_EQ(now, old) << "write " << k;
      } else {
        ++after;
        EXPECT_EQ(now[0], packed[0]) << "write " << k;
        EXPECT_EQ(now[3], packed[3]) << "write " << k;
      }
      ExpectNoLeftovers(type, "");
      if (HasFailure()) return;
    }
    EXPECT_GT(before, 10);
    std::printf("PACK with a failing write, type %02X: %d writes before the swap, %d after\n", type,
                before, after);
  }
}

// Stops the pack at each of its writes, syncs and renames, in a child process ended there as a
// crash would end it; the next open finds the old table or the packed one, whole, and indexes
// that find every record: a crash after the swap leaves them marked, so the open rebuilds them.
// A table without memo file is swapped by its one rename and never needs a commit marker; a
// table's two renames follow each other, so that only a crash at the second one leaves the old
// table beside the packed memo file.
TEST_F(PackSafety, APackEndedAtAnyStepLeavesTheOldTableOrThePackedOne) {
  for (std::uint8_t type : {std::uint8_t{0}, kTypes[0], kTypes[1], kTypes[2]}) {
    SCOPED_TRACE(int{type});
    MakeTable(type, "");
    const std::vector<std::string> old = Snapshot(type, "");
    int oldSeen = 0, packedSeen = 0, betweenRenames = 0;
    for (std::uint64_t k = 1;; ++k) {
      Restore(type, "", old);
      const int status = InChild([this, k] {
        OpenWithIndexes("");
        platform::Substitute<FileFaults, FileFaults> faults;
        faults->CrashAtStep(k);
        if (!Pack()) throw 1;
      });
      if (status == 0) break;
      ASSERT_EQ(status, FileFaults::kCrashStatus) << "step " << k;
      if (type == 0) {
        EXPECT_FALSE(FileExists(Path("t.dbf.packed$"))) << "step " << k;
      } else if (Bytes("t.dbf") == old[0] && Bytes(Names(type)[3]) != old[3]) {
        ++betweenRenames;
      }
      USE(Path("t.dbf") + " EXCLUSIVE");
      (RecCount() != kRecords ? packedSeen : oldSeen)++;
      CloseAll();
      ExpectOldOrPacked("");
      // The file of an index rebuild that the crash ended goes when the index is opened.
      ExpectNoLeftovers(type, "");
      if (HasFailure()) return;
    }
    EXPECT_GT(oldSeen, 10);
    EXPECT_GT(packedSeen, 0);
    EXPECT_EQ(betweenRenames, type == 0 ? 0 : 1);
    std::printf("PACK ended at a step, type %02X: %d left the old table, %d the packed one\n", type,
                oldSeen, packedSeen);
  }
}

// A pack of a shared table that fails at any write or sync before its swap takes back the marks
// it set, so that another program opens the indexes while this one still has them; after the
// swap they are refused until they are rebuilt. After a pack that succeeds the rebuilt indexes
// are shared again.
TEST_F(PackSafety, AnotherProgramOpensTheIndexesOfASharedTableAfterEveryPack) {
  MakeTable(0x8B, "");
  const std::vector<std::string> old = Snapshot(0x8B, "");
  int before = 0;
  for (std::uint64_t k = 1;; ++k) {
    Restore(0x8B, "", old);
    USE(Path("t.dbf"));
    CloseAndSetIndexTo(Path("a.ndx") + " " + Path("b.ndx"));
    std::string error;
    {
      platform::Substitute<FileFaults, FileFaults> faults;
      faults->FailStep(k);
      error = ErrorOf([] { Pack(); });
    }
    const bool swapped = Bytes("t.dbf") != old[0];
    before += swapped ? 0 : 1;
    EXPECT_EQ(IndexesOpenElsewhere(), !swapped || error.empty()) << k << ": " << error;
    CloseAll();
    if (error.empty() || HasFailure()) break;
  }
  EXPECT_GT(before, 10);
}

// Empties and removes a file at the first write or sync after the packed table was put in
// place, so that what PACK does after its swap fails; the file's bytes are kept to be put back.
class SpoiledAfterTheSwap : public FileFaults {
 public:
  std::string newTable, spoiled, kept;

  int WriteFault() override {
    Spoil();
    return FileFaults::WriteFault();
  }
  int SyncOrRenameFault() override {
    Spoil();
    return FileFaults::SyncOrRenameFault();
  }

 private:
  void Spoil() {
    const bool pending = std::filesystem::exists(newTable);
    seenNew_ = seenNew_ || pending;
    if (!seenNew_ || pending || !kept.empty()) return;
    kept = Bytes(spoiled);
    std::filesystem::resize_file(spoiled, 0);
    std::filesystem::remove(spoiled);
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  bool seenNew_ = false;
};

// Whatever fails after the swap, the indexes stay marked until they are rebuilt: here the memo
// file cannot be opened again, or the first packed record cannot be read.
TEST_F(PackSafety, AfterTheSwapTheIndexesStayMarkedUntilTheyAreRebuilt) {
  for (const std::string spoiled : {"t.dbt", "t.dbf"}) {
    SCOPED_TRACE(spoiled);
    MakeTable(0x8B, "");
    OpenWithIndexes("");
    std::string error, kept;
    {
      platform::Substitute<FileFaults, SpoiledAfterTheSwap> faults;
      faults->newTable = Path("t.dbf.pack$");
      faults->spoiled = Path(spoiled);
      error = ErrorOf([] { Pack(); });
      kept = faults->kept;
    }
    ASSERT_FALSE(kept.empty());
    EXPECT_NE(error, "");
    Put(spoiled, kept);
    CloseAll();
    for (const std::string index : {"a.ndx", "b.ndx"}) {
      EXPECT_EQ(Bytes(index).substr(480, 8), "INCHANGE") << index;
    }
    ExpectOldOrPacked("");
  }
}

TEST_F(PackSafety, AFileSystemThatFillsUpLeavesEveryFileAsItWas) {
  const std::string folder = "small/";
  SmallFileSystem small(Path("small"));
  if (!small.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  for (std::uint8_t type : kTypes) {
    SCOPED_TRACE(int{type});
    MakeTable(type, folder);
    const std::vector<std::string> old = Snapshot(type, folder);
    int full = 0, outOfSpace = 0, done = 0;
    for (std::uintmax_t free = 0; done == 0 && free < 256 * 1024; free += 4096) {
      small.Empty();
      Restore(type, folder, old);
      small.LeaveFree(free);
      OpenWithIndexes(folder);
      const std::string error = ErrorOf([] { Pack(); });
      CloseAll();
      small.Empty();
      if (error.empty()) {
        ++done;
        continue;
      }
      ++full;
      if (error.find("1012") == std::string::npos) ++outOfSpace;
      EXPECT_EQ(Snapshot(type, folder), old) << free << " bytes free: " << error;
      ExpectNoLeftovers(type, folder);
      if (HasFailure()) return;
    }
    EXPECT_EQ(done, 1);
    EXPECT_GT(outOfSpace, 0) << "a write, not the memo's space check, ran out of space";
    std::printf("PACK on a full file system, type %02X: %d runs failed, %d of them at a write\n",
                type, full, outOfSpace);
  }
}

// The files of a pack that another program is running are not taken for a crash's leftovers.
TEST_F(PackSafety, AnOpenWhileAnotherProgramPacksLeavesItsFilesAlone) {
  MakeTable(0x8B, "");
  USE(Path("t.dbf") + " EXCLUSIVE");
  Put("t.dbf.pack$", "being written");
  Put("t.dbf.packed$", "KV6 PACK\nt.dbt\n");
  EXPECT_EQ(InChild([this] { USE(Path("t.dbf")); }), 3) << "the table is in use";
  EXPECT_EQ(Bytes("t.dbf.pack$"), "being written");
  EXPECT_TRUE(FileExists(Path("t.dbf.packed$")));
  CloseAll();
  std::filesystem::remove(Path("t.dbf.packed$"));
  USE(Path("t.dbf"));
  EXPECT_FALSE(FileExists(Path("t.dbf.pack$"))) << "left without a marker, it goes";
  EXPECT_EQ(RecCount(), kRecords);
}

// Programs that open the table at one moment while a crash left its pack unsettled: one settles
// it, the others wait for it, and each reads the table the pack leaves, with its memos.
TEST_F(PackSafety, ProgramsOpeningATableAtOnceWaitForTheOneThatSettlesItsPack) {
  constexpr int kPrograms = 12;
  constexpr int kRounds = 10;
  MakeTable(0x8B, "");
  const std::vector<std::string> old = Snapshot(0x8B, "");
  USE(Path("t.dbf") + " EXCLUSIVE");
  ASSERT_TRUE(Pack());
  CloseAll();
  const std::string packedTable = Bytes("t.dbf"), packedMemo = Bytes("t.dbt");
  const struct {
    const char* leftover;
    bool committed, memoRenamed;
  } kCases[] = {{"committed, nothing renamed", true, false},
                {"committed, memo file renamed", true, true},
                {"never committed", false, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.leftover);
    std::map<int, int> statuses;
    for (int round = 0; round < kRounds; ++round) {
      Restore(0x8B, "", old);
      Put("t.dbf.pack$", packedTable);
      Put(c.memoRenamed ? "t.dbt" : "t.dbt.packmemo$", packedMemo);
      if (c.committed) Put("t.dbf.packed$", "KV6 PACK\nt.dbt\n");
      for (const auto& [status, count] : OpenAtOnce(kPrograms, c.committed))
        statuses[status] += count;
      ExpectNoLeftovers(0x8B, "");
    }
    EXPECT_EQ(statuses, (std::map<int, int>{{0, kPrograms * kRounds}}));
  }
}

// PACK of a shared table takes it for itself and gives it back: afterwards this program and
// another one write and read the packed table, not the file it replaced, and an exclusive open
// elsewhere is refused as before.
TEST_F(PackSafety, ASharedTableIsSharedAgainAfterItsPack) {
  MakeTable(0x8B, "");
  USE(Path("t.dbf"));
  ASSERT_TRUE(Pack());
  EXPECT_EQ(InChild([this] { USE(Path("t.dbf") + " EXCLUSIVE"); }), 3);
  EXPECT_EQ(InChild([this] {
              USE(Path("t.dbf"));
              if (!FLock()) throw 1;
              AppendWithMemo(999, "appended elsewhere");
              CloseAll();
            }),
            0);
  ASSERT_EQ(RecCount(), kRecords / 2 + 1);
  GO(RecCount());
  EXPECT_EQ(Int(1), 999);
  EXPECT_EQ(Lines(Reference()), "appended elsewhere");
  ASSERT_TRUE(FLock());
  AppendWithMemo(1000, "appended here");
  CloseAll();
  USE(Path("t.dbf"));
  GO(RecCount());
  EXPECT_EQ(std::tuple(RecCount(), Int(1), Lines(Reference())),
            std::tuple(kRecords / 2 + 2, 1000, std::string("appended here")));
}

// A table and memo file that are symlinks into another file system are packed there, and stay
// symlinks; so is a memo file alone linked there, whose new file is made beside its target.
TEST_F(PackSafety, ATableLinkedIntoAnotherFileSystemIsPackedThere) {
  SmallFileSystem small(Path("small"));
  if (!small.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  for (const bool tableLinked : {true, false}) {
    SCOPED_TRACE(tableLinked ? "table and memo file linked" : "memo file linked");
    std::filesystem::remove(Path("t.dbf"));
    std::filesystem::remove(Path("t.dbt"));
    MakeTable(0x8B, "small/");
    if (tableLinked) {
      std::filesystem::create_symlink(Path("small/t.dbf"), Path("t.dbf"));
    } else {
      std::filesystem::copy_file(Path("small/t.dbf"), Path("t.dbf"));
      std::filesystem::remove(Path("small/t.dbf"));
    }
    std::filesystem::create_symlink(Path("small/t.dbt"), Path("t.dbt"));
    USE(Path("t.dbf") + " EXCLUSIVE");
    ASSERT_TRUE(Pack());
    EXPECT_EQ(RecCount(), kRecords / 2);
    CloseAll();
    EXPECT_EQ(std::filesystem::is_symlink(Path("t.dbf")), tableLinked);
    EXPECT_TRUE(std::filesystem::is_symlink(Path("t.dbt")));
    USE(Path("t.dbf"));
    GO(2);
    EXPECT_EQ(Lines(Reference()), MemoOf(3));
    CloseAll();
    ExpectNoLeftovers(0x8B, "small/");
    ExpectNoLeftovers(0x8B, "");
  }
}

}  // namespace
