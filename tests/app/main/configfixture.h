// Settings at their start values with fixed folders, in a test folder of their own, for the
// configuration and recent-files tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main/configfile.h"
#include "app/main/programidentity.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/numbertext.h"
#include "cad/layer/cadvar.h"
#include "calc/calctexts.h"
#include "tests/support/tempfolder.h"

class ConfigTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    InitGraphicsSettings();
    InitPrintSetup();
    InitCadDefaults();
    SetCalcTexts(2);
    SetProgramIdentity();
    GraphicXFactor = 1.0L;
    DecimalSeparator = '.';
    CadDir = "/cad/";
    DbfDir = "/dbf/";
    TempDir = "/tmp/kv6/";
    EdiDir = "/edi/";
    PltDir = "/plt/";
    BrelcorDir = "/brelcor/";
    DefaultDataDir = "/data/";
    ManualDir = "/manual/";
    ConfigDir = folder.Dir();
    AbortFlag = 0;
  }
  void TearDown() override {
    DecimalSeparator = '.';
    AbortFlag = 0;
  }

  // The file's lines without their CR LF ends.
  static std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < bytes.size()) {
      std::string::size_type end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      std::string line = bytes.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      start = end + 1;
    }
    return lines;
  }
  static std::string Joined(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + end;
    return bytes;
  }

  TempFolder folder;
};
