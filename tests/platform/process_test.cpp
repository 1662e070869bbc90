// Starting programs: a missing program reports ENOENT. The command-line policy and the recording
// launcher are exercised by the services and the CAD output tests.
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/process.h"

namespace {

TEST(Process, MissingProgramIsReportedNotStarted) {
  auto launcher = platform::MakeSystemLauncher();
  EXPECT_EQ(launcher->StartProgram({"/nonexistent/kv6/plotter", "x.dxf"}), ENOENT);
  EXPECT_EQ(launcher->StartProgram({}), ENOENT);
  EXPECT_EQ(launcher->StartProgram({"true"}), 0);
}

}  // namespace
