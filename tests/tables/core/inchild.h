#pragma once
// Running part of a table test in a child process: how a test shows what another program, or a
// program ended at a chosen moment, leaves behind for the next open.

#include <sys/wait.h>
#include <unistd.h>

namespace enginetest {

// Runs body in a child process, which ends with 0, or 3 when body threw; the child's exit
// status, -1 when it did not exit. Tables the parent holds open should be closed first: the
// child would share their locks.
template <typename Body>
int InChild(Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    int status = 0;
    try {
      body();
    } catch (...) {
      status = 3;
    }
    _exit(status);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace enginetest
