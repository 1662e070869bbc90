// The plot options form: its line rebuilt on every change with the texts as typed, the controls
// enabled by interface and destination, the scale box, OK and Cancel; and the target choice that
// shows it and builds a line by prompts on "0".
#include "cad/layer/confpenwerk.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <tuple>

#include "tests/cad/cadtest.h"

namespace {

using platform::Button;
using platform::CheckBox;
using platform::ComboBox;
using platform::DialogClose;
using platform::DialogKind;
using platform::Edit;
using platform::Form;
using platform::Label;
using platform::ModalResult;
using platform::RadioGroup;
using platform::headless::Step;

class PlotOptionsForm : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    TempDir = "/tmp/kv6";
    AbortFlag = 0;
    form_ = std::make_unique<TForm_confpenwerk>();
  }

  // Shows the form with the line given; act is what the user does in it.
  ModalResult Show(const std::string& line, const std::function<void(Form&)>& act) {
    form_->CommandLine = line;
    dialogs_->Expect(Step(DialogKind::Form).Act([&](Form& shown) {
      shown_ = shown.Get<Label>("Label_commandline").Caption();
      act(shown);
    }));
    return form_->ShowModal();
  }
  const std::string& Shown() const { return form_->Get<Label>("Label_commandline").Caption(); }
  void Type(const std::string& edit, const std::string& text) {
    form_->Get<Edit>(edit).TypeText(text);
  }
  void Choose(const std::string& group, std::int32_t index) {
    form_->Get<RadioGroup>(group).Choose(index);
  }
  bool Enabled(const std::string& control) const {
    return form_->Get<platform::Control>(control).Enabled();
  }

  std::unique_ptr<TForm_confpenwerk> form_;  // made after TempDir is set
  std::string shown_;
};

TEST_F(PlotOptionsForm, EveryChangeRebuildsTheLineAsTyped) {
  Type("Edit_penwerkPath", "/opt/pw/wpenwerk");
  EXPECT_EQ(Shown(), "/opt/pw/wpenwerk /tmp/kv6/penwerk /CHPL");
  Type("Edit_scale", "1,5");
  EXPECT_EQ(form_->CommandLine, "/opt/pw/wpenwerk /tmp/kv6/penwerk /CHPL /M1,5");
  Type("Edit_scale", "1,0");
  Type("Edit_xnull", "2.50");
  Type("Edit_ynull", "-1");
  Type("Edit_textbreitenfaktor", "0,8");
  form_->Get<CheckBox>("CheckBox_rotate").Click();
  EXPECT_EQ(Shown(), "/opt/pw/wpenwerk /tmp/kv6/penwerk /CHPL /X2.50 /Y-1 /B0,8 /R");
  Type("Edit_xnull", "0,0");
  Choose("RadioGroup_outcode", 1);
  form_->Get<ComboBox>("ComboBox_psfont").Choose(12);
  Type("Edit_lpt", "2");
  EXPECT_EQ(Shown(), "/opt/pw/wpenwerk /tmp/kv6/penwerk /CPS /P2 /Y-1 /B0,8 /R /TCourier");
  form_->Get<ComboBox>("ComboBox_psfont").TypeText("Optima");
  EXPECT_EQ(Shown(), "/opt/pw/wpenwerk /tmp/kv6/penwerk /CPS /P2 /Y-1 /B0,8 /R /TOptima");
  // The serial port and the file interface; a folder with a blank stays one word.
  Choose("RadioGroup_outcode", 3);
  Choose("RadioGroup_d", 0);
  Type("Edit_com", "4");
  EXPECT_EQ(Shown(), "/opt/pw/wpenwerk /tmp/kv6/penwerk /CPL2 /D1 /P4 /Y-1 /B0,8 /R");
  Choose("RadioGroup_d", 2);
  Type("Edit_outdir", "/srv/plot out");
  EXPECT_EQ(Shown(),
            "/opt/pw/wpenwerk \"/srv/plot out/penwerk\" /CPL2 /D3 /F\"/srv/plot out/penwerk\" "
            "/Y-1 /B0,8 /R");
  Type("Edit_outdir", " ");
  EXPECT_EQ(Shown(), "/opt/pw/wpenwerk penwerk /CPL2 /D3 /Y-1 /B0,8 /R");
  form_->Get<Button>("Button_tempdir").Click();
  EXPECT_EQ(form_->Get<Edit>("Edit_outdir").Text(), "/tmp/kv6");
  EXPECT_EQ(Shown(),
            "/opt/pw/wpenwerk /tmp/kv6/penwerk /CPL2 /D3 /F/tmp/kv6/penwerk /Y-1 /B0,8 /R");
}

