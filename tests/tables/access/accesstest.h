#pragma once
// Shared pieces of the dataset, grid, browse and table access tests: the engine fixture with a
// dialog script that records every box, and a second process that holds a table meanwhile.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/headless/dialogscript.h"
#include "tables/access/tzdataset.h"
#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4use.h"
#include "tables/modules/exprstart.h"
#include "tables/modules/memostart.h"
#include "tables/modules/ndxmanage.h"
#include "tables/modules/vfile.h"
#include "tests/tables/core/enginetest.h"

namespace accesstest {

using enginetest::Def;
using enginetest::NewTable;
using enginetest::SetInt64;
using enginetest::SetLogical;
using enginetest::SetReal;
using enginetest::SetText;

// A whole-number field of at most 9 digits, held in 4 bytes.
inline void SetInt32(int field, std::int32_t value) {
  std::memcpy(dadav::FieldAddress(field), &value, 4);
}

class AccessTest : public enginetest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    dadav::EngineStart(
        {&dadav::ExprModuleStart, &dadav::IndexInit, &dadav::MemoStart, &dadav::VFileStart});
    dadav::TableLanguageOem = true;
  }
  // The boxes shown so far, as the script wrote them.
  const std::vector<std::string>& Boxes() const { return script_->Transcript(); }
  bool Shown(const std::string& text) const {
    for (const std::string& line : Boxes()) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  platform::headless::DialogScript script_;
};

// Runs body in a child process that first opens the table with command; the child signals
// readiness through a pipe and waits until the parent closes its end.
class OtherProcess {
 public:
  template <typename Body>
  OtherProcess(const std::string& command, Body body) {
    int ready[2], release[2];
    if (pipe(ready) != 0 || pipe(release) != 0) std::abort();
    pid_ = fork();
    char byte = 1;
    if (pid_ == 0) {
      close(release[1]);
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
  ~OtherProcess() {
    if (release_ >= 0) Finish();
  }
  OtherProcess(const OtherProcess&) = delete;
  OtherProcess& operator=(const OtherProcess&) = delete;
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

}  // namespace accesstest
