// The main form on the headless kit: its menu tree, captions in every language, the commands'
// drawings, the save question on closing, the recent files and the window caption.
#include "app/main/thh.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "app/lang/language.h"
#include "app/main/currentfile.h"
#include "app/main/mainmenu.h"
#include "app/main/recentfiles.h"
#include "base/draw/breldraw.h"
#include "base/text/messages.h"
#include "cad/layer/cadstream.h"
#include "cad/layer/cadvar.h"
#include "cad/print/printcon.h"
#include "calc/calcfile.h"
#include "calc/kv6record.h"
#include "platform/headless/dialogscript.h"
#include "platform/ui/controls.h"
#include "tests/app/main/mainformfixture.h"
#include "tests/support/scopedcurrentfolder.h"

namespace {

namespace fs = std::filesystem;
using platform::DialogKind;
using platform::MessageAnswer;
using platform::headless::DialogScript;
using platform::headless::Step;

// The items of a menu in order, sub-menus after their item.
std::vector<std::string> Names(const platform::Menu& menu) {
  std::vector<std::string> names;
  for (const auto& item : menu.Items()) {
    names.push_back(item->Name());
    if (item->SubMenu() != nullptr) {
      for (const std::string& sub : Names(*item->SubMenu())) names.push_back(sub);
    }
  }
  return names;
}

class ThhTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    ASSERT_EQ(Start(), std::nullopt);
    form->outputDrawing = [this](std::uint16_t device, std::uint16_t drawing) {
      drawings.emplace_back(device, drawing);
    };
  }
  std::vector<std::pair<int, int>> drawings;
};

TEST_F(ThhTest, BarHoldsTheMenuTreeInOrder) {
  const auto& menus = form->Window().Menus().Menus();
  std::vector<std::string> bar;
  for (const auto& menu : menus) bar.push_back(menu->Name());
  EXPECT_EQ(bar,
            (std::vector<std::string>{"mi_file", "mi_Edit", "mi_View", "mi_CAD", "STL1",
                                      "mi_database", "mi_documentation", "mi_OLE", "mi_Help"}));
  EXPECT_EQ(
      Names(*menus[0]),
      (std::vector<std::string>{"mi_fileNew", "mi_fileOpen", "mi_fileOpenTable", "mi_FileSave",
                                "mi_FileSaveAs", "N1", "ExportDXF1", "mi_FileCopy", "mi_fileprint",
                                "mi_fileprintersetup", "N4", "mi_fileConfig", "N3", "mi_file1",
                                "mi_file2", "mi_file3", "mi_file4", "N12", "mi_fileexit"}));
  EXPECT_EQ(Names(*menus[2]),
            (std::vector<std::string>{"mi_ViewAusdruck", "mi_viewQuick", "mi_viewquick3",
                                      "mi_viewquick4", "mi_viewP3G", "mi_viewtabwelle",
                                      "mi_viewtabnabe", "mi_viewfertwelle", "mi_viewfertnabe",
                                      "mi_viewfertwellenabe", "N10", "mi_viewErrorMessages"}));
  EXPECT_EQ(Names(*menus[8]),
            (std::vector<std::string>{"mi_HelpHilfebild", "mi_helpErrorMessages", "mi_helplanguage",
                                      "mi_helplanguagedeutsch", "mi_helplanguageenglisch",
                                      "mi_helplanguageRoman", "mi_helplanguageKorea",
                                      "mi_helplanguageChinese", "mi_helpSysInfo", "mi_HelpAbout"}));
  std::size_t items = 0;
  for (const auto& menu : menus) items += Names(*menu).size();
  EXPECT_EQ(items, 72U);
  EXPECT_EQ(Item("mi_fileNew").Shortcut(), "Ctrl+N");
  EXPECT_EQ(Item("mi_file3").Shortcut(), "Shift+F3");
  EXPECT_FALSE(Item("mi_viewtabnabe").Visible());
  EXPECT_FALSE(Item("mi_OleExportExcel").Enabled());
  EXPECT_FALSE(Item("N12").Visible());
  for (const char* item :
       {"mi_fileprint", "mi_fileprintersetup", "mi_fileConfig", "mi_helpSysInfo", "mi_HelpAbout"}) {
    EXPECT_TRUE(Item(item).Enabled()) << item;
  }
}

