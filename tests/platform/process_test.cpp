// Starting programs: a missing program reports ENOENT; the recording policy starts nothing.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/headless/headless.h"
#include "platform/process.h"

namespace {

TEST(Process, MissingProgramIsReportedNotStarted) {
  auto launcher = platform::MakeSystemLauncher();
  EXPECT_EQ(launcher->StartProgram({"/nonexistent/kv6/plotter", "x.dxf"}), ENOENT);
  EXPECT_EQ(launcher->StartProgram({}), ENOENT);
  EXPECT_EQ(launcher->StartProgram({"true"}), 0);
}

TEST(Process, RecordingLauncherRecordsRequests) {
  platform::RecordingLauncher& recorder = platform::UseRecordingLauncher();
  recorder.startResult = EACCES;
  EXPECT_EQ(platform::StartProgram({"pen", "a b"}), EACCES);
  platform::OpenDocument("/tmp/x.dxf");
  ASSERT_EQ(recorder.programs.size(), 1u);
  EXPECT_EQ(recorder.programs[0][1], "a b");
  EXPECT_EQ(recorder.documents, std::vector<std::string>{"/tmp/x.dxf"});
}

TEST(Process, HeadlessRunsStartNothing) {
  platform::UseHeadlessBackend();
  EXPECT_EQ(platform::StartProgram({"/nonexistent/kv6/plotter"}), 0);
  platform::OpenDocument("/tmp/y.dxf");
}

}  // namespace
