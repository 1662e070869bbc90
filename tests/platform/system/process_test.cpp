// Starting programs: a missing program reports ENOENT, and the desktop's opener and the editor
// report an exit with an error. The command-line policy and the recording launcher are exercised
// by the services and the CAD output tests.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/system/process.h"
#include "tests/support/scopedvariable.h"
#include "tests/support/tempfolder.h"

namespace {

// A folder of fake programs put first on PATH: each a shell script with the given body.
class FakePrograms {
 public:
  void Add(const std::string& name, const std::string& body) const {
    const std::string path = folder_.Path(name);
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
  }

 private:
  TempFolder folder_;
  ScopedVariable path_{"PATH", folder_.Dir() + ":" + std::string(std::getenv("PATH"))};
};

// The desktop's opener and the editor are watched for a moment: an exit with an error is a failed
// start, one still running a started one; the editor is $VISUAL, then $EDITOR, then the opener.
TEST(Process, OpenerAndEditorFailuresAreReported) {
  const FakePrograms fakes;
  fakes.Add("xdg-open", "exit 4");
  fakes.Add("slow-editor", "sleep 3");
  const ScopedVariable visual("VISUAL", "");
  const ScopedVariable editor("EDITOR", "slow-editor -w");
  auto launcher = platform::MakeSystemLauncher();
  const platform::LaunchResult opened = launcher->OpenDocument("a.dxf");
  EXPECT_EQ(std::tuple(opened.program, opened.startError, opened.exitStatus),
            std::tuple("xdg-open", 0, 4));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_TRUE(launcher->EditText("r.txt").Started());
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(3));
  EXPECT_EQ(platform::EditorCommand("r.txt"),
            (std::vector<std::string>{"slow-editor", "-w", "r.txt"}));
  const ScopedVariable missing("VISUAL", "/nonexistent/kv6/editor");
  const platform::LaunchResult edited = launcher->EditText("r.txt");
  EXPECT_EQ(std::tuple(edited.program, edited.startError),
            std::tuple("/nonexistent/kv6/editor", ENOENT));
  const ScopedVariable none("VISUAL", "");
  const ScopedVariable noEditor("EDITOR", "");
  EXPECT_EQ(launcher->EditText("r.txt").exitStatus, 4);
}

TEST(Process, MissingProgramIsReportedNotStarted) {
  auto launcher = platform::MakeSystemLauncher();
  EXPECT_EQ(launcher->StartProgram({"/nonexistent/kv6/plotter", "x.dxf"}), ENOENT);
  EXPECT_EQ(launcher->StartProgram({}), ENOENT);
  EXPECT_EQ(launcher->StartProgram({"true"}), 0);
}

}  // namespace