TEST_F(ThhTest, CaptionsFollowEveryLanguageAndKeepTheMessageCount) {
  MessageCount = 3;
  UpdateMessageCount(form->Window());
  for (const std::int32_t code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 12}) {
    SCOPED_TRACE(code);
    SetLanguage(*form, code);
    for (const MenuCaption& caption : MenuCaptions()) {
      const platform::MenuBar& bar = form->Window().Menus();
      if (const platform::Menu* menu = bar.FindMenu(caption.item)) {
        EXPECT_EQ(menu->Caption(), caption.caption.bytes) << caption.item;
      } else if (caption.item != "mi_viewErrorMessages") {
        EXPECT_EQ(Item(caption.item.c_str()).Caption(), caption.caption.bytes) << caption.item;
      }
    }
    const std::string& count = Item("mi_viewErrorMessages").Caption();
    EXPECT_EQ(count.substr(count.size() - 4), " (3)");
  }
  EXPECT_TRUE(Item("mi_viewErrorMessages").Enabled());
  MessageCount = 0;
  SetLanguage(*form, 2);
  UpdateMessageCount(form->Window());
  EXPECT_FALSE(Item("mi_viewErrorMessages").Enabled());
  EXPECT_EQ(Item("mi_viewErrorMessages").Caption(), "&Error messages (0)");
}

TEST_F(ThhTest, DrawingCommandsSendTheirDeviceAndDrawing) {
  const std::vector<std::tuple<const char*, int, int>> expected = {
      {"ExportDXF1", 1, 1},           {"mi_viewQuick", 3, 5},        {"mi_viewquick3", 3, 11},
      {"mi_viewP3G", 3, 2},           {"mi_viewfertwelle", 3, 6},    {"mi_viewfertnabe", 3, 7},
      {"mi_viewfertwellenabe", 3, 8}, {"mi_cadp3g", 0, 1},           {"mi_cadfertwelle", 0, 6},
      {"mi_cadfertnabe", 0, 7},       {"mi_cadfertwellenabe", 0, 8}, {"mi_cadsonstige", 0, 0},
      {"mi_stlwelle", 6, 9},          {"mi_stlnabe", 6, 10}};
  for (const auto& [name, device, drawing] : expected) {
    drawings.clear();
    CalcData.CadElement = 1;
    Item(name).Click();
    EXPECT_EQ(drawings, (std::vector<std::pair<int, int>>{{device, drawing}})) << name;
    if (device == 6) {
      EXPECT_EQ(CalcData.CadElement, 2) << name;
    }
  }
}

TEST_F(ThhTest, DrawingSettingsDrawOnlyAfterOk) {
  {
    DialogScript script;
    script->Expect(Step(DialogKind::Form).Closing(platform::DialogClose::Cancel));
    Item("mi_editconfig").Click();
  }
  EXPECT_TRUE(drawings.empty());
  {
    DialogScript script;
    script->Expect(Step(DialogKind::Form).Act([](platform::Form& settings) {
      settings.Get<platform::Button>("Button_ok").Click();
    }));
    Item("mi_editconfig").Click();
  }
  EXPECT_EQ(drawings, (std::vector<std::pair<int, int>>{{3, 2}}));
}

// Print shows the print form to print, Printer Setup the same form for the settings only.
TEST_F(ThhTest, PrintAndPrinterSetupShowThePrintForm) {
  for (const auto& [item, mode] :
       {std::pair{"mi_fileprint", 0}, std::pair{"mi_fileprintersetup", 1}}) {
    DialogScript script;
    int shownMode = -1;
    script->Expect(Step(DialogKind::Form).Act([&](platform::Form& shown) {
      shownMode = dynamic_cast<TForm_printconf&>(shown).PrinterInfoMode;
      shown.Get<platform::Button>("Button_cancel").Click();
    }));
    Item(item).Click();
    EXPECT_EQ(shownMode, mode) << item;
    EXPECT_TRUE(script->UsedUp());
  }
}

// The Edit menu's input forms mark the input as changed only after OK.
TEST_F(ThhTest, InputFormsChangeTheInputOnlyAfterOk) {
  for (const char* name : {"mi_EditText", "mi_editabmessungen", "mi_EditMaterial", "mi_editlast"}) {
    for (const bool ok : {false, true}) {
      Modified = 0;
      DialogScript script;
      if (ok) {
        script->Expect(Step(DialogKind::Form).Act([](platform::Form& input) {
          input.Get<platform::Button>("Button_ok").Click();
        }));
      } else {
        script->Expect(Step(DialogKind::Form).Closing(platform::DialogClose::Cancel));
      }
      Item(name).Click();
      EXPECT_EQ(Modified, ok ? 1 : 0) << name;
    }
  }
}

