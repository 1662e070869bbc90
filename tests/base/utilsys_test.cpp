#include "base/utilsys.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "base/brelvar.h"
#include "base/numbertext.h"
#include "base/wbrelvar.h"
#include "tests/base/fakemachine.h"

namespace {

class SystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    DecimalSeparator = '.';
    auto fake = std::make_unique<FakeMachine>();
    machine_ = fake.get();
    platform::SetMachine(std::move(fake));
  }
  void TearDown() override { platform::SetMachine(nullptr); }

  FakeMachine* machine_ = nullptr;
};

TEST_F(SystemTest, FileVersionNumbers) {
  EXPECT_EQ(FileVersionNumbersText(4, 1, 2, 0), "4.1.2");
  EXPECT_EQ(FileVersionNumbersText(4, 1, 0, 5), "4.1");
  EXPECT_EQ(FileVersionNumbersText(4, 1, 0, 0), "4.1");
  EXPECT_EQ(FileVersionNumbersText(4, 1, 2, 7), "4.1.2.7");
}

TEST_F(SystemTest, FileVersionOfTheProgramOnly) {
  ShortName = "kv6";
  EXPECT_EQ(FileVersionText(""), "4.1");
  EXPECT_EQ(FileVersionText("  "), "4.1");
  EXPECT_EQ(FileVersionText("Wkv6.exe"), "4.1");
  EXPECT_EQ(FileVersionText("WKV6.EXE"), "4.1");
  EXPECT_EQ(FileVersionText("notepad.exe"), "0");
}

TEST_F(SystemTest, KernelVersionName) {
  struct Case {
    const char* release;
    const char* name;
  };
  const Case cases[] = {{"6.1.0-18-amd64", "6.1 Linux"},
                        {"5.15.153.1-microsoft-standard-WSL2", "5.15 Linux"},
                        {"6.10", "6.10 Linux"},
                        {"7", "7 Linux"}};
  for (const Case& c : cases) {
    machine_->kernelRelease = c.release;
    std::string text;
    WindowsVersionName(text);
    EXPECT_EQ(text, c.name);
  }
}

TEST_F(SystemTest, ClockFromTheTimeStampCounter) {
  struct Case {
    std::uint64_t start, ticksPerMicrosecond;
    std::int32_t mhz;
  };
  // 4.8 GHz runs 2.4e9 ticks in 500 ms, beyond what 32 bits of difference can hold as a signed
  // number; a counter about to wrap its low 32 bits must not matter either.
  const Case cases[] = {{1000, 2400, 2400}, {0xFFFFFFF0ull, 4800, 4800}, {1ull << 40, 5200, 5200}};
  for (const Case& c : cases) {
    machine_->counter = c.start;
    machine_->ticksPerMicrosecond = c.ticksPerMicrosecond;
    EXPECT_EQ(CpuClockMhz(), c.mhz);
  }
}

TEST_F(SystemTest, ClockWithoutCounterAsReported) {
  machine_->counter.reset();
  machine_->reportedMhz = 1800;
  EXPECT_EQ(CpuClockMhz(), 1800);
  machine_->reportedMhz = 0;
  EXPECT_EQ(CpuClockMhz(), 0);
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
  EXPECT_EQ(DiskSizeOf("/"), 0);
}

TEST_F(SystemTest, EnvironmentFallbacks) {
  ::unsetenv("TEMP");
  ::setenv("TMPDIR", "/var/tmp/x", 1);
  EXPECT_EQ(EnvironmentText("TEMP"), "/var/tmp/x");
  ::unsetenv("TMPDIR");
  EXPECT_EQ(EnvironmentText("TEMP"), "/tmp");
  ::unsetenv("USERNAME");
  EXPECT_EQ(EnvironmentText("USERNAME"), "alice");
  const std::string longValue(400, 'v');
  ::setenv("KV6_LONG_VALUE", longValue.c_str(), 1);
  EXPECT_EQ(EnvironmentText("KV6_LONG_VALUE"), longValue);
  EXPECT_EQ(EnvironmentText("KV6_SURELY_UNSET"), "");
}

TEST_F(SystemTest, ToggleUnitSystem) {
  const std::uint16_t from[] = {0, 1, 2, 3, 4};
  const std::uint16_t to[] = {1, 0, 1, 1, 1};
  for (int i = 0; i < 5; ++i) {
    UnitSystem = from[i];
    ToggleUnitSystem();
    EXPECT_EQ(UnitSystem, to[i]) << from[i];
  }
  EXPECT_EQ(PrinterPortCount(), 3);
}

}  // namespace
