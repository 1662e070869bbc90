#include "platform/files/blockfile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/files/filelock.h"
#include "tests/support/tempfolder.h"

namespace {

using platform::BlockFile;

class BlockFileTest : public testing::Test, protected TempFolder {
 protected:
  BlockFileTest() { Put("t.dbf", "0123456789"); }
  const std::string path_ = Path("t.dbf");
};

TEST_F(BlockFileTest, ShareModesOfTwoOpensConflictLikeWindows) {
  struct Case {
    std::uint16_t first, second;
    int code;
  } cases[] = {
      {66, 66, 0},  {66, 64, 0},  {64, 64, 0},  {66, 18, 32}, {18, 66, 32},
      {18, 64, 32}, {64, 16, 32}, {16, 64, 32}, {2, 66, 32},  {18, 18, 32},
  };
  for (const Case& c : cases) {
    BlockFile a, b;
    ASSERT_EQ(a.Open(path_, c.first), 0) << c.first;
    EXPECT_EQ(b.Open(path_, c.second), c.code) << c.first << " then " << c.second;
    EXPECT_EQ(b.IsOpen(), c.code == 0);
  }
}

TEST_F(BlockFileTest, CreateNeverEmptiesAFileThatIsOpenElsewhere) {
  BlockFile reader, creator;
  ASSERT_EQ(reader.Open(path_, platform::kModeSharedRead), 0);
  EXPECT_EQ(creator.Create(path_), 32);
  std::uint64_t size = 0;
  ASSERT_EQ(reader.Size(size), 0);
  EXPECT_EQ(size, 10u);
  reader.Close();
  EXPECT_EQ(creator.Create(path_), 0);
  ASSERT_EQ(creator.Size(size), 0);
  EXPECT_EQ(size, 0u);
}

// In a folder everyone may write, another user's link or file under a name the engine makes is
// neither followed nor claimed.
TEST_F(BlockFileTest, AnotherUsersLinkOrFileUnderANewNameIsNeverWritten) {
  ASSERT_EQ(::chmod(Dir().c_str(), 01777), 0);
  Put("$2.txt", "kept");
  if (::symlink(path_.c_str(), Path("n.dbf").c_str()) != 0 ||
      ::symlink(path_.c_str(), Path("$1.txt").c_str()) != 0 ||
      ::lchown(Path("n.dbf").c_str(), 1, 1) != 0 || ::lchown(Path("$1.txt").c_str(), 1, 1) != 0 ||
      ::chown(Path("$2.txt").c_str(), 1, 1) != 0 || ::chmod(Path("$2.txt").c_str(), 0666) != 0)
    GTEST_SKIP() << "only the superuser gives files";
  BlockFile created;
  EXPECT_EQ(created.Create(Path("n.dbf")), 5);
  const platform::NameClaim claim = platform::ClaimFreeName(
      [this](int n) { return Path("$" + std::to_string(n) + ".txt"); }, 1, 3);
  EXPECT_EQ(claim.number, 3);
  ::close(claim.fd);
  EXPECT_EQ(Bytes("t.dbf"), "0123456789");
}

TEST_F(BlockFileTest, RefusedShareConversionKeepsTheOldLock) {
  BlockFile a, b, c;
  ASSERT_EQ(a.Open(path_, platform::kModeShared), 0);
  ASSERT_EQ(b.Open(path_, platform::kModeShared), 0);
  EXPECT_EQ(a.ConvertShare(true), 32);
  EXPECT_FALSE(a.ShareExclusive());
  b.Close();
  // a still holds its shared lock: an exclusive open elsewhere stays refused.
  EXPECT_EQ(c.Open(path_, platform::kModeExclusive), 32);
  EXPECT_EQ(a.ConvertShare(true), 0);
  EXPECT_EQ(c.Open(path_, platform::kModeSharedRead), 32);
}

TEST_F(BlockFileTest, ReadsAndWritesReportTheBytesMoved) {
  BlockFile file;
  ASSERT_EQ(file.Open(path_, platform::kModeExclusive), 0);
  std::size_t done = 0;
  ASSERT_EQ(file.WriteAt(8, "abcd", 4, done), 0);
  EXPECT_EQ(done, 4u);
  char buffer[8] = {};
  EXPECT_EQ(file.ReadAt(6, buffer, sizeof buffer, done), 0);
  EXPECT_EQ(std::string(buffer, done), "67abcd");

  BlockFile reader;
  file.Close();
  ASSERT_EQ(reader.Open(path_, platform::kModeSharedRead), 0);
  EXPECT_EQ(reader.WriteAt(0, "x", 1, done), 5);
  EXPECT_EQ(done, 0u);
}

// Locks belong to the open file description: two descriptors of one process conflict, and
// closing a third descriptor of the file drops nothing.
TEST_F(BlockFileTest, OfdLocksConflictBetweenDescriptorsOfOneProcess) {
  struct Case {
    bool firstExclusive, secondExclusive;
    int code;
  } cases[] = {{true, true, 33}, {true, false, 33}, {false, true, 33}, {false, false, 0}};
  for (const Case& c : cases) {
    int a = open(path_.c_str(), O_RDWR | O_CLOEXEC);
    int b = open(path_.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(platform::LockRange(a, 100, 10, c.firstExclusive), 0);
    close(open(path_.c_str(), O_RDONLY | O_CLOEXEC));
    EXPECT_EQ(platform::LockRange(b, 105, 1, c.secondExclusive), c.code);
    EXPECT_EQ(platform::LockRange(b, 110, 1, true), 0) << "the byte past the range is free";
    ASSERT_EQ(platform::UnlockRange(a, 100, 10), 0);
    EXPECT_EQ(platform::LockRange(b, 105, 1, true), 0);
    close(a);
    close(b);
  }
}

}  // namespace
