// Course of an output: choosing, opening, failures, closing, opening the written file.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <tuple>

#include "base/text/utilstr.h"
#include "cad/layer/cadplot.h"
#include "platform/files/filelock.h"
#include "tests/cad/cadtest.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::headless::Step;

using CadOutput = CadTest;

void LineBlock(const char* name) {
  cad_block_begin(name);
  cad_line(0, 0, 1, 1);
  cad_block_end();
}

// One line through the plot program's target, from opening to handing the file over.
void PlotOneLine() {
  cad_open(kCadPlot);
  cad_header_default();
  cad_entities_begin();
  cad_line(0, 0, 1, 1);
  cad_blocks_end();
  cad_close();
}

TEST_F(CadOutput, ChosenNameTakesTheTargetExtension) {
  for (auto [typed, file] : {std::pair{"part.bak", "part.dxf"}, {"shaft", "shaft.dxf"}}) {
    dialogs_->Expect(Step(DialogKind::SaveFile).Type(Temp(typed)));
    AbortFlag = 0;
    cad_open(kCadDxf);
    EXPECT_EQ(std::tuple(AbortFlag, CadFileName), std::tuple(0, Temp(file)));
    cad_close();
    EXPECT_EQ(Files().count(file), 1u);
  }
  ASSERT_EQ(dialogs_->FileRequests().size(), 2u);
  EXPECT_EQ(dialogs_->FileRequests()[0].filters[0].pattern, "*.dxf");
  EXPECT_FALSE(dialogs_->Failed());
}

// A name refused at the overwrite question is not kept as the output file's name, and its file
// stays as it was.
TEST_F(CadOutput, ARefusedOverwriteKeepsNoFileName) {
  dialogs_->Expect(Step(DialogKind::SaveFile).Type(Temp("part.dxf")));
  cad_open(kCadDxf);
  cad_close();
  dialogs_->Expect(Step(DialogKind::SaveFile).Type(Temp("part.dxf")));
  dialogs_->Expect(Step(DialogKind::Box).Answer(platform::MessageAnswer::No));
  const std::string before = ReadBytes(Temp("part.dxf"));
  AbortFlag = 0;
  cad_open(kCadDxf);
  EXPECT_EQ(std::tuple(AbortFlag, CadFileName), std::tuple(1, ""));
  EXPECT_EQ(ReadBytes(Temp("part.dxf")), before);
}

TEST_F(CadOutput, BatchRunsAskNothing) {
  OpenBatch(kCadDxf, "shaft1");
  EXPECT_EQ(std::tuple(AbortFlag, CadFileName), std::tuple(0, Temp("shaft1.dxf")));
  cad_close();
  CadTarget = kCadStl;
  cad_open(0);
  EXPECT_EQ(std::tuple(AbortFlag, CadTarget), std::tuple(1, kCadStl));
  EXPECT_TRUE(dialogs_->Requests().empty());
  EXPECT_TRUE(dialogs_->FileRequests().empty());
}

TEST_F(CadOutput, CancelsAndRefusalsOpenNothing) {
  // Cancel keeps the target, also one the list does not offer (the code form, STEP in 2D).
  for (std::uint16_t target : {kCadScreen, kCadCode, kCadStep}) {
    for (std::int32_t mode : {0, 1}) {  // STEP is offered in 3D mode only
      CadTarget = target;
      Mode3D = mode;
      dialogs_->Expect(Step(DialogKind::Radio).Closing(DialogClose::Cancel));
      AbortFlag = 0;
      cad_open(0);
      EXPECT_EQ(std::tuple(AbortFlag, CadTarget), std::tuple(1, target));
      EXPECT_EQ(dialogs_->Requests().back().items.size(), 6u + static_cast<std::size_t>(mode));
    }
  }
  AbortFlag = 0;
  dialogs_->Expect(Step(DialogKind::SaveFile).Closing(DialogClose::Cancel));
  cad_open(kCadDxf);
  EXPECT_EQ(AbortFlag, 1);
  TDrawer* drawer = Drawer;
  Drawer = nullptr;
  AbortFlag = 0;
  cad_open(kCadScreen);
  cad_close();  // without a drawing window there is nothing to close on the screen
  Drawer = drawer;
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(Files().empty());
}

