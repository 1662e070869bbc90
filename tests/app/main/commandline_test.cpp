// The command-line grammar: which mode each parameter gives, with the CAD switch's device and
// drawing taken from fixed character positions.
#include "app/main/commandline.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

std::tuple<StartMode, std::uint16_t, std::uint16_t> Parsed(std::vector<std::string> params) {
  const CommandLine line = ParseCommandLine(params);
  return {line.mode, line.device, line.drawing};
}

TEST(ParseCommandLine, ModesOfTheSwitches) {
  EXPECT_EQ(ParseCommandLine({}).mode, StartMode::Plain);
  EXPECT_EQ(ParseCommandLine({"?"}).mode, StartMode::Usage);
  EXPECT_EQ(ParseCommandLine({"/?", "x.kv6", "/I"}).mode, StartMode::Usage);
  EXPECT_EQ(ParseCommandLine({"x.kv6"}).mode, StartMode::File);
  for (const char* report : {"/I", "/i", "-I", "-i"}) {
    EXPECT_EQ(ParseCommandLine({"x.kv6", report}).mode, StartMode::Report) << report;
  }
  for (const char* window : {"/E", "/e", "/G"}) {
    EXPECT_EQ(ParseCommandLine({"x.kv6", window}).mode, StartMode::Window) << window;
  }
  // "/g" and a second "/?" are no switches: the file is loaded.
  EXPECT_EQ(ParseCommandLine({"x.kv6", "/g"}).mode, StartMode::File);
  EXPECT_EQ(ParseCommandLine({"x.kv6", "/?"}).mode, StartMode::File);
  EXPECT_EQ(ParseCommandLine({"x.kv6", "/I"}).file, "x.kv6");
}

TEST(ParseCommandLine, CadSwitchTakesFixedPositions) {
  EXPECT_EQ(Parsed({"x.kv6", "/cad1:01"}), std::tuple(StartMode::Cad, 1, 1));
  EXPECT_EQ(Parsed({"x.kv6", "-CAD5:12"}), std::tuple(StartMode::Cad, 5, 12));
  // The device is one character; the sixth is skipped unchecked.
  EXPECT_EQ(Parsed({"x.kv6", "/CAD12:3"}), std::tuple(StartMode::Cad, 1, 0));
  EXPECT_EQ(Parsed({"x.kv6", "/CADx:3"}), std::tuple(StartMode::Cad, 0, 3));
  EXPECT_EQ(Parsed({"x.kv6", "/CAD"}), std::tuple(StartMode::Cad, 0, 0));
}

TEST(ParseCommandLine, NoGuiAnywhere) {
  EXPECT_TRUE(ParseCommandLine({"x.kv6", "/I", "/nogui"}).noGui);
  EXPECT_TRUE(ParseCommandLine({"/NOGUI"}).noGui);
  EXPECT_FALSE(ParseCommandLine({"x.kv6", "/I"}).noGui);
}

TEST(ParseCommandLine, OnlyTheOutputsAndTheUsageRunWithoutAWindow) {
  EXPECT_TRUE(RunsWithoutWindow(StartMode::Usage));
  EXPECT_TRUE(RunsWithoutWindow(StartMode::Report));
  EXPECT_TRUE(RunsWithoutWindow(StartMode::Cad));
  EXPECT_FALSE(RunsWithoutWindow(StartMode::Window));
  EXPECT_FALSE(RunsWithoutWindow(StartMode::File));
  EXPECT_FALSE(RunsWithoutWindow(StartMode::Plain));
}

}  // namespace
