// Print setups in "printout.dbf": choosing one in the browse form, storing the form's settings
// under a name, where the table is found, a table without setups, and damaged or short tables in
// the program's own error mode; the printer-information mode.
#include "base/help/helptext.h"
#include "base/text/messages.h"
#include "base/text/utilstr.h"
#include "platform/files/fileresolve.h"
#include "printtest.h"
#include "tables/access/tableaccess.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/tzdbflow.h"
#include "tests/support/command.h"
#include "tests/tables/core/enginetables.h"
#include "tests/tables/core/haltrecorder.h"

namespace {

using platform::Form;
using platform::ModalResult;

class drawprint_setups : public PrintTest {
 protected:
  void SetUp() override {
    PrintTest::SetUp();
    SheetKind = 5;
  }
  // The form after a pick of record in the browse form, seen by look.
  void ChooseSetup(std::int32_t record, const Act& look) {
    Show([&](Form& form) {
      ExpectPick(record);
      Press(form, "Button_db");
      look(form);
      Press(form, "Button_cancel");
    });
  }
  bool Said(const std::string& text) const {
    for (std::size_t i = 1; i <= MessageCount; ++i)
      if (Messages[i].find(text) != std::string::npos) return true;
    return false;
  }
  std::string TableBytes() const { return Bytes("tables/printout.dbf"); }
};

TEST_F(drawprint_setups, APickedSetupFillsTheControls) {
  ChooseSetup(2, [](Form& form) {
    EXPECT_EQ(Text(form, "Edit_scalex"), "0.7000");
    EXPECT_EQ(Text(form, "Edit_scaley"), "0.7000");
    EXPECT_EQ(Text(form, "Edit_xorigin"), "-1");
    EXPECT_EQ(Index(form, "RadioGroup_hochquer"), 1);
    EXPECT_EQ(Index(form, "RadioGroup_printmono"), 0);
    EXPECT_TRUE(Checked(form, "CheckBox_anpassen"));
    EXPECT_FALSE(Checked(form, "CheckBox_umrandung"));
    EXPECT_EQ(AbortFlag, 0);
  });
  EXPECT_EQ(PrintSetupRecNo, 2);
  EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
  EXPECT_EQ(dadav::DbfForm->Caption(), "Printout   printout");
}

TEST_F(drawprint_setups, EscInTheBrowseChangesNothing) {
  PrintSetupRecNo = 4;
  PrintOrientation = 1;
  Show([&](Form& form) {
    ExpectForm([](Form& browse) { browse.PressEscape(); });
    Press(form, "Button_db");
    EXPECT_EQ(Text(form, "Edit_scalex"), "1");
    EXPECT_EQ(Index(form, "RadioGroup_hochquer"), 0);
    EXPECT_FALSE(Checked(form, "CheckBox_anpassen"));
    EXPECT_EQ(AbortFlag, 0);
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(PrintSetupRecNo, 4);
  EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
}

TEST_F(drawprint_setups, TheBrowseOpensOnTheSetupChosenLastUnderItsHelp) {
  PrintSetupRecNo = 3;
  HelpNumber = 77;
  std::int32_t shown = 0;
  std::uint16_t help = 0;
  Show([&](Form& form) {
    ExpectForm([&](Form& browse) {
      shown = dadav::DbfForm->RecNo();
      help = HelpNumber;
      browse.PressEscape();
    });
    Press(form, "Button_db");
    PrintSetupRecNo = 9;
    ExpectForm([&](Form& browse) {
      shown = dadav::DbfForm->RecNo();
      browse.PressEscape();
    });
    Press(form, "Button_db");
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(help, 1040);
  EXPECT_EQ(HelpNumber, 77);
  EXPECT_EQ(shown, 5);
  EXPECT_TRUE(Said("DBF #9 not found."));
}

TEST_F(drawprint_setups, ATableInThePrintoutFolderWinsInAnyLetterCase) {
  std::filesystem::copy_file(DataPath("printout.dbf"), PrintoutDir + "/PRINTOUT.DBF");
  Show([&](Form& form) {
    ExpectForm([](Form& browse) {
      EXPECT_EQ(browse.Get<platform::Label>("Label_filename").Caption(),
                platform::ResolveFileName(PrintoutDir + "/printout.dbf"));
      browse.PressEscape();
    });
    Press(form, "Button_db");
    Press(form, "Button_cancel");
  });
  EXPECT_FALSE(dialogs_->Failed());
}

TEST_F(drawprint_setups, AStoredSetupComesBackAsTypedAndTheOthersStayAsTheyWere) {
  const std::string before = TableBytes();
  Show([&](Form& form) {
    EditOf(form, "Edit_scalex").TypeText("1,25");
    EditOf(form, "Edit_scaley").TypeText("0.8");
    EditOf(form, "Edit_xorigin").TypeText("12");
    EditOf(form, "Edit_yorigin").TypeText("-3");
    form.Get<platform::RadioGroup>("RadioGroup_hochquer").Choose(1);
    form.Get<platform::RadioGroup>("RadioGroup_printmono").Choose(0);
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Text).Type("Test"));
    Press(form, "Button_append");
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
    form.Get<platform::RadioGroup>("RadioGroup_hochquer").Choose(0);
    form.Get<platform::RadioGroup>("RadioGroup_printmono").Choose(1);
    ExpectPick(6);
    Press(form, "Button_db");
    EXPECT_EQ(Text(form, "Edit_scalex"), "1.2500");
    EXPECT_EQ(Text(form, "Edit_scaley"), "0.8000");
    EXPECT_EQ(Text(form, "Edit_xorigin"), "12");
    EXPECT_EQ(Text(form, "Edit_yorigin"), "-3");
    EXPECT_EQ(Index(form, "RadioGroup_hochquer"), 1);
    EXPECT_EQ(Index(form, "RadioGroup_printmono"), 0);
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(PrintSetupRecNo, 6);
  EXPECT_EQ(Job().JobsBegun(), 0);
  const std::string after = TableBytes();
  ASSERT_GT(after.size(), before.size());
  // The header's count and date change; the five records stay byte for byte.
  const std::size_t header = 32 + 9 * 32 + 1;
  EXPECT_EQ(after.substr(header, before.size() - header - 1),
            before.substr(header, before.size() - header - 1));
  const CommandResult read = RunCommand(
      "/usr/bin/python3 -c \"import dbfread,sys; r=list(dbfread.DBF(sys.argv[1]))[-1]; "
      "print(r['NAME'], r['XSCALE'], r['YSCALE'], r['XORIGIN'], r['YORIGIN'], r['LANDSCAPE'], "
      "r['MONOCHROM'], r['VARIABLE'], r['BORDERLINE'])\" " +
      Path("tables/printout.dbf"));
  EXPECT_EQ(read.status, 0);
  EXPECT_EQ(read.output, "Test 1.25 0.8 12 -3 True True False False\n");
}

// An origin too wide for its field is refused once, and no setup is stored with another
// setup's origin in its place.
TEST_F(drawprint_setups, AFieldTheTableRefusesStoresNoSetup) {
  const std::string before = TableBytes();
  Show([&](Form& form) {
    EditOf(form, "Edit_xorigin").TypeText("1234567");
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Text).Type("Wide"));
    Press(form, "Button_append");
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(Boxes("Error  : "), 1);
  EXPECT_EQ(TableBytes(), before);
}

TEST_F(drawprint_setups, CancelAtTheNameStoresNothingAndClosesTheTable) {
  const std::string before = TableBytes();
  Show([&](Form& form) {
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Text)
                         .Closing(platform::DialogClose::Cancel));
    Press(form, "Button_append");
    EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(TableBytes(), before);
}

TEST_F(drawprint_setups, ADamagedTableIsShownAsAnErrorAndTheFormLivesOn) {
  Put("setups/printout.dbf", std::string(700, 'x'));
  Show([&](Form& form) {
    Press(form, "Button_db");
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
    Press(form, "Button_append");
    EXPECT_EQ(form.GetModalResult(), ModalResult::None);
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(Boxes("Error  : "), 2);
  EXPECT_EQ(Boxes("Program halted."), 0);
}

// Enter in the browse of a table without setups picks nothing: the settings stay and OK prints.
TEST_F(drawprint_setups, EnterOnATableWithoutSetupsChangesNothing) {
  std::string table = TableBytes();
  const std::size_t header = static_cast<unsigned char>(table[8]) |
                             static_cast<std::size_t>(static_cast<unsigned char>(table[9])) << 8;
  table = table.substr(0, header) + '\x1A';
  std::fill_n(table.begin() + 4, 4, '\0');
  Put("tables/printout.dbf", table);
  PrintScaleX = 0.75;
  PrintOrientation = 2;
  PrintSetupRecNo = 0;
  EXPECT_EQ(Show([&](Form& form) {
              ExpectForm([](Form& browse) { browse.PressEnter(); });
              Press(form, "Button_db");
              EXPECT_EQ(Text(form, "Edit_scalex"), "0.75");
              EXPECT_EQ(Index(form, "RadioGroup_hochquer"), 1);
              EXPECT_EQ(AbortFlag, 0);
              Press(form, "Button_ok");
            }),
            ModalResult::Ok);
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_EQ(Job().PagesEnded(), 1);
  EXPECT_EQ(PrintSetupRecNo, 0);
  EXPECT_EQ(PrintScaleX, 0.75);
  EXPECT_EQ(PrintOrientation, 2);
}

// A setup table short of the fields the form reads: the engine's error once, no setting of its
// row, and the program neither halts nor closes the form.
TEST_F(drawprint_setups, ATableShortOfFieldsIsOneBoxAndChangesNoSetting) {
  const EngineHaltRecorder halts;
  const std::string path = Path("tables/printout.dbf");
  std::filesystem::remove(path);
  using enginetest::Def;
  dadav::CreateDBF(path, {Def("NAME", 'C', 25), Def("XSCALE", 'N', 8, 4), Def("YSCALE", 'N', 8, 4),
                          Def("XORIGIN", 'N', 5)});
  dadav::USE(path + " EXCLUSIVE");
  dadav::ClearRecord();
  for (const auto& [field, text] :
       {std::pair(1, "short"), {2, "0.5000"}, {3, "0.2500"}, {4, "7"}}) {
    dadav::PutStoredField(field, text);
  }
  dadav::Append();
  dadav::CloseAll();
  PrintScaleX = 0.75;
  PrintSetupRecNo = 0;
  Show([&](Form& form) {
    ExpectPick(1);
    Press(form, "Button_db");
    EXPECT_EQ(Text(form, "Edit_scalex"), "0.75");
    EXPECT_EQ(Text(form, "Edit_xorigin"), "0");
    EXPECT_EQ(form.GetModalResult(), ModalResult::None);
    EXPECT_FALSE(dadav::DbfForm->tzdbf.Active());
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(PrintSetupRecNo, 0);
  EXPECT_EQ(Boxes("Error  : "), 1);
  EXPECT_EQ(Boxes("Program halted."), 0);
  EXPECT_TRUE(EngineHaltRecorder::Statuses().empty());
}

TEST_F(drawprint_setups, AMissingTableIsReported) {
  std::filesystem::remove(DbfDir + "/printout.dbf");
  Show([&](Form& form) {
    Press(form, "Button_db");
    EXPECT_EQ(AbortFlag, 1);
    Press(form, "Button_cancel");
  });
  EXPECT_EQ(Boxes("printout.dbf not found."), 1);
}

TEST_F(drawprint_setups, InformationModeStoresShowsTheGridAndPrintsNothing) {
  std::vector<std::string> cells;
  Show(
      [&](Form& form) {
        EditOf(form, "Edit_scalex").TypeText("2");
        form.Get<platform::RadioGroup>("RadioGroup_hochquer").Choose(1);
        dialogs_->Expect(platform::headless::Step(platform::DialogKind::Text).Type("Info"));
        Press(form, "Button_append");
        ExpectForm([&](Form& info) {
          const auto& grid = info.Get<platform::StringGrid>("StringGrid1");
          for (std::int32_t row = 0; row < grid.RowCount(); ++row)
            cells.push_back(grid.Cell(1, row));
          info.PressEnter();
        });
        Press(form, "Button_ok");
      },
      1);
  EXPECT_EQ(Job().JobsBegun(), 0);
  EXPECT_EQ(PrintScaleX, 2.0);
  EXPECT_EQ(PrintOrientation, 2);
  EXPECT_EQ(printers_->Orientation(), platform::PageOrientation::Landscape);
  ASSERT_GE(cells.size(), 16u);
  EXPECT_EQ(cells[3], "297");  // the width of the page across
  dadav::DbfForm->SetTableFile(DbfDir + "/printout.dbf");
  EXPECT_EQ(TableRecCount(), 6);
  GotoTableRecord(6);
  EXPECT_EQ(TrimBlanks(GetTableField(1)), "Info");
  CloseTableFile();
}

}  // namespace
