// Runs a shell command for a test that checks our output with another program.
#pragma once

#include <string>

struct CommandResult {
  std::string output;  // everything the command wrote to standard output
  int status = -1;     // its exit status; -1 when it could not run or was killed by a signal
};

CommandResult RunCommand(const std::string& command);
