#include <gtest/gtest.h>

#include <tuple>

#include "base/brelvar.h"
#include "base/wbrelvar.h"

namespace {

TEST(Globals, StartUpRoutinesRestoreTheDefaults) {
  FloatDigits = 7;
  ChoiceTexts[1] = "picked";
  CurrentFile.clear();
  UnitSystem = 4;
  RecentFiles[2] = "x.kv6";
  InitWbrelvar();
  InitBrelvar();
  EXPECT_EQ(
      std::tuple(FloatDigits, ChoiceTexts[1], CurrentFile.empty(), UnitSystem, RecentFiles[2]),
      std::tuple(3, std::string(65, ' '), false, 0, ""));
}

}  // namespace
