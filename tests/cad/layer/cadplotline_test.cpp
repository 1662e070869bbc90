// The plot command line by prompts: the defaults, every switch in its order, the program looked
// for in its folder, and the script that stands for a line longer than 60 characters.
#include "cad/layer/cadplotline.h"

#include <sys/stat.h>

#include <filesystem>

#include "tests/cad/cadtest.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::headless::DialogStep;
using platform::headless::Step;

// Runs in the test's folder, so that the program folder "pw" and TempDir can be short enough
// for lines around 60 characters.
class PlotCommandLine : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    std::filesystem::create_directory("pw");
    WriteBytes("pw/penwerk", "");
    TempDir = "tmp";
    AbortFlag = 0;
  }
  void TearDown() override { std::filesystem::current_path(cwd_); }

  // The answers that keep every proposal, the program in "pw".
  static std::vector<DialogStep> Defaults() {
    return {Step(DialogKind::Radio), Step(DialogKind::Text).Type("pw"),
            Step(DialogKind::Radio), Step(DialogKind::Radio),
            Step(DialogKind::Text),  Step(DialogKind::Text),
            Step(DialogKind::YesNo), Step(DialogKind::Text),
            Step(DialogKind::Text),  Step(DialogKind::Text)};
  }

  std::string Run(const std::vector<DialogStep>& steps, std::string line = "") {
    for (const DialogStep& step : steps) dialogs_->Expect(step);
    plot_command_line(line);
    EXPECT_TRUE(dialogs_->UsedUp());
    return line;
  }

  std::filesystem::path cwd_;
};

TEST_F(PlotCommandLine, DefaultsGiveTheDestinationCodeOnly) {
  EXPECT_EQ(Run(Defaults()), "pw/PENWERK tmp/penwerk /CHPL");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_FALSE(dialogs_->Failed());
  const auto& requests = dialogs_->Requests();
  EXPECT_EQ(requests[1].prompt, "Program directory of penwerk.exe");
  EXPECT_EQ(requests[4].prompt, "LPT-Port");
  EXPECT_EQ(requests[6].prompt, "rotate 90 degrees ?");
  // The program's folder comes from the incoming line, quoted or not.
  std::vector<DialogStep> keep = Defaults();
  keep[1] = Step(DialogKind::Text);
  EXPECT_EQ(Run(keep, "pw/WPENWERK x.dxf"), "pw/PENWERK tmp/penwerk /CHPL");
  std::filesystem::create_directory("p w");
  WriteBytes("p w/PENWERK.EXE", "");
  TempDir = "t d";
  EXPECT_EQ(Run(keep, "\"p w\\wpenwerk\" /M2"), "\"p w/PENWERK\" \"t d/penwerk\" /CHPL");
}

TEST_F(PlotCommandLine, SwitchesComeInTheirOrder) {
  // PostScript to a file, fit to the limits, rotated, with a font.
  std::vector<DialogStep> steps = Defaults();
  steps[2] = Step(DialogKind::Radio).Select(1);
  steps[3] = Step(DialogKind::Radio).Select(2);
  steps[4] = Step(DialogKind::Text).Type("plot.ps");
  steps[5] = Step(DialogKind::Text).Type("0");
  steps[6] = Step(DialogKind::YesNo).Select(0);
  steps.push_back(Step(DialogKind::Text).Type("Courier"));
  EXPECT_EQ(Run(steps), "pw/PENWERK tmp/penwerk /CPS /D3 /Fplot.ps /M* /R /TCourier");
  EXPECT_EQ(dialogs_->Requests()[4].maxLength, 30u);
  // Serial port 3, shifts and text factor: /X before /R and /Y.
  steps = Defaults();
  steps[2] = Step(DialogKind::Radio).Select(4);
  steps[3] = Step(DialogKind::Radio).Select(0);
  steps[4] = Step(DialogKind::Text).Type("3");
  steps[5] = Step(DialogKind::Text).Type("2");
  steps[6] = Step(DialogKind::YesNo).Select(0);
  steps[7] = Step(DialogKind::Text).Type("10");
  steps[8] = Step(DialogKind::Text).Type("-5");
  steps[9] = Step(DialogKind::Text).Type("0.5");
  EXPECT_EQ(Run(steps), "pw/PENWERK tmp/penwerk /CART /D1 /P3 /M2 /X10 /R /Y-5 /B0.5");
  // A file destination without a name has no /F; a blank name neither.
  steps = Defaults();
  steps[3] = Step(DialogKind::Radio).Select(2);
  steps[4] = Step(DialogKind::Text).Type("  ");
  EXPECT_EQ(Run(steps), "pw/PENWERK tmp/penwerk /CHPL /D3");
}

