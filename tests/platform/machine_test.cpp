#include "platform/machine.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// The first line a shell command prints, without its line end.
std::string FirstLineOf(const std::string& command) {
  std::string line;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return line;
  for (int c = std::fgetc(pipe); c != EOF && c != '\n'; c = std::fgetc(pipe))
    line += static_cast<char>(c);
  ::pclose(pipe);
  return line;
}

std::string Trimmed(const std::string& text) {
  const std::size_t start = text.find_first_not_of(' ');
  return start == std::string::npos ? ""
                                    : text.substr(start, text.find_last_not_of(' ') + 1 - start);
}

// The facts of the Linux machine agree with what the system's own tools report.
TEST(LinuxMachineTest, FactsMatchTheSystemTools) {
  platform::Machine& machine = platform::CurrentMachine();
  EXPECT_EQ(machine.KernelRelease(), FirstLineOf("uname -r"));
  EXPECT_EQ(machine.HostName(), FirstLineOf("uname -n"));
  EXPECT_EQ(machine.UserName(), FirstLineOf("id -un"));
  const std::string pages = FirstLineOf("getconf _PHYS_PAGES");
  const std::string pageSize = FirstLineOf("getconf PAGESIZE");
  EXPECT_EQ(machine.PhysicalMemoryBytes(), std::stoull(pages) * std::stoull(pageSize));

  char here[4096];
  ASSERT_NE(::getcwd(here, sizeof here), nullptr);
  const auto volume = machine.Volume(here);
  ASSERT_TRUE(volume.has_value());
  const std::string df = "df -B1 --output=";
  const std::string of = " '" + std::string(here) + "' | tail -1";
  EXPECT_EQ(std::to_string(volume->totalBytes), Trimmed(FirstLineOf(df + "size" + of)));
  EXPECT_EQ(volume->mountPoint, Trimmed(FirstLineOf(df + "target" + of)));
  EXPECT_EQ(volume->fileSystem, Trimmed(FirstLineOf(df + "fstype" + of)));
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
