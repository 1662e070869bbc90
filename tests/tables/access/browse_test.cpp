#include "browsetest.h"
#include "platform/files/filefaults.h"
#include "platform/system/services.h"
#include "platform/ui/keys.h"
#include "tables/access/tableaccess.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4lock.h"
#include "tables/core/dbf4nav.h"

namespace {

using namespace dadav;
using namespace accesstest;
using platform::DialogKind;
using platform::MessageAnswer;
using platform::NavigatorButton;
using platform::headless::Step;

class browse : public BrowseTest {
 protected:
  platform::DataGrid& Grid(platform::Form& form) { return form.Get<platform::DataGrid>("TzGrid1"); }
  platform::DataNavigator& Navigator(platform::Form& form) {
    return form.Get<platform::DataNavigator>("TzNavigator1");
  }
};

TEST_F(browse, ASelectionViewHidesDeletedRecordsAndOffersOnlyTheMovingButtons) {
  Form().SetTableFile(MakeTable("p.dbf", 4, {2}));
  Form().SetTitles("Profiles", "P3G");
  Show("", 1, [&](platform::Form& form) {
    EXPECT_EQ(form.Caption(), "P3G   Profiles");
    EXPECT_TRUE(Navigator(form).ButtonVisible(NavigatorButton::Last));
    EXPECT_FALSE(Navigator(form).ButtonVisible(NavigatorButton::Delete));
    EXPECT_FALSE(form.Menus().FindMenu("mi_edit")->Visible());
    EXPECT_FALSE(form.Menus().FindItem("mi_fileAppenddbf")->Visible());
    EXPECT_TRUE(Grid(form).HasOption(platform::kGridRowSelect));
    EXPECT_FALSE(Grid(form).HasOption(platform::kGridEditing));
    EXPECT_EQ(Form().Grid().RowCount(), 3);
    EXPECT_EQ(form.Get<platform::Label>("Label_reccount").Caption(), "/4");
    form.PressEnter();
  });
  EXPECT_EQ(BrowseExitKey, 13);
  Show("", 2, [&](platform::Form& form) {
    EXPECT_NE(form.Caption().find("P3G  Profiles  ("), std::string::npos);
    EXPECT_TRUE(Navigator(form).ButtonVisible(NavigatorButton::Delete));
    EXPECT_TRUE(form.Menus().FindMenu("mi_edit")->Visible());
    EXPECT_TRUE(Grid(form).HasOption(platform::kGridEditing));
    EXPECT_EQ(Form().Grid().RowCount(), 4);
    EXPECT_TRUE(Form().Grid().RowDeleted(1));
    form.PressEscape();
  });
  EXPECT_EQ(BrowseExitKey, 27);
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(browse, UnderCloseTheFirstClickReturnsItsRecord) {
  Form().SetTableFile(MakeTable("p.dbf", 5));
  Show("CLOSE", 1, [&](platform::Form& form) { Grid(form).ClickCell(3, 1); });
  EXPECT_EQ(SelectedRecord, 4);
  EXPECT_EQ(BrowseExitKey, 13);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(BrowseGridPos[1], 2);
}

TEST_F(browse, UnderCloseUpAndDownReturnTheRecordBeforeTheMove) {
  Form().SetTableFile(MakeTable("p.dbf", 5));
  Form().GoRecord(3);
  Show("CLOSE", 1, [&](platform::Form& form) { Grid(form).PressKey(platform::keys::kDown); });
  EXPECT_EQ(SelectedRecord, 3);
  Show("CLOSE", 1, [&](platform::Form& form) { Grid(form).PressKey(platform::keys::kUp); });
  EXPECT_EQ(SelectedRecord, 3);
}

TEST_F(browse, EscCancelsAnOpenCellEditorFirstAndEnterPostsIt) {
  Form().SetTableFile(MakeTable("p.dbf", 2));
  Show("", 2, [&](platform::Form& form) {
    Grid(form).ClickCell(0, 0);
    Grid(form).TypeInCell("DROPPED");
    form.PressEscape();
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    Grid(form).TypeInCell("KEPT");
    form.PressEnter();
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    EXPECT_EQ(Form().tzdbf.State(), TDataSetState::dsBrowse);
    Grid(form).TypeInCell("LOST");
    EXPECT_TRUE(Grid(form).CommitEditor());
    form.PressEscape();
  });
  EXPECT_EQ(BrowseExitKey, 27);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Form().GetFieldText(1), "KEPT    ");
}

TEST_F(browse, SearchingForACommaNumberFindsTheDotNumberOnTheSecondAttempt) {
  Form().SetTableFile(MakeTable("p.dbf", 5));
  Show("", 2, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::Text).Type("3,5"));
    form.Get<platform::Button>("Button_search").Click();
    EXPECT_EQ(Form().RecNo(), 3);
    EXPECT_TRUE(Form().Found());
    script_->Expect(Step(DialogKind::Text).Type("R9"));
    form.Menus().FindItem("mi_viewSearch")->Click();
    EXPECT_EQ(Form().RecNo(), 3);
    EXPECT_TRUE(Shown("R9 not found"));
    form.PressEnter();
  });
  EXPECT_EQ(HelpNumber, 0);
  EXPECT_EQ(SelectedRecord, 3);
}

