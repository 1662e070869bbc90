// File names in the program are Windows-1252; on disk they are UTF-8. A folder "Prüfstand" with
// "Maße.kv6", "Gußeisen.dbf" and "Maße.txt" is reached through every routine of the base layer
// that takes a name, names come back as the program's bytes, and a path shown in a message or
// caption appears once converted. A file whose name has no Windows-1252 form gets the message
// of a missing or invalid file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/files/textfile.h"
#include "base/files/utilfile.h"
#include "base/report/showtextfile.h"
#include "base/start/startfolders.h"
#include "platform/files/codepage.h"
#include "tests/base/reportfixture.h"
#include "tests/support/scopedvariable.h"

namespace {

using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::Step;

const std::string kFolder = "Pr\374fstand";  // octal escapes: three digits at most
const std::string kFolderUtf8 = "Pr\303\274fstand";
const std::string kChineseUtf8 = "\344\270\255\346\226\207.txt";

class FileNames : public ReportTest {
 protected:
  FileNames() {
    std::filesystem::create_directories(Path(kFolderUtf8 + "/temp"));
    Write(kFolderUtf8 + "/Ma\303\237e.kv6", "kv6");
    Write(kFolderUtf8 + "/Gu\303\237eisen.dbf", "dbf");
    Write(kFolderUtf8 + "/Ma\303\237e.txt", "erste Zeile\r\n");
    Write(kFolderUtf8 + "/" + kChineseUtf8, "x");
    TempDir = Folder() + "/temp/";
    ErrorBoxOn = 1;
  }

  std::string Folder() const { return dir_ + "/" + kFolder; }
  bool OnDisk(const std::string& utf8) const {
    return std::filesystem::exists(Path(kFolderUtf8 + "/" + utf8));
  }
  std::string Shown() const {
    return script_.Transcript().empty() ? "" : script_.Transcript().back();
  }
};

TEST_F(FileNames, EveryBaseRoutineReachesTheUtf8File) {
  const std::string f = Folder() + "/";
  std::string line;
  const std::vector<std::pair<const char*, std::function<bool()>>> calls = {
      {"file there", [&] { return FileThere(f + "MA\337E.KV6") && FileThere(f + "Ma\337e.txt"); }},
      {"folder", [&] { return DirExists(Folder()) && FolderUsable(Folder()); }},
      {"writable", [&] { return FolderWritable(Folder()); }},
      {"text file",
       [&] {
         TextFile in;
         in.Assign(f + "MA\337E.TXT");
         in.Reset();
         in.ReadLine(line);
         return in.IoResult() == 0 && line == "erste Zeile";
       }},
      {"list file",
       [&] {
         ListFile.Assign(f + "Gu\337eisen.lst");
         ListFile.Rewrite();
         ListFile.WriteLine("Gu\337eisen");
         ListFile.Close();
         return Read(kFolderUtf8 + "/Gu\303\237eisen.lst") == "Gu\337eisen\r\n";
       }},
      {"copy",
       [&] {
         CopyFile(f + "MA\337E.TXT", f + "temp");
         return AbortFlag == 0 && Read(kFolderUtf8 + "/temp/Ma\303\237e.txt") == "erste Zeile\r\n";
       }},
      {"copy masked",
       [&] {
         CopyFiles("gu*.dbf", Folder(), f + "temp");
         return AbortFlag == 0 && OnDisk("temp/Gu\303\237eisen.dbf");
       }},
      {"delete",
       [&] {
         DeleteListFile(f + "temp/MA\337E.TXT");
         return AbortFlag == 0 && !OnDisk("temp/Ma\303\237e.txt");
       }},
      {"delete masked",
       [&] {
         DeleteFiles(f + "temp/", "*.DBF");
         return !OnDisk("temp/Gu\303\237eisen.dbf");
       }},
      {"replace lines",
       [&] {
         return ReplaceFileLines(f + "Ma\337e.txt", {"neu \337"}) &&
                Read(kFolderUtf8 + "/Ma\303\237e.txt") == "neu \337\r\n";
       }},
  };
  for (const auto& [what, call] : calls) EXPECT_TRUE(call()) << what;
  {
    const ScopedVariable home("HOME", Path(kFolderUtf8)), data("XDG_DATA_HOME", std::nullopt);
    EXPECT_EQ(UserWorkingFolder(), f + ".local/share/brelcor/kv6");
  }
  EXPECT_EQ(MatchingFiles(f, "ma*.*"), (std::vector<std::string>{"Ma\337e.kv6", "Ma\337e.txt"}));
  EXPECT_EQ(MatchingFiles(f, "*.txt"), (std::vector<std::string>{"Ma\337e.txt"}));
}

// Dialog answers are the program's bytes; the report devices write the UTF-8 files; the viewer's
// caption and the overwrite question show the path's own letters.
TEST_F(FileNames, DialogsAndReportDevicesKeepTheBytes) {
  const std::string f = Folder() + "/";
  std::string chosen;
  script_.Expect(Step(DialogKind::OpenFile).Type(f + "Ma\337e.kv6"));
  SelectFile(f + "x.kv6", "*.kv6", chosen);
  EXPECT_EQ(chosen, f + "Ma\337e.kv6");
  EXPECT_EQ(script_.FileRequests().back().folder, Folder());

  script_.Expect(Step(DialogKind::SaveFile).Type(f + "Ma\337e"));
  script_.Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));
  Open(3);
  EXPECT_EQ(Shown(), "Box|KV6 Test|" + f + "Ma\337e.txt already exists.   overwrite ?");
  WriteSample();
  EXPECT_NE(Read(kFolderUtf8 + "/Ma\303\237e.txt").find("Torque 3"), std::string::npos);

  DataDir = Folder();
  CurrentFile = "Gu\337eisen";
  Open(1);
  WriteSample();
  ASSERT_EQ(viewer_.shown.size(), 1u);
  EXPECT_EQ(viewer_.shown[0].caption, "KV6    " + f + "temp/outwin.txt");
  EXPECT_NE(viewer_.shown[0].textUtf8.find(kFolderUtf8 + "/Gu\303\237eisen.KV6"), std::string::npos)
      << viewer_.shown[0].textUtf8;

  TempFileCounter = 0;
  Open(6);
  EXPECT_EQ(ReportFileName, f + "temp/$$$1.txt");
  WriteSample();
  EXPECT_TRUE(OnDisk("temp/$$1.txt"));
}

TEST_F(FileNames, ANameWithoutAWindows1252FormGetsTheMessageOfAMissingFile) {
  const std::string chinese = Folder() + "/" + platform::Utf8ToCp1252(kChineseUtf8);
  EXPECT_FALSE(FileThere(chinese));
  EXPECT_EQ(MatchingFiles(Folder() + "/", "*.txt"), (std::vector<std::string>{"Ma\337e.txt"}));
  CheckFileReadable(chinese);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_NE(Shown().find("file " + chinese + " not found or no access !"), std::string::npos)
      << Shown();
  AbortFlag = 0;
  CheckOutputFileName(chinese);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_NE(Shown().find("invalid file name \"" + chinese + "\" !"), std::string::npos) << Shown();
  EXPECT_TRUE(OnDisk(kChineseUtf8));
}

}  // namespace
