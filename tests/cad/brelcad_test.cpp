// Course of an output: choosing, opening, failures, closing, opening the written file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>

#include "base/brelvar.h"
#include "base/messages.h"
#include "base/utilstr.h"
#include "base/wbrelvar.h"
#include "cad/brelcad.h"
#include "cad/cadhead.h"
#include "cad/cadplot.h"
#include "cad/cadprim.h"
#include "cad/cadvar.h"
#include "cadtest.h"
#include "platform/process.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::headless::Step;

class CadOutput : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    launcher_ = &platform::UseRecordingLauncher();
    CommandLineParams = {};
  }
  int Boxes(const std::string& text) const {
    int count = 0;
    for (const std::string& line : dialogs_->Transcript())
      count += line.find(text) != std::string::npos;
    return count;
  }
  void OpenBatch(std::uint16_t target, const std::string& name) {
    CadBatch = 1;
    CurrentFile = Temp(name);
    cad_open(target);
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(Temp(name)); }
  static void LineBlock(const char* name) {
    cad_block_begin(name);
    cad_line(0, 0, 1, 1);
    cad_block_end();
  }
  platform::RecordingLauncher* launcher_ = nullptr;
};

TEST_F(CadOutput, ChosenNameTakesTheTargetExtension) {
  struct Case {
    const char* typed;
    const char* file;
  };
  for (Case c : {Case{"part.bak", "part.dxf"}, Case{"shaft", "shaft.dxf"}}) {
    dialogs_->Expect(Step(DialogKind::SaveFile).Type(Temp(c.typed)));
    AbortFlag = 0;
    cad_open(kCadDxf);
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_EQ(CadFileName, Temp(c.file));
    cad_close();
    EXPECT_TRUE(std::filesystem::exists(Temp(c.file)));
  }
  ASSERT_EQ(dialogs_->FileRequests().size(), 2u);
  EXPECT_EQ(dialogs_->FileRequests()[0].filters[0].pattern, "*.dxf");
  EXPECT_FALSE(dialogs_->Failed());
}

TEST_F(CadOutput, BatchRunsAskNothing) {
  OpenBatch(kCadDxf, "shaft1");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(CadFileName, Temp("shaft1.dxf"));
  cad_close();
  CadTarget = kCadStl;
  cad_open(0);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(CadTarget, kCadStl);
  EXPECT_TRUE(dialogs_->Requests().empty());
  EXPECT_TRUE(dialogs_->FileRequests().empty());
}

TEST_F(CadOutput, CancelsOpenNothing) {
  dialogs_->Expect(Step(DialogKind::Radio).Closing(DialogClose::Cancel));
  CadTarget = kCadScreen;
  cad_open(0);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(CadTarget, kCadScreen);
  AbortFlag = 0;
  dialogs_->Expect(Step(DialogKind::SaveFile).Closing(DialogClose::Cancel));
  cad_open(kCadDxf);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(CadOutput, StepOfferedOnlyIn3DMode) {
  for (std::int32_t mode : {0, 1}) {
    Mode3D = mode;
    dialogs_->Expect(Step(DialogKind::Radio).Closing(DialogClose::Cancel));
    AbortFlag = 0;
    cad_open(0);
  }
  ASSERT_EQ(dialogs_->Requests().size(), 2u);
  EXPECT_EQ(dialogs_->Requests()[0].items.size(), 6u);
  EXPECT_EQ(dialogs_->Requests()[1].items.size(), 7u);
}

TEST_F(CadOutput, UnregisteredTargetIsNotAvailable) {
  OpenBatch(kCadIges, "x");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("CAD target not available"), 1);
}