TEST_F(browse, AFailedSearchUnderCloseStaysOpenAndAHitCloses) {
  Form().SetTableFile(MakeTable("p.dbf", 5));
  Show("CLOSE", 1, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::Text).Type("nothing"));
    form.Get<platform::Button>("Button_search").Click();
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    form.Get<platform::Button>("Button_SearchNext").Click();  // the same text again
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    script_->Expect(Step(DialogKind::Text).Type("r4"));
    form.Get<platform::Button>("Button_search").Click();
  });
  EXPECT_EQ(SelectedRecord, 4);
  EXPECT_EQ(BrowseExitKey, 13);
}

TEST_F(browse, ARecordNumberOutsideTheTableDoesNotMove) {
  Form().SetTableFile(MakeTable("p.dbf", 5));
  Show("", 2, [&](platform::Form& form) {
    auto& recno = form.Get<platform::Edit>("Edit_recno");
    recno.TypeText("4");
    EXPECT_EQ(Form().RecNo(), 4);
    recno.TypeText("0");
    recno.TypeText("9");
    recno.TypeText("x");
    EXPECT_EQ(Form().RecNo(), 4);
    form.PressEnter();
  });
  EXPECT_TRUE(script_->Failures().empty());
}

TEST_F(browse, PackAsksYesNoCancelAndOnlyYesPacks) {
  Form().SetTableFile(MakeTable("p.dbf", 4, {2, 3}));
  Show("", 2, [&](platform::Form& form) {
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel}) {
      script_->Expect(Step(DialogKind::Box).Answer(answer));
      form.Menus().FindItem("mi_editPack")->Click();
      EXPECT_EQ(Form().RecCount(), 4);
    }
    script_->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));
    form.Menus().FindItem("mi_editPack")->Click();
    EXPECT_EQ(Form().RecCount(), 2);
    EXPECT_EQ(Form().Grid().RowCount(), 2);
    form.PressEnter();
  });
}

TEST_F(browse, AppendLockedGivesZeroWhileAnotherProgramHoldsTheAppendLock) {
  const std::string path = MakeTable("p.dbf", 2);
  Form().SetTableFile(path);
  {
    OtherProcess other(path, [] {
      if (!ALock()) throw 1;
    });
    Form().PutFieldStr("NAME", "NEW");
    EXPECT_EQ(Form().AppendLocked(), 0);
    EXPECT_EQ(Form().RecCount(), 2);
    EXPECT_EQ(Form().tzdbf.State(), TDataSetState::dsBrowse);
    EXPECT_EQ(Form().GetFieldText(1), "R1      ");
    EXPECT_EQ(other.Finish(), 0);
  }
  Form().PutFieldStr("NAME", "NEW");
  EXPECT_EQ(Form().AppendLocked(), 1);
  EXPECT_EQ(Form().RecCount(), 3);
  Form().GoRecord(1);
  EXPECT_EQ(Form().GetFieldText(1), "R1      ");
}