TEST_F(PlotOptionsForm, DefaultsAndEnabling) {
  EXPECT_EQ(form_->Get<Edit>("Edit_penwerkPath").Text(), "c:\\penwerk\\wpenwerk");
  EXPECT_EQ(form_->Get<RadioGroup>("RadioGroup_outcode").Items().size(), 5u);
  EXPECT_EQ(form_->Get<ComboBox>("ComboBox_psfont").Items().size(), 35u);
  EXPECT_EQ(form_->Get<ComboBox>("ComboBox_psfont").Items().back(), "other fonts");
  EXPECT_EQ(form_->Get<ComboBox>("ComboBox_psfont").Text(), "");
  // Parallel: only the LPT port; HPL: no font.
  EXPECT_EQ(std::vector<bool>({Enabled("Edit_com"), Enabled("Edit_lpt"), Enabled("Edit_outdir"),
                               Enabled("ComboBox_psfont")}),
            (std::vector<bool>{false, true, false, false}));
  Choose("RadioGroup_d", 0);
  EXPECT_EQ(std::vector<bool>({Enabled("Edit_com"), Enabled("Edit_lpt"), Enabled("Edit_outdir")}),
            (std::vector<bool>{true, false, false}));
  Choose("RadioGroup_d", 2);
  EXPECT_EQ(std::vector<bool>({Enabled("Edit_com"), Enabled("Edit_lpt"), Enabled("Edit_outdir")}),
            (std::vector<bool>{false, false, true}));
  Choose("RadioGroup_outcode", 1);
  EXPECT_TRUE(Enabled("ComboBox_psfont"));
  Choose("RadioGroup_outcode", 4);
  EXPECT_FALSE(Enabled("ComboBox_psfont"));
  // The fit box sets the scale to 0 and locks it; cleared, the scale can be typed again.
  Type("Edit_scale", "2");
  form_->Get<CheckBox>("CheckBox_scale").Click();
  EXPECT_EQ(form_->Get<Edit>("Edit_scale").Text(), "0");
  EXPECT_FALSE(Enabled("Edit_scale"));
  EXPECT_NE(Shown().find(" /M*"), std::string::npos);
  form_->Get<CheckBox>("CheckBox_scale").Click();
  EXPECT_TRUE(Enabled("Edit_scale"));
  Type("Edit_scale", "3");
  EXPECT_NE(Shown().find(" /M3"), std::string::npos);
}

TEST_F(PlotOptionsForm, OkTakesTheControlsCancelKeepsTheLine) {
  EXPECT_EQ(Show("given line", [](Form& form) { form.Get<Button>("Button_ok").Click(); }),
            ModalResult::Ok);
  EXPECT_EQ(shown_, "given line");
  EXPECT_EQ(form_->CommandLine, "c:\\penwerk\\wpenwerk /tmp/kv6/penwerk /CHPL");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Show("given line", [](Form& form) { form.Get<Button>("Button_cancel").Click(); }),
            ModalResult::Cancel);
  EXPECT_EQ(form_->CommandLine, "given line");
  EXPECT_EQ(AbortFlag, 1);
  AbortFlag = 0;
  EXPECT_EQ(Show("given line", [](Form&) {}), ModalResult::Cancel);  // the close box
  EXPECT_EQ(AbortFlag, 1);
}

// An edit in use that holds no number is refused with the range message and shows its default;
// blanks around a number are no error and stay out of the line.
TEST_F(PlotOptionsForm, TextThatIsNoNumberIsRefused) {
  const std::string reals = "Error  : |Valid Data are: -100000000000 .. 100000000000 !";
  const std::string wholes = "Error  : |Valid Data are: -2147483648 .. 2147483647 !";
  const std::string line = "c:\\penwerk\\wpenwerk /tmp/kv6/penwerk /CHPL";
  const std::tuple<const char*, const char*, std::string, std::string, std::string> cases[] = {
      {"Edit_scale", "2 x", "1", reals, line},
      {"Edit_lpt", "--2", "1", wholes, line},
      {"Edit_xnull", " 2 ", " 2 ", "", line + " /X2"}};
  for (const auto& [edit, typed, after, box, shownLine] : cases) {
    const std::size_t shown = dialogs_->Transcript().size() + 1;
    std::string text;
    Show("given line", [&](Form& form) {
      form.Get<Edit>(edit).TypeText(typed);
      form.Get<Button>("Button_ok").Click();
      text = form.Get<Edit>(edit).Text();
    });
    const std::vector<std::string>& boxes = dialogs_->Transcript();
    EXPECT_EQ(std::tuple(text, boxes.size() > shown ? boxes[shown] : "", form_->CommandLine),
              std::tuple(after, box, shownLine));
  }
}

