// The program started as the program body starts it, on the headless kit, in a home of the
// test's own: the shipped files from the source tree, the user's folders in the test folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main/commandline.h"
#include "app/main/startunits.h"
#include "app/main/thh.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "platform/ui/dialog.h"
#include "tables/core/dbf4use.h"
#include "tests/base/testdata.h"
#include "tests/support/scopedvariable.h"
#include "tests/support/tempfolder.h"

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartUnits(SourceRoot() + "/wkv6");
    ConfigDir = home.Dir();
    platform::ClearExitRequest();
    form = std::make_unique<Thh>();
  }
  void TearDown() override {
    form.reset();
    platform::ClearExitRequest();
    dadav::EngineExit();
    AbortFlag = 0;
    Modified = 0;
    ArchiveMode = 0;
  }

  std::optional<int> Start(std::vector<std::string> params = {}) {
    return form->FormCreate(ParseCommandLine(params));
  }
  platform::MenuItem& Item(const char* name) const {
    platform::MenuItem* item = form->Window().Menus().FindItem(name);
    EXPECT_NE(item, nullptr) << name;
    return *item;
  }
  // The user's working folder, where the data folder starts.
  std::string Working(const std::string& name = "") const {
    return home.Path("data/brelcor/kv6/" + name);
  }

  TempFolder home;
  ScopedVariable dataHome{"XDG_DATA_HOME", home.Path("data")};
  ScopedVariable configHome{"XDG_CONFIG_HOME", home.Path("config")};
  ScopedVariable runtime{"XDG_RUNTIME_DIR", home.Dir()};
  std::unique_ptr<Thh> form;
};