TEST_F(PlotCommandLine, TheProgramIsLookedForUntilFound) {
  std::filesystem::create_directory("w");
  WriteBytes("w/WPENWERK.EXE", "");
  std::vector<DialogStep> steps = Defaults();
  steps[0] = Step(DialogKind::Radio).Select(0);
  steps[1] = Step(DialogKind::Text).Type("nowhere");
  steps.insert(steps.begin() + 2, Step(DialogKind::Text).Type("pw"));  // no wpenwerk there
  steps.insert(steps.begin() + 3, Step(DialogKind::Text).Type("w"));
  EXPECT_EQ(Run(steps), "w/WPENWERK tmp/penwerk /CHPL");
  EXPECT_EQ(Boxes("file nowhere/wpenwerk.exe not found or no access !"), 1);
  EXPECT_EQ(Boxes("file pw/wpenwerk.exe not found or no access !"), 1);
  EXPECT_EQ(dialogs_->Requests()[1].maxLength, 40u);
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(PlotCommandLine, CancelEndsAtOnceWithTheLineUnchanged) {
  for (std::size_t at : {0u, 1u, 4u, 6u, 9u}) {
    std::vector<DialogStep> steps = Defaults();
    steps.resize(at + 1);
    steps[at] = steps[at].Closing(DialogClose::Cancel);
    AbortFlag = 0;
    EXPECT_EQ(Run(steps, "old line"), "old line") << at;
    EXPECT_EQ(AbortFlag, 1);
  }
}

// The TempDir "t.xx..." that makes the line of the defaults line_length characters long.
std::string TempDirOfLength(std::size_t line_length) {
  return "t." + std::string(line_length - 27, 'x');
}

TEST_F(PlotCommandLine, SixtyCharactersAreKeptALongerLineBecomesAScript) {
  TempDir = TempDirOfLength(60);
  EXPECT_EQ(Run(Defaults()).size(), 60u);
  TempDir = TempDirOfLength(61);
  std::filesystem::create_directory(TempDir);
  const std::string folder = std::filesystem::current_path().string() + "/" + TempDir + "/";
  // The proposed name is TempDir's, whose folder part holds a dot. The script names the program
  // file as found.
  std::vector<DialogStep> steps = Defaults();
  steps.push_back(Step(DialogKind::Text));
  EXPECT_EQ(Run(steps), folder + "BRELCOR.BAT");
  EXPECT_EQ(ReadBytes(folder + "BRELCOR.BAT"),
            "#!/bin/sh\npw/penwerk " + TempDir + "/penwerk /CHPL\n");
  struct stat info {};
  ASSERT_EQ(::stat((folder + "BRELCOR.BAT").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0755u);
  EXPECT_EQ(Boxes("command line too long, A batch file will be created."), 1);
  const auto& requests = dialogs_->Requests();
  EXPECT_EQ(requests.back().text, folder + "BRELCOR");
  EXPECT_EQ(requests.back().prompt, "batch file name (w/o .bat)");
  EXPECT_EQ(AbortFlag, 0);
  // A name with a dot is asked again without a word; a relative one counts from TempDir.
  steps = Defaults();
  steps.push_back(Step(DialogKind::Text).Type("run.1"));
  steps.push_back(Step(DialogKind::Text).Type("run"));
  EXPECT_EQ(Run(steps), folder + "run.BAT");
  EXPECT_EQ(Boxes("command line too long"), 2);
  EXPECT_EQ(Boxes("Error"), 0);
}

TEST_F(PlotCommandLine, AScriptThatCannotBeCreatedIsAskedForAgain) {
  TempDir = TempDirOfLength(61);
  std::filesystem::create_directory(TempDir);
  const std::string folder = std::filesystem::current_path().string() + "/" + TempDir + "/";
  std::vector<DialogStep> steps = Defaults();
  steps.push_back(Step(DialogKind::Text).Type("missing/run"));
  steps.push_back(Step(DialogKind::Text).Type("run"));
  EXPECT_EQ(Run(steps), folder + "run.BAT");
  EXPECT_EQ(Boxes("file " + folder + "missing/run.BAT cannot be created"), 1);
  // Cancel at the name leaves the long line and the abort.
  steps = Defaults();
  steps.push_back(Step(DialogKind::Text).Closing(DialogClose::Cancel));
  EXPECT_EQ(Run(steps).size(), 61u);
  EXPECT_EQ(AbortFlag, 1);
}

}  // namespace
