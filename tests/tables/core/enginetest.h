#pragma once
// Shared fixture of the table engine tests: a private folder, a fixed today, exception mode.

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

inline dadav::FieldDescriptor Def(const char* name, char type, int length, int decimals = 0) {
  dadav::FieldDescriptor f;
  f.name = name;
  f.type = type;
  f.length = static_cast<std::uint8_t>(length);
  f.decimals = static_cast<std::uint8_t>(decimals);
  return f;
}

// Creates the table, leaves it open exclusive, appends n records (fill sets record i, 1-based)
// and deletes the records in `deleted`.
inline void NewTable(const std::string& path, const std::vector<dadav::FieldDescriptor>& fields,
                     int n = 0, const std::function<void(int)>& fill = {},
                     const std::vector<int>& deleted = {}) {
  dadav::CreateDBF(path, fields);
  dadav::USE(path + " EXCLUSIVE");
  for (int i = 1; i <= n; ++i) {
    dadav::ClearRecord();
    if (fill) fill(i);
    dadav::Append();
  }
  for (int d : deleted) {
    dadav::GO(d);
    dadav::DeleteRec();
  }
}

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

inline void SetText(int field, const std::string& text) {
  std::uint8_t* p = dadav::FieldAddress(field);
  p[0] = static_cast<std::uint8_t>(text.size());
  std::memcpy(p + 1, text.data(), text.size());
}

inline void SetReal(int field, double value) {
  std::memcpy(dadav::FieldAddress(field), &value, 8);
}

inline void SetInt64(int field, std::int64_t value) {
  std::memcpy(dadav::FieldAddress(field), &value, 8);
}

inline void SetLogical(int field, bool value) {
  *dadav::FieldAddress(field) = value ? 1 : 0;
}

inline std::string FieldText(int field) {
  std::string text;
  dadav::FieldAsText(field, text);
  return text;
}

// The stored text of a field of a record of the current table.
inline std::string Stored(int field, int record) {
  std::string text;
  dadav::Peek(field, record, text);
  return text;
}

}  // namespace enginetest
