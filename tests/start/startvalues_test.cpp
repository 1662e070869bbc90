// A test program of its own: here no test has run a start routine before, so it shows what the
// units hold when the program begins.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "platform/system/services.h"

namespace {

// Before the start routines nothing has been read from the machine: no display existed yet.
// The routines then read the screen the program installed.
TEST(StartValues, ComeFromTheStartRoutinesAfterTheBackendIsInstalled) {
  EXPECT_EQ(std::tuple(ScreenDpi, StartDir, ConfigDir), std::tuple(0, "", ""));
  const platform::Substitute<platform::ScreenSource, platform::FixedScreen> screen(
      std::make_unique<platform::FixedScreen>(platform::ScreenFacts{{1920, 1080}, 144}));
  InitWbrelvar();
  InitBrelvar();
  const std::string current = std::filesystem::current_path().string();
  EXPECT_EQ(std::tuple(ScreenDpi, StartDir, ConfigDir), std::tuple(144, current, current));
}

}  // namespace
