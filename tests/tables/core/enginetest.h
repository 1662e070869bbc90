#pragma once
// Shared fixture of the table engine tests: a private folder, a fixed today, exception mode;
// with the tables and fields of enginetables.h.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "tables/core/dbf4area.h"
#include "tables/core/dbf4edit.h"
#include "tables/core/dbf4nav.h"
#include "tables/core/dbf4use.h"
#include "tables/core/engine.h"
#include "tables/core/tzdate.h"
#include "tables/core/tzdbflow.h"
#include "tables/core/tzerror.h"
#include "tests/support/tempfolder.h"
#include "tests/tables/core/enginetables.h"

namespace enginetest {

inline platform::CivilDateTime FixedToday() {
  return {2026, 3, 15, 0, 0, 0, 1};
}  // a Sunday

class EngineTest : public ::testing::Test, protected TempFolder {
 protected:
  void SetUp() override {
    dadav::SetTodayProc(&FixedToday);
    dadav::EngineStart();
    dadav::SetExceptionMode(true);
    dadav::CenturyOn = false;
    dadav::SetDateFormat(0);
    dadav::DecimalChar = '.';
  }
  void TearDown() override {
    try {
      dadav::EngineExit();
    } catch (const dadav::EDadavError&) {
    }
  }
};

// Runs call while no file of the process may grow beyond `bytes`.
inline void WithFileSizeLimit(rlim_t bytes, const std::function<void()>& call) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit limit{bytes, old.rlim_max};
  setrlimit(RLIMIT_FSIZE, &limit);
  call();
  setrlimit(RLIMIT_FSIZE, &old);
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace enginetest
