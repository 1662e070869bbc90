// Shared fixture of the CAD tests: defaults, a private temporary folder as TempDir and CadDir,
// scripted dialogs, a recording launcher, and a recording writer that stands in for the writers
// registered later.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/caddisp.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingservices.h"
#include "platform/headless/recordingsurface.h"
#include "tests/support/tempfolder.h"

// One call that reached the recording writer. Texts carry x, y, the text height, width factor and
// angle and the layer number; inserts their five arguments and the layer number.
struct RecordedCall {
  std::string op;
  std::vector<long double> values;
  std::string text;
};

extern std::vector<RecordedCall> Recorded;
// The recording writer; block_files makes it replay blocks like the screen and STL. Its
// output_complete records "output_complete" and answers false the first time after each open,
// asking for a second entity pass, and true the second time.
CadWriter RecordingWriter(bool block_files);
// A code no writer of the program uses.
inline constexpr std::uint16_t kRecordingTarget = 8;
std::vector<RecordedCall> Calls(const std::string& op);
// The first expected.size() values of call, each to 1e-9.
void ExpectValues(const RecordedCall& call, const std::vector<long double>& expected);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
// "a\nb\n" as DXF lines "a\r\nb\r\n".
std::string CrLf(const std::vector<std::string>& lines);
// A BLOCKS section holding the one block name with what body draws.
void DrawBlock(const std::string& name, const std::function<void()>& body);

class CadTest : public ::testing::Test, protected TempFolder {
 protected:
  void SetUp() override;
  std::string Temp(const std::string& name) const { return Path(name); }
  std::set<std::string> Files() const;     // the files in the temporary folder
  std::set<std::string> RunFiles() const;  // the files in the run's private folder
  // Opens target in batch mode (no dialog) for CurrentFile name in the temporary folder.
  void OpenBatch(std::uint16_t target, const std::string& name = "out");
  // How many dialog boxes showed a text holding text.
  int Boxes(const std::string& text) const;

  platform::headless::DialogScript dialogs_;
  platform::RecordedLauncher launcher_;
  platform::RecordingDrawSurface surface_;
  TFbrelgra window_{surface_};
  TDrawer drawer_;
};

// Drawing into the recording writer in batch mode, with an empty record to start from.
class RecordingCadTest : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    cad_register_writer(kRecordingTarget, RecordingWriter(false));
    Open(kRecordingTarget);
  }
  void Open(std::uint16_t target) {
    OpenBatch(target);
    ASSERT_EQ(AbortFlag, 0);
    Recorded.clear();
  }
  // The texts of the recorded text calls, in order.
  static std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const RecordedCall& c : Calls("text")) texts.push_back(c.text);
    return texts;
  }
  static bool HasText(const std::string& text) {
    const std::vector<std::string> texts = Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  }
};

// The folder of the committed DXF fixtures.
inline std::filesystem::path FixtureDir() {
  return std::filesystem::path(__FILE__).parent_path() / "data";
}
