// The guard around user actions: a handler's exception ends at the guard and reaches the
// program's handler (or the default box) with its type and text; a failed OK keeps the form open.
// The program's focus moves are remembered by the form.
#include "platform/ui/handlerguard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/dialogscript.h"
#include "platform/ui/datagrid.h"
#include "platform/ui/dialog.h"
#include "platform/ui/forms.h"
#include "platform/ui/keys.h"

namespace platform {
namespace {

class HandlerGuard : public ::testing::Test {
 protected:
  void TearDown() override { SetUnexpectedErrorHandler(nullptr); }
  headless::DialogScript script_;
};

class DiskFull : public std::runtime_error {
 public:
  DiskFull() : std::runtime_error("disk full") {}
};

TEST_F(HandlerGuard, AThrowingHandlerReachesTheProgramsHandlerAndTheFormStaysOpen) {
  std::vector<std::string> reported;
  SetUnexpectedErrorHandler([&](const std::string& type, const std::string& text) {
    reported.push_back(type + "|" + text);
  });
  Form form("TForm_test");
  Button& ok = form.Add<Button>("Button_ok");
  ok.SetModalResult(ModalResult::Ok);
  ok.onClick = [] { throw DiskFull(); };
  Edit& edit = form.Add<Edit>("Edit_l");
  edit.onChange = [] { throw 42; };
  ok.Click();
  edit.TypeText("1");
  form.Add<RadioGroup>("RadioGroup_x").onClick = [] { throw std::out_of_range("index"); };
  form.Get<RadioGroup>("RadioGroup_x").SetItems({"a"});
  form.Get<RadioGroup>("RadioGroup_x").Choose(0);
  EXPECT_EQ(form.GetModalResult(), ModalResult::None);
  EXPECT_EQ(reported,
            (std::vector<std::string>{"platform::(anonymous namespace)::DiskFull|disk full",
                                      "int|unknown error", "std::out_of_range|index"}));
  EXPECT_EQ(edit.Text(), "1");
}

TEST_F(HandlerGuard, GridAndNavigatorHandlersAreGuardedToo) {
  std::vector<std::string> reported;
  SetUnexpectedErrorHandler([&](const std::string& type, const std::string& text) {
    reported.push_back(type + "|" + text);
  });
  Form form("TForm_test");
  DataNavigator& navigator = form.Add<DataNavigator>("Navigator");
  navigator.SetButtonVisible(NavigatorButton::Next, true);
  navigator.onClick = [](NavigatorButton) { throw std::runtime_error("locked"); };
  navigator.Click(NavigatorButton::Next);
  DataGrid& grid = form.Add<DataGrid>("Grid");
  grid.onKeyDown = [](std::uint16_t, bool) -> bool { throw std::length_error("key"); };
  grid.PressKey(keys::kDown, false);
  EXPECT_EQ(reported,
            (std::vector<std::string>{"std::runtime_error|locked", "std::length_error|key"}));
}

TEST_F(HandlerGuard, WithoutAProgramHandlerTheTextAloneGoesToAnErrorBox) {
  SetApplicationTitle("KV6");
  Form form("TForm_test");
  form.Add<Label>("Label_x").onClick = [] { throw std::runtime_error("no table"); };
  form.Get<Label>("Label_x").Click();
  EXPECT_EQ(script_->Transcript(), std::vector<std::string>{"KV6|no table"});
  EXPECT_TRUE(RunGuarded(nullptr));
}

TEST_F(HandlerGuard, TheFormRemembersTheControlTheProgramFocused) {
  Form form("TForm_test");
  Edit& first = form.Add<Edit>("Edit_a");
  Edit& second = form.Add<Edit>("Edit_b");
  EXPECT_EQ(form.FocusedControl(), nullptr);
  std::vector<std::string> shown;
  form.SetFocusView([&](const Control& control) { shown.push_back(control.Name()); });
  second.SetFocus();
  first.SetFocus();
  EXPECT_TRUE(first.HasFocus());
  EXPECT_FALSE(second.HasFocus());
  EXPECT_EQ(shown, (std::vector<std::string>{"Edit_b", "Edit_a"}));
}

}  // namespace
}  // namespace platform
