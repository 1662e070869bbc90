// Two programs sharing a memo file: the lock on byte 10 keeps their writes apart.
#include <fstream>

#include "tables/modules/memo/blob.h"
#include "tables/modules/memo/memowrite.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

class MemoShare : public MemoTest {
 protected:
  void SetUp() override {
    MemoTest::SetUp();
    NewMemoTable(0x8B);
    CloseAll();
  }
};

TEST_F(MemoShare, AnotherProgramsMemoLockGives1017) {
  int ready[2], release[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(release), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    close(release[1]);
    char byte = 1;
    USE(Path("t.dbf"));
    OpenBlob(false, 0, kBlobWrite);
    if (write(ready[1], &byte, 1) != 1 || read(release[0], &byte, 1) < 0) _exit(4);
    _exit(0);
  }
  close(ready[1]);
  close(release[0]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  USE(Path("t.dbf"));
  EXPECT_EQ(ErrorOf([] { AddMemo("mine"); }),
            "Error # 1017 (Cannot lock memo file)\r\n" + Path("t.dbt") + " [AddMemo()]");
  close(release[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(AddMemo("mine"), 1) << "free again once the other program ended";
}

TEST_F(MemoShare, InterleavedAddsOfTwoProgramsKeepEveryMemo) {
  constexpr int kEach = 150;
  const std::string refs = Path("child.refs");
  const pid_t pid = fork();
  if (pid == 0) {
    std::ofstream out(refs);
    USE(Path("t.dbf"));
    int status = 0;
    try {
      for (int i = 0; i < kEach; ++i) out << AddMemo("child " + std::to_string(i)) << "\n";
    } catch (const EDadavError&) {
      status = 3;
    }
    out.close();
    _exit(status);
  }
  USE(Path("t.dbf"));
  std::vector<std::int64_t> mine;
  for (int i = 0; i < kEach; ++i) mine.push_back(AddMemo("parent " + std::to_string(i)));
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  std::ifstream in(refs);
  std::vector<std::int64_t> theirs;
  for (std::int64_t block = 0; in >> block;) theirs.push_back(block);
  ASSERT_EQ(theirs.size(), static_cast<std::size_t>(kEach));
  for (int i = 0; i < kEach; ++i) {
    EXPECT_EQ(Lines(static_cast<std::int32_t>(mine[static_cast<std::size_t>(i)])),
              "parent " + std::to_string(i));
    EXPECT_EQ(Lines(static_cast<std::int32_t>(theirs[static_cast<std::size_t>(i)])),
              "child " + std::to_string(i));
  }
  const std::string bytes = MemoFileBytes(0x8B);
  EXPECT_EQ(NextFree(0x8B, bytes), Ceil(bytes.size(), 512));
}

}  // namespace