TEST_F(ThhTest, ClosingWithChangesAsksFirst) {
  CurrentFile = "c";
  DataDir = home.Dir();
  Modified = 1;
  {
    DialogScript script;
    script->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Cancel));
    EXPECT_FALSE(form->Window().Close());
    EXPECT_EQ(Modified, 1);
  }
  {
    DialogScript script;
    script->Expect(Step(DialogKind::Box).Answer(MessageAnswer::No));
    EXPECT_TRUE(form->Window().Close());
    EXPECT_FALSE(fs::exists(home.Path("c.kv6")));
  }
  Modified = 1;
  {
    DialogScript script;
    script->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));
    EXPECT_TRUE(form->Window().Close());
    EXPECT_TRUE(fs::exists(home.Path("c.kv6")));
    EXPECT_EQ(Modified, 0);
  }
}

// A save that fails keeps the input marked as changed, and the window open.
TEST_F(ThhTest, FailedSaveKeepsTheWindowAndTheChanges) {
  home.Put("file", "x");
  CurrentFile = "c";
  DataDir = home.Path("file");
  Modified = 1;
  DialogScript script;
  script->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));
  EXPECT_FALSE(form->Window().Close());
  EXPECT_EQ(Modified, 1);
}

// Save As answered No at the overwrite question: the next Save writes the current file, not the
// file of the same name in the refused folder.
TEST_F(ThhTest, RefusedSaveAsLeavesTheNextSaveOnTheCurrentFile) {
  fs::create_directories(home.Path("other"));
  home.Put("other/c.kv6", "unrelated");
  CurrentFile = "c";
  DataDir = home.Dir() + "/";
  DialogScript script;
  script->Expect(Step(DialogKind::SaveFile).Type(home.Path("other/c.kv6")));
  script->Expect(Step(DialogKind::Box).Answer(MessageAnswer::No));
  Item("mi_FileSaveAs").Click();
  Item("mi_FileSave").Click();
  EXPECT_EQ(home.Bytes("other/c.kv6"), "unrelated");
  EXPECT_TRUE(fs::exists(home.Path("c.kv6")));
  EXPECT_EQ(form->Window().Caption(), "KV6  -  polygon profile P3G  -  c.kv6");
}

TEST_F(ThhTest, ClosingDeletesTheRunsBlockFilesOnly) {
  fs::create_directories(TempDir);
  const std::string user = TempDir + "/$logo_9.dx$";
  home.Put("user.dx$", "mine");
  fs::copy_file(home.Path("user.dx$"), user);
  // A block file of an output that did not finish.
  ASSERT_TRUE(cad_block_file_create(TempDir + "/$blk_1.dx$"));
  cad_block_file_close();
  const std::vector<std::string> created = cad_created_block_files();
  EXPECT_TRUE(form->Window().Close());
  for (const std::string& name : created) EXPECT_FALSE(fs::exists(name)) << name;
  EXPECT_TRUE(fs::exists(user));
}

