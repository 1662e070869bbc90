#include "platform/rawprint.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

extern char** environ;

namespace platform {

namespace {

std::string ReadAll(const std::string& fileName, bool& ok) {
  std::ifstream in(fileName, std::ios::binary);
  ok = static_cast<bool>(in);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteToDevice(const std::string& device, const std::string& bytes) {
  const int fd = ::open(device.c_str(), O_WRONLY | O_CLOEXEC);
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

// Runs the program with its output discarded and waits for it; its exit status, -1 when it
// could not start.
int RunQuietly(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class SystemRawPrinter final : public RawPrinter {
 public:
  bool SendRaw(std::int32_t port, const std::string& fileName) override {
    const std::string queue = "LPT" + std::to_string(port);
    if (const char* device = std::getenv(("KV6_" + queue).c_str()); device && *device) {
      bool ok = false;
      const std::string bytes = ReadAll(fileName, ok);
      return ok && WriteToDevice(device, bytes);
    }
    std::vector<std::string> command = {"lp", "-s", "-o", "raw"};
    if (RunQuietly({"lpstat", "-p", queue}) == 0) {
      command.push_back("-d");
      command.push_back(queue);
    }
    command.push_back("--");
    command.push_back(fileName);
    return RunQuietly(command) == 0;
  }
};

std::unique_ptr<RawPrinter>& Installed() {
  static std::unique_ptr<RawPrinter> printer;
  return printer;
}

}  // namespace

void InstallRawPrinter(std::unique_ptr<RawPrinter> printer) {
  Installed() = std::move(printer);
}

RawPrinter& RawPrinterPort() {
  if (!Installed()) Installed() = std::make_unique<SystemRawPrinter>();
  return *Installed();
}

bool SendRaw(std::int32_t port, const std::string& fileName) {
  return RawPrinterPort().SendRaw(port, fileName);
}

bool RecordingRawPrinter::SendRaw(std::int32_t port, const std::string& fileName) {
  if (fail) return false;
  bool ok = false;
  std::string bytes = ReadAll(fileName, ok);
  if (!ok) return false;
  jobs.emplace_back(port, std::move(bytes));
  return true;
}

RecordingRawPrinter& UseRecordingRawPrinter() {
  auto printer = std::make_unique<RecordingRawPrinter>();
  RecordingRawPrinter& result = *printer;
  InstallRawPrinter(std::move(printer));
  return result;
}

}  // namespace platform
