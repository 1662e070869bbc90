#include "base/files/utilsys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <tuple>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "platform/system/services.h"
#include "tests/base/fakemachine.h"
#include "tests/support/scopedvariable.h"
#include "tests/support/tempfolder.h"

namespace {

class SystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    DecimalSeparator = '.';
  }

  platform::Substitute<platform::Machine, FakeMachine> fake_;
  FakeMachine* machine_ = &*fake_;
};

TEST_F(SystemTest, FileVersions) {
  ShortName = "kv6";
  EXPECT_EQ(
      std::tuple(FileVersionNumbersText(4, 1, 2, 0), FileVersionNumbersText(4, 1, 0, 5),
                 FileVersionNumbersText(4, 1, 0, 0), FileVersionNumbersText(4, 1, 2, 7),
                 FileVersionText(" "), FileVersionText("WKV6.EXE"), FileVersionText("notepad.exe")),
      std::tuple("4.1.2", "4.1", "4.1", "4.1.2.7", "4.1", "4.1", "0"));
}

TEST_F(SystemTest, KernelVersionName) {
  for (const auto& [release, name] : {std::pair{"6.1.0-18-amd64", "6.1 Linux"},
                                      {"5.15.153.1-microsoft", "5.15 Linux"},
                                      {"7", "7 Linux"}}) {
    machine_->kernelRelease = release;
    std::string text;
    WindowsVersionName(text);
    EXPECT_EQ(text, name);
  }
}

// Above 4.3 GHz the 500 ms difference no longer fits 32 bits as a signed number.
TEST_F(SystemTest, ClockFromTheTimeStampCounter) {
  for (const auto& [start, mhz] : {std::pair<std::uint64_t, std::int32_t>{1000, 2400},
                                   {0xFFFFFFF0ull, 4800},
                                   {1ull << 40, 5200}}) {
    machine_->counter = start;
    machine_->ticksPerMicrosecond = mhz;
    EXPECT_EQ(CpuClockMhz(), mhz);
  }
  machine_->counter.reset();
  machine_->reportedMhz = 1800;
  EXPECT_EQ(CpuClockMhz(), 1800);
}

TEST_F(SystemTest, SystemInfoLineFromTheFacts) {
  machine_->hostName = "workstation-of-the-design-office";
  machine_->counter = 0;
  machine_->ticksPerMicrosecond = 2400;
  machine_->memoryBytes = 8'123'456'789;
  machine_->volume = platform::VolumeFacts{"/opt", "ext4", 512'300'000'000, 1};
  EXPECT_EQ(SystemInfoText(""), "workstation-of-t/6.1/2.4GHz/8123MB/512GB//opt/");
  EXPECT_EQ(SystemInfoText("/data/"), "workstation-of-t/6.1/2.4GHz/8123MB/512GB//data/");
  machine_->volume.reset();
  EXPECT_EQ(SystemInfoText(""), "workstation-of-t/6.1/2.4GHz/8123MB/0GB//");
  // Memory and disk are whole numbers, whatever the shown digits and the decimal sign.
  machine_->volume = platform::VolumeFacts{"/opt", "ext4", 1'512'300'000'000, 1};
  FloatDigits = 5;
  DecimalSeparator = ',';
  const std::string text = SystemInfoText("/data/");
  EXPECT_NE(text.find("GHz/8123MB/1512GB//data/"), std::string::npos) << text;
}

TEST_F(SystemTest, EnvironmentFallbacks) {
  const ScopedVariable noTemp("TEMP", std::nullopt);
  {
    const TempFolder folder;
    const ScopedVariable tmpdir("TMPDIR", folder.Dir());
    EXPECT_EQ(EnvironmentText("TEMP"), folder.Dir());
  }
  {
    // A TMPDIR that names no folder would fail every temporary file: the system's one serves.
    const ScopedVariable tmpdir("TMPDIR", "/var/tmp/no-such-folder");
    EXPECT_EQ(EnvironmentText("TEMP"), "/tmp");
  }
  const ScopedVariable noTmpdir("TMPDIR", std::nullopt);
  EXPECT_EQ(EnvironmentText("TEMP"), "/tmp");
  ::unsetenv("USERNAME");
  EXPECT_EQ(EnvironmentText("USERNAME"), "alice");
  const std::string longValue(400, 'v');
  ::setenv("KV6_LONG_VALUE", longValue.c_str(), 1);
  EXPECT_EQ(EnvironmentText("KV6_LONG_VALUE"), longValue);
}

TEST_F(SystemTest, ToggleUnitSystem) {
  UnitSystem = 3;
  ToggleUnitSystem();
  EXPECT_EQ(UnitSystem, 1);
  ToggleUnitSystem();
  EXPECT_EQ(UnitSystem, 0);
}

}  // namespace