TEST_F(CadOutput, ScreenNeedsADrawingWindow) {
  TDrawer* drawer = Drawer;
  Drawer = nullptr;
  cad_open(kCadScreen);
  Drawer = drawer;
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(CadOutput, OpenAfterExportMatrix) {
  cad_register_writer(5, RecordingWriter(false));
  CadBatch = 1;
  CurrentFile = Temp("m");
  for (std::uint16_t target : {kCadDxf, kCadTextList, kCadCode, kCadPlot, kCadScreen}) {
    for (int suppress : {0, 1}) {
      for (int open_after : {0, 1}) {
        for (std::size_t params : {1u, 2u}) {
          launcher_->documents.clear();
          CommandLineParams.assign(params, "x");
          OpenAfterExport = static_cast<std::uint8_t>(open_after);
          AbortFlag = 0;
          cad_open(target);
          SuppressOpen = static_cast<std::uint8_t>(suppress);
          cad_close();
          bool expected = (target == kCadDxf || target == kCadTextList) && suppress == 0 &&
                          open_after == 1 && params < 2;
          EXPECT_EQ(launcher_->documents.size(), expected ? 1u : 0u)
              << target << " " << suppress << " " << open_after << " " << params;
        }
      }
    }
  }
}

TEST_F(CadOutput, PlotProgramFailuresAreReported) {
  struct Case {
    int error;
    const char* text;
  };
  for (Case c : {Case{ENOENT, "file not found"}, Case{ENOTDIR, "file not found"},
                 Case{ENOMEM, "out of memory !"}, Case{EACCES, "Exec error 13"}}) {
    launcher_->startResult = c.error;
    AbortFlag = 0;
    cad_open(kCadPlot);
    cad_header_default();
    cad_entities_begin();
    cad_line(0, 0, 1, 1);
    cad_blocks_end();
    cad_close();
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_EQ(Boxes(c.text), 1) << c.text;
    std::string dxf = ReadBytes(Temp("penwerk.dxf"));
    EXPECT_EQ(dxf.substr(dxf.size() - 10), CrLf({"  0", "EOF"}));
    dialogs_ = &platform::headless::UseScriptedDialogs();
  }
  ASSERT_EQ(launcher_->programs.size(), 4u);
  EXPECT_EQ(launcher_->programs[0],
            (std::vector<std::string>{"C:\\PENWERK\\WPENWERK", "PENWERK.DXF", "/M1.0"}));
}

TEST_F(CadOutput, CommandLineSplitting) {
  EXPECT_EQ(cad_split_command_line(" \"/opt/pen werk/wp\" a  \"b c\"d \"\" "),
            (std::vector<std::string>{"/opt/pen werk/wp", "a", "b cd", ""}));
  EXPECT_TRUE(cad_split_command_line("   ").empty());
}

TEST_F(CadOutput, FullDiskFailsTheOutputOnce) {
  std::filesystem::create_symlink("/dev/full", Temp("full.dxf"));
  OpenBatch(kCadDxf, "full");
  cad_blocks_begin();
  cad_block_begin("B");
  for (int i = 0; i < 20000; ++i) cad_line(i, 0, i, 1);
  cad_block_end();
  EXPECT_EQ(AbortFlag, 0);  // the block's end lets the drawing go on
  cad_blocks_end();
  cad_entities_begin();
  cad_line(0, 0, 1, 1);
  cad_blocks_end();
  cad_close();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("I/O error writing " + Temp("full.dxf")), 1);
  EXPECT_TRUE(launcher_->documents.empty());
}

// A block begun after a failure, or with a name that would leave TempDir, is skipped quietly.
TEST_F(CadOutput, RefusedBlocksAreSkippedQuietly) {
  cad_open(kCadScreen);
  cad_blocks_begin();
  AbortFlag = 1;
  for (const char* name : {"A", "../B"}) {
    LineBlock(name);
    EXPECT_EQ(AbortFlag, 0);
  }
  cad_blocks_end();
  cad_close();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_TRUE(dialogs_->Transcript().empty());
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

TEST_F(CadOutput, PolylineModeRestoredAfterStep) {
  cad_register_writer(kCadStep, RecordingWriter(true));
  CadBatch = 1;
  CurrentFile = Temp("s");
  PolylineMode = 1;
  cad_open(kCadStep);
  EXPECT_EQ(PolylineMode, 0);
  cad_close();
  EXPECT_EQ(PolylineMode, 1);
  Mode3D = 2;
  cad_open(kCadStep);
  EXPECT_EQ(PolylineMode, 1);
  cad_close();
}

TEST_F(CadOutput, BlockContentStaysOutOfTheOutputFile) {
  cad_register_writer(kCadStep, RecordingWriter(true));
  OpenBatch(kCadStep, "s");
  cad_blocks_begin();
  cad_block_begin("P3G0");
  cad_line(0, 0, 5, 5);
  cad_block_end();
  cad_blocks_end();
  cad_entities_begin();
  cad_insert("P3G0", 1, 1, 0, 1, 1);
  cad_blocks_end();
  cad_close();
  EXPECT_EQ(ReadBytes(Temp("s.rec")), CrLf({"line"}));
}

TEST_F(CadOutput, ScreenDeletesOnlyItsOwnBlockFiles) {
  for (const char* name : {"$logo_1.dx$", "$LOGO_2.DX$"})
    WriteBytes(Temp(name), CrLf({"  0", "EOF"}));
  cad_open(kCadScreen);
  cad_header_default();
  cad_blocks_begin();
  LineBlock("FRAME_1");
  LineBlock("TABLE_1");
  cad_blocks_end();
  EXPECT_TRUE(Exists("$FRAME_1.dx$"));
  cad_entities_begin();
  cad_insert("FRAME_1", 0, 0, 0, 1, 1);
  cad_blocks_end();
  cad_close();
  EXPECT_FALSE(Exists("$FRAME_1.dx$"));
  EXPECT_FALSE(Exists("$TABLE_1.dx$"));
  EXPECT_TRUE(Exists("$logo_1.dx$"));
  EXPECT_TRUE(Exists("$LOGO_2.DX$"));
  cad_register_writer(6, RecordingWriter(true));
  OpenBatch(6, "stl");
  cad_blocks_begin();
  cad_block_begin("P3G1");
  cad_block_end();
  cad_blocks_end();
  cad_close();
  AbortFlag = 1;
  EXPECT_TRUE(DeleteTempBlockFiles());
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_FALSE(Exists("$P3G1.dx$"));
  EXPECT_TRUE(Exists("$logo_1.dx$"));
}

}  // namespace
