#include "platform/ui/forms.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/headless/dialogscript.h"

namespace platform {
namespace {

// A small input dialog in the style of the program's forms: OK records that it was pressed,
// and whatever way the form closes, the outcome is "cancelled" unless OK was pressed.
class DiameterForm : public Form {
 public:
  DiameterForm() : Form("TForm_diameter", "Dimensions") {
    Add<Edit>("Edit_d1").SetMaxLength(6);
    GroupBox& group = Add<GroupBox>("GroupBox_options");
    group.Add<CheckBox>("CheckBox_fine").SetCaption("fine");
    Button& ok = Add<Button>("Button_ok");
    ok.SetDefault(true);
    ok.onClick = [this] {
      okPressed = true;
      SetModalResult(ModalResult::Ok);
    };
    Button& cancel = Add<Button>("Button_cancel");
    cancel.SetCancel(true);
    cancel.SetModalResult(ModalResult::Cancel);
    onClose = [this] { cancelled = !okPressed; };
  }
  bool okPressed = false;
  bool cancelled = false;
};

// Forms run through the headless backend, which takes each run's actions from the dialog script.
class FormTest : public ::testing::Test {
 protected:
  void Expect(std::function<void(Form&)> act) {
    script_->Expect(headless::Step(DialogKind::Form).Act(std::move(act)));
  }

  headless::DialogScript script_;
};

TEST_F(FormTest, ScriptTypesAndClicksOk) {
  DiameterForm form;
  form.Get<Edit>("Edit_d1").SetText("20");
  std::string seenOnShow;
  form.onShow = [&] { seenOnShow = form.Get<Edit>("Edit_d1").Text(); };
  Expect([](Form& f) {
    f.Get<Edit>("Edit_d1").TypeText("25,5");
    f.Get<Button>("Button_ok").Click();
  });
  EXPECT_EQ(form.ShowModal(), ModalResult::Ok);
  EXPECT_EQ(
      std::tuple(seenOnShow, form.Get<Edit>("Edit_d1").Text(), form.cancelled, form.Showing(),
                 script_->UsedUp(), script_->Transcript()),
      std::tuple("20", "25,5", false, false, true, std::vector<std::string>{"Form|Dimensions"}));
}

// Enter clicks the default button; every other way out cancels.
TEST_F(FormTest, EnterConfirmsEveryOtherWayOutCancels) {
  const std::vector<std::pair<const char*, std::function<void(Form&)>>> ways = {
      {"enter", [](Form& f) { f.PressEnter(); }},
      {"no action", nullptr},
      {"cancel button", [](Form& f) { f.Get<Button>("Button_cancel").Click(); }},
      {"escape", [](Form& f) { f.PressEscape(); }},
      {"close box", [](Form& f) { f.Close(); }},
      {"script leaves it open", [](Form& f) { f.Get<Edit>("Edit_d1").TypeText("1"); }},
  };
  for (const auto& [way, script] : ways) {
    SCOPED_TRACE(way);
    DiameterForm form;
    Expect(script);
    const bool enter = std::string(way) == "enter";
    EXPECT_EQ(form.ShowModal(), enter ? ModalResult::Ok : ModalResult::Cancel);
    EXPECT_EQ(form.cancelled, !enter);
  }
}

TEST_F(FormTest, CloseQueryCanKeepTheFormOpen) {
  DiameterForm form;
  int asked = 0;
  form.onCloseQuery = [&] { return ++asked > 1; };
  form.Get<Button>("Button_ok").Click();
  EXPECT_EQ(form.GetModalResult(), ModalResult::None);
  form.Get<Button>("Button_ok").Click();
  EXPECT_EQ(form.GetModalResult(), ModalResult::Ok);
}

TEST_F(FormTest, TypingStopsAtTheMaximumLengthButTheProgramDoesNot) {
  DiameterForm form;
  Edit& edit = form.Get<Edit>("Edit_d1");
  int changes = 0;
  edit.onChange = [&] { ++changes; };
  edit.TypeText("123456789");
  EXPECT_EQ(edit.Text(), "123456");
  edit.TypeText("123456");  // no change, no event
  EXPECT_EQ(changes, 1);
  edit.SetText("123456789");
  EXPECT_EQ(edit.Text(), "123456789");
  EXPECT_EQ(changes, 1);
  edit.SetReadOnly(true);
  edit.TypeText("9");
  EXPECT_EQ(edit.Text(), "123456789");
}

TEST_F(FormTest, UnusableControlsIgnoreTheUser) {
  DiameterForm form;
  form.Get<Button>("Button_ok").SetEnabled(false);
  form.Get<Button>("Button_ok").Click();
  EXPECT_FALSE(form.okPressed);

  auto& fine = form.Get<CheckBox>("CheckBox_fine");
  for (bool visible : {false, true}) {
    form.Get<GroupBox>("GroupBox_options").SetVisible(visible);
    fine.Click();
    EXPECT_EQ(fine.Checked(), visible);
  }
}

TEST_F(FormTest, FindsControlsByNameAndKindInsideContainers) {
  DiameterForm form;
  EXPECT_NE(form.Find<CheckBox>("CheckBox_fine"), nullptr);
  EXPECT_EQ(form.Find<Edit>("CheckBox_fine"), nullptr);
  EXPECT_EQ(form.FindControl("Edit_none"), nullptr);
  EXPECT_DEATH(form.Get<Edit>("Button_ok"), "Button_ok");
}

// A window opened while a form runs is placed over that form, the innermost of nested ones.
TEST_F(FormTest, TheActiveFormIsTheInnermostRunningOne) {
  Form outer("TForm_outer");
  Form inner("TForm_inner");
  std::vector<const FormHandle*> seen;
  inner.onShow = [&] { seen.push_back(ActiveFormHandle()); };
  Expect([&](Form&) {
    seen.push_back(ActiveFormHandle());
    inner.ShowModal();
    seen.push_back(ActiveFormHandle());
  });
  Expect([](Form&) {});
  outer.ShowModal();
  EXPECT_EQ(seen, (std::vector<const FormHandle*>{&outer.Placement(), &inner.Placement(),
                                                  &outer.Placement()}));
  EXPECT_EQ(ActiveFormHandle(), nullptr);
}

}  // namespace
}  // namespace platform
