// File names between the program (Windows-1252) and the file system (UTF-8): a folder
// "Prüfstand" with "Maße.kv6", "Gußeisen.dbf" and "Maße.txt" is reached through every platform
// routine that takes a name, and every name handed back is the program's bytes again. A file
// whose name has no Windows-1252 form is not reachable and not listed.
#include "platform/files/osfiles.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/blockfile.h"
#include "platform/files/dirservices.h"
#include "platform/files/fileresolve.h"
#include "platform/files/newoutput.h"
#include "platform/system/clock.h"
#include "platform/system/process.h"
#include "platform/system/programsearch.h"
#include "tests/support/scopedvariable.h"
#include "tests/support/tempfolder.h"

namespace {

// Octal escapes end after three digits, so no letter after them is taken in.
const std::string kFolder = "Pr\374fstand";          // Windows-1252
const std::string kFolderUtf8 = "Pr\303\274fstand";  // on disk
const std::string kChinese = "\344\270\255\346\226\207.kv6";

bool WriteWhole(const std::string& name, const std::string& bytes) {
  platform::NewOutput output;
  return platform::OpenOutput(name, output) == 0 &&
         platform::WriteWholeOutput(output, bytes, false) == 0;
}

class OsFiles : public testing::Test, protected TempFolder {
 protected:
  OsFiles() {
    std::filesystem::create_directory(Path(kFolderUtf8));
    for (const char* name : {"Ma\303\237e.kv6", "Gu\303\237eisen.dbf", "Ma\303\237e.txt"}) {
      Put(kFolderUtf8 + "/" + name, "x");
    }
    Put(kFolderUtf8 + "/" + kChinese, "x");
  }

  // The folder as the program names it.
  std::string Folder() const { return dir_ + "/" + kFolder; }
  bool OnDisk(const std::string& utf8Name) const {
    return std::filesystem::exists(Path(kFolderUtf8 + "/" + utf8Name));
  }
};

TEST_F(OsFiles, NamesGoOutAsUtf8AndComeBackAsWindows1252) {
  const std::string f = Folder() + "/";
  std::vector<std::string> entries;
  ASSERT_TRUE(platform::os::FolderEntries(Folder(), entries));
  std::sort(entries.begin(), entries.end());
  std::string temp = f + "tmpXXXXXX";
  const int tempFd = platform::os::MakeTempFile(temp);
  ::close(tempFd);
  std::string tempFolder = f + "dirXXXXXX";
  ASSERT_TRUE(platform::os::MakeTempFolder(tempFolder));
  std::string made;
  ASSERT_EQ(platform::MakeTempFile(Folder(), "x", made), 0);
  const std::string before = platform::os::CurrentFolder();
  ASSERT_EQ(platform::os::ChangeFolder(Folder()), 0);
  const std::string inside = platform::os::CurrentFolder();
  const std::string resolvedHere = platform::ResolveFileName("MA\337E.KV6");
  platform::os::ChangeFolder(before);
  const ScopedVariable home("KV6_TEST_HOME", Path(kFolderUtf8));
  const std::string argument = dir_ + "/" + kFolderUtf8 + "/Ma\303\237e.kv6";
  const char* const argv[] = {"wkv6", "/I", argument.c_str()};

  const std::vector<std::pair<std::string, std::string>> cases = {
      {platform::ResolveFileName(f + "MA\337E.KV6"), f + "Ma\337e.kv6"},
      {platform::ResolveFileName(f + "gu\337EISEN.DBF"), f + "Gu\337eisen.dbf"},
      {platform::ResolveFileName(dir_ + "/PR\334FSTAND"), Folder()},
      {resolvedHere, "Ma\337e.kv6"},
      {entries.size() == 3 ? entries[1] : "", "Ma\337e.kv6"},
      {temp.substr(0, f.size() + 3), f + "tmp"},
      {std::to_string(OnDisk(temp.substr(f.size()))), "1"},
      {tempFolder.substr(0, f.size() + 3), f + "dir"},
      {made.substr(0, f.size() + 1), f + "x"},
      {inside, platform::os::RealPath(Folder())},
      {platform::os::RealPath(f + "Ma\337e.txt"),
       platform::os::RealPath(Folder()) + "/Ma\337e.txt"},
      {platform::os::Variable("KV6_TEST_HOME"), Folder()},
      {platform::os::ProgramArguments(3, argv)[2], f + "Ma\337e.kv6"},
  };
  for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
  EXPECT_EQ(entries, (std::vector<std::string>{"Gu\337eisen.dbf", "Ma\337e.kv6", "Ma\337e.txt"}));
  EXPECT_EQ(platform::MatchFiles(f + "MA*"),
            (std::vector<std::string>{f + "Ma\337e.kv6", f + "Ma\337e.txt"}));
  EXPECT_EQ(platform::MatchFiles(f + "*.KV6"), (std::vector<std::string>{f + "Ma\337e.kv6"}));
}

TEST_F(OsFiles, EveryCallReachesTheFileOfTheWindows1252Name) {
  const std::string f = Folder() + "/";
  const std::string masse = f + "Ma\337e.kv6";
  platform::BlockFile block;
  platform::CivilDateTime when;
  struct stat info {};
  struct statvfs space {};
  const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
      {"stat", [&] { return platform::os::Stat(masse, info) == 0 && S_ISREG(info.st_mode); }},
      {"statvfs", [&] { return platform::os::StatFileSystem(masse, space) == 0; }},
      {"access", [&] { return platform::os::Accessible(masse, R_OK); }},
      {"modified", [&] { return platform::FileModTime(masse, when); }},
      {"block open",
       [&] {
         return block.Open(f + "gu\337eisen.DBF", platform::kModeShared) != 0 &&
                block.Open(f + "Gu\337eisen.dbf", platform::kModeShared) == 0;
       }},
      {"block create", [&] { return block.Create(f + "Gu\337eisen.ndx") == 0; }},
      {"created", [&] { return OnDisk("Gu\303\237eisen.ndx"); }},
      {"write", [&] { return WriteWhole(f + "Ma\337e.txt", "M\337"); }},
      {"read",
       [&] {
         std::string bytes;
         return platform::os::ReadWholeFile(f + "Ma\337e.txt", bytes) && bytes == "M\337";
       }},
      {"rename", [&] { return platform::os::Rename(f + "Ma\337e.txt", f + "\334ber.txt") == 0; }},
      {"renamed", [&] { return OnDisk("\303\234ber.txt") && !OnDisk("Ma\303\237e.txt"); }},
      {"unlink", [&] { return platform::os::Unlink(f + "\334ber.txt") == 0; }},
      {"program",
       [&] {
         return WriteWhole(f + "Pr\374f.sh", "") &&
                ::chmod(Path(kFolderUtf8 + "/Pr\303\274f.sh").c_str(), 0700) == 0 &&
                platform::ProgramExists(f + "Pr\374f.sh");
       }},
      {"mkdir", [&] { return platform::os::MakeFolder(f + "\304nderungen", 0700) == 0; }},
      {"made", [&] { return OnDisk("\303\204nderungen"); }},
      {"rmdir", [&] { return platform::os::RemoveFolder(f + "\304nderungen") == 0; }},
  };
  for (const auto& [what, call] : calls) EXPECT_TRUE(call()) << what;
}

