#include "platform/files/replacefile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/files/blockfile.h"
#include "platform/files/fileidentity.h"
#include "platform/files/osfiles.h"
#include "tests/support/tempfolder.h"

namespace {

class ReplaceFileTest : public testing::Test, protected TempFolder {};

TEST_F(ReplaceFileTest, ASyncOfAMissingFolderFails) {
  EXPECT_EQ(platform::FsyncDirectory(Path("missing")), -1);
}

// A rename into another file system fails as such, not as a full disk, and keeps the new file.
TEST_F(ReplaceFileTest, ARenameIntoAnotherFileSystemFailsAsSuch) {
  struct stat here {
  }, other{};
  const std::string target = "/dev/shm/kv6-rename-" + std::to_string(::getpid());
  if (::stat(Dir().c_str(), &here) != 0 || ::stat("/dev/shm", &other) != 0 ||
      here.st_dev == other.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  Put("t.txt", "new");
  EXPECT_EQ(platform::RenameOver(Path("t.txt"), target), -1);
  EXPECT_EQ(platform::IoCodeFromErrno(errno, true), 17);
  EXPECT_EQ(Bytes("t.txt"), "new");
  EXPECT_FALSE(platform::os::Accessible(target, F_OK));
}

TEST_F(ReplaceFileTest, IdentityKnowsOneFileByAnySpelling) {
  Put("a.dbf", "x");
  Put("b.dbf", "x");
  ASSERT_EQ(::symlink(Path("a.dbf").c_str(), Path("link.dbf").c_str()), 0);
  platform::BlockFile file;
  ASSERT_EQ(file.Open(Path("a.dbf"), platform::kModeSharedRead), 0);
  platform::FileIdentity open, viaLink, other;
  ASSERT_TRUE(platform::IdentityOfFile(file, open));
  ASSERT_TRUE(platform::IdentityOfPath(Dir() + "/./link.dbf", viaLink));
  ASSERT_TRUE(platform::IdentityOfPath(Path("b.dbf"), other));
  EXPECT_EQ(open, viaLink);
  EXPECT_FALSE(open == other);
  EXPECT_TRUE(platform::SameFile(file.Descriptor(), Path("link.dbf")));
  EXPECT_FALSE(platform::SameFile(file.Descriptor(), Path("none.dbf")));
  platform::BlockFile closed;
  EXPECT_FALSE(platform::IdentityOfFile(closed, other));
}

}  // namespace
