#include "platform/backend.h"

#include <cstdio>
#include <string>

#include "platform/codepage.h"
#include "platform/headless/headless.h"

namespace platform {

namespace {

// Never destroyed at exit: a toolkit backend must not outlive its own library's statics. The
// program ends it while it can with InstallBackend(nullptr).
std::unique_ptr<Backend>& Installed() {
  static auto* backend = new std::unique_ptr<Backend>;
  return *backend;
}

}  // namespace

void InstallBackend(std::unique_ptr<Backend> backend) {
  Installed() = std::move(backend);
}

Backend& CurrentBackend() {
  if (!Installed()) Installed() = MakeHeadlessBackend();
  return *Installed();
}

int RunEventLoop() {
  return CurrentBackend().RunEventLoop();
}

void ExitEventLoop(int exitCode) {
  CurrentBackend().ExitEventLoop(exitCode);
}

void ProcessEvents() {
  CurrentBackend().ProcessEvents();
}

void WriteErrorLine(std::string_view text) {
  std::string line = Cp1252ToUtf8(text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform
