#pragma once
// The table engine in the program's own error mode, in which every error it reports shows the box
// "Program halted." and ends the program, with the halt recorded instead of run: a test of code
// that must never end the program checks that nothing was recorded.

#include <vector>

#include "tables/core/dbf4use.h"
#include "tables/core/tzerror.h"

class EngineHaltRecorder {
 public:
  EngineHaltRecorder()
      : exceptions_(dadav::SetExceptionMode(false)), reporting_(dadav::SetReportErrors(true)) {
    Statuses().clear();
    dadav::SetHaltCleanup(nullptr);
    dadav::SetHaltExit(&Record);
  }
  ~EngineHaltRecorder() {
    dadav::SetHaltExit(nullptr);
    dadav::SetHaltCleanup(&dadav::EngineExit);
    dadav::Halting = false;
    dadav::SetExceptionMode(exceptions_);
    dadav::SetReportErrors(reporting_);
  }
  EngineHaltRecorder(const EngineHaltRecorder&) = delete;
  EngineHaltRecorder& operator=(const EngineHaltRecorder&) = delete;

  // The exit statuses of the halts that would have ended the program.
  static std::vector<int>& Statuses() {
    static std::vector<int> statuses;
    return statuses;
  }

 private:
  static void Record(int status) { Statuses().push_back(status); }

  bool exceptions_;
  bool reporting_;
};
