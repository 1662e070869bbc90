#include "app/main/startunits.h"

#include <gtest/gtest.h>

#include <tuple>

#include "base/report/textreport.h"
#include "base/settings/wbrelvar.h"
#include "tables/access/tzdataset.h"
#include "tables/core/dbf4hooks.h"
#include "tables/core/dbf4use.h"
#include "tables/core/tzdate.h"
#include "tables/modules/memo/memoopen.h"
#include "tables/modules/vfile/vfile.h"
#include "tests/support/scopedvariable.h"
#include "tests/support/tempfolder.h"

namespace {

// The start leaves a report that nobody titled with the program's identity, and the folders
// the configuration leaves unset in the user's own places, not in the current folder.
TEST(StartUnits, IdentityReachesTheReportAndTheFoldersTheUsersPlaces) {
  const TempFolder home;
  const ScopedVariable data("XDG_DATA_HOME", home.Path("data"));
  const ScopedVariable runtime("XDG_RUNTIME_DIR", home.Dir());
  kopfRec = {};
  StartUnits(home.Path("bin/wkv6"));
  EXPECT_FALSE(LongTitle.empty());
  EXPECT_EQ(
      std::tuple(kopfRec.Title, DbfDir, TempDir),
      std::tuple(LongTitle + " V" + ProgVersion, home.Path("data/brelcor/kv6/"), home.Path("kv6")));
  dadav::EngineExit();
}

// The program's start brings the virtual-file module, so virtual tables can be opened.
TEST(StartUnits, VirtualFilesCanBeOpened) {
  const TempFolder home;
  const ScopedVariable data("XDG_DATA_HOME", home.Path("data"));
  const ScopedVariable runtime("XDG_RUNTIME_DIR", home.Dir());
  StartUnits(home.Path("bin/wkv6"));
  EXPECT_EQ(dadav::VFileHook, &dadav::ServeVFileRequest);
  dadav::EngineExit();
}

// The program's start brings the memo module, so tables with memo fields open their memo files.
TEST(StartUnits, MemoFilesAreOpened) {
  const TempFolder home;
  const ScopedVariable data("XDG_DATA_HOME", home.Path("data"));
  const ScopedVariable runtime("XDG_RUNTIME_DIR", home.Dir());
  StartUnits(home.Path("bin/wkv6"));
  EXPECT_EQ(dadav::MemoHooks.openMemofile, &dadav::OpenMemofile);
  EXPECT_NE(dadav::MemoHooks.addMemo, nullptr);
  dadav::EngineExit();
}

platform::RegionalSettings German() {
  return {'.', ',', "dd.MM.yyyy"};
}

// The engine's dates follow the user's regional settings from the program's start.
TEST(StartUnits, DatesFollowTheRegionalSettings) {
  const TempFolder home;
  const ScopedVariable data("XDG_DATA_HOME", home.Path("data"));
  const ScopedVariable runtime("XDG_RUNTIME_DIR", home.Dir());
  dadav::SetRegionalSettingsQuery(&German);
  StartUnits(home.Path("bin/wkv6"));
  dadav::SetRegionalSettingsQuery(nullptr);
  EXPECT_EQ(std::tuple(dadav::DateFormat, dadav::CenturyOn, dadav::DecimalChar),
            std::tuple(5, true, ','));
  dadav::EngineExit();
  dadav::CenturyOn = false;
  dadav::SetDateFormat(0);
  dadav::DecimalChar = '.';
}

}  // namespace
