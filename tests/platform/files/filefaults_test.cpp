#include "platform/files/filefaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "platform/files/blockfile.h"
#include "platform/files/dirservices.h"
#include "platform/files/replacefile.h"
#include "platform/system/services.h"
#include "tests/support/tempfolder.h"

namespace {

using platform::BlockFile;
using platform::FileFaults;

class FileFaultsTest : public testing::Test, protected TempFolder {
 protected:
  int Write(const BlockFile& file, std::uint64_t offset) {
    std::size_t done = 0;
    return file.WriteAt(offset, "ab", 2, done);
  }
};

TEST_F(FileFaultsTest, OnlyTheArmedWriteFailsAndOnlyWhileArmed) {
  BlockFile file;
  ASSERT_EQ(file.Create(Path("f.bin")), 0);
  {
    platform::Substitute<FileFaults, FileFaults> faults;
    faults->FailWrite(3, 112);
    EXPECT_EQ(Write(file, 0), 0);
    EXPECT_EQ(Write(file, 2), 0);
    EXPECT_EQ(Write(file, 4), 112);
    EXPECT_EQ(Write(file, 4), 0);
    faults->FailWrite(1);
    faults->FailWrite(0);
    EXPECT_EQ(Write(file, 6), 0);
  }
  EXPECT_EQ(platform::ArmedFileFaults(), nullptr);
  EXPECT_EQ(Write(file, 8), 0);
  std::uint64_t size = 0;
  ASSERT_EQ(file.Size(size), 0);
  EXPECT_EQ(size, 10u) << "the failed write wrote nothing";
}

TEST_F(FileFaultsTest, FreeSpaceFigureIsTheSetOneUntilReset) {
  ASSERT_GT(platform::DiskFreeBytes(Path("")), 4096);
  platform::Substitute<FileFaults, FileFaults> faults;
  EXPECT_GT(platform::DiskFreeBytes(Path("")), 4096) << "nothing set yet";
  faults->SetFreeBytes(4096);
  EXPECT_EQ(platform::DiskFreeBytes(Path("")), 4096);
  EXPECT_EQ(platform::DiskFreeBytes("/"), 4096);
  faults->SetFreeBytes(-1);
  EXPECT_GT(platform::DiskFreeBytes(Path("")), 4096);
}

TEST_F(FileFaultsTest, StepsCountWritesSyncsAndRenamesAndTheArmedOneFailsOrEndsTheProcess) {
  BlockFile file;
  ASSERT_EQ(file.Create(Path("f.bin")), 0);
  Put("new.bin", "x");
  {
    platform::Substitute<FileFaults, FileFaults> faults;
    faults->FailStep(3);
    EXPECT_EQ(Write(file, 0), 0);
    EXPECT_EQ(file.Sync(), 0);
    EXPECT_NE(platform::RenameOver(Path("new.bin"), Path("f.bin")), 0) << "the rename";
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(Bytes("f.bin"), "ab");
    faults->FailStep(2);
    EXPECT_EQ(file.Sync(), 0);
    EXPECT_EQ(Write(file, 2), 101);
    faults->FailStep(1);
    EXPECT_NE(platform::FsyncDirectory(Dir()), 0);
    EXPECT_EQ(faults->Steps(), 6u);
    faults->CrashAtStep(2);
    EXPECT_EXIT(
        {
          Write(file, 2);
          file.Sync();
        },
        testing::ExitedWithCode(FileFaults::kCrashStatus), "");
  }
  EXPECT_EQ(file.Sync(), 0);
}

}  // namespace
