#include "base/dialogs/utilcrtfile.h"

#include <gmock/gmock.h>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "tests/base/dialogfixture.h"
#include "tests/support/scopedcurrentfolder.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;

class UtilCrtFileTest : public DialogTest {
 protected:
  // The abort flag a check of the name leaves, starting from a clear flag.
  int CheckName(const std::string& name) {
    AbortFlag = 0;
    CheckOutputFileName(name);
    return AbortFlag;
  }
};

TEST_F(UtilCrtFileTest, DotsCountOnlyInTheFileNameAndFoldersAreNoFileNames) {
  std::filesystem::create_directory(Path("v1.2"));
  EXPECT_EQ(CheckName(Path("v1.2/shaft.kv6")), 0);
  EXPECT_EQ(CheckName(Path("a.b.kv6")), 1);
  EXPECT_THAT(script_.Transcript(),
              ::testing::ElementsAre("KV6|" + Path("a.b.kv6") + " not allowed (too many dots)!"));
  EXPECT_THAT(Files(), ::testing::IsEmpty());  // the probe of a new name leaves nothing behind
  Write("plain", "x");
  for (const std::string& name : {Path("v1.2"), Path("plain/x.kv6")}) {
    EXPECT_EQ(CheckName(name), 1) << name;
    EXPECT_EQ(script_.Transcript().back(), "Error  : |invalid file name \"" + name + "\" !");
  }
}

// The permission checks of an ordinary user for file operations of this thread, which root
// passes whatever the permissions say.
class AsOrdinaryUser {
 public:
  AsOrdinaryUser()
      : group_(static_cast<gid_t>(::setfsgid(kNobody))),
        user_(static_cast<uid_t>(::setfsuid(kNobody))) {}
  ~AsOrdinaryUser() {
    ::setfsuid(user_);
    ::setfsgid(group_);
  }
  AsOrdinaryUser(const AsOrdinaryUser&) = delete;
  AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

 private:
  static constexpr uid_t kNobody = 65534;
  gid_t group_;
  uid_t user_;
};

// A tmpfs of the test's own on a folder, unmounted at the end.
class TestMount {
 public:
  TestMount(const std::string& folder, const std::string& options) : folder_(folder) {
    std::filesystem::create_directory(folder_);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  ~TestMount() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  TestMount(const TestMount&) = delete;
  TestMount& operator=(const TestMount&) = delete;
  bool Mounted() const { return mounted_; }
  bool MakeReadOnly() const {
    return ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string folder_;
  bool mounted_ = false;
};

// A file that exists but cannot be written, or a new name the system refuses to make in a folder
// that exists, says why; only a name that cannot be made is an invalid file name.
TEST_F(UtilCrtFileTest, AFileThatCannotBeWrittenSaysWhy) {
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all |
                                         std::filesystem::perms::group_exec |
                                         std::filesystem::perms::others_exec);
  Write("readonly.kv6", "kept");
  std::filesystem::permissions(Path("readonly.kv6"), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::group_read |
                                                         std::filesystem::perms::others_read);
  Write("others.kv6", "kept");
  std::filesystem::permissions(Path("others.kv6"), std::filesystem::perms::owner_read |
                                                       std::filesystem::perms::owner_write |
                                                       std::filesystem::perms::group_read |
                                                       std::filesystem::perms::others_read);
  TestMount readOnly(Path("ro"), "size=64k,mode=0755");
  TestMount noInodes(Path("full"), "size=64k,nr_inodes=1,mode=0755");
  if (!readOnly.Mounted() || !noInodes.Mounted()) {
    GTEST_SKIP() << "mounting a file system is not permitted here";
  }
  Write("ro/old.kv6", "kept");
  ASSERT_TRUE(readOnly.MakeReadOnly());
  struct Case {
    const char* name;
    bool asOrdinaryUser;
    const char* shown;
  };
  const Case cases[] = {
      {"readonly.kv6", true, "cannot be written (read-only)"},
      {"others.kv6", true, "cannot be written (access denied)"},
      {"new.kv6", true, "cannot be written (access denied)"},
      {"ro/old.kv6", false, "cannot be written (read-only)"},
      {"ro/new.kv6", false, "cannot be written (read-only)"},
      {"full/new.kv6", false, "cannot be written (disk full)"},
      {"missing/new.kv6", false, ""},
  };
  OverwriteQuestion = false;
  // Named from inside the folder, whose own parents an ordinary user need not be able to pass.
  const ScopedCurrentFolder inside(dir_);
  for (const Case& c : cases) {
    const std::string name = c.name;
    int refused = 0;
    if (c.asOrdinaryUser) {
      const AsOrdinaryUser user;
      refused = CheckName(name);
    } else {
      refused = CheckName(name);
    }
    const std::string expected = *c.shown == '\0' ? "invalid file name \"" + name + "\" !"
                                                  : "file \"" + name + "\" " + c.shown + " !";
    EXPECT_EQ(std::tuple(refused, script_.Transcript().back()),
              std::tuple(1, "Error  : |" + expected))
        << c.name;
  }
  OverwriteQuestion = true;
  EXPECT_EQ(std::tuple(Read("readonly.kv6"), Read("others.kv6"), Read("ro/old.kv6")),
            std::tuple("kept", "kept", "kept"));
  EXPECT_FALSE(std::filesystem::exists(Path("new.kv6")));
}

TEST_F(UtilCrtFileTest, AnExistingFileIsAskedForAndKeptWhateverTheAnswer) {
  Write("shaft.kv6", "content");
  Write("actual.kv6", "content");
  script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::No));
  script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));
  EXPECT_EQ(CheckName(Path("shaft.kv6")), 1);
  EXPECT_EQ(CheckName(Path("shaft.kv6")), 0);
  EXPECT_EQ(HelpNumber, 3055);
  EXPECT_EQ(CheckName(Path("actual.kv6")), 0);  // no question
  OverwriteQuestion = false;
  EXPECT_EQ(CheckName(Path("shaft.kv6")), 0);
  OverwriteQuestion = true;
  EXPECT_EQ(script_.Transcript()[0], "Box|BRELCOR Engineering Software|" + Path("shaft.kv6") +
                                         " already exists.   overwrite ?");
  EXPECT_EQ(std::tuple(Read("shaft.kv6"), Read("actual.kv6")), std::tuple("content", "content"));
}

