// Developer program: draws an HP-GL file (".plt", on a 0..160 by 0..120 mm header window) or a
// display-list file (one record per line) into a PNG file.
//   plt2png INPUT OUTPUT.png [WIDTH HEIGHT]
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/main/startunits.h"
#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/help/hbild.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "platform/files/osfiles.h"
#include "platform/headless/recordingsurface.h"
#include "platform/qt/qtbackend.h"
#include "platform/qt/renderpng.h"
#include "platform/system/machine.h"
#include "tables/core/dbf4use.h"

// Qt keeps the font configuration's caches until the process ends (sanitizer builds only).
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\n";
}

namespace {

bool EndsWithPlt(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  return ext == ".plt";
}

bool ReadListFile(const std::string& name) {
  std::string bytes;
  if (!platform::os::ReadWholeFile(name, bytes)) return false;
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    DisplayList.push_back(line);
  }
  return true;
}

int Draw(const std::vector<std::string>& args, std::int32_t width, std::int32_t height) {
  HorizontalPixels = static_cast<std::uint16_t>(width - 1);
  VerticalPixels = static_cast<std::uint16_t>(height - 1);
  platform::RecordingDrawSurface surface({width, height});
  TFbrelgra window(surface);
  TDrawer drawer;
  const std::string& input = args[1];
  if (EndsWithPlt(input)) {
    drawer.grHeader(0, 0, 160, 120);
    PlotHpgl(input);
    if (AbortFlag != 0) return 1;
  } else if (!ReadListFile(input)) {
    std::fprintf(stderr, "plt2png: cannot read %s\n", input.c_str());
    return 1;
  }
  const bool written = platform::qt::RenderPng(
      args[2], {width, height}, [&window](platform::Canvas& canvas) { window.OnPaint(canvas); });
  if (!written) {
    std::fprintf(stderr, "plt2png: cannot write %s\n", args[2].c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) {
    std::fprintf(stderr, "usage: plt2png INPUT OUTPUT.png [WIDTH HEIGHT]\n");
    return 2;
  }
  const std::int32_t width = argc == 5 ? TextToInt(argv[3]) : 1600;
  const std::int32_t height = argc == 5 ? TextToInt(argv[4]) : 1200;
  if (width < 2 || height < 2 || width > 20000 || height > 20000) {
    std::fprintf(stderr, "plt2png: width and height must lie in 2..20000\n");
    return 2;
  }
  // A PNG needs no screen: without a display, Qt draws offscreen.
  if (!platform::qt::HasDisplay()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  platform::qt::Install(argc, argv);
  // The program's settings, its pen colours among them, come from the start routines.
  StartUnits(platform::CurrentMachine().ProgramPath());
  const int exitCode = Draw(platform::os::ProgramArguments(argc, argv), width, height);
  dadav::EngineExit();
  return exitCode;
}
