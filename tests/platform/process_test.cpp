// Starting programs: a missing program reports ENOENT; a headless run starts nothing. The
// recording launcher is exercised by the CAD output tests.
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

TEST(Process, HeadlessRunsStartNothing) {
  platform::UseHeadlessBackend();
  EXPECT_EQ(platform::StartProgram({"/nonexistent/kv6/plotter"}), 0);
}

}  // namespace
