// PACK keeps who may read and write a table and its memo file, whoever packs it, and another
// user's file under a name of the pack neither receives the table's records nor takes its place.
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tables/core/dbf4pack.h"
#include "tests/support/accesslist.h"
#include "tests/tables/modules/memo/memotest.h"

namespace {

using namespace memotest;

constexpr uid_t kNobody = 65534, kDaemon = 1;
constexpr gid_t kGroup = 4242;  // the second group of the user a child runs as
constexpr int kRefused = 201;   // PACK refused, saying why

class PackOwner : public MemoTest {
 protected:
  bool Give(const std::string& name, uid_t owner, gid_t group, mode_t mode) const {
    return ::chown(Path(name).c_str(), owner, group) == 0 && ::chmod(Path(name).c_str(), mode) == 0;
  }

  // The records user finds in the table after a PACK where asked, in a child; 255 when the child
  // cannot become the user.
  int RecordsAs(uid_t user, bool pack) const {
    return InChild([&] {
      const gid_t groups[] = {kGroup};
      if (user != 0 && (::setgroups(1, groups) != 0 || ::setgid(user) != 0 || ::setuid(user) != 0))
        ::_exit(255);
      std::int32_t count = 0;
      const std::string error = ErrorOf([&] {
        USE(Path("t.dbf") + " EXCLUSIVE");
        if (pack) Pack();
        count = RecCount();
      });
      ::_exit(error.empty() ? count : error.find("Cannot pack") != error.npos ? kRefused : 202);
    });
  }
};

TEST_F(PackOwner, PackKeepsWhoMayReadAndWriteTheTableAndTakesNoOtherUsersFile) {
  struct Case {
    const char* what;
    uid_t owner, memoOwner;
    gid_t group;
    mode_t mode, folderMode;  // the folder is the superuser's, of group kGroup
    uid_t packer;
    bool accessList;
    std::size_t planted;  // the first files of plants, another user's
    int result;
  };
  const Case cases[] = {
      {"owner", kNobody, kNobody, kNobody, 0600, 0777, kNobody, false, 0, 2},
      {"root, ACL", kNobody, kNobody, kNobody, 0660, 0755, 0, true, 0, 2},
      {"root, memo", kNobody, kDaemon, kNobody, 0660, 0755, 0, false, 0, 2},
      {"member", kDaemon, kDaemon, kGroup, 0664, 02775, kNobody, false, 0, kRefused},
      {"planted", kNobody, kNobody, kNobody, 0600, 01777, kNobody, false, 2, 2},
      {"marker", kNobody, kNobody, kNobody, 0600, 01777, kNobody, false, 3, kRefused},
  };
  const std::string acl = AccessList(2);
  for (const Case& c : cases) {
    for (const auto& entry : std::filesystem::directory_iterator(Dir()))
      std::filesystem::remove(entry.path());
    NewMemoTable(0x8B);
    for (int id = 1; id <= 4; ++id) {
      AppendWithMemo(id, "memo");
      if (id % 2 == 0) DeleteRec();
    }
    CloseAll();
    const std::pair<std::string, std::string> plants[] = {{"t.dbf.pack$", Bytes("t.dbf")},
                                                          {"t.dbt.packmemo$", Bytes("t.dbt")},
                                                          {"t.dbf.packed$", "KV6 PACK\nt.dbt\n"}};
    for (std::size_t i = 0; i < c.planted; ++i) {
      Put(plants[i].first, plants[i].second);
      ASSERT_TRUE(Give(plants[i].first, kDaemon, kDaemon, 0666));
    }
    if (::chown(Dir().c_str(), 0, kGroup) != 0 || !Give("t.dbf", c.owner, c.group, c.mode) ||
        !Give("t.dbt", c.memoOwner, c.group, c.mode))
      GTEST_SKIP() << "only the superuser gives files";
    ASSERT_EQ(::chmod(Dir().c_str(), c.folderMode), 0);
    for (const char* name : {"t.dbf", "t.dbt"}) {
      if (c.accessList && (::setxattr(Path(name).c_str(), "system.posix_acl_access", acl.data(),
                                      acl.size(), 0) != 0 ||
                           ::setxattr(Path(name).c_str(), "user.note", "kept", 4, 0) != 0))
        GTEST_SKIP() << "the file system holds no access lists or user attributes";
    }
    const int result = RecordsAs(c.packer, true);
    if (result == 255) GTEST_SKIP() << "the test cannot become another user";
    EXPECT_EQ(result, c.result) << c.what;
    const int records = c.result == kRefused ? 4 : c.result;
    EXPECT_EQ(RecordsAs(0, false), records) << c.what;
    EXPECT_EQ(RecordsAs(c.owner, false), records) << c.what;
    for (std::size_t i = 0; i < c.planted; ++i)
      EXPECT_EQ(Bytes(plants[i].first), plants[i].second) << c.what;
    const auto files = std::filesystem::directory_iterator(Dir());
    EXPECT_EQ(std::distance(files, {}), static_cast<long>(2 + c.planted)) << c.what;
    for (const auto& [name, owner] :
         {std::pair("t.dbf", c.owner), std::pair("t.dbt", c.memoOwner)}) {
      struct stat info {};
      ASSERT_EQ(::stat(Path(name).c_str(), &info), 0);
      EXPECT_EQ(std::tuple(info.st_uid, info.st_gid, info.st_mode & 07777),
                std::tuple(owner, c.group, c.mode))
          << c.what << " " << name;
      if (!c.accessList) continue;
      EXPECT_EQ(AttributeOf(Path(name), "system.posix_acl_access"), acl) << c.what << " " << name;
      EXPECT_EQ(AttributeOf(Path(name), "user.note"), "kept") << c.what << " " << name;
    }
  }
}

}  // namespace