TEST_F(browse, AppendsFromATableAndFromTextAndABadPickLeavesTheTableAlone) {
  const std::string other = MakeTable("q.dbf", 3);
  Form().SetTableFile(MakeTable("p.dbf", 2));
  Put("in.txt", "\"T1\",1.25,T\r\n\"T2\",2.5,F\r\n");
  std::string bad = Bytes("tables/q.dbf");
  bad[0] = 0x30;
  Put("bad.dbf", bad);
  Show("", 2, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::OpenFile).Type(other));
    form.Menus().FindItem("mi_fileAppenddbf")->Click();
    EXPECT_EQ(Form().RecCount(), 5);
    script_->Expect(Step(DialogKind::OpenFile).Type(Path("in.txt")));
    form.Menus().FindItem("mi_fileAppendDelimited")->Click();
    EXPECT_EQ(Form().RecCount(), 7);
    EXPECT_EQ(Form().Grid().CellText(6, 0), "T2");
    script_->Expect(Step(DialogKind::OpenFile).Type(Path("bad.dbf")));
    form.Menus().FindItem("mi_fileAppenddbf")->Click();
    EXPECT_EQ(Form().RecCount(), 7);
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    form.PressEnter();
  });
  EXPECT_TRUE(Shown("Error # 210 (Not a dBASE data file)"));
}

TEST_F(browse, SaveAsTextWritesTheVisibleRecords) {
  Form().SetTableFile(MakeTable("p.dbf", 3, {2}));
  Show("", 1, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("out.txt")));
    form.Menus().FindItem("mi_fileSaveAsDelimited")->Click();
    form.PressEnter();
  });
  const std::string text = Bytes("out.txt");
  EXPECT_NE(text.find("R1"), std::string::npos) << text;
  EXPECT_EQ(text.find("R2"), std::string::npos) << text;
  EXPECT_NE(text.find("R3"), std::string::npos) << text;
}

TEST_F(browse, ATableInTheTemporaryFolderWarnsInTheEditView) {
  MakeTable("p.dbf", 1);
  std::filesystem::copy_file(Path("tables/p.dbf"), Path("temp/p.dbf"));
  Form().SetTableFile(Path("temp/p.dbf"));
  Show("", 2, [&](platform::Form& form) { form.PressEnter(); });
  EXPECT_TRUE(Shown("No Write Access for dbf directory !  Temp directory used."));
  Form().SetTableFile(Path("tables/p.dbf"));
  script_->Transcript();
  Show("", 2, [&](platform::Form& form) { form.PressEnter(); });
  EXPECT_EQ(std::count_if(Boxes().begin(), Boxes().end(),
                          [](const std::string& box) {
                            return box.find("No Write Access") != std::string::npos;
                          }),
            1);
}

Dbf4MenuCaptions English() {
  return {};
}

Dbf4MenuCaptions German() {
  Dbf4MenuCaptions captions;
  captions.file.bytes = "&Datei";
  captions.exit.bytes = "&Beenden";
  captions.edit.bytes = "&Bearbeiten";
  captions.view.bytes = "&Ansicht";
  captions.help.bytes = "&Hilfe";
  captions.database.bytes = "Daten&bank";
  captions.print.bytes = "&Drucken";
  return captions;
}

TEST_F(browse, MenuCaptionsFollowTheLanguageAtEachShow) {
  Form().SetTableFile(MakeTable("p.dbf", 1));
  Show("", 2, [&](platform::Form& form) {
    EXPECT_EQ(form.Menus().FindMenu("mi_File")->Caption(), "&File");
    EXPECT_EQ(form.Menus().FindItem("mi_fileExportHtml")->Caption(), "Export &HTML...");
    EXPECT_EQ(form.Menus().FindItem("mi_helphilfebild")->Caption(), "Aux. &Image");
    form.PressEnter();
  });
  Dbf4MenuCaptionSource = &German;
  Show("", 2, [&](platform::Form& form) {
    EXPECT_EQ(form.Menus().FindMenu("mi_File")->Caption(), "&Datei");
    EXPECT_EQ(form.Menus().FindItem("mi_helpDatei")->Caption(), "&Datei");
    EXPECT_EQ(form.Menus().FindItem("mi_fileExit")->Caption(), "&Beenden");
    EXPECT_EQ(form.Menus().FindItem("mi_helpCommon")->Caption(), "Daten&bank");
    EXPECT_EQ(form.Get<platform::Button>("Button_search").Caption(), "&Search");
    form.Menus().FindItem("mi_fileExit")->Click();
  });
  Dbf4MenuCaptionSource = &English;
  EXPECT_EQ(BrowseExitKey, 13);
}

TEST_F(browse, AnEngineErrorInAUserActionShowsItsTextAndTheFormStays) {
  Form().SetTableFile(MakeTable("p.dbf", 3));
  const bool exceptions = SetExceptionMode(false);
  Show("", 2, [&](platform::Form& form) {
    Form().Guarded([] { GO(9); });
    EXPECT_TRUE(Shown("Error # 212 (Request beyond range)"));
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    EXPECT_FALSE(Halting);
    form.PressEnter();
  });
  SetExceptionMode(exceptions);
}

