#include "app/main/commandline.h"

#include <array>

#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"

namespace {

// The CAD devices of "/CADi:j" in the order of i, from 1.
constexpr std::array<std::string_view, 7> kCadDevices = {
    "DXF", "IGES", "screen", "plot program", "text list", "STL", "STEP"};

std::uint16_t Number(std::string_view text) {
  return static_cast<std::uint16_t>(static_cast<std::uint32_t>(TextToInt(text)));
}

void ParseSwitch(const std::string& word, CommandLine& line) {
  const std::string upper = UpperText(word);
  if (upper == "/E" || word == "/G") {
    line.mode = StartMode::Window;
  } else if (upper == "/I" || upper == "-I") {
    line.mode = StartMode::Report;
  } else if (upper.rfind("/CAD", 0) == 0 || upper.rfind("-CAD", 0) == 0) {
    line.mode = StartMode::Cad;
    // Character 5 is the device; character 6 is skipped unchecked.
    line.device = Number(std::string_view(word).substr(4, 1));
    line.drawing = word.size() > 6 ? Number(std::string_view(word).substr(6)) : 0;
  } else {
    line.mode = StartMode::File;
  }
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& params) {
  CommandLine line;
  for (const std::string& word : params) {
    if (UpperText(word) == "/NOGUI") line.noGui = true;
  }
  if (params.empty()) return line;
  if (params[0] == "?" || params[0] == "/?") {
    line.mode = StartMode::Usage;
    return line;
  }
  line.file = params[0];
  line.mode = StartMode::File;
  if (params.size() > 1) ParseSwitch(params[1], line);
  return line;
}

bool RunsWithoutWindow(StartMode mode) {
  return mode == StartMode::Usage || mode == StartMode::Report || mode == StartMode::Cad;
}

bool CadDeviceAccepted(std::uint16_t device) {
  return device >= 1 && device <= kCadDevices.size();
}

std::string CadDeviceList(std::string_view between) {
  std::string list;
  for (std::size_t i = 0; i < kCadDevices.size(); ++i) {
    if (i > 0) list += ", ";
    list += IntText(static_cast<std::int32_t>(i + 1));
    list += between;
    list += kCadDevices[i];
  }
  return list;
}

std::vector<std::string> UsageLines() {
  const std::string example = "Example: w" + ShortName + " test." + FileExt;
  return {ProductCode + " Command Line Mode",
          "",
          "w" + ShortName + " Filename [/I] [/CADi:j] [/NOGUI]",
          "",
          "/I       -> TXT file",
          "",
          "/CADi:j  -> CAD File",
          "            i: " + CadDeviceList("="),
          "            j: index (1,2,3, ..)",
          "",
          "/NOGOUI  -> No GUI, exit on fatal error",
          "",
          "",
          "",
          "/?       -> Help",
          "",
          "",
          example + "          ->  GUI",
          example + " /I       ->  test.txt",
          example + " /CAD1:01 ->  test.dxf"};
}
