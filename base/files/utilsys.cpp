#include "base/files/utilsys.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "platform/files/dirservices.h"
#include "platform/files/osfiles.h"
#include "platform/system/machine.h"

#ifndef KV6_VERSION
#error "KV6_VERSION must hold the program version, such as 4.1"
#endif

namespace {

constexpr std::size_t kHostNameWidth = 16;

// "6.1.0-18-amd64" -> "6.1": the first two dot-separated numbers.
std::string KernelMajorMinor(const std::string& release) {
  const std::size_t firstDot = release.find('.');
  if (firstDot == std::string::npos) return release;
  const std::size_t end = release.find_first_not_of("0123456789", firstDot + 1);
  return release.substr(0, end);
}

// Digits only: sizes in the system line take neither decimals nor separators.
std::string WholeNumberText(std::int64_t n) {
  char digits[24];
  return std::string(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
}

std::array<std::uint16_t, 4> ProgramVersionNumbers() {
  std::array<std::uint16_t, 4> numbers{};
  const std::string_view text = KV6_VERSION;
  const char* pos = text.data();
  const char* end = text.data() + text.size();
  for (std::uint16_t& number : numbers) {
    pos = std::from_chars(pos, end, number).ptr;
    if (pos == end || *pos != '.') break;
    ++pos;
  }
  return numbers;
}

std::string ProgramFileName() {
  return LowerText("W" + ShortName + ".exe");
}

}  // namespace

void WindowsVersionName(std::string& text) {
  text = KernelMajorMinor(platform::CurrentMachine().KernelRelease()) + " Linux";
}

std::int32_t CpuClockMhz() {
  using namespace std::chrono;
  platform::Machine& machine = platform::CurrentMachine();
  machine.Sleep(milliseconds(10));
  const std::optional<std::uint64_t> startTicks = machine.TimeStampCounter();
  const steady_clock::time_point start = machine.SteadyNow();
  if (!startTicks) return machine.ReportedCpuMhz();
  machine.Sleep(milliseconds(500));
  const std::optional<std::uint64_t> endTicks = machine.TimeStampCounter();
  const std::int64_t micros = duration_cast<microseconds>(machine.SteadyNow() - start).count();
  if (!endTicks || micros <= 0) return machine.ReportedCpuMhz();
  return static_cast<std::int32_t>((*endTicks - *startTicks) / static_cast<std::uint64_t>(micros));
}

std::string SystemInfoText(const std::string& drive) {
  platform::Machine& machine = platform::CurrentMachine();
  std::string root = drive;
  if (root.empty()) {
    const auto volume = machine.Volume(machine.ProgramPath());
    root = AddBackslash(volume ? volume->mountPoint : "/");
  }
  const long double gigahertz = static_cast<long double>(CpuClockMhz()) / 1000;
  const auto megabytes = static_cast<std::int64_t>(machine.PhysicalMemoryBytes() / 1000000);
  const auto gigabytes = std::llround(static_cast<long double>(DiskSizeOf(root)) / 1e9L);
  return machine.HostName().substr(0, kHostNameWidth) + "/" +
         KernelMajorMinor(machine.KernelRelease()) + "/" + RealTextDec(1, gigahertz) + "GHz/" +
         WholeNumberText(megabytes) + "MB/" + WholeNumberText(gigabytes) + "GB/" + root;
}

std::vector<std::string> HostIpAddresses() {
  return platform::CurrentMachine().Ipv4Addresses();
}

std::int64_t DiskSizeOf(const std::string& drive) {
  const auto volume = platform::CurrentMachine().Volume(drive);
  return volume ? static_cast<std::int64_t>(volume->totalBytes) : 0;
}

std::string EnvironmentText(const std::string& name) {
  const std::string value = platform::os::Variable(name);
  if (!value.empty()) return value;
  if (name == "TEMP") return platform::TempFolder();
  if (name == "USERNAME") return platform::CurrentMachine().UserName();
  return {};
}

std::string FileVersionText(const std::string& fileName) {
  const std::string name = TrimBlanks(fileName);
  if (!name.empty() && LowerText(name) != ProgramFileName()) return "0";
  const auto n = ProgramVersionNumbers();
  return FileVersionNumbersText(n[0], n[1], n[2], n[3]);
}

std::string FileVersionNumbersText(std::uint16_t major, std::uint16_t minor, std::uint16_t release,
                                   std::uint16_t build) {
  std::string text = IntText(major);
  text += '.';
  text += IntText(minor);
  if (release > 0) {
    text += '.';
    text += IntText(release);
    if (build > 0) {
      text += '.';
      text += IntText(build);
    }
  }
  return text;
}

std::int32_t PrinterPortCount() {
  return 3;
}

void ToggleUnitSystem() {
  UnitSystem = UnitSystem == 1 ? 0 : 1;
}