TEST_F(browse, ATitleClickSortsByTheFieldAndKeepsTheRecordSelected) {
  Form().SetTableFile(MakeTable("p.dbf", 12));
  Show("", 2, [&](platform::Form& form) {
    Form().GoRecord(11);
    Grid(form).ClickTitle(0);  // NAME: R1, R10, R11, R12, R2, ...
    EXPECT_EQ(Form().RecNo(), 11);
    EXPECT_EQ(Form().Grid().RecordOfRow(0), 1);
    EXPECT_EQ(Form().Grid().RecordOfRow(1), 10);
    EXPECT_EQ(Grid(form).Row(), Form().Grid().RowOfRecord(11));
    EXPECT_EQ(Grid(form).Row(), 2);
    Grid(form).ClickTitle(1);  // VALUE: natural order again
    EXPECT_EQ(Form().Grid().RecordOfRow(1), 2);
    EXPECT_EQ(Grid(form).Row(), 10);
    const std::string order = Form().ControllingIndex();
    Grid(form).ClickTitle(2);  // a logical field is not sorted
    EXPECT_EQ(Form().ControllingIndex(), order);
    form.PressEnter();
  });
  EXPECT_EQ(SelectedRecord, 11);
  EXPECT_TRUE(std::filesystem::exists(Path("temp/$brltemp.ndx")));
}

TEST_F(browse, AFailedSortShowsABoxAndKeepsTheOrder) {
  Form().SetTableFile(MakeTable("p.dbf", 3));
  std::filesystem::create_directory(Path("temp/$brltemp.ndx"));
  Show("", 2, [&](platform::Form& form) {
    Form().GoRecord(2);
    Grid(form).ClickTitle(0);
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    EXPECT_EQ(Form().ControllingIndex(), "");
    EXPECT_EQ(Form().RecNo(), 2);
    form.PressEnter();
  });
  EXPECT_TRUE(Shown("Error  : |"));
}

TEST_F(browse, APackWhileAnotherProgramSharesTheTableIsRefusedAndShown) {
  const std::string path = MakeTable("p.dbf", 3, {2});
  Form().SetTableFile(path);
  OtherProcess other(path, [] {});
  Show("", 2, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::Box).Answer(MessageAnswer::Yes));
    form.Menus().FindItem("mi_editPack")->Click();
    EXPECT_EQ(Form().RecCount(), 3);
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    form.PressEnter();
  });
  EXPECT_TRUE(Shown("Error  : |Error # "));
  EXPECT_EQ(other.Finish(), 0);
}

TEST_F(browse, EachTableBrowsedInTurnShowsItsOwnFields) {
  Form().SetTableFile(MakeTable("p.dbf", 2));
  Show("", 1, [&](platform::Form& form) { form.PressEnter(); });
  Form().Deactivate();
  const std::string other = Path("tables/m.dbf");
  NewTable(other, {Def("MATNR", 'N', 4), Def("MATERIAL", 'C', 20)}, 1, [](int) {
    SetInt32(1, 42);
    SetText(2, "Steel");
  });
  CloseAll();
  Form().SetTableFile(other);
  Show("", 1, [&](platform::Form& form) {
    EXPECT_EQ(Form().Grid().ColumnCount(), 2);
    EXPECT_EQ(Form().Grid().Title(0), "MATNR");
    EXPECT_EQ(Form().Grid().Title(1), "MATERIAL");
    EXPECT_EQ(Form().Grid().ColumnWidth(1), 20);
    EXPECT_EQ(Grid(form).VisibleCellText(0, 0), "42");
    EXPECT_EQ(Grid(form).VisibleCellText(0, 1), "Steel");
    form.PressEnter();
  });
}

