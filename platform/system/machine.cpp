#include "platform/system/machine.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/system/services.h"

#if defined(__x86_64__) || defined(__i386__)
#include <x86intrin.h>
#endif

#include "platform/files/osfiles.h"
#include "platform/system/programsearch.h"

namespace platform {
namespace {

std::string ReadSmallFile(const std::string& path) {
  std::string text;
  const int fd = os::Open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return text;
  char chunk[4096];
  ssize_t n;
  while ((n = ::read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<std::size_t>(n));
  ::close(fd);
  return text;
}

// The leading decimal digits of a text as a number; 0 when it starts otherwise.
std::uint64_t LeadingNumber(std::string_view text) {
  std::uint64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::vector<std::string_view> SplitBlanks(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  while (pos < line.size()) {
    const std::size_t start = line.find_first_not_of(' ', pos);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(line.find(' ', start), line.size());
    fields.push_back(line.substr(start, end - start));
    pos = end;
  }
  return fields;
}

// Mount points in mountinfo write blanks, tabs, newlines and backslashes as octal escapes.
std::string Unescape(std::string_view text) {
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      int code = 0;
      const auto [end, error] = std::from_chars(text.data() + i + 1, text.data() + i + 4, code, 8);
      if (error == std::errc() && end == text.data() + i + 4) {
        result += static_cast<char>(code);
        i += 3;
        continue;
      }
    }
    result += text[i];
  }
  return result;
}

bool IsUnder(const std::string& path, const std::string& mountPoint) {
  if (mountPoint == "/") return true;
  return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
         (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

// Mount point and type of the file system of a path: the deepest mount of the path's device
// that contains the path.
void FindMount(const std::string& path, dev_t device, VolumeFacts& facts) {
  const std::string canonical = os::RealPath(path.empty() ? "." : path);
  const std::string mountinfo = ReadSmallFile("/proc/self/mountinfo");
  std::size_t best = 0;
  std::size_t pos = 0;
  while (pos < mountinfo.size()) {
    const std::size_t end = std::min(mountinfo.find('\n', pos), mountinfo.size());
    const auto fields = SplitBlanks(std::string_view(mountinfo).substr(pos, end - pos));
    pos = end + 1;
    const auto separator = std::find(fields.begin(), fields.end(), "-");
    if (fields.size() < 5 || separator == fields.end() || separator + 1 == fields.end()) continue;
    const std::string_view numbers = fields[2];
    const std::size_t colon = numbers.find(':');
    if (colon == std::string_view::npos) continue;
    const auto major = static_cast<unsigned>(LeadingNumber(numbers.substr(0, colon)));
    const auto minor = static_cast<unsigned>(LeadingNumber(numbers.substr(colon + 1)));
    const std::string mountPoint = os::ProgramName(Unescape(fields[4]));
    if (makedev(major, minor) != device || !IsUnder(canonical, mountPoint)) continue;
    if (mountPoint.size() >= best) {
      best = mountPoint.size();
      facts.mountPoint = mountPoint;
      facts.fileSystem = std::string(*(separator + 1));
    }
  }
}

std::string DottedIpv4(const in_addr& address) {
  char text[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &address, text, sizeof text);
  return text;
}

void AddUnique(std::vector<std::string>& list, std::string text) {
  if (std::find(list.begin(), list.end(), text) == list.end()) list.push_back(std::move(text));
}

std::vector<std::string> InterfaceAddresses() {
  std::vector<std::string> addresses;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return addresses;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
    if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0) continue;
    AddUnique(addresses,
              DottedIpv4(reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr));
  }
  ::freeifaddrs(list);
  return addresses;
}

std::vector<std::string> ResolvedAddresses(const std::string& host) {
  std::vector<std::string> addresses;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0) return addresses;
  for (const addrinfo* entry = list; entry != nullptr; entry = entry->ai_next)
    AddUnique(addresses,
              DottedIpv4(reinterpret_cast<const sockaddr_in*>(entry->ai_addr)->sin_addr));
  ::freeaddrinfo(list);
  return addresses;
}

// "cpu MHz : 2893.204" of the first processor, whole megahertz.
std::int32_t CpuinfoMhz() {
  const std::string cpuinfo = ReadSmallFile("/proc/cpuinfo");
  const std::size_t line = cpuinfo.find("cpu MHz");
  if (line == std::string::npos) return 0;
  const std::size_t colon = cpuinfo.find(':', line);
  const std::size_t digits = cpuinfo.find_first_not_of(" \t", colon + 1);
  if (colon == std::string::npos || digits == std::string::npos) return 0;
  return static_cast<std::int32_t>(LeadingNumber(std::string_view(cpuinfo).substr(digits)));
}

class LinuxMachine final : public Machine {
 public:
  std::string HostName() override {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
  }

  std::string UserName() override {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr)
      return found->pw_name;
    return os::Variable("USER");
  }

  std::string ProgramPath() override { return ProgramFile(); }

  std::string KernelRelease() override {
    utsname names{};
    return ::uname(&names) == 0 ? names.release : "";
  }

  std::uint64_t PhysicalMemoryBytes() override {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  }

  std::optional<VolumeFacts> Volume(const std::string& path) override {
    const std::string where = path.empty() ? "." : path;
    struct statvfs space {};
    struct stat info {};
    if (os::StatFileSystem(where, space) != 0 || os::Stat(where, info) != 0) return std::nullopt;
    VolumeFacts facts;
    facts.totalBytes = static_cast<std::uint64_t>(space.f_blocks) * space.f_frsize;
    facts.freeBytes = static_cast<std::uint64_t>(space.f_bavail) * space.f_frsize;
    FindMount(where, info.st_dev, facts);
    return facts;
  }

  std::vector<std::string> Ipv4Addresses() override {
    std::vector<std::string> addresses = InterfaceAddresses();
    return addresses.empty() ? ResolvedAddresses(HostName()) : addresses;
  }

  std::chrono::system_clock::time_point Now() override { return std::chrono::system_clock::now(); }

  std::chrono::steady_clock::time_point SteadyNow() override {
    return std::chrono::steady_clock::now();
  }

  void Sleep(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }

  std::optional<std::uint64_t> TimeStampCounter() override {
#if defined(__x86_64__) || defined(__i386__)
    return __rdtsc();
#else
    return std::nullopt;
#endif
  }

  std::int32_t ReportedCpuMhz() override {
    const std::string khz = ReadSmallFile("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
    const std::uint64_t value = LeadingNumber(khz);
    return value > 0 ? static_cast<std::int32_t>(value / 1000) : CpuinfoMhz();
  }
};

}  // namespace

std::unique_ptr<Machine> MakeLinuxMachine() {
  return std::make_unique<LinuxMachine>();
}

Machine& CurrentMachine() {
  auto& machine = Slot<Machine>();
  if (!machine) machine = MakeLinuxMachine();
  return *machine;
}

}  // namespace platform
