#include "platform/files/newoutput.h"

#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/files/filefaults.h"
#include "platform/files/osfiles.h"
#include "platform/system/services.h"
#include "tests/support/accesslist.h"
#include "tests/support/tempfolder.h"

namespace {

using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;
constexpr uid_t kDaemon = 1;
constexpr gid_t kOtherGroup = 4242;  // a second group of the user nobody in the child

// The whole output of name made of text: 0, or the errno of the step that failed.
int WriteOutput(const std::string& name, const std::string& text) {
  platform::NewOutput out;
  if (platform::OpenOutput(name, out) != 0) return errno;
  if (platform::os::WriteAll(out.fd, text.data(), text.size()))
    return platform::PlaceOutput(out, false) == 0 ? 0 : errno;
  const int error = errno;
  platform::DropOutput(out);
  return error;
}

class NewOutputTest : public testing::Test, protected TempFolder {
 protected:
  // What body returns, run in a child in the test's folder, as the user nobody (whose second
  // group is kOtherGroup) or as the test's user; 255 when the child cannot become nobody. The
  // folder is entered first, so nobody needs only to search it, not its parents.
  int InFolder(bool asNobody, const std::function<int()>& body) const {
    const pid_t child = ::fork();
    if (child == 0) {
      const gid_t groups[] = {kOtherGroup};
      const bool ready = ::chdir(Dir().c_str()) == 0 &&
                         (!asNobody || (::setgroups(1, groups) == 0 && ::setgid(kNobody) == 0 &&
                                        ::setuid(kNobody) == 0));
      ::_exit(ready ? body() : 255);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  struct stat Info(const std::string& name) const {
    struct stat info {};
    ::lstat(Path(name).c_str(), &info);
    return info;
  }

  Names In(const std::string& folder = "") const {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(Path(folder)))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  // The file made with text, mode and owner; false when the owner cannot be given.
  bool Make(const std::string& name, mode_t mode, uid_t owner, gid_t group) const {
    Put(name, "old");
    return ::chmod(Path(name).c_str(), mode) == 0 && ::chown(Path(name).c_str(), owner, group) == 0;
  }
};

TEST_F(NewOutputTest, ANewOutputGetsTheModeTheUmaskLeaves) {
  for (const mode_t mask : {077, 022, 002}) {
    const std::string name = "new" + std::to_string(mask);
    const mode_t before = ::umask(mask);
    EXPECT_EQ(WriteOutput(Path(name), "x"), 0);
    ::umask(before);
    EXPECT_EQ(Info(name).st_mode & 07777, 0666 & ~mask) << name;
  }
}

// Where the new file cannot take the old one's owner and group, the old file is written in place.
TEST_F(NewOutputTest, AReplacedOutputKeepsItsModeOwnerAndGroup) {
  struct Case {
    const char* what;
    uid_t owner;
    gid_t group;
    mode_t mode;
    bool asNobody;
    mode_t folderMode;
  };
  const Case cases[] = {
      {"the user's file of their second group", kNobody, kOtherGroup, 0640, true, 0777},
      {"another user's file, replaced by the superuser", kNobody, kNobody, 0604, false, 0777},
      {"another user's file of a group not the user's", 0, 0, 0666, true, 0777},
      {"another member's file in the group's folder", kDaemon, kOtherGroup, 0664, true, 02775},
  };
  for (const Case& c : cases) {
    if (::chown(Dir().c_str(), 0, kOtherGroup) != 0 || !Make("t.txt", c.mode, c.owner, c.group))
      GTEST_SKIP() << "only the superuser gives files";
    ASSERT_EQ(::chmod(Dir().c_str(), c.folderMode), 0);
    ASSERT_EQ(InFolder(c.asNobody, [] { return WriteOutput("t.txt", "new"); }), 0) << c.what;
    EXPECT_EQ(Bytes("t.txt"), "new") << c.what;
    const struct stat info = Info("t.txt");
    EXPECT_EQ(info.st_mode & 07777, c.mode) << c.what;
    EXPECT_EQ(info.st_uid, c.owner) << c.what;
    EXPECT_EQ(info.st_gid, c.group) << c.what;
  }
}

TEST_F(NewOutputTest, WhereANewFileCannotTakeItsPlaceTheOutputIsWrittenInPlace) {
  struct Case {
    const char* what;
    mode_t folderMode;
    uid_t fileOwner;
    bool secondLink;
    const char* label;  // a security attribute only the superuser gives
  };
  const Case cases[] = {
      {"a folder the user may not write, over a file the user may", 0755, kNobody, false, ""},
      {"another user's file in a sticky folder", 01777, 0, false, ""},
      {"a file with a second hard link", 0777, kNobody, true, ""},
      {"a file with a label a new file may not take", 0777, kNobody, false, "security.kv6"},
  };
  ASSERT_EQ(::chmod(Dir().c_str(), 0711), 0);
  for (const Case& c : cases) {
    std::filesystem::remove_all(Path("in"));
    ASSERT_EQ(::mkdir(Path("in").c_str(), c.folderMode), 0);
    ASSERT_EQ(::chmod(Path("in").c_str(), c.folderMode), 0);
    if (!Make("in/t.txt", 0666, c.fileOwner, 0)) GTEST_SKIP() << "only the superuser gives files";
    if (c.secondLink) {
      ASSERT_EQ(::link(Path("in/t.txt").c_str(), Path("in/u.txt").c_str()), 0);
    }
    if (*c.label != '\0' && ::setxattr(Path("in/t.txt").c_str(), c.label, "x", 1, 0) != 0)
      GTEST_SKIP() << "the file system holds no security attributes";
    const ino_t inode = Info("in/t.txt").st_ino;
    const int result = InFolder(true, [] { return WriteOutput("in/t.txt", "new"); });
    if (result == 255) GTEST_SKIP() << "the test cannot become another user";
    EXPECT_EQ(result, 0) << c.what;
    EXPECT_EQ(Bytes("in/t.txt"), "new") << c.what;
    EXPECT_EQ(Info("in/t.txt").st_ino, inode) << c.what;
    EXPECT_EQ(In("in"), c.secondLink ? Names({"t.txt", "u.txt"}) : Names({"t.txt"})) << c.what;
    if (c.secondLink) {
      EXPECT_EQ(Bytes("in/u.txt"), "new");
    }
  }
}

TEST_F(NewOutputTest, AnOutputTheUserMayNotWriteIsRefusedAndStays) {
  ASSERT_EQ(::chmod(Dir().c_str(), 0777), 0);
  if (!Make("t.txt", 0444, kNobody, kNobody)) GTEST_SKIP() << "only the superuser gives files";
  const int result = InFolder(true, [] { return WriteOutput("t.txt", "new"); });
  if (result == 255) GTEST_SKIP() << "the test cannot become another user";
  EXPECT_EQ(result, EACCES);
  EXPECT_EQ(Bytes("t.txt"), "old");
}

// Nobody gains or loses access: the list's group entry, mask and named user stay as they were,
// and a file without a list gets none from the folder's default list, which a new file takes.
TEST_F(NewOutputTest, AReplacedOutputKeepsItsAccessListAndExtendedAttributes) {
  const std::string acl = AccessList(1), folderAcl = AccessList(2);
  ASSERT_TRUE(Make("t.txt", 0640, ::getuid(), ::getgid()));
  ASSERT_TRUE(Make("u.txt", 0640, ::getuid(), ::getgid()));
  if (::setxattr(Path("t.txt").c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) ||
      ::setxattr(Path("t.txt").c_str(), "user.note", "kept", 4, 0) ||
      ::setxattr(Dir().c_str(), "system.posix_acl_default", folderAcl.data(), folderAcl.size(), 0))
    GTEST_SKIP() << "the file system holds no access lists or user attributes";
  const mode_t mode = Info("t.txt").st_mode;
  ASSERT_EQ(WriteOutput(Path("t.txt"), "new"), 0);
  ASSERT_EQ(WriteOutput(Path("u.txt"), "new"), 0);
  EXPECT_EQ(Info("t.txt").st_mode, mode);
  EXPECT_EQ(AttributeOf(Path("t.txt"), "system.posix_acl_access"), acl);
  EXPECT_EQ(AttributeOf(Path("t.txt"), "user.note"), "kept");
  EXPECT_EQ(Info("u.txt").st_mode & 07777, 0640u);
  EXPECT_EQ(AttributeOf(Path("u.txt"), "system.posix_acl_access"), "");
}

// The name of a new file of t.txt that the program pid left while it wrote it, its random part
// as given.
std::string LeftoverOf(pid_t pid, const std::string& padding = "",
                       const std::string& random = "0123456789abcdef") {
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  return "t.txt." + std::string(host) + "-" + padding + std::to_string(pid) + "-" + random + "$";
}

pid_t DeadPid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

// A kill may come at any moment: while the output is written nothing stands beside it but, where
// the file system makes no file without a name, the new file under a name of its own, which the
// next output removes once its writer is gone; a link name a kill left between the link and the
// rename, or planted there, is removed, never followed; and a failed output leaves the old file as
// it was.
TEST_F(NewOutputTest, NothingButTheOutputStaysBesideIt) {
  Put("mine", "mine");
  for (const bool unnamed : {true, false}) {
    platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
    faults->RefuseUnnamedFiles(!unnamed);
    Put("t.txt", "old");
    ASSERT_EQ(::chmod(Path("t.txt").c_str(), 0640), 0);
    if (unnamed) {
      ASSERT_EQ(::symlink(Path("mine").c_str(), Path("t.txt.new$").c_str()), 0);
    }
    platform::NewOutput out;
    ASSERT_EQ(platform::OpenOutput(Path("t.txt"), out), 0);
    EXPECT_EQ(In().size(), 3u) << unnamed;
    faults->FailStep(1);
    EXPECT_EQ(platform::PlaceOutput(out, false), -1);
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(In(), Names({"mine", "t.txt"})) << unnamed;
    EXPECT_EQ(Bytes("t.txt"), "old");
    const std::string running = LeftoverOf(::getpid());
    if (!unnamed) {
      Put(LeftoverOf(DeadPid()), "killed");
      Put(running, "running");
    }
    EXPECT_EQ(WriteOutput(Path("t.txt"), "new"), 0);
    EXPECT_EQ(In(), unnamed ? Names({"mine", "t.txt"}) : Names({"mine", "t.txt", running}));
    EXPECT_EQ(Bytes("t.txt"), "new");
    EXPECT_EQ(Bytes("mine"), "mine");
    EXPECT_EQ(Info("t.txt").st_mode & 07777, 0640u);
  }
}

// Without /proc, as in a chroot or a sandbox, a file without a name cannot be linked in: the
// output is written under a name of its own and still takes its place whole.
TEST_F(NewOutputTest, AnOutputIsWrittenWhereNoProcIsMounted) {
  Put("t.txt", "old");
  const int result = InFolder(false, [this] {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::umount2("/proc", MNT_DETACH) != 0)
      return 254;
    return WriteOutput(Path("t.txt"), "new");
  });
  if (result == 254) GTEST_SKIP() << "no mount namespace of our own";
  EXPECT_EQ(result, 0) << std::strerror(result);
  EXPECT_EQ(Bytes("t.txt"), "new");
  EXPECT_EQ(In(), Names({"t.txt"}));
}

// A leftover goes only once its writer is known to be gone: a writer that still holds its file,
// though its pid names no program here (as in another pid namespace), keeps it and puts it in
// place, and a name the output code never writes stays.
TEST_F(NewOutputTest, ALeftoverStaysUnlessItsWriterIsKnownGone) {
  platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
  faults->RefuseUnnamedFiles(true);
  platform::NewOutput writer;
  ASSERT_EQ(platform::OpenOutput(Path("t.txt"), writer), 0);
  const std::string unseen = LeftoverOf(DeadPid());
  ASSERT_EQ(::rename(writer.temp.c_str(), Path(unseen).c_str()), 0);
  writer.temp = Path(unseen);
  const pid_t gone = DeadPid();
  Names names = {LeftoverOf(gone, "0"), LeftoverOf(gone, "", "4294967296"),
                 LeftoverOf(gone, "", "0123456789ABCDEF"), LeftoverOf(gone, "", "0123456789abcde"),
                 LeftoverOf(gone, "", "0123456789abcdef0")};
  for (const std::string& name : names) Put(name, "stray");
  names.push_back("t.txt");
  EXPECT_EQ(WriteOutput(Path("t.txt"), "later"), 0);
  EXPECT_EQ(platform::WriteWholeOutput(writer, "first", false), 0);
  EXPECT_EQ(Bytes("t.txt"), "first");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(In(), names);
}

// Files of planter under the names a writer of s/t would try if it counted its own names from 1,
// more than it tries in one output and this test program takes before.
constexpr unsigned kCountedNames = 1000;
int PlantCountedNames(uid_t planter) {
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  for (unsigned serial = 1; serial <= kCountedNames; ++serial) {
    const std::string name = "s/t." + std::string(host) + "-" + std::to_string(::getpid()) + "-" +
                             std::to_string(serial) + "$";
    if (::mknod(name.c_str(), 0644, 0) != 0 || ::lchown(name.c_str(), planter, 0) != 0) return 254;
  }
  return 0;
}

// In a sticky folder everyone may write, another user's file or dangling link under the link name
// neither stops an output nor goes, even with files under names the writer might take for its
// own, and a link is followed only when the user's or the folder's.
TEST_F(NewOutputTest, AnotherUsersNameInASharedFolderNeitherStopsNorRedirectsAnOutput) {
  struct Case {
    const char *planted, *linkTo;  // linkTo nullptr for a file
    uid_t planter, folderOwner;    // the output is written as the other of root and nobody
    int result;
    bool countedNames;  // the planter's files under the names of PlantCountedNames too
  };
  const Case cases[] = {
      {"t.new$", nullptr, kNobody, 0, 0, false},     {"t.new$", "gone", kNobody, 0, 0, false},
      {"t.new$", nullptr, 0, 0, 0, false},           {"t.new$", "gone", 0, 0, 0, false},
      {"t", "../secret", kNobody, 0, EACCES, false}, {"t", "../secret", kNobody, kNobody, 0, false},
      {"t.new$", nullptr, kNobody, 0, 0, true}};
  ASSERT_EQ(::chmod(Dir().c_str(), 0711), 0);
  for (const Case& c : cases) {
    std::filesystem::remove_all(Path("s"));
    ASSERT_EQ(::mkdir(Path("s").c_str(), 0), 0);
    Put("secret", "secret");
    const std::string planted = Path("s/") + c.planted;
    ASSERT_EQ(c.linkTo ? ::symlink(c.linkTo, planted.c_str()) : ::mknod(planted.c_str(), 0644, 0),
              0);
    if (::chmod(Path("s").c_str(), 01777) != 0 ||
        ::chown(Path("s").c_str(), c.folderOwner, 0) != 0 ||
        ::lchown(planted.c_str(), c.planter, 0) != 0)
      GTEST_SKIP() << "only the superuser gives files";
    const int result = InFolder(c.planter == 0, [&c] {
      return c.countedNames && PlantCountedNames(c.planter) != 0 ? 254 : WriteOutput("s/t", "new");
    });
    EXPECT_EQ(result, c.result) << c.planted << c.planter << c.countedNames;
    EXPECT_EQ(Bytes("s/t"), result == 0 ? "new" : "secret") << c.planted << c.planter;
    EXPECT_EQ(Info("s/" + std::string(c.planted)).st_uid, c.planter) << c.planted;
    EXPECT_EQ(In("s").size(),
              (std::string(c.planted) == "t" ? 1u : 2u) + (c.countedNames ? kCountedNames : 0))
        << c.planted;
  }
}

}  // namespace