// The program file and the folder come from their dialogs, which start where the texts point;
// a cancelled dialog keeps the text. Help shows its text.
TEST_F(PlotOptionsForm, ChoosingTheProgramAndTheFolder) {
  std::filesystem::create_directory(Path("pw"));
  Type("Edit_penwerkPath", Path("pw") + "/wpenwerk");
  dialogs_->Expect(Step(DialogKind::OpenFile).Type(Path("pw/penwerk")));
  form_->Get<Button>("Button_penwerkpath").Click();
  EXPECT_EQ(dialogs_->FileRequests().back().folder, Path("pw"));
  dialogs_->Expect(Step(DialogKind::Folder).Type(Path("pw")));
  Choose("RadioGroup_d", 2);
  form_->Get<Button>("Button_outDir").Click();
  EXPECT_EQ(Shown(),
            Path("pw/penwerk") + " " + Path("pw/penwerk") + " /CHPL /D3 /F" + Path("pw/penwerk"));
  dialogs_->Expect(Step(DialogKind::Folder).Closing(DialogClose::Cancel));
  form_->Get<Button>("Button_outDir").Click();
  EXPECT_EQ(form_->Get<Edit>("Edit_outdir").Text(), Path("pw"));
  form_->Get<Button>("Button_help").Click();
  EXPECT_EQ(dialogs_->Transcript().size(), 4u);
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_FALSE(dialogs_->Failed());
}

TEST_F(PlotOptionsForm, HintsOnlyWithHelpLevel) {
  HelpLevel = 0;
  TForm_confpenwerk without;
  EXPECT_EQ(without.Get<Edit>("Edit_scale").Hint(), "");
  HelpLevel = 1;
  TForm_confpenwerk with;
  EXPECT_NE(with.Get<Edit>("Edit_scale").Hint(), "");
  EXPECT_NE(with.Get<RadioGroup>("RadioGroup_outcode").Hint(), "");
}

// The target choice: the line chosen, shown in the form, offered for editing, "0" builds it
// anew by prompts; the result is the chosen line.
TEST_F(PlotOptionsForm, TheTargetChoiceShowsTheFormAndBuildsByPromptsOnZero) {
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  std::filesystem::create_directory("pw");
  WriteBytes("pw/penwerk", "");
  TempDir = "tmp";
  PlotCommandLines.Count = 2;
  PlotCommandLines.Lines[1] = "first";
  PlotCommandLines.Lines[2] = "pw/WPENWERK second";
  CadBatch = 0;
  dialogs_->Expect(Step(DialogKind::Radio).Select(3));  // the plot program
  dialogs_->Expect(Step(DialogKind::Radio).Select(1));  // the second line
  dialogs_->Expect(Step(DialogKind::Form).Closing(DialogClose::Cancel));
  dialogs_->Expect(Step(DialogKind::Text).Type("0"));
  dialogs_->Expect(Step(DialogKind::Radio));
  dialogs_->Expect(Step(DialogKind::Text));  // the folder of the line shown
  for (int i = 0; i < 8; ++i) {
    dialogs_->Expect(
        Step(i == 4 ? DialogKind::YesNo : (i < 2 ? DialogKind::Radio : DialogKind::Text)));
  }
  cad_choose_target();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_FALSE(dialogs_->Failed());
  EXPECT_EQ(CadTarget, kCadPlot);
  EXPECT_EQ(PlotCommandLines.Chosen, 2);
  EXPECT_EQ(PlotCommandLines.Lines[2], "pw/PENWERK tmp/penwerk /CHPL");
  EXPECT_EQ(PlotCommandLines.Lines[1], "first");
  // OK in the form takes its line, the prompt keeps it.
  dialogs_->Expect(Step(DialogKind::Radio).Select(3));
  dialogs_->Expect(Step(DialogKind::Radio).Select(0));
  dialogs_->Expect(
      Step(DialogKind::Form).Act([](Form& form) { form.Get<Button>("Button_ok").Click(); }));
  dialogs_->Expect(Step(DialogKind::Text));
  cad_choose_target();
  EXPECT_EQ(PlotCommandLines.Lines[1], "c:\\penwerk\\wpenwerk tmp/penwerk /CHPL");
  EXPECT_EQ(dialogs_->Requests().back().prompt, "PENWERK command line (0=Parameter)");
  EXPECT_EQ(dialogs_->Requests().back().text, PlotCommandLines.Lines[1]);
  // Cancel at a prompt of the builder keeps the stored line and aborts.
  dialogs_->Expect(Step(DialogKind::Radio).Select(3));
  dialogs_->Expect(Step(DialogKind::Radio).Select(0));
  dialogs_->Expect(Step(DialogKind::Form).Closing(DialogClose::Cancel));
  dialogs_->Expect(Step(DialogKind::Text).Type(""));
  dialogs_->Expect(Step(DialogKind::Radio).Closing(DialogClose::Cancel));
  cad_choose_target();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(PlotCommandLines.Lines[1], "c:\\penwerk\\wpenwerk tmp/penwerk /CHPL");
  EXPECT_TRUE(dialogs_->UsedUp());
  std::filesystem::current_path(cwd);
}

}  // namespace
