#include "platform/ui/dialog.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/headless/dialogscript.h"

namespace platform {
namespace {

using headless::DialogScript;
using headless::Step;

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
  DialogScript script;
  script->Expect(Step(DialogKind::Radio).Select(2));
  script->Expect(Step(DialogKind::Text).Closing(DialogClose::Escape));
  script->Expect(Step(DialogKind::Text));
  script->Expect(Step(DialogKind::Text).Type("abcdefgh"));
  const auto chosen = Dialogs().RunDialog(Request(DialogKind::Radio, "pick"));
  EXPECT_EQ(std::tuple(chosen.close, chosen.selected), std::tuple(DialogClose::Ok, 2));
  EXPECT_EQ(Dialogs().RunDialog(Request(DialogKind::Text, "t")).close, DialogClose::Escape);
  const auto kept = Dialogs().RunDialog(Request(DialogKind::Text, "t"));
  EXPECT_EQ(kept.text, "preset");
  DialogRequest limited = Request(DialogKind::Text, "t");
  limited.maxLength = 5;
  EXPECT_EQ(Dialogs().RunDialog(limited).text, "abcde");
  EXPECT_FALSE(script->Failed());
  EXPECT_TRUE(script->UsedUp());
}

TEST(ScriptedDialogs, WrongKindOrNoStepCancelsAndFailsTheScript) {
  DialogScript script;
  script->Expect(Step(DialogKind::List));
  EXPECT_EQ(Dialogs().RunDialog(Request(DialogKind::Text, "t")).close, DialogClose::Cancel);
  EXPECT_TRUE(script->Failed());
  DialogScript empty;
  MessageBoxRequest box{"cap", "question?", MessageButtons::YesNoCancel, {}};
  EXPECT_EQ(Dialogs().ShowBox(box), MessageAnswer::Cancel);
  EXPECT_TRUE(empty->Failed());
}

TEST(ScriptedDialogs, HelpPressesCallBackBeforeTheDialogCloses) {
  DialogScript script;
  script->Expect(Step(DialogKind::List).Help(HelpButton::Text).Help(HelpButton::Image));
  std::vector<HelpButton> pressed;
  DialogRequest request = Request(DialogKind::List, "list");
  request.onHelp = [&](HelpButton button) {
    pressed.push_back(button);
    Dialogs().ShowBox({"Help", "text", {}, {}});
  };
  Dialogs().RunDialog(request);
  EXPECT_EQ(pressed, (std::vector<HelpButton>{HelpButton::Text, HelpButton::Image}));
  EXPECT_EQ(script->Transcript(),
            (std::vector<std::string>{"List|list", "Help|text", "Help|text"}));
}

// Lists and yes/no questions on standard error are covered by the program's message tests.
TEST(CommandLineDialogs, BoxesGoToStandardErrorOnOneLine) {
  const Substitute<DialogBackend, DialogBackend> commandLine(MakeCommandLineDialogs());
  testing::internal::CaptureStderr();
  Dialogs().ShowBox({"Help", "two\r\nlines\nand\rmore", {}, {}});
  Dialogs().ShowBox({"", "/x.plt not found !", {}, {}});
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Help two lines and more\n/x.plt not found !\n");
}

TEST(CommandLineDialogs, InfoScreenWritesItsLinesWithoutTrailingBlanks) {
  const Substitute<DialogBackend, DialogBackend> commandLine(MakeCommandLineDialogs());
  DialogRequest request;
  request.kind = DialogKind::InfoScreen;
  request.items = {"first   ", "", "   ", "\374ber  "};
  testing::internal::CaptureStdout();
  EXPECT_EQ(Dialogs().RunDialog(request).close, DialogClose::Ok);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "first\n\303\274ber\n");
}

}  // namespace
}  // namespace platform