// The Chinese file exists, but the program can neither name nor list it: it is "not found".
TEST_F(OsFiles, ANameWithoutAWindows1252FormIsNotFound) {
  const std::string asProgram = Folder() + "/" + platform::os::ProgramName(kChinese);
  EXPECT_EQ(asProgram, Folder() + "/??.kv6");
  platform::BlockFile block;
  EXPECT_EQ(block.Open(platform::ResolveFileName(asProgram), platform::kModeShared), 2);
  EXPECT_EQ(block.Create(asProgram), 2);
  EXPECT_LT(platform::os::Open(asProgram, O_RDONLY), 0);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_EQ(platform::MatchFiles(Folder() + "/*.kv6"),
            (std::vector<std::string>{Folder() + "/Ma\337e.kv6"}));
  // A garbled name ("?" for what 1252 lacks) must not reach a file of that literal name either.
  Put(kFolderUtf8 + "/??.kv6", "x");
  EXPECT_EQ(block.Open(asProgram, platform::kModeShared), 2);
}

// A started program gets the UTF-8 name; here it writes its argument as hex digits.
TEST_F(OsFiles, AProgramArgumentArrivesAsUtf8) {
  const std::string name = Folder() + "/Ma\337e.kv6";
  const std::string out = Path("argv.hex");
  auto launcher = platform::MakeSystemLauncher();
  ASSERT_EQ(
      launcher->StartProgram({"/bin/sh", "-c",
                              "printf %s \"$1\" | od -An -tx1 | tr -d ' \\n' > \"$2.part\" && "
                              "mv \"$2.part\" \"$2\"",
                              "sh", name, out}),
      0);
  for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::string hex;
  for (unsigned char c : dir_ + "/" + kFolderUtf8 + "/Ma\303\237e.kv6") {
    const char digits[] = "0123456789abcdef";
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  EXPECT_EQ(Bytes("argv.hex"), hex);
}

}  // namespace