TEST_F(ThhTest, RecentFileThatIsGoneOrDamaged) {
  home.Put("good.kv6", FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
  home.Put("bad.kv6", "damaged");
  RecentFiles = {"", home.Path("bad.kv6"), home.Path("gone.kv6"), home.Path("good.kv6"), ""};
  form->UpdateCaption();
  EXPECT_TRUE(Item("mi_file3").Visible());
  EXPECT_FALSE(Item("mi_file4").Visible());
  // A missing file leaves the list at once.
  Item("mi_file2").Click();
  EXPECT_EQ(RecentFiles[2], home.Path("good.kv6"));
  EXPECT_FALSE(Item("mi_file3").Visible());
  // A damaged one changes nothing of the current file.
  CurrentFile = "current";
  DataDir = home.Path("elsewhere/");
  Item("mi_file1").Click();
  EXPECT_EQ(std::tuple(CurrentFile, DataDir, Modified),
            std::tuple(std::string("current"), home.Path("elsewhere/"), std::uint8_t{0}));
  // A good one becomes current and moves to the top.
  Item("mi_file2").Click();
  EXPECT_EQ(std::tuple(CurrentFile, DataDir), std::tuple(std::string("good"), home.Dir() + "/"));
  EXPECT_EQ(RecentFiles[1], home.Path("good.kv6"));
  EXPECT_EQ(form->Window().Caption(), "KV6  -  polygon profile P3G  -  good.kv6");
  EXPECT_EQ(Item("mi_file1").Caption(), "&1 " + ShortenPath(home.Path("good.kv6")));
}

TEST_F(ThhTest, RecentFileFoundUnderAnotherCaseGoesByItsOwnName) {
  home.Put("Welle.kv6", FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
  RecentFiles = {"", home.Path("welle.kv6"), "", "", ""};
  form->UpdateCaption();
  Item("mi_file1").Click();
  EXPECT_EQ(std::tuple(CurrentFile, RecentFiles[1], RecentFiles[2]),
            std::tuple(std::string("Welle"), home.Path("Welle.kv6"), std::string()));
}

// A list entry relative to the working folder is that folder's file.
TEST_F(ThhTest, RecentFileRelativeToTheWorkingFolder) {
  home.Put("good.kv6", FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
  {
    const ScopedCurrentFolder inHome(home.Dir());
    RecentFiles = {"", "good.kv6", "", "", ""};
    form->UpdateCaption();
    Item("mi_file1").Click();
  }
  const std::string folder = fs::canonical(home.Dir()).string() + "/";
  EXPECT_EQ(std::tuple(CurrentFile, DataDir, CurrentFileName()),
            std::tuple(std::string("good"), folder, folder + "good.kv6"));
}

// The listing shows each file in the caption; closing the table without a pick gives the caption
// of a run without a file.
TEST_F(ThhTest, ClosingTheTableOfFilesWithoutAPickRestoresTheCaption) {
  home.Put("a.kv6", FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6"));
  DataDir = home.Dir() + "/";
  DialogScript script;
  script->Expect(Step(DialogKind::Form).Act([](platform::Form& table) { table.Close(); }));
  Item("mi_fileOpenTable").Click();
  EXPECT_EQ(form->Window().Caption(), "KV6  -  polygon profile P3G   V 4.1");
}

TEST_F(ThhTest, CaptionWithoutAFile) {
  EXPECT_EQ(form->Window().Caption(), "KV6  -  polygon profile P3G   V 4.1");
}

// Whatever a command did to the messages, the View menu's item shows their count afterwards and
// is enabled only while there are any: also after a Calc that Cancel or the close box keeps.
TEST_F(ThhTest, TheMessageCountFollowsEveryCommand) {
  const std::string golden = FileBytes(SourceRoot() + "/tests/calc/golden/p3g60.kv6");
  // The example warns only of its missing dB2; ten times its torque overloads it.
  std::string overloaded = golden;
  const std::string torque = "\r\n1000.0000000\r\n";
  ASSERT_NE(overloaded.find(torque), std::string::npos);
  overloaded.replace(overloaded.find(torque), torque.size(), "\r\n1000000.0000000\r\n");
  home.Put("example.kv6", golden);
  home.Put("overloaded.kv6", overloaded);
  auto calcThen = [](const char* edit, const char* text, bool closeBox) {
    return Step(DialogKind::Form).Act([=](platform::Form& input) {
      input.Get<platform::Edit>(edit).TypeText(text);
      input.Get<platform::Button>("Button_calc").Click();
      if (closeBox) {
        input.Close();
      } else {
        input.Get<platform::Button>("Button_cancel").Click();
      }
    });
  };
  struct Case {
    const char* what;
    const char* start;
    const char* item;
    platform::headless::DialogStep step;
  };
  const Case cases[] = {
      {"Calc, Cancel in the load form", "example.kv6", "mi_editlast",
       calcThen("Edit_t", "1000000", false)},
      {"Calc, close box in the load form", "overloaded.kv6", "mi_editlast",
       calcThen("Edit_t", "1000", true)},
      {"Calc, Cancel in the dimensions form", "example.kv6", "mi_editabmessungen",
       calcThen("Edit_bohrung2", "100", false)},
      {"Calc, close box in the material form", "example.kv6", "mi_EditMaterial",
       calcThen("Edit_Re1", "10", true)},
      {"File, Open", "example.kv6", "mi_fileOpen",
       Step(DialogKind::OpenFile).Type(home.Path("overloaded.kv6"))},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(LoadCalcFile(home.Path(c.start)));
    UpdateMessageCount(form->Window());
    const std::uint16_t before = MessageCount;
    DialogScript script;
    script->Expect(c.step);
    Item(c.item).Click();
    EXPECT_NE(MessageCount, before);
    const platform::MenuItem& count = Item("mi_viewErrorMessages");
    EXPECT_EQ(
        std::tuple(count.Caption(), count.Enabled()),
        std::tuple("&Error messages (" + std::to_string(MessageCount) + ")", MessageCount > 0));
  }
}

}  // namespace