// An empty name from the save dialog opens nothing. The STL writer, which opens its own file,
// refuses it with its box and then ignores what is drawn; on the other targets the output just
// stops.
TEST_F(CadOutput, EmptyNameOpensNothing) {
  for (std::uint16_t target : {kCadDxf, kCadIges, kCadTextList, kCadStl, kCadStep, kCadCode}) {
    for (std::int32_t type : {0, 1}) {
      StlType = type;
      dialogs_->Expect(Step(DialogKind::SaveFile).Type(""));
      AbortFlag = 0;
      CadFileName = "earlier";
      cad_open(target);
      EXPECT_EQ(std::tuple(AbortFlag, CadFileName), std::tuple(1, "")) << target;
      if (target != kCadStl) continue;
      cad_line(0, 0, 1, 1);
      cad_close();
    }
  }
  EXPECT_EQ(Boxes("invalid File name"), 2);
  EXPECT_EQ(Boxes("Error"), 2);
  EXPECT_TRUE(Files().empty());
  EXPECT_TRUE(launcher_->documents.empty());
}

TEST_F(CadOutput, OpenAfterExportMatrix) {
  for (std::uint16_t target : {kCadDxf, kCadTextList, kCadCode, kCadPlot, kCadScreen}) {
    for (int variant = 0; variant < 8; ++variant) {
      const std::uint8_t suppress = variant & 1, open_after = (variant >> 1) & 1;
      launcher_->documents.clear();
      CommandLineParams.assign(1 + (variant >> 2), "x");
      OpenAfterExport = open_after;
      OpenBatch(target, "m");
      SuppressOpen = suppress;
      cad_close();
      bool expected = (target == kCadDxf || target == kCadTextList) && suppress == 0 &&
                      open_after == 1 && CommandLineParams.size() < 2;
      EXPECT_EQ(launcher_->documents.size(), expected ? 1u : 0u) << target << " " << variant;
    }
  }
}

// An opener that cannot open the written file is named in a box together with the file.
TEST_F(CadOutput, AFailedOpenAfterExportIsReported) {
  OpenAfterExport = 1;
  CommandLineParams.assign(1, "x");
  launcher_->openResult.exitStatus = 3;
  OpenBatch(kCadDxf, "m");
  cad_close();
  ASSERT_EQ(launcher_->documents.size(), 1u);
  EXPECT_EQ(Boxes("Cannot open " + launcher_->documents[0] + " with xdg-open (exit code 3)"), 1);
}

