#include "platform/print/rawprint.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/files/osfiles.h"
#include "platform/system/services.h"

namespace platform {

namespace {

// Appends, so that a regular file standing in for the printer keeps every job in order.
bool WriteToDevice(const std::string& device, const std::string& bytes) {
  const int fd = os::Open(device, O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return ::close(fd) == 0 && done == bytes.size();
}

// Runs the program with its output discarded and its standard input from stdinFile (none when
// empty) and waits for it; its exit status, -1 when it could not start.
int RunQuietly(const std::vector<std::string>& argv, const std::string& stdinFile = {}) {
  const std::string stdinHost = os::HostName(stdinFile);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!stdinFile.empty())
    posix_spawn_file_actions_addopen(&actions, 0, stdinHost.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int error = os::SpawnProgram(argv, &actions, pid);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string QueueName(std::int32_t port) {
  return "LPT" + std::to_string(port);
}

// The printer's device file; empty when there is none.
std::string DeviceFile(std::int32_t port) {
  return os::Variable("KV6_" + QueueName(port));
}

class SystemRawPrinter final : public RawPrinter {
 public:
  bool HasDeviceFile(std::int32_t port) override { return !DeviceFile(port).empty(); }

  bool SendRaw(std::int32_t port, const std::string& fileName) override {
    const std::string device = DeviceFile(port);
    std::string bytes;
    return !device.empty() && os::ReadWholeFile(fileName, bytes) && WriteToDevice(device, bytes);
  }

  bool SendText(std::int32_t port, const std::string& fileName) override {
    std::vector<std::string> command = {"lp", "-s"};
    if (RunQuietly({"lpstat", "-p", QueueName(port)}) == 0) {
      command.push_back("-d");
      command.push_back(QueueName(port));
    }
    return RunQuietly(command, fileName) == 0;
  }
};

class CommandLineRawPrinter final : public RawPrinter {
 public:
  bool HasDeviceFile(std::int32_t) override { return false; }
  bool SendRaw(std::int32_t, const std::string&) override { return false; }
  bool SendText(std::int32_t, const std::string&) override { return false; }
};

}  // namespace

std::unique_ptr<RawPrinter> MakeSystemRawPrinter() {
  return std::make_unique<SystemRawPrinter>();
}

std::unique_ptr<RawPrinter> MakeCommandLineRawPrinter() {
  return std::make_unique<CommandLineRawPrinter>();
}

RawPrinter& RawPrinterPort() {
  auto& printer = Slot<RawPrinter>();
  if (!printer) printer = MakeCommandLineRawPrinter();
  return *printer;
}

}  // namespace platform
