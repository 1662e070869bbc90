#include "platform/system/machine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "tests/support/command.h"

namespace {

// The first line a shell command prints, without its line end.
std::string FirstLineOf(const std::string& command) {
  const std::string output = RunCommand(command).output;
  return output.substr(0, output.find('\n'));
}

// The facts of the Linux machine agree with what the system's own tools report.
TEST(LinuxMachineTest, FactsMatchTheSystemTools) {
  platform::Machine& machine = platform::CurrentMachine();
  EXPECT_EQ(std::tuple(machine.KernelRelease(), machine.HostName(), machine.UserName()),
            std::tuple(FirstLineOf("uname -r"), FirstLineOf("uname -n"), FirstLineOf("id -un")));
  EXPECT_EQ(machine.PhysicalMemoryBytes(), std::stoull(FirstLineOf("getconf _PHYS_PAGES")) *
                                               std::stoull(FirstLineOf("getconf PAGESIZE")));

  char here[4096];
  ASSERT_NE(::getcwd(here, sizeof here), nullptr);
  const auto volume = machine.Volume(here);
  ASSERT_TRUE(volume.has_value());
  const auto df = [&](const std::string& field) {
    return FirstLineOf("df -B1 --output=" + field + " '" + here +
                       "' | tail -1 | sed 's/^ *//;s/ *$//'");
  };
  EXPECT_EQ(std::tuple(std::to_string(volume->totalBytes), volume->mountPoint, volume->fileSystem),
            std::tuple(df("size"), df("target"), df("fstype")));
  EXPECT_GE(volume->totalBytes, volume->freeBytes);
}

TEST(LinuxMachineTest, ProgramPathAndMissingVolume) {
  platform::Machine& machine = platform::CurrentMachine();
  const std::string path = machine.ProgramPath();
  EXPECT_EQ(path.substr(path.rfind('/') + 1), "test_platform");
  EXPECT_FALSE(machine.Volume("/surely/not/there").has_value());
  for (const std::string& address : machine.Ipv4Addresses())
    EXPECT_EQ(std::count(address.begin(), address.end(), '.'), 3) << address;
}

}  // namespace
