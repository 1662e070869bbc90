// The start-up on the headless kit: the default input files, the switches of the window start,
// the files the command line names, the user ID and the window size of a configuration that
// ends early.
#include "app/main/startprogram.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/main/configfile.h"
#include "app/spreadsheet/spreadsheetlink.h"
#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/files/listfile.h"
#include "base/files/utilpath.h"
#include "calc/kv6record.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingservices.h"
#include "tests/app/main/mainformfixture.h"
#include "tests/support/scopedcurrentfolder.h"

namespace {

namespace fs = std::filesystem;

// The entries of a device list such as "1=DXF, 2=IGES" as (number, name), cut at `between`.
std::vector<std::pair<std::string, std::string>> Devices(const std::string& list, char between) {
  std::vector<std::pair<std::string, std::string>> devices;
  std::string::size_type from = 0;
  while (from < list.size()) {
    std::string::size_type to = list.find(", ", from);
    if (to == std::string::npos) to = list.size();
    const std::string entry = list.substr(from, to - from);
    const std::string::size_type cut = entry.find(between);
    devices.emplace_back(entry.substr(0, cut),
                         cut == std::string::npos ? "" : entry.substr(cut + 1));
    from = to + 2;
  }
  return devices;
}

class StartProgramTest : public MainFormTest {
 protected:
  // The golden connection with another spherical diameter.
  std::string Connection(const std::string& d1) const {
    std::string bytes = FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6");
    const std::string::size_type at = bytes.find("\r\n60.0000000\r\n");
    bytes.replace(at, 14, "\r\n" + d1 + "\r\n");
    return bytes;
  }
  // The file is current under its full name: for the spreadsheet export and in the close
  // question.
  void ExpectCurrentUnder(const std::string& path) {
    EXPECT_EQ(CurrentFileName(), path);
    const platform::RecordedLauncher launcher;
    platform::headless::DialogScript script;
    Modified = 0;
    StartSpreadsheet();
    ExportCalcFileToSpreadsheet();
    ExcelApp.reset();
    EXPECT_EQ(std::tuple(AbortFlag, launcher->documents.size()), std::tuple(0, 1u));
    Modified = 1;
    script->Expect(platform::headless::Step(platform::DialogKind::Box)
                       .Answer(platform::MessageAnswer::Cancel));
    EXPECT_FALSE(form->Window().Close());
    const std::string question = "Save file (" + path + ") ?";
    ASSERT_FALSE(script->Transcript().empty());
    EXPECT_NE(script->Transcript().back().find(question), std::string::npos)
        << script->Transcript().back();
  }
  // File, Save of the connection with d1 = 57.125 writes nothing in the working folder (a stray
  // file there is removed, so that it cannot spoil another test); true when the file holds it.
  bool SaveWritesTheFileOnly(const std::string& path, const std::string& strayName) {
    CalcData.d1 = 57.125L;
    Modified = 1;
    Item("mi_FileSave").Click();
    EXPECT_FALSE(fs::exists(strayName)) << strayName;
    fs::remove(strayName);
    return FileBytes(path).find("\r\n57.1250000\r\n") != std::string::npos;
  }
};

// "init" is read after "null", so its values win; the start leaves no current file and nothing
// changed, and the connection calculated.
TEST_F(StartProgramTest, DefaultFilesNullThenInit) {
  fs::create_directories(Working());
  home.Put("data/brelcor/kv6/null.kv6", Connection("50.0000000"));
  EXPECT_EQ(Start(), std::nullopt);
  EXPECT_EQ(CalcData.d1, 60.0L);
  EXPECT_GT(CalcData.Sp[kHub], 10.0L);
  EXPECT_EQ(CurrentFile, "");
  EXPECT_EQ(Modified, 0);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(DataDir, Working());
  // Without "init" the user's defaults stand.
  BrelcorDir = home.Path("nowhere");
  CalcData = {};
  EXPECT_EQ(form->FormCreate(CommandLine{}), std::nullopt);
  EXPECT_EQ(CalcData.d1, 50.0L);
}

TEST_F(StartProgramTest, WindowSwitchDoesNotLoadTheFile) {
  home.Put("x.kv6", Connection("50.0000000"));
  EXPECT_EQ(Start({home.Path("x.kv6"), "/e"}), std::nullopt);
  EXPECT_EQ(CalcData.d1, 60.0L);
  EXPECT_EQ(ArchiveMode, 0);
}

TEST_F(StartProgramTest, FileModeLoadsTheFileOrTakesItsNameForANewOne) {
  home.Put("x.kv6", Connection("50.0000000"));
  EXPECT_EQ(Start({home.Path("x.kv6")}), std::nullopt);
  EXPECT_EQ(CalcData.d1, 50.0L);
  EXPECT_EQ(ArchiveMode, 1);
  EXPECT_EQ(CurrentFile, home.Path("x.kv6"));
  // A name found under other letters goes by the name on disk.
  form.reset();
  form = std::make_unique<Thh>();
  EXPECT_EQ(Start({home.Path("X.KV6")}), std::nullopt);
  EXPECT_EQ(CurrentFile, home.Path("x.kv6"));
  // A damaged file is not loaded, and it stays as it was when the user agrees to overwrite it
  // later.
  const std::string damaged = Connection("50.0000000").substr(0, 300);
  home.Put("bad.kv6", damaged);
  form.reset();
  form = std::make_unique<Thh>();
  platform::headless::DialogScript script;
  script->Expect(
      platform::headless::Step(platform::DialogKind::Box).Answer(platform::MessageAnswer::Yes));
  EXPECT_EQ(Start({home.Path("bad.kv6")}), std::nullopt);
  EXPECT_EQ(CurrentFile, home.Path("bad.kv6"));
  EXPECT_EQ(home.Bytes("bad.kv6"), damaged);
}

// A refused name ends the start with 1: no extension (a last "." is none), or a new name the
// output check refuses.
TEST_F(StartProgramTest, ARefusedNameEndsTheStartWithOne) {
  for (const char* name : {"v1.2/name", "p3g.", "a.b.kv6"}) {
    form = std::make_unique<Thh>();
    EXPECT_EQ(Start({home.Path(name)}), 1) << name;
  }
}

// After a Save has ended archive mode the file of the command line is still current under its
// own name: as the current file, in the close question and for the spreadsheet export.
TEST_F(StartProgramTest, TheCommandLinesFileStaysCurrentUnderItsOwnName) {
  home.Put("x.kv6", Connection("50.0000000"));
  ASSERT_EQ(Start({home.Path("x.kv6")}), std::nullopt);
  Item("mi_FileSave").Click();
  EXPECT_EQ(ArchiveMode, 0);
  EXPECT_EQ(form->Window().Caption(), "KV6  -  polygon profile P3G  -  " + home.Path("x.kv6"));
  ExpectCurrentUnder(home.Path("x.kv6"));
}

// A name given relative to the working folder is that folder's file, never "x.kv6.kv6".
TEST_F(StartProgramTest, TheCommandLinesRelativeFileIsTheWorkingFoldersFile) {
  home.Put("x.kv6", Connection("50.0000000"));
  const std::string path = fs::canonical(home.Dir()).string() + "/x.kv6";
  {
    const ScopedCurrentFolder inHome(home.Dir());
    EXPECT_EQ(Start({"x.kv6"}), std::nullopt);
    EXPECT_EQ(std::tuple(CalcData.d1, CurrentFile), std::tuple(50.0L, path));
    EXPECT_TRUE(SaveWritesTheFileOnly(path, "x.kv6.kv6"));
  }
  EXPECT_EQ(form->Window().Caption(), "KV6  -  polygon profile P3G  -  " + path);
  ExpectCurrentUnder(path);
}

// Dots in a file's name ("a.b.kv6") do not make it a path: opened from a folder, it stays that
// folder's file. Its Save is refused for the dots and writes nothing, in no folder.
TEST_F(StartProgramTest, AFileOpenedWithDotsInItsNameStaysInItsFolder) {
  home.Put("a.b.kv6", Connection("50.0000000"));
  ASSERT_EQ(Start(), std::nullopt);
  {
    platform::headless::DialogScript script;
    script->Expect(
        platform::headless::Step(platform::DialogKind::OpenFile).Type(home.Path("a.b.kv6")));
    Item("mi_fileOpen").Click();
    EXPECT_FALSE(script->Failed());
  }
  EXPECT_EQ(std::tuple(CalcData.d1, AddBackslash(DataDir) + "a.b.kv6"),
            std::tuple(50.0L, home.Path("a.b.kv6")));
  EXPECT_FALSE(SaveWritesTheFileOnly(home.Path("a.b.kv6"), "a.b"));
  EXPECT_EQ(Modified, 1);
  ExpectCurrentUnder(home.Path("a.b.kv6"));
}

TEST_F(StartProgramTest, UsageEndsWithZero) {
  EXPECT_EQ(Start({"?"}), 0);
  EXPECT_EQ(ChoiceTexts[1], "KV6 Command Line Mode");
  EXPECT_EQ(ChoiceTexts[11], "/NOGOUI  -> No GUI, exit on fatal error");
}

// The usage names every CAD device that "/CADi:j" takes, under the names its refusal of an
// unknown device gives, and no other.
TEST_F(StartProgramTest, UsageNamesTheCadDevicesTheRefusalNames) {
  ASSERT_EQ(Start({"?"}), 0);
  const std::string usage = ChoiceTexts[8];
  const std::string::size_type listed = usage.find("i: ");
  ASSERT_NE(listed, std::string::npos) << usage;
  const platform::headless::DialogScript script;
  form = std::make_unique<Thh>();
  EXPECT_EQ(Start({home.Path("x.kv6"), "/CAD9:1"}), 1);
  ASSERT_FALSE(script->Transcript().empty());
  const std::string refusal = script->Transcript().back();
  const std::string::size_type named = refusal.find("unknown: ");
  ASSERT_NE(named, std::string::npos) << refusal;
  const auto devices = Devices(usage.substr(listed + 3), '=');
  EXPECT_EQ(devices, Devices(refusal.substr(named + 9), ' '));
  std::vector<std::string> numbers;
  for (const auto& device : devices) numbers.push_back(device.first);
  EXPECT_EQ(numbers, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7"}));
  for (std::uint16_t device = 0; device <= 9; ++device) {
    EXPECT_EQ(CadDeviceAccepted(device), device >= 1 && device <= 7) << device;
  }
}

TEST_F(StartProgramTest, RefusedUserIdEndsWithOne) {
  EnterPassword = 1;
  WriteConfig();
  platform::headless::DialogScript script;
  script->Expect(
      platform::headless::Step(platform::DialogKind::Text).Closing(platform::DialogClose::Cancel));
  EXPECT_EQ(Start(), 1);
}

TEST_F(StartProgramTest, AcceptedUserIdSelectsItsDataFolder) {
  EnterPassword = 1;
  WriteConfig();
  fs::create_directories(Working("anna"));
  platform::headless::DialogScript script;
  script->Expect(platform::headless::Step(platform::DialogKind::Text).Type("anna"));
  EXPECT_EQ(Start(), std::nullopt);
  EXPECT_EQ(DataDir, Working("anna"));
}

// Folders a configuration leaves empty stay where the start put them: the CAD folder is the
// data folder, the shipped files are still found.
TEST_F(StartProgramTest, FoldersTheConfigurationLeavesEmptyKeepTheStartsPlaces) {
  const std::string shipped = BrelcorDir, cadDir = CadDir, tempDir = TempDir;
  CadDir.clear();
  BrelcorDir.clear();
  TempDir.clear();
  WriteConfig();
  BrelcorDir = shipped;
  CadDir = cadDir;
  TempDir = tempDir;
  EXPECT_EQ(Start(), std::nullopt);
  EXPECT_EQ(CadDir, Working());
  EXPECT_EQ(BrelcorDir, shipped);
  EXPECT_EQ(TempDir, home.Path("kv6"));
  EXPECT_EQ(CalcData.d1, 60.0L);
}

// "start.plt" in the PLT folder, in any letter case, replaces the logo.
TEST_F(StartProgramTest, StartImageInAnyCaseElseTheLogo) {
  fs::create_directories(home.Path("plt"));
  fs::copy_file(SourceRoot() + "/data/start.plt", home.Path("plt/START.PLT"));
  PltDir = home.Path("plt");
  WriteConfig();
  EXPECT_EQ(Start(), std::nullopt);
  const std::size_t image = DisplayList.size();
  fs::remove(home.Path("plt/START.PLT"));
  form.reset();
  form = std::make_unique<Thh>();
  EXPECT_EQ(Start(), std::nullopt);
  const std::size_t logo = DisplayList.size();
  EXPECT_GT(image, logo + 100);
}

// A configuration that stops at a checkpoint before its window size still gives a window of the
// screen's size.
TEST_F(StartProgramTest, ConfigurationEndingBeforeTheWindowSizeGivesAFullWindow) {
  std::vector<std::string> lines = ConfigFileLines();
  lines.resize(static_cast<std::size_t>(std::find(lines.begin(), lines.end(), "Printing density") -
                                        lines.begin()));
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  home.Put("kv6.cfg", bytes);
  HorizontalPixels = 0;
  VerticalPixels = 0;
  EXPECT_EQ(Start(), std::nullopt);
  EXPECT_EQ(HorizontalPixels, 1280 - 9);
  EXPECT_EQ(form->Window().ClientSize().width, 1280 - 9 + 1);
}

}  // namespace
