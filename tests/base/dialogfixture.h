// Globals at their defaults, a scripted dialog policy that must be used up without a failure, and
// a fresh folder that serves as PltDir and, in a subfolder, as TempDir. DialogSetup goes first
// among the bases of a fixture that also has a drawing window.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/dialogs/formplace.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "platform/headless/dialogscript.h"
#include "tests/support/tempfolder.h"

class DialogSetup : protected TempFolder {
 protected:
  DialogSetup() {
    InitWbrelvar();
    InitBrelvar();
    FreeMessages();
    HelpNumber = 0;
    ShortName = "KV6";
    platform::SetApplicationTitle("KV6");
    std::filesystem::create_directory(dir_ + "/temp");
    PltDir = dir_;
    TempDir = dir_ + "/temp/";
  }

  ~DialogSetup() {
    EXPECT_EQ(script_.Failed(), expectScriptFailure_) << testing::PrintToString(script_.Failures());
    EXPECT_TRUE(script_.UsedUp()) << "script steps left";
  }

  void Write(const std::string& name, const std::string& bytes) const { Put(name, bytes); }
  std::string Read(const std::string& name) const { return Bytes(name); }

  // Names in the folder and its temp subfolder, sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_)) {
      if (entry.is_regular_file()) {
        names.push_back(std::filesystem::relative(entry.path(), dir_).string());
      }
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  platform::headless::DialogScript scriptSlot_;
  platform::headless::ScriptedDialogs& script_ = *scriptSlot_;
  bool expectScriptFailure_ = false;
};

class DialogTest : public ::testing::Test, public DialogSetup {};

// A drawing window of 800 x 600 at (100, 50) for forms to be centred on, while it lives.
class FakeDrawWindow {
 public:
  FakeDrawWindow() {
    window_.SetPosition({100, 50});
    DrawWindowForm = &window_;
  }
  ~FakeDrawWindow() { DrawWindowForm = nullptr; }
  FakeDrawWindow(const FakeDrawWindow&) = delete;
  FakeDrawWindow& operator=(const FakeDrawWindow&) = delete;

 private:
  platform::RecordedFormHandle window_{platform::Size{800, 600}};
};
