// Starting the plot program for real: a stub script in its place writes down the arguments it
// got. The program is found as Windows finds it (another letter case, ".exe" added); a missing
// or not executable one is reported with the DXF file complete.
#include "cad/layer/cadplot.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/system/commandscript.h"
#include "platform/system/process.h"
#include "tests/cad/cadtest.h"

namespace {

using SystemLauncher = platform::Substitute<platform::ProcessLauncher, platform::ProcessLauncher>;

class PlotStart : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    std::filesystem::create_directory(Path("temp dir"));
    TempDir = Path("temp dir");
    PlotCommandLines.Count = 1;
    PlotCommandLines.Chosen = 1;
  }

  // A program at path that writes its arguments, one a line, to "args".
  void Stub(const std::string& path) const {
    WriteBytes(path, "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" +
                         Path("args.part") + "' && mv '" + Path("args.part") + "' '" +
                         Path("args") + "'\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  }

  // Draws one line to the plot program with the command line given.
  void Plot(const std::string& line) {
    PlotCommandLines.Lines[1] = line;
    AbortFlag = 0;
    cad_open(kCadPlot);
    cad_header_default();
    cad_entities_begin();
    cad_line(0, 0, 1, 1);
    cad_blocks_end();
    cad_close();
  }

  // The arguments the stub wrote, once it has.
  std::string Arguments() const {
    for (int i = 0; i < 500 && !std::filesystem::exists(Path("args")); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::string args = ReadBytes(Path("args"));
    std::filesystem::remove(Path("args"));
    return args;
  }

  std::string PlotFile() const { return ReadBytes(Path("temp dir/penwerk.dxf")); }

  SystemLauncher system_{platform::MakeSystemLauncher()};
};

TEST_F(PlotStart, TheProgramGetsExactlyTheArguments) {
  Stub(Path("penwerk"));
  Plot(cad_quote_command_word(Path("PENWERK")) + " " +
       cad_quote_command_word(TempDir + "/penwerk") + " /CHPL /M1,5");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Arguments(), TempDir + "/penwerk\n/CHPL\n/M1,5\n");
  std::filesystem::remove(Path("penwerk"));
  Stub(Path("wpenwerk.exe"));
  Plot(Path("WPENWERK") + " x");
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Arguments(), "x\n");
  EXPECT_TRUE(dialogs_->Transcript().empty());
}

// A script written for a long line starts like a program.
TEST_F(PlotStart, AScriptStandsForItsLine) {
  Stub(Path("penwerk"));
  const std::string line = Path("penwerk") + " \"" + TempDir + "/penwerk\" /CPS /TTimes-Roman";
  ASSERT_TRUE(platform::WriteCommandScript(Path("BRELCOR.BAT"), line));
  Plot(Path("BRELCOR.BAT"));
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(Arguments(), TempDir + "/penwerk\n/CPS\n/TTimes-Roman\n");
}

TEST_F(PlotStart, FailedStartsAreReportedTheFileStaysComplete) {
  Plot(Path("PENWERK") + " penwerk");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("file not found"), 1);
  // The Windows default line cannot start here.
  Plot("C:\\PENWERK\\WPENWERK PENWERK.DXF /M1.0");
  EXPECT_EQ(Boxes("file not found"), 2);
  EXPECT_EQ(PlotFile().substr(PlotFile().size() - 10), CrLf({"  0", "EOF"}));
  WriteBytes(Path("penwerk"), "#!/bin/sh\n");
  Plot(Path("penwerk") + " penwerk");
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Boxes("Exec error 13"), 1);
  EXPECT_EQ(PlotFile().substr(PlotFile().size() - 10), CrLf({"  0", "EOF"}));
}

}  // namespace
