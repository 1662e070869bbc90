#include "platform/dialog.h"

#include <gtest/gtest.h>

#include "platform/headless/dialogscript.h"
#include "platform/headless/headless.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::DialogRequest;
using platform::HelpButton;
using platform::MessageAnswer;
using platform::MessageBoxRequest;
using platform::MessageButtons;
using platform::headless::Step;
using platform::headless::ScriptedDialogs;
using platform::headless::UseScriptedDialogs;

DialogRequest Request(DialogKind kind, std::string prompt) {
  DialogRequest request;
  request.kind = kind;
  request.prompt = std::move(prompt);
  request.items = {"a", "b", "c"};
  request.selected = 1;
  request.text = "preset";
  return request;
}

TEST(ScriptedDialogs, StepsAnswerInOrderAndKeepPresetsWhenLeftOpen) {
  ScriptedDialogs& script = UseScriptedDialogs();
  script.Expect(Step(DialogKind::Radio).Select(2));
  script.Expect(Step(DialogKind::Text).Closing(DialogClose::Escape));
  script.Expect(Step(DialogKind::Text));
  const auto chosen = platform::Dialogs().RunDialog(Request(DialogKind::Radio, "pick"));
  EXPECT_EQ(chosen.close, DialogClose::Ok);
  EXPECT_EQ(chosen.selected, 2);
  EXPECT_EQ(platform::Dialogs().RunDialog(Request(DialogKind::Text, "t")).close,
            DialogClose::Escape);
  const auto kept = platform::Dialogs().RunDialog(Request(DialogKind::Text, "t"));
  EXPECT_EQ(kept.text, "preset");
  EXPECT_FALSE(script.Failed());
  EXPECT_TRUE(script.UsedUp());
}

TEST(ScriptedDialogs, WrongKindOrNoStepCancelsAndFailsTheScript) {
  ScriptedDialogs& script = UseScriptedDialogs();
  script.Expect(Step(DialogKind::List));
  EXPECT_EQ(platform::Dialogs().RunDialog(Request(DialogKind::Text, "t")).close,
            DialogClose::Cancel);
  EXPECT_TRUE(script.Failed());
  ScriptedDialogs& empty = UseScriptedDialogs();
  MessageBoxRequest box{"cap", "question?", MessageButtons::YesNoCancel, {}};
  EXPECT_EQ(platform::Dialogs().ShowBox(box), MessageAnswer::Cancel);
  EXPECT_TRUE(empty.Failed());
}

TEST(ScriptedDialogs, HelpPressesCallBackBeforeTheDialogCloses) {
  ScriptedDialogs& script = UseScriptedDialogs();
  script.Expect(Step(DialogKind::List).Help(HelpButton::Text).Help(HelpButton::Image));
  std::vector<HelpButton> pressed;
  DialogRequest request = Request(DialogKind::List, "list");
  request.onHelp = [&](HelpButton button) {
    pressed.push_back(button);
    platform::Dialogs().ShowBox({"Help", "text", {}, {}});
  };
  platform::Dialogs().RunDialog(request);
  EXPECT_EQ(pressed, (std::vector<HelpButton>{HelpButton::Text, HelpButton::Image}));
  EXPECT_EQ(script.Transcript(), (std::vector<std::string>{"List|list", "Help|text", "Help|text"}));
}

TEST(ScriptedDialogs, TypedTextStopsAtTheMaximumLength) {
  ScriptedDialogs& script = UseScriptedDialogs();
  script.Expect(Step(DialogKind::Text).Type("abcdefgh"));
  DialogRequest request = Request(DialogKind::Text, "t");
  request.maxLength = 5;
  EXPECT_EQ(platform::Dialogs().RunDialog(request).text, "abcde");
}

TEST(ScriptedDialogs, FormStepActsOnTheShownForm) {
  ScriptedDialogs& script = UseScriptedDialogs();
  script.Expect(Step(DialogKind::Form).Act([](platform::Form& form) {
    form.SetModalResult(platform::ModalResult::Ok);
  }));
  platform::Form form("Form1", "caption");
  EXPECT_EQ(platform::Dialogs().RunForm(form), platform::ModalResult::Ok);
  EXPECT_TRUE(script.UsedUp());
}

TEST(CommandLineDialogs, QuestionsGoToStandardErrorAndAnswerCancel) {
  platform::InstallDialogBackend(platform::MakeCommandLineDialogs());
  testing::internal::CaptureStderr();
  const auto result = platform::Dialogs().RunDialog(Request(DialogKind::List, "Select one"));
  const auto answer =
      platform::Dialogs().ShowBox({"Title", "Overwrite?", MessageButtons::YesNoCancel, {}});
  platform::Dialogs().ShowBox({"Error  :", "disk full", {}, {}});
  platform::Dialogs().ShowBox({"Help", "two\r\nlines\nand\rmore", {}, {}});
  platform::Dialogs().ShowBox({"", "/x.plt not found !", {}, {}});
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result.close, DialogClose::Cancel);
  EXPECT_EQ(answer, MessageAnswer::Cancel);
  EXPECT_EQ(err,
            "Select one\n  a\n  b\n  c\nTitle Overwrite?\nError  : disk full\n"
            "Help two lines and more\n/x.plt not found !\n");
}

TEST(CommandLineDialogs, InfoScreenWritesItsLinesWithoutTrailingBlanks) {
  platform::InstallDialogBackend(platform::MakeCommandLineDialogs());
  DialogRequest request;
  request.kind = DialogKind::InfoScreen;
  request.items = {"first   ", "", "   ", "\xFC" "ber  "};
  testing::internal::CaptureStdout();
  EXPECT_EQ(platform::Dialogs().RunDialog(request).close, DialogClose::Ok);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\n\xC3\xBC" "ber\n");
}

}  // namespace
