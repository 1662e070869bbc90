// PACK keeps who may read and write a table and its memo file, whoever packs it, and another
// user's file under a name of the pack neither receives the table's records nor takes its place.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "tables/core/dbf4pack.h"
#include "tests/support/accesslist.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

constexpr uid_t kNobody = 65534;
constexpr uid_t kDaemon = 1;
constexpr gid_t kGroup = 4242;  // the second group of the user a child runs as

class PackOwner : public MemoTest {
 protected:
  // t.dbf with its memo file alone in the folder: four records with memos, the even ones deleted.
  void MakeTable() {
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      std::filesystem::remove(entry.path());
    NewMemoTable(0x8B);
    for (int id = 1; id <= 4; ++id) {
      AppendWithMemo(id, "memo " + std::to_string(id));
      if (id % 2 == 0) DeleteRec();
    }
    CloseAll();
  }

  bool Give(const std::string& name, uid_t owner, gid_t group, mode_t mode) const {
    return ::chown(Path(name).c_str(), owner, group) == 0 && ::chmod(Path(name).c_str(), mode) == 0;
  }

  // What body returns, run in a child as user (kept the superuser for 0), whose second group is
  // kGroup; 255 when the child cannot become the user.
  static int As(uid_t user, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
      const gid_t groups[] = {kGroup};
      const bool ready =
          user == 0 || (::setgroups(1, groups) == 0 && ::setgid(user) == 0 && ::setuid(user) == 0);
      ::_exit(ready ? body() : 255);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The table's records as user sees them once it opened it, after a PACK where asked: the count,
  // -1 for a PACK refused saying why, -2 for any other error.
  int RecordsAs(uid_t user, bool pack) const {
    return As(user, [this, pack] {
      std::int32_t count = 0;
      const std::string error = ErrorOf([&] {
        USE(Path("t.dbf") + " EXCLUSIVE");
        if (pack) Pack();
        count = RecCount();
        CloseAll();
      });
      if (error.empty()) return static_cast<int>(count);
      return error.find("cannot keep its owner") != std::string::npos ? 201 : 202;
    });
  }

  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(Dir()),
                                                  std::filesystem::directory_iterator()));
  }
};

TEST_F(PackOwner, PackKeepsOwnerGroupModeAccessListAndAttributesOrIsRefused) {
  struct Case {
    const char* what;
    uid_t owner;
    gid_t group;
    mode_t mode;
    mode_t folderMode;  // the folder is the superuser's, of group kGroup
    uid_t packer;
    bool accessList;
    int result;  // the records after, or 201 for a refusal saying why
  };
  const Case cases[] = {
      {"the owner's private table", kNobody, kNobody, 0600, 0777, kNobody, false, 2},
      {"another user's table with an access list, packed by the superuser", kNobody, kNobody, 0660,
       0755, 0, true, 2},
      {"another member's table in a group folder", kDaemon, kGroup, 0664, 02775, kNobody, false,
       201},
  };
  for (const Case& c : cases) {
    MakeTable();
    if (::chown(Dir().c_str(), 0, kGroup) != 0 || !Give("t.dbf", c.owner, c.group, c.mode) ||
        !Give("t.dbt", c.owner, c.group, c.mode))
      GTEST_SKIP() << "only the superuser gives files";
    ASSERT_EQ(::chmod(Dir().c_str(), c.folderMode), 0);
    const std::string acl = AccessList(2);
    for (const char* name : {"t.dbf", "t.dbt"}) {
      if (c.accessList && (::setxattr(Path(name).c_str(), "system.posix_acl_access", acl.data(),
                                      acl.size(), 0) != 0 ||
                           ::setxattr(Path(name).c_str(), "user.note", "kept", 4, 0) != 0))
        GTEST_SKIP() << "the file system holds no access lists or user attributes";
    }
    const int result = RecordsAs(c.packer, true);
    if (result == 255) GTEST_SKIP() << "the test cannot become another user";
    EXPECT_EQ(result, c.result) << c.what;
    EXPECT_EQ(RecordsAs(c.owner, false), c.result == 201 ? 4 : c.result) << c.what;
    EXPECT_EQ(FilesInFolder(), 2u) << c.what;
    for (const char* name : {"t.dbf", "t.dbt"}) {
      struct stat info {};
      ASSERT_EQ(::stat(Path(name).c_str(), &info), 0);
      EXPECT_EQ(info.st_uid, c.owner) << c.what << " " << name;
      EXPECT_EQ(info.st_gid, c.group) << c.what << " " << name;
      EXPECT_EQ(info.st_mode & 07777, c.mode) << c.what << " " << name;
      if (!c.accessList) continue;
      EXPECT_EQ(AttributeOf(Path(name), "system.posix_acl_access"), acl) << c.what << " " << name;
      EXPECT_EQ(AttributeOf(Path(name), "user.note"), "kept") << c.what << " " << name;
    }
  }
}

// In a shared folder another user's files under the names a pack uses receive nothing, and a
// planted marker beside them neither locks the owner out nor puts them in the table's place.
TEST_F(PackOwner, AnotherUsersFilesUnderThePacksNamesStayTheirs) {
  for (const bool plantedMarker : {false, true}) {
    MakeTable();
    Put("t.dbf.pack$", Bytes("t.dbf"));
    Put("t.dbt.packmemo$", Bytes("t.dbt"));
    Put("t.dbf.packed$", "KV6 PACK\nt.dbt\n");
    if (!plantedMarker) std::filesystem::remove(Path("t.dbf.packed$"));
    const std::string planted = Bytes("t.dbf.pack$") + Bytes("t.dbt.packmemo$");
    if (!Give("t.dbf", kNobody, kNobody, 0600) || !Give("t.dbt", kNobody, kNobody, 0600) ||
        !Give("t.dbf.pack$", kDaemon, kDaemon, 0666) ||
        !Give("t.dbt.packmemo$", kDaemon, kDaemon, 0666) ||
        (plantedMarker && !Give("t.dbf.packed$", kDaemon, kDaemon, 0666)))
      GTEST_SKIP() << "only the superuser gives files";
    ASSERT_EQ(::chmod(Dir().c_str(), 01777), 0);
    const int records = plantedMarker ? 4 : 2;
    const int result = RecordsAs(kNobody, !plantedMarker);
    if (result == 255) GTEST_SKIP() << "the test cannot become another user";
    EXPECT_EQ(result, records) << plantedMarker;
    EXPECT_EQ(RecordsAs(0, false), records) << plantedMarker;
    EXPECT_EQ(RecordsAs(kNobody, false), records) << plantedMarker;
    EXPECT_EQ(Bytes("t.dbf.pack$") + Bytes("t.dbt.packmemo$"), planted) << plantedMarker;
    struct stat info {};
    ASSERT_EQ(::stat(Path("t.dbf").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody) << plantedMarker;
    EXPECT_EQ(FilesInFolder(), plantedMarker ? 5u : 4u) << plantedMarker;
  }
}

}  // namespace
