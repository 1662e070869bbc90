#include "tests/support/command.h"

#include <sys/wait.h>

#include <cstdio>

CommandResult RunCommand(const std::string& command) {
  CommandResult result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) {
    result.output.append(buffer, n);
  }
  const int wait = ::pclose(pipe);
  if (wait != -1 && WIFEXITED(wait)) result.status = WEXITSTATUS(wait);
  return result;
}
