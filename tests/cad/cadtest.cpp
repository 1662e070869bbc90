#include "cadtest.h"

#include <fstream>
#include <iterator>

#include "base/draw/hgvar.h"
#include "base/files/runfolder.h"
#include "base/settings/wprinvar.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadstream.h"

std::vector<RecordedCall> Recorded;

namespace {

using LD = long double;

bool second_pass_asked = false;

void record(const char* op, std::vector<LD> values, std::string text = {}) {
  Recorded.push_back({op, std::move(values), std::move(text)});
}

}  // namespace

CadWriter RecordingWriter(bool block_files) {
  CadWriter w;
  w.extension = "rec";
  w.block_files = block_files;
  w.line = [](LD x1, LD y1, LD x2, LD y2) {
    record("line", {x1, y1, x2, y2});
    cad_list_put_line("line");
  };
  w.circle = [](LD x, LD y, LD r) { record("circle", {x, y, r}); };
  w.arc = [](LD x, LD y, LD a1, LD a2, LD r, LD sweep) { record("arc", {x, y, a1, a2, r, sweep}); };
  // A DXF file writes the text style and the layer into every text and insert, so they are
  // recorded with them.
  w.text = [](const std::string& s, LD x, LD y) {
    record("text",
           {x, y, TextHeight, TextWidthFactor, TextAngle, static_cast<LD>(CurrentLayerNumber)}, s);
  };
  w.layer = [](std::int32_t n) { record("layer", {static_cast<LD>(n)}); };
  w.insert = [](const std::string& name, LD x, LD y, LD angle, LD sx, LD sy) {
    record("insert", {x, y, angle, sx, sy, static_cast<LD>(CurrentLayerNumber)}, name);
  };
  w.vertex = [](LD x, LD y, LD sweep) { record("vertex", {x, y, sweep}); };
  w.header = [](LD xmin, LD ymin, LD xmax, LD ymax, LD height) {
    record("header", {xmin, ymin, xmax, ymax, height});
  };
  w.block_begin = [](const std::string& name) { record("block_begin", {}, name); };
  w.entities_begin = [] { record("entities_begin", {}); };
  w.block_end = [] { record("block_end", {}); };
  w.solid = [](LD x1, LD y1, LD x2, LD y2, LD x3, LD y3, LD x4, LD y4) {
    record("solid", {x1, y1, x2, y2, x3, y3, x4, y4});
  };
  w.text_style = [](std::int32_t style, LD angle, LD height, LD width) {
    record("text_style", {static_cast<LD>(style), angle, height, width});
  };
  w.circle_cw = [](LD x, LD y, LD r) { record("circle_cw", {x, y, r}); };
  w.polyline_begin = [](std::uint8_t closed) {
    record("polyline_begin", {static_cast<LD>(closed)});
  };
  w.polyline_end = [] { record("polyline_end", {}); };
  // Asks for a second entity pass of every output, so tests can compare the two.
  w.open = [] { second_pass_asked = false; };
  w.output_complete = [] {
    const bool second = second_pass_asked;
    second_pass_asked = true;
    record("output_complete", {});
    return second;
  };
  w.close = cad_list_file_close;
  return w;
}

std::vector<RecordedCall> Calls(const std::string& op) {
  std::vector<RecordedCall> calls;
  for (const RecordedCall& c : Recorded) {
    if (c.op == op) calls.push_back(c);
  }
  return calls;
}

void ExpectValues(const RecordedCall& call, const std::vector<LD>& expected) {
  ASSERT_GE(call.values.size(), expected.size()) << call.op;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(static_cast<double>(call.values[i]), static_cast<double>(expected[i]), 1e-9)
        << call.op << " value " << i;
  }
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void DrawBlock(const std::string& name, const std::function<void()>& body) {
  cad_blocks_begin();
  cad_block_begin(name);
  body();
  cad_block_end();
  cad_blocks_end();
}

void CadTest::SetUp() {
  InitWbrelvar();
  InitBrelvar();
  InitGraphicsSettings();
  InitPrintSetup();
  InitCadDefaults();
  HorizontalPixels = 640;
  VerticalPixels = 480;
  CommandLineParams = {};
  window_.FormCreate();
  ClearMessages();
  Recorded.clear();
  TempDir = dir_;
  CadDir = dir_;
}

void CadTest::OpenBatch(std::uint16_t target, const std::string& name) {
  CadBatch = 1;
  CurrentFile = Temp(name);
  AbortFlag = 0;
  cad_open(target);
}

int CadTest::Boxes(const std::string& text) const {
  int count = 0;
  for (const std::string& line : dialogs_->Transcript())
    count += line.find(text) != std::string::npos;
  return count;
}

namespace {

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.is_regular_file()) names.insert(entry.path().filename().string());
  return names;
}

}  // namespace

std::set<std::string> CadTest::RunFiles() const {
  return FilesIn(RunFolder());
}
std::set<std::string> CadTest::Files() const {
  return FilesIn(dir_);
}
