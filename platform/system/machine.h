#pragma once
// Facts about the machine and the clock, for the system-information texts and the dates. One Linux
// implementation serves both backends; tests put a fake in its place (platform/services.h).

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct VolumeFacts {
  std::string mountPoint;  // root of the file system that holds the path
  std::string fileSystem;  // its type, such as "ext4"
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
};

class Machine {
 public:
  virtual ~Machine() = default;

  // Each text is empty when the system does not tell it.
  virtual std::string HostName() = 0;
  virtual std::string UserName() = 0;
  // Full path of the running program.
  virtual std::string ProgramPath() = 0;
  // Release of the running kernel, such as "6.1.0-18-amd64".
  virtual std::string KernelRelease() = 0;
  virtual std::uint64_t PhysicalMemoryBytes() = 0;
  virtual std::optional<VolumeFacts> Volume(const std::string& path) = 0;
  // Dotted IPv4 addresses of the interfaces that are up, loopback left out; when there are none,
  // those the host name resolves to.
  virtual std::vector<std::string> Ipv4Addresses() = 0;

  // Wall-clock time.
  virtual std::chrono::system_clock::time_point Now() = 0;
  // Monotonic time and sleeping, for measuring the processor clock.
  virtual std::chrono::steady_clock::time_point SteadyNow() = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
  // The processor's time-stamp counter; none where the processor has no such counter.
  virtual std::optional<std::uint64_t> TimeStampCounter() = 0;
  // Nominal processor clock from the kernel's frequency driver, else from /proc/cpuinfo;
  // 0 when neither tells.
  virtual std::int32_t ReportedCpuMhz() = 0;
};

// The machine service of the platform's kit; without one the Linux machine serves.
Machine& CurrentMachine();
std::unique_ptr<Machine> MakeLinuxMachine();

}  // namespace platform