// Another running copy holds "penwerk.dxf": this one writes "penwerk2.dxf" and names that file
// to the plot program, the rest of the command line as configured.
TEST_F(CadOutput, PlotFileSkipsTheNameAnotherCopyHolds) {
  const int other = ::open(Temp("penwerk.dxf").c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_EQ(platform::LockRange(other, 0, 1, true), 0);
  for (int run = 0; run < 2; ++run) {
    PlotOneLine();
    EXPECT_EQ(AbortFlag, 0);
  }
  ::close(other);
  EXPECT_EQ(ReadBytes(Temp("penwerk.dxf")), "");
  const std::string dxf = ReadBytes(Temp("penwerk2.dxf"));
  EXPECT_EQ(dxf.substr(dxf.size() - 10), CrLf({"  0", "EOF"}));
  ASSERT_EQ(launcher_->programs.size(), 2u);
  EXPECT_EQ(launcher_->programs[1],
            (std::vector<std::string>{"C:\\PENWERK\\WPENWERK", "penwerk2.DXF", "/M1.0"}));
}

TEST_F(CadOutput, PlotProgramFailuresAreReported) {
  for (auto [error, text] : {std::pair{ENOENT, "file not found"},
                             {ENOTDIR, "file not found"},
                             {ENOMEM, "out of memory !"},
                             {EACCES, "Exec error 13"}}) {
    launcher_->startResult = error;
    const int before = Boxes(text);
    AbortFlag = 0;
    PlotOneLine();
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_EQ(Boxes(text) - before, 1) << text;
    std::string dxf = ReadBytes(Temp("penwerk.dxf"));
    EXPECT_EQ(dxf.substr(dxf.size() - 10), CrLf({"  0", "EOF"}));
  }
  ASSERT_EQ(launcher_->programs.size(), 4u);
  EXPECT_EQ(launcher_->programs[0],
            (std::vector<std::string>{"C:\\PENWERK\\WPENWERK", "PENWERK.DXF", "/M1.0"}));
  EXPECT_EQ(cad_split_command_line(" \"/opt/pen werk/wp\" a  \"b c\"d \"\" "),
            (std::vector<std::string>{"/opt/pen werk/wp", "a", "b cd", ""}));
  EXPECT_TRUE(cad_split_command_line("   ").empty());
}

TEST_F(CadOutput, FullDiskFailsTheOutputOnce) {
  std::filesystem::create_symlink("/dev/full", Temp("full.dxf"));
  OpenBatch(kCadDxf, "full");
  DrawBlock("B", [] {
    for (int i = 0; i < 20000; ++i) cad_line(i, 0, i, 1);
  });
  EXPECT_EQ(AbortFlag, 0);  // the block's end lets the drawing go on
  cad_entities_begin();
  cad_line(0, 0, 1, 1);
  cad_blocks_end();
  cad_close();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("I/O error writing " + Temp("full.dxf") + ": disk full"), 1);
  EXPECT_TRUE(launcher_->documents.empty());
}

TEST_F(CadOutput, StepRestoresPolylineMode) {
  PolylineMode = 1;
  OpenBatch(kCadStep, "s");
  EXPECT_EQ(PolylineMode, 0);
  cad_close();
  EXPECT_EQ(PolylineMode, 1);
  Mode3D = 2;
  cad_open(kCadStep);
  EXPECT_EQ(PolylineMode, 1);
  cad_close();
}

// A block begun after a failure, or with a name that would leave TempDir, is skipped quietly.
TEST_F(CadOutput, ScreenDeletesOnlyItsOwnBlockFiles) {
  const std::set<std::string> user_files = {"$logo_1.dx$", "$LOGO_2.DX$"};
  for (const std::string& name : user_files) WriteBytes(Temp(name), CrLf({"  0", "EOF"}));
  cad_open(kCadScreen);
  cad_header_default();
  cad_blocks_begin();
  LineBlock("FRAME_1");
  AbortFlag = 1;
  for (const char* name : {"A", "../B"}) {
    LineBlock(name);
    EXPECT_EQ(AbortFlag, 0) << name;
  }
  LineBlock("TABLE_1");
  cad_blocks_end();
  EXPECT_EQ(Files(), user_files);
  EXPECT_EQ(RunFiles(), (std::set<std::string>{"$FRAME_1.dx$", "$TABLE_1.dx$"}));
  cad_entities_begin();
  cad_insert("FRAME_1", 0, 0, 0, 1, 1);
  cad_blocks_end();
  cad_close();
  EXPECT_TRUE(RunFiles().empty());
  EXPECT_EQ(Files(), user_files);
  EXPECT_TRUE(dialogs_->Transcript().empty());
  OpenBatch(6, "stl");
  DrawBlock("P3G1", [] {});
  cad_close();
  AbortFlag = 1;
  EXPECT_TRUE(DeleteTempBlockFiles());
  EXPECT_EQ(AbortFlag, 0);
  std::filesystem::remove(Temp("stl.stl"));
  EXPECT_TRUE(RunFiles().empty());
  EXPECT_EQ(Files(), user_files);
}

}  // namespace
