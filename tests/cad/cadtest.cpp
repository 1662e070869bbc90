#include "cadtest.h"

#include <fstream>
#include <iterator>
#include <random>

#include "base/brelvar.h"
#include "base/hgvar.h"
#include "base/messages.h"
#include "base/wbrelvar.h"
#include "base/wprinvar.h"
#include "cad/cadstream.h"
#include "cad/cadvar.h"

std::vector<RecordedCall> Recorded;

namespace {

void record(const char* op, std::vector<long double> values, std::string text = {}) {
  Recorded.push_back({op, std::move(values), std::move(text)});
}

}  // namespace

CadWriter RecordingWriter(bool block_files) {
  CadWriter w;
  w.extension = "rec";
  w.block_files = block_files;
  w.line = [](long double x1, long double y1, long double x2, long double y2) {
    record("line", {x1, y1, x2, y2});
    cad_list_put_line("line");
  };
  w.circle = [](long double x, long double y, long double r) { record("circle", {x, y, r}); };
  w.circle_cw = [](long double x, long double y, long double r) { record("circle_cw", {x, y, r}); };
  w.arc = [](long double x, long double y, long double a1, long double a2, long double r,
             long double sweep) {
    record("arc", {x, y, a1, a2, r, sweep});
  };
  w.text = [](const std::string& s, long double x, long double y) { record("text", {x, y}, s); };
  w.solid = [](long double x1, long double y1, long double x2, long double y2, long double x3,
               long double y3, long double x4, long double y4) {
    record("solid", {x1, y1, x2, y2, x3, y3, x4, y4});
  };
  w.layer = [](std::int32_t n) { record("layer", {static_cast<long double>(n)}); };
  w.insert = [](const std::string& name, long double x, long double y, long double angle,
                long double sx, long double sy) {
    record("insert", {x, y, angle, sx, sy}, name);
  };
  w.polyline_begin = [](std::uint8_t closed) {
    record("pbegin", {static_cast<long double>(closed)});
  };
  w.vertex = [](long double x, long double y, long double sweep) {
    record("vertex", {x, y, sweep});
  };
  w.polyline_end = [] { record("pend", {}); };
  w.close = cad_list_file_close;
  return w;
}

std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string CrLf(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void CadTest::SetUp() {
  InitWbrelvar();
  InitBrelvar();
  InitGraphicsSettings();
  InitPrintSetup();
  InitCadDefaults();
  HorizontalPixels = 640;
  VerticalPixels = 480;
  window_.FormCreate();
  ClearMessages();
  Recorded.clear();
  std::random_device random;
  dir_ = std::filesystem::temp_directory_path() /
         ("kv6cad_" + std::to_string(random()) + "_" + std::to_string(random()));
  std::filesystem::create_directories(dir_);
  TempDir = dir_.string();
  CadDir = dir_.string();
  dialogs_ = &platform::headless::UseScriptedDialogs();
}

void CadTest::TearDown() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}