TEST_F(UtilCrtFileTest, SaveFileDialogBranches) {
  DataDir = dir_;
  FileExt = "kv6";
  CurrentFile = "old";
  std::string full;
  SaveFileDialog("x", full);
  EXPECT_EQ(std::tuple(full, CurrentFile), std::tuple(Path("x.kv6"), "old"));
  SaveFileDialog(Path("y.txt"), full);
  EXPECT_EQ(full, Path("y.txt"));
  script_.Expect(Step(DialogKind::SaveFile).Type(Path("sub/chosen.kv6")));
  std::filesystem::create_directory(Path("sub"));
  SaveFileDialog("", full);
  EXPECT_EQ(std::tuple(full, CurrentFile, DataDir),
            std::tuple(Path("sub/chosen.kv6"), "chosen", Path("sub/")));
  const auto& request = script_.FileRequests().back();
  EXPECT_EQ(std::tuple(request.filters[0].pattern, request.name), std::tuple("*.kv6", "old"));
  script_.Expect(Step(DialogKind::SaveFile).Closing(DialogClose::Cancel));
  SaveFileDialog("", full);
  EXPECT_EQ(std::tuple(AbortFlag, CurrentFile), std::tuple(1, "chosen"));
  ArchiveMode = 1;
  ArchiveFlag = 1;
  AbortFlag = 0;
  SaveFileDialog("x", full);
  EXPECT_EQ(std::tuple(AbortFlag, script_.Transcript().back()),
            std::tuple(1, "Error  : |Option is not available in archive mode."));
  // The working file "actual" is saved in archive mode too, and archive mode stays; without
  // the flag it ends.
  AbortFlag = 0;
  SaveFileDialog("actual", full);
  EXPECT_EQ(std::tuple(AbortFlag, ArchiveMode, full), std::tuple(0, 1, Path("sub/actual.kv6")));
  ArchiveFlag = 0;
  SaveFileDialog("actual", full);
  EXPECT_EQ(ArchiveMode, 0);
}

// A name the check refuses in the save dialog, taken or not, leaves the current file and the
// data folder as they were.
TEST_F(UtilCrtFileTest, ARefusedSaveAsKeepsTheCurrentFileAndItsFolder) {
  std::filesystem::create_directory(Path("other"));
  Write("other/taken.kv6", "unrelated");
  DataDir = dir_ + "/";
  FileExt = "kv6";
  CurrentFile = "mine";
  script_.Expect(Step(DialogKind::SaveFile).Type(Path("other/taken.kv6")));
  script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::No));
  script_.Expect(Step(DialogKind::SaveFile).Type(Path("other/a.b.kv6")));
  for (int attempt = 0; attempt < 2; ++attempt) {
    AbortFlag = 0;
    std::string full;
    SaveFileDialog("", full);
    EXPECT_EQ(std::tuple(AbortFlag, CurrentFile, DataDir), std::tuple(1, "mine", dir_ + "/"));
  }
  EXPECT_EQ(Read("other/taken.kv6"), "unrelated");
}