TEST_F(browse, ExportsStartInTheTablesFolderAndANameGetsItsDefaultExtension) {
  Form().SetTableFile(MakeTable("p.dbf", 2));
  HtmlBrowser.clear();
  Show("", 2, [&](platform::Form& form) {
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("page")));
    form.Menus().FindItem("mi_fileExportHtml")->Click();
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("list")));
    form.Menus().FindItem("mi_fileSaveAsDelimited")->Click();
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("named.html")));
    form.Menus().FindItem("mi_fileExportHtml")->Click();
    form.PressEnter();
  });
  const std::vector<platform::FileRequest>& requests = script_->FileRequests();
  ASSERT_EQ(requests.size(), 3u);
  for (const platform::FileRequest& request : requests) {
    EXPECT_EQ(request.folder, Path("tables") + "/");
  }
  EXPECT_EQ(requests[0].name, "p");
  EXPECT_TRUE(std::filesystem::exists(Path("page.htm")));
  EXPECT_TRUE(std::filesystem::exists(Path("list.txt")));
  EXPECT_TRUE(std::filesystem::exists(Path("named.html")));
  EXPECT_FALSE(std::filesystem::exists(Path("page")));
}

// The program's own error mode: an engine error that no guard takes shows "Program halted." and
// ends the process, as it does in the program.
class browse_errormode : public browse {
 protected:
  void SetUp() override {
    browse::SetUp();
    exceptions_ = SetExceptionMode(false);
    reporting_ = SetReportErrors(true);
  }
  void TearDown() override {
    EXPECT_FALSE(Shown("Program halted."));
    SetExceptionMode(exceptions_);
    SetReportErrors(reporting_);
    browse::TearDown();
  }
  // Down past the last row of the edit view: the grid offers a new row.
  void OpenAppendRow(platform::DataGrid& grid) {
    grid.ClickCell(Form().Grid().RowCount() - 1, 0);
    grid.PressKey(platform::keys::kDown);
    ASSERT_EQ(Form().tzdbf.State(), TDataSetState::dsInsert);
  }

 private:
  bool exceptions_ = true;
  bool reporting_ = true;
};

TEST_F(browse_errormode, AnUntouchedNewRowNeverBecomesARecordHoweverItIsLeft) {
  const std::string path = MakeTable("p.dbf", 2);
  const std::string stored = Bytes("tables/p.dbf");
  HtmlBrowser.clear();
  Form().SetTableFile(path);
  Show("", 2, [&](platform::Form& form) {
    platform::DataGrid& grid = Grid(form);
    OpenAppendRow(grid);
    grid.ClickTitle(1);
    OpenAppendRow(grid);
    script_->Expect(Step(DialogKind::Text).Type("R1"));
    form.Get<platform::Button>("Button_search").Click();
    OpenAppendRow(grid);
    form.Get<platform::Button>("Button_SearchNext").Click();
    OpenAppendRow(grid);
    form.Get<platform::Edit>("Edit_recno").TypeText("1");
    OpenAppendRow(grid);
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("out.txt")));
    form.Menus().FindItem("mi_fileSaveAsDelimited")->Click();
    EXPECT_EQ(Form().RecNo(), 2);
    OpenAppendRow(grid);
    script_->Expect(Step(DialogKind::SaveFile).Type(Path("out.htm")));
    form.Menus().FindItem("mi_fileExportHtml")->Click();
    OpenAppendRow(grid);
    form.PressEnter();
  });
  EXPECT_EQ(BrowseExitKey, 13);
  EXPECT_EQ(SelectedRecord, 2);
  EXPECT_EQ(Form().RecCount(), 2);
  Form().Deactivate();
  EXPECT_EQ(Bytes("tables/p.dbf"), stored);
}

TEST_F(browse_errormode, AFailedAppendIsAStopBoxKeepsTheTypedRowAndLeavesTheFileAsItWas) {
  const std::string path = MakeTable("p.dbf", 2);
  const std::string stored = Bytes("tables/p.dbf");
  Form().SetTableFile(path);
  Show("", 2, [&](platform::Form& form) {
    platform::DataGrid& grid = Grid(form);
    OpenAppendRow(grid);
    grid.TypeInCell("NEW");
    ASSERT_TRUE(grid.CommitEditor());
    // The disk holds a few bytes more than the table: the new record is written in part.
    const auto diskFull = [&](const std::function<void()>& action) {
      enginetest::WithFileSizeLimit(stored.size() + 5, action);
    };
    diskFull([&] { Navigator(form).Click(NavigatorButton::Post); });
    EXPECT_TRUE(Shown("Error  : |Error # 101"));
    EXPECT_EQ(Form().tzdbf.State(), TDataSetState::dsInsert);
    EXPECT_EQ(Bytes("tables/p.dbf"), stored);
    diskFull([&] { form.PressEnter(); });
    EXPECT_EQ(form.GetModalResult(), platform::ModalResult::None);
    diskFull([&] { grid.PressKey(platform::keys::kUp); });
    EXPECT_EQ(Form().tzdbf.State(), TDataSetState::dsInsert);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(Bytes("tables/p.dbf"), stored);
    EXPECT_EQ(std::count_if(
                  Boxes().begin(), Boxes().end(),
                  [](const std::string& box) { return box.find("Error  : |Error # 101") == 0; }),
              3);
    form.PressEnter();
  });
  EXPECT_EQ(BrowseExitKey, 13);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Form().RecCount(), 3);
  Form().GoRecord(3);
  EXPECT_EQ(Form().GetFieldText(1), "NEW     ");
}

