// A command line written as a script: its exact bytes, executable whatever the creation mask and
// an earlier file's mode, its Windows-1252 text in the system's form, and a failure reported.
#include "platform/system/commandscript.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/tempfolder.h"

namespace {

class CommandScript : public ::testing::Test, protected TempFolder {};

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST_F(CommandScript, WritesAnExecutableShellScript) {
  const std::string script = Path("RUN.BAT");
  Put("RUN.BAT", "an earlier, longer file\r\n");
  ::chmod(script.c_str(), 0600);
  const mode_t mask = ::umask(077);
  const bool written = platform::WriteCommandScript(script, "/opt/M\xE4rz/pw \"a b\" /M1,5");
  ::umask(mask);
  ASSERT_TRUE(written);
  EXPECT_EQ(Bytes("RUN.BAT"), "#!/bin/sh\n/opt/M\xC3\xA4rz/pw \"a b\" /M1,5\n");
  EXPECT_EQ(ModeOf(script), 0755u);
  EXPECT_FALSE(platform::WriteCommandScript(Path("missing/RUN.BAT"), "x"));
}

}  // namespace
