#include <grp.h>
#include <sys/stat.h>

#include "accesstest.h"
#include "tables/access/tzfiledataset.h"
#include "tables/access/tzvfile.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/tzerror.h"
#include "tests/tables/core/inchild.h"

namespace {

using namespace dadav;
using namespace accesstest;

class datasetvfile : public AccessTest {
 protected:
  // NAME C(8), N N(4,0); records "R1".."R<n>".
  std::string MakeTable(int n, const std::vector<int>& deleted = {}) {
    const std::string path = Path("v.dbf");
    NewTable(
        path, {Def("NAME", 'C', 8), Def("N", 'N', 4)}, n,
        [](int i) {
          SetText(1, "R" + std::to_string(i));
          SetInt32(2, i);
        },
        deleted);
    CloseAll();
    return path;
  }
  void Configure(TTzVFile& file) {
    file.DbfFields = {"NAME,C,8,0", "N,N,4,0"};
    file.SetDbfFileName(Path("v.dbf"));
  }
  static std::vector<std::string> Names(TTzVFile& file) {
    std::vector<std::string> names;
    file.First();
    while (!file.Eof()) {
      names.push_back(file.FieldByName("NAME").AsString());
      file.Next();
    }
    return names;
  }
};

TEST_F(datasetvfile, TwoFilesOpenedOneAfterTheOtherGetTheirOwnAliases) {
  TTzVFile first("first"), second("second");
  first.DbfFields = second.DbfFields = {"NAME,C,8,0"};
  first.Open();
  second.Open();
  EXPECT_NE(first.UseCommand(), second.UseCommand());
  EXPECT_EQ(first.UseCommand().substr(first.UseCommand().size() - 14), "* VIRTUAL FILE");
  EXPECT_EQ(first.UseCommand()[0], '*');
}

TEST_F(datasetvfile, InInsertionModeAppendsGoToTheEndAndInsertsStayWhereTheyWent) {
  TTzVFile file("list");
  file.DbfFields = {"NAME,C,8,0"};
  file.SetAppendMode(2);
  file.Open();
  for (const char* name : {"A", "B", "C"}) {
    file.Append();
    file.FieldByName("NAME").SetAsString(name);
    file.Post();
  }
  file.First();
  file.Next();
  file.Insert();
  file.FieldByName("NAME").SetAsString("X");
  file.Post();
  file.Append();
  file.FieldByName("NAME").SetAsString("Z");
  file.Post();
  EXPECT_EQ(Names(file), (std::vector<std::string>{"A", "X", "B", "C", "Z"}));
}

TEST_F(datasetvfile, FilledFromDiskWithoutDeletedRecordsAndSavedBackWithoutThem) {
  MakeTable(5, {2, 4});
  TTzVFile file("list");
  Configure(file);
  file.SetHideDeletedRecs(true);
  file.PopulateFromDisk = true;
  file.SaveToDisk = true;
  file.Open();
  EXPECT_EQ(Names(file), (std::vector<std::string>{"R1", "R3", "R5"}));
  file.First();
  file.Edit();
  file.FieldByName("NAME").SetAsString("FIRST");
  file.Post();
  file.Close();
  USE(Path("v.dbf"));
  EXPECT_EQ(RecCount(), 3);
  EXPECT_EQ(enginetest::Stored(1, 1), "FIRST   ");
  EXPECT_EQ(enginetest::Stored(2, 3), "   5");
  CloseAll();
}

TEST_F(datasetvfile, ClosingAnUnchangedFileDoesNotRewriteIt) {
  MakeTable(3);
  struct stat before {};
  stat(Path("v.dbf").c_str(), &before);
  const std::string bytes = Bytes("v.dbf");
  {
    TTzVFile file("list");
    Configure(file);
    file.PopulateFromDisk = true;
    file.SaveToDisk = true;
    file.Open();
    EXPECT_EQ(file.RecordCount(), 3);
  }
  struct stat after {};
  stat(Path("v.dbf").c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(Bytes("v.dbf"), bytes);
}

TEST_F(datasetvfile, ASaveThatRunsOutOfRoomKeepsTheOldTable) {
  MakeTable(3);
  const std::string bytes = Bytes("v.dbf");
  TTzVFile file("list");
  Configure(file);
  file.PopulateFromDisk = true;
  file.Open();
  for (int i = 0; i < 200; ++i) {
    file.Append();
    file.FieldByName("NAME").SetAsString("MORE");
    file.Post();
  }
  enginetest::WithFileSizeLimit(static_cast<rlim_t>(bytes.size()) + 100,
                                [&] { EXPECT_THROW(file.WriteToDisk(), EDadavError); });
  EXPECT_EQ(Bytes("v.dbf"), bytes);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_TRUE(file.WriteToDisk());
  USE(Path("v.dbf"));
  EXPECT_EQ(RecCount(), 203);
}

TEST_F(datasetvfile, ASaveWhileAnotherProgramHasTheTableIsRefusedWith32) {
  const std::string path = MakeTable(2);
  const std::string bytes = Bytes("v.dbf");
  TTzVFile file("list");
  Configure(file);
  file.Open();
  file.Append();
  file.FieldByName("NAME").SetAsString("NEW");
  file.Post();
  OtherProcess other(path, [] {});
  try {
    file.WriteToDisk();
    ADD_FAILURE() << "the save went through";
  } catch (const EDadavError& error) {
    EXPECT_NE(std::string(error.what()).find("Error # 32"), std::string::npos);
  }
  EXPECT_EQ(Bytes("v.dbf"), bytes);
  EXPECT_EQ(other.Finish(), 0);
}

// A table that another member of its group saves, in the group's folder, stays its owner's.
TEST_F(datasetvfile, ATableAnotherMemberOfItsGroupSavesStaysItsOwners) {
  constexpr gid_t kGroup = 4242;
  MakeTable(3);
  if (::chown(Dir().c_str(), 0, kGroup) != 0 || ::chown(Path("v.dbf").c_str(), 1, kGroup) != 0)
    GTEST_SKIP() << "not the superuser";
  ASSERT_EQ(::chmod(Dir().c_str(), 02775), 0);
  ASSERT_EQ(::chmod(Path("v.dbf").c_str(), 0664), 0);
  ASSERT_EQ(enginetest::InChild([&] {
              if (::setgroups(1, &kGroup) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
                throw 0;
              TTzVFile file("list");
              Configure(file);
              file.PopulateFromDisk = true;
              file.Open();
              file.Append();
              file.Post();
              file.WriteToDisk();
            }),
            0);
  struct stat info {};
  ASSERT_EQ(::stat(Path("v.dbf").c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 1u);
  EXPECT_EQ(info.st_gid, kGroup);
  USE(Path("v.dbf"));
  EXPECT_EQ(RecCount(), 4);
}

TEST_F(datasetvfile, SortedModesFollowTheKeyEvent) {
  TTzVFile file("list");
  file.DbfFields = {"NAME,C,8,0", "N,N,4,0"};
  file.Open();
  for (int i : {3, 1, 2}) {
    file.Append();
    file.FieldByName("NAME").SetAsString("R" + std::to_string(i));
    file.FieldByName("N").SetAsInteger(10 - i);
    file.Post();
  }
  file.SetAppendMode(3);
  EXPECT_EQ(Names(file), (std::vector<std::string>{"R1", "R2", "R3"}));
  file.KeyMaker = [](TTzVFile&, std::string& key) { FieldAsText(2, key); };
  file.SetAppendMode(3);
  EXPECT_EQ(Names(file), (std::vector<std::string>{"R3", "R2", "R1"}));
  EXPECT_TRUE(file.FindField("N") != nullptr);
}

}  // namespace
