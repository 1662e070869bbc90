#pragma once
// The program's command line: a calculation file, optionally followed by one switch. The
// grammar alone, without effects, so that the program body can choose its backend from it
// before anything starts.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class StartMode {
  Plain,   // no parameter: the window with the default input
  Usage,   // "?" or "/?" first: the usage text
  Window,  // "/E" or "/G": the window, the file not loaded
  Report,  // "/I": the results report through device 9
  Cad,     // "/CADi:j": drawing j through CAD device i
  File,    // anything else: the window with the file loaded
};

struct CommandLine {
  StartMode mode = StartMode::Plain;
  std::string file;           // parameter 1 as typed
  std::string hostFile;       // the same as the system gave it (UTF-8), set by the program body
  std::uint16_t device = 0;   // "/CADi:j": i, 0 when not a digit
  std::uint16_t drawing = 0;  // "/CADi:j": j, 0 when not a number
  bool noGui = false;         // "/NOGUI" anywhere
};

// params: the words after the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& params);
// Whether the mode runs without a window (and so without a display).
bool RunsWithoutWindow(StartMode mode);
// Whether "/CADi:j" takes device i; the others are refused with the list of those it takes.
bool CadDeviceAccepted(std::uint16_t device);
// The devices "/CADi:j" takes, as "1" + between + "DXF, 2" + between + "IGES, ...": the usage
// text and the refusal of an unknown device name them from this one list.
std::string CadDeviceList(std::string_view between);
// The usage text's lines as "?" shows them, empty lines included.
std::vector<std::string> UsageLines();