TEST_F(browse_errormode, AnAppendThatFailsOnAFullDiskGivesZeroAndAStopBox) {
  Form().SetTableFile(MakeTable("p.dbf", 2));
  const std::string stored = Bytes("tables/p.dbf");
  std::int32_t appended = -1;
  Form().PutFieldStr("NAME", "NEW");
  enginetest::WithFileSizeLimit(stored.size() + 5,
                                [&] { Form().Guarded([&] { appended = Form().AppendLocked(); }); });
  EXPECT_EQ(appended, 0);
  EXPECT_TRUE(Shown("Error  : |Error # 101"));
  EXPECT_EQ(Form().RecCount(), 2);
  EXPECT_EQ(Bytes("tables/p.dbf"), stored);
}

TEST_F(browse_errormode, AFailedWriteOfTheNthBlockIsAStopBoxAndNoRecord) {
  Form().SetTableFile(MakeTable("p.dbf", 2));
  Show("", 2, [&](platform::Form& form) {
    platform::DataGrid& grid = Grid(form);
    grid.ClickCell(0, 0);
    grid.TypeInCell("EDITED");
    ASSERT_TRUE(grid.CommitEditor());
    {
      platform::Substitute<platform::FileFaults, platform::FileFaults> faults;
      faults->FailWrite(1);
      grid.PressKey(platform::keys::kDown);
    }
    EXPECT_TRUE(Shown("Error  : |Error # 101"));
    EXPECT_EQ(Form().tzdbf.State(), TDataSetState::dsEdit);
    form.PressEscape();
  });
  EXPECT_EQ(BrowseExitKey, 27);
  Form().GoRecord(1);
  EXPECT_EQ(Form().GetFieldText(1), "R1      ");
}

TEST_F(browse_errormode, TheRecordBoxAndGotoTableRecordMoveOnFromAHiddenRecord) {
  Form().SetTableFile(MakeTable("p.dbf", 5, {3, 5}));
  Show("", 1, [&](platform::Form& form) {
    form.Get<platform::Edit>("Edit_recno").TypeText("3");
    EXPECT_EQ(Form().RecNo(), 4);
    EXPECT_EQ(Grid(form).Row(), Form().Grid().RowOfRecord(4));
    form.PressEnter();
  });
  EXPECT_EQ(SelectedRecord, 4);
  GotoTableRecord(3);
  EXPECT_EQ(TableRecNo(), 4);
  GotoTableRecord(5);
  EXPECT_EQ(TableRecNo(), 4);
}

TEST_F(browse_errormode, ANumberTooWideOrABadDateIsRefusedWithAMessageAndTheValueStays) {
  const std::string path = Path("tables/d.dbf");
  NewTable(path, {Def("VALUE", 'N', 8, 2), Def("WHEN", 'D', 8)}, 1, [](int) { SetReal(1, 1.5); });
  CloseAll();
  Form().SetTableFile(path);
  const std::string noDate = Form().GetFieldText(2);
  Show("", 2, [&](platform::Form& form) {
    platform::DataGrid& grid = Grid(form);
    grid.ClickCell(0, 0);
    grid.TypeInCell("123456.78");
    EXPECT_FALSE(grid.CommitEditor());
    EXPECT_TRUE(Shown("123456.78 is too wide for field VALUE (width 8)"));
    grid.ClickCell(0, 1);
    grid.TypeInCell("13/45/26");
    EXPECT_FALSE(grid.CommitEditor());
    EXPECT_TRUE(Shown("'13/45/26' is not a valid date"));
    form.PressEnter();
  });
  EXPECT_EQ(Form().GetFieldText(1), "    1.50");
  EXPECT_EQ(Form().GetFieldText(2), noDate);
}

}  // namespace
