// Shared fixture of the CAD tests: defaults, a private temporary folder as TempDir and CadDir,
// scripted dialogs, and a recording writer that stands in for the writers registered later.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/breldraw.h"
#include "base/brelgraf.h"
#include "cad/caddisp.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingsurface.h"

// One call that reached the recording writer.
struct RecordedCall {
  std::string op;
  std::vector<long double> values;
  std::string text;
};

extern std::vector<RecordedCall> Recorded;
// The recording writer; block_files makes it replay blocks like the screen and STL.
CadWriter RecordingWriter(bool block_files);
inline constexpr std::uint16_t kRecordingTarget = 7;

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
// "a\nb\n" as DXF lines "a\r\nb\r\n".
std::string CrLf(const std::vector<std::string>& lines);

class CadTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::string Temp(const std::string& name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
  platform::headless::ScriptedDialogs* dialogs_ = nullptr;
  platform::RecordingDrawSurface surface_;
  TFbrelgra window_{surface_};
  TDrawer drawer_;
};

// The folder of the committed DXF fixtures.
inline std::filesystem::path FixtureDir() {
  return std::filesystem::path(__FILE__).parent_path() / "data";
}