TEST_F(UtilCrtFileTest, FileChoicesSetFolderNameAndExtension) {
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("start.plt")));
  script_.Expect(Step(DialogKind::OpenFile).Type(Path("calc.k6x")));
  script_.Expect(Step(DialogKind::OpenFile).Closing(DialogClose::Cancel));
  std::string folder = dir_ + "/";
  std::string file;
  SelectFileOfKind(1, folder, "*.plt", file);
  EXPECT_EQ(std::tuple(file, script_.FileRequests().back().folder), std::tuple("start", dir_));
  SelectFileOfKind(4, folder, "*.*", file);
  EXPECT_EQ(std::tuple(FileExt, folder), std::tuple("k6x", dir_ + "/"));
  SelectFileOfKind(5, folder, "*.*", file);
  EXPECT_EQ(std::tuple(file, AbortFlag), std::tuple("", 1));
}

TEST_F(UtilCrtFileTest, ReadCheckAndWriteErrorsUseTheFixedTexts) {
  CheckFileReadable(" " + Path("missing") + " ");
  EXPECT_EQ(std::tuple(AbortFlag, script_.Transcript().back()),
            std::tuple(1, "Error  : |file " + Path("missing") + " not found or no access !"));
  TextFile full;
  full.Assign("/dev/full");
  AbortFlag = 0;
  RewriteOrFail(full);
  ASSERT_EQ(AbortFlag, 0);
  WriteLineChecked(full, std::string(70000, 'x'));  // more than the buffer holds
  EXPECT_EQ(std::tuple(AbortFlag, script_.Transcript().back()),
            std::tuple(1, "Error  : |disk full"));
  const std::size_t shown = script_.Transcript().size();
  WriteLineChecked(full, "nothing while AbortFlag is set");
  EXPECT_EQ(script_.Transcript().size(), shown);
  full.Close();
}

TEST_F(UtilCrtFileTest, RewriteCheckedGivesUpInsteadOfLooping) {
  TextFile file;
  file.Assign(Path("no/such/folder.txt"));
  // Without error boxes it fails at once; a box is answered Cancel, or Retry until it gives up.
  const std::vector<MessageAnswer> runs[] = {
      {}, {MessageAnswer::Cancel}, {MessageAnswer::Retry, MessageAnswer::Retry}};
  for (const auto& answers : runs) {
    ErrorBoxOn = answers.empty() ? 0 : 1;
    for (const MessageAnswer answer : answers) script_.Expect(Step(DialogKind::Box).Answer(answer));
    AbortFlag = 0;
    RewriteChecked(file);
    EXPECT_EQ(std::tuple(AbortFlag, file.IsOpen()), std::tuple(1, false)) << answers.size();
  }
  EXPECT_EQ(script_.Transcript().back(), "Error  : |I/O-Error 2");
  file.Assign(Path("ok.txt"));
  AbortFlag = 0;
  RewriteChecked(file);
  EXPECT_EQ(std::tuple(AbortFlag, file.IsOpen()), std::tuple(0, true));
}

TEST_F(UtilCrtFileTest, UserIdMustBeOneFolderBelowTheDataFolder) {
  const auto cwd = std::filesystem::current_path();
  std::filesystem::create_directory(Path("anna"));
  DefaultDataDir = dir_ + "/";
  std::size_t exits = 0;
  for (const std::string id : {"", ".", "..", "a/../x", "a\\b", "c:", "bert"}) {
    script_.Expect(Step(DialogKind::Text).Type(id));
    AskUserId();
    EXPECT_EQ(script_.Exits().size(), ++exits) << id;
  }
  script_.Expect(Step(DialogKind::Text).Closing(DialogClose::Cancel));
  AskUserId();
  EXPECT_EQ(script_.Exits().size(), ++exits);
  EXPECT_THAT(script_.Exits(), ::testing::Each(1));
  EXPECT_EQ(script_.Transcript()[1], "Error  : |Invalid user ID  !");
  script_.Expect(Step(DialogKind::Text).Type("anna"));
  AskUserId();
  EXPECT_EQ(std::tuple(script_.Exits().size(), DataDir, std::filesystem::current_path()),
            std::tuple(exits, "anna", std::filesystem::path(dir_)));
  EXPECT_EQ(script_.Requests().back().maxLength, 8u);
  std::filesystem::create_directory(Path("J\303\274rgen"));  // typed in Windows-1252 below
  script_.Expect(Step(DialogKind::Text).Type("J\374rgen"));
  AskUserId();
  EXPECT_EQ(std::tuple(script_.Exits().size(), DataDir), std::tuple(exits, "J\374rgen"));
  std::filesystem::current_path(cwd);
}

}  // namespace
