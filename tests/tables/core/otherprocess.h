#pragma once
// A second program on the same table: body runs in a child process that first opens the table
// with command; the child signals readiness through a pipe and keeps its table until the parent
// lets it go.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4use.h"

class OtherProcess {
 public:
  template <typename Body>
  OtherProcess(const std::string& command, Body body) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) std::abort();
    pid_ = fork();
    char byte = 1;
    if (pid_ == 0) {
      close(release[1]);  // else the child would never see the parent's release
      int status = 0;
      try {
        dadav::CloseAll();
        dadav::Select(1);
        dadav::USE(command);
        body();
      } catch (...) {
        status = 3;
      }
      bool signalled = write(ready[1], &byte, 1) == 1 && read(release[0], &byte, 1) >= 0;
      try {
        dadav::CloseAll();
      } catch (...) {
        status = 3;
      }
      _exit(signalled ? status : 4);
    }
    close(ready[1]);
    close(release[0]);
    if (read(ready[0], &byte, 1) != 1) ADD_FAILURE() << "the other process never got ready";
    close(ready[0]);
    release_ = release[1];
  }
  // A child the test did not finish is let go when the test ends.
  ~OtherProcess() {
    if (release_ >= 0) Finish();
  }
  OtherProcess(const OtherProcess&) = delete;
  OtherProcess& operator=(const OtherProcess&) = delete;
  // Lets the child close its table and returns its exit status.
  int Finish() {
    close(release_);
    release_ = -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int release_ = -1;
};
