#pragma once
// A machine whose facts and clocks a test sets; sleeping advances its steady clock and its
// time-stamp counter at the set processor clock.

#include <optional>
#include <string>
#include <vector>

#include "platform/system/machine.h"

class FakeMachine final : public platform::Machine {
 public:
  std::string hostName = "host";
  std::string userName = "alice";
  std::string kernelRelease = "6.1.0-18-amd64";
  std::uint64_t memoryBytes = 0;
  std::optional<platform::VolumeFacts> volume;
  std::vector<std::string> ipv4;
  std::chrono::system_clock::time_point now;
  std::chrono::steady_clock::time_point steady;
  std::optional<std::uint64_t> counter;  // none: a processor without a time-stamp counter
  std::uint64_t ticksPerMicrosecond = 0;
  std::int32_t reportedMhz = 0;

  std::string HostName() override { return hostName; }
  std::string UserName() override { return userName; }
  std::string ProgramPath() override { return "/opt/kv6/wkv6"; }
  std::string KernelRelease() override { return kernelRelease; }
  std::uint64_t PhysicalMemoryBytes() override { return memoryBytes; }
  std::optional<platform::VolumeFacts> Volume(const std::string&) override { return volume; }
  std::vector<std::string> Ipv4Addresses() override { return ipv4; }
  std::chrono::system_clock::time_point Now() override { return now; }
  std::chrono::steady_clock::time_point SteadyNow() override { return steady; }
  void Sleep(std::chrono::milliseconds duration) override {
    steady += duration;
    if (counter)
      *counter += ticksPerMicrosecond * static_cast<std::uint64_t>(duration.count()) * 1000;
  }
  std::optional<std::uint64_t> TimeStampCounter() override { return counter; }
  std::int32_t ReportedCpuMhz() override { return reportedMhz; }
};
