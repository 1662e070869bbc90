#include "base/dialogs/utilcrt.h"

#include <gmock/gmock.h>

#include <cstring>
#include <tuple>

#include "base/dialogs/indialog.h"
#include "tests/base/dialogfixture.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::HelpButton;
using platform::MessageAnswer;
using platform::headless::Step;
using ::testing::ElementsAre;

// The value bits of an x87 extended number; the bytes behind them are padding.
bool SameBits(long double a, long double b) {
  return std::memcmp(&a, &b, 10) == 0;
}

class UtilCrtTest : public DialogTest {
 protected:
  void FillChoices(int n) {
    for (int i = 1; i <= n; ++i) ChoiceTexts[i] = "item " + std::to_string(i);
  }
};

TEST_F(UtilCrtTest, EveryWayOutButOkSetsAbortAndKeepsTheVariable) {
  for (const DialogClose how : {DialogClose::Cancel, DialogClose::Escape, DialogClose::CloseBox}) {
    FillChoices(3);
    script_.Expect(Step(DialogKind::Radio).Select(2).Closing(how));
    script_.Expect(Step(DialogKind::YesNo).Select(1).Closing(how));
    script_.Expect(Step(DialogKind::Text).Type("new").Closing(how));
    std::uint16_t index = 1;
    ChooseItem("pick", 3, index);
    EXPECT_EQ(std::tuple(AbortFlag, index), std::tuple(1, 1));
    char answer = 'J';
    AbortFlag = 0;
    AskYesNoDialog("sure?", answer);
    EXPECT_EQ(std::tuple(AbortFlag, answer), std::tuple(1, 'J'));
    std::string text = "old";
    AbortFlag = 0;
    InputText("name", 8, text);
    EXPECT_EQ(std::tuple(AbortFlag, text), std::tuple(1, "old"));
  }
  script_.Expect(Step(DialogKind::Text).Type("new"));
  std::string text = "old";
  InputText("name", 8, text);  // OK clears the flag left by the last question
  EXPECT_EQ(std::tuple(AbortFlag, text), std::tuple(0, "new"));
}

TEST_F(UtilCrtTest, ChooseItemPicksTheDialogByCountAndFixesTheStartIndex) {
  // clang-format off
  const std::tuple<int, std::uint16_t, DialogKind, std::int32_t> cases[] = {
      {7, 0, DialogKind::Radio, 0}, {8, 9, DialogKind::List, 0}, {8, 8, DialogKind::List, 7},
      {7, 3, DialogKind::Radio, 2}};
  // clang-format on
  for (auto [n, index, kind, preselected] : cases) {
    FillChoices(n);
    script_.Expect(Step(kind).Select(4));
    ChooseItem("pick", n, index);
    const auto& asked = script_.Requests().back();
    EXPECT_EQ(std::tuple(index, asked.selected, asked.items.size(), asked.caption),
              std::tuple(5, preselected, static_cast<std::size_t>(n), "Select"));
  }
  script_.Expect(Step(DialogKind::Radio));
  std::uint16_t index = 4;
  ChooseItem("nothing", 0, index);
  EXPECT_EQ(std::tuple(AbortFlag, index), std::tuple(1, 1)) << "an empty list is only cancelled";
}

TEST_F(UtilCrtTest, DialogsCarryTheirScalingAndTheInfoScreenIsCentred) {
  const FakeDrawWindow window;
  // A radio group grows with its items and the scale.
  EXPECT_EQ(std::tuple(RadioGroupHeight(7), RadioGroupHeight(1)), std::tuple(200, 50));
  DialogScale = 125;
  InputWindowScale = 50;
  ScreenDpi = 120;
  EXPECT_EQ(RadioGroupHeight(3), 156);
  script_.Expect(Step(DialogKind::YesNo));
  script_.Expect(Step(DialogKind::Text));
  script_.Expect(Step(DialogKind::InfoScreen));
  char answer = 'J';
  AskYesNoDialog("sure?", answer);
  std::string text;
  InputText("name", 8, text);
  ShowInfoScreen();
  ASSERT_EQ(script_.Requests().size(), 3u);
  const auto& yesNo = script_.Requests()[0].placement;
  const auto& textBox = script_.Requests()[1].placement;
  // Yes/no: size by density, font by the dialog scale, dialog border, placed by the toolkit.
  EXPECT_EQ(std::tuple(yesNo.OuterSize(), yesNo.FontScale(), yesNo.Border(), yesNo.HasPosition()),
            std::tuple(platform::Size{386, 291}, 125, platform::FormBorder::Dialog, false));
  // Text: size by the input scale, parent font, sizeable.
  EXPECT_EQ(std::tuple(textBox.OuterSize(), textBox.ParentFont(), textBox.Border()),
            std::tuple(platform::Size{164, 92}, true, platform::FormBorder::Sizeable));
  // Information screen: 272 x 204, centred on the drawing window and 20 pixels lower.
  EXPECT_EQ(script_.Requests()[2].placement.Position(), (platform::Point{364, 268}));
}

TEST_F(UtilCrtTest, HelpPressesShowHelpWhileTheDialogStaysOpen) {
  Write("brelcor.hlp", "1210\r\nChoose a message.\r\n9995\r\nend\r\nx\r\n");
  FillChoices(3);
  SetHelpNumber(1210);
  script_.Expect(Step(DialogKind::Radio).Help(HelpButton::Text).Help(HelpButton::Image).Select(2));
  std::uint16_t index = 1;
  AbortFlag = 1;
  ChooseItem("pick", 3, index);
  EXPECT_EQ(std::tuple(AbortFlag, index), std::tuple(0, 3));
  EXPECT_THAT(script_.Transcript(),
              ElementsAre("Radio|pick", "HELP TEXT No.1210|Choose a message.     "));
}

TEST_F(UtilCrtTest, YesNoQuestionsAnswerByTheChosenButton) {
  script_.Expect(Step(DialogKind::YesNo).Select(1));
  script_.Expect(Step(DialogKind::YesNo));
  char answer = 'J';
  AskYesNoDialog("sure?", answer);
  EXPECT_EQ(std::tuple(AbortFlag, answer), std::tuple(0, 'N'));
  bool flag = false;
  AskYesNoFlag("again?", flag);
  EXPECT_EQ(std::tuple(script_.Requests().back().selected, flag), std::tuple(1, false));  // No
  const std::tuple<MessageAnswer, bool, int> boxes[] = {{MessageAnswer::Yes, true, 0},
                                                        {MessageAnswer::No, false, 0},
                                                        {MessageAnswer::Cancel, false, 1}};
  for (const auto& [given, result, abort] : boxes) {
    script_.Expect(Step(DialogKind::Box).Answer(given));
    AbortFlag = 0;
    const bool yes = AskYesNo("Delete ?");
    EXPECT_EQ(std::tuple(yes, AbortFlag), std::tuple(result, abort));
  }
}

TEST_F(UtilCrtTest, InputExtendedKeepsAnUnchangedValueExactlyAndReadsAComma) {
  long double x = 1.0L / 3.0L;
  const long double third = x;
  script_.Expect(Step(DialogKind::Text));
  InputExtended("a", x, 0, 1);
  EXPECT_TRUE(SameBits(x, third));
  EXPECT_EQ(script_.Requests().back().maxLength, 30u);
  script_.Expect(Step(DialogKind::Text).Type("1,5"));
  InputExtended("a", x, 0, 10);
  EXPECT_EQ(x, 1.5L);
  double d = 2;
  script_.Expect(Step(DialogKind::Text).Type("2.25"));
  InputDouble("d", d, 0, 10);
  EXPECT_EQ(d, 2.25);
}

TEST_F(UtilCrtTest, InputExtendedRefusesUntilValidOrTheScriptEnds) {
  long double x = 5;
  script_.Expect(Step(DialogKind::Text).Type("abc"));
  script_.Expect(Step(DialogKind::Text).Type("0"));
  script_.Expect(Step(DialogKind::Text).Type("1e99999"));
  InputExtended("a", x, 1, 10);
  EXPECT_EQ(std::tuple(AbortFlag, x), std::tuple(1, 5.0L));
  EXPECT_THAT(script_.Transcript(),
              ElementsAre("Text|a", "Error  : |Invalid Input \"abc\" !", "Text|a",
                          "Error  : |Valid Data are: 1 .. 10 !", "Text|a",
                          "Error  : |Invalid Input \"1e99999\" !", "Text|a"));
  EXPECT_EQ(script_.Requests()[2].text, "0");  // asked again with the value as read
  EXPECT_EQ(script_.Beeps(), 3);
  expectScriptFailure_ = true;  // the fourth question found no step and was cancelled
}

TEST_F(UtilCrtTest, InputIntegerTakesBoundsInEitherOrder) {
  std::int32_t n = 3;
  script_.Expect(Step(DialogKind::Text).Type("11"));
  script_.Expect(Step(DialogKind::Text).Type("10"));
  InputInteger("n", n, 10, 1);
  EXPECT_EQ(n, 10);
  EXPECT_EQ(std::tuple(script_.Requests().front().text, script_.Requests().front().maxLength),
            std::tuple("3", 12u));
  EXPECT_EQ(script_.Transcript()[1], "Error  : |Valid Data are: 1 .. 10 !");
  std::uint16_t w = 7;
  script_.Expect(Step(DialogKind::Text).Closing(DialogClose::Cancel));
  InputWord("w", w, 1, 10);
  EXPECT_EQ(w, 7);
}

TEST_F(UtilCrtTest, InputLengthInInchesKeepsTheBitsUnlessChanged) {
  UnitSystem = 1;
  for (const long double mm : {25.4L, 10.0L}) {
    long double x = mm;
    script_.Expect(Step(DialogKind::Text));
    script_.Expect(Step(DialogKind::Text).Type("9").Closing(DialogClose::Cancel));
    InputLength("l", x, 0, 1000);
    InputLength("l", x, 0, 1000);
    EXPECT_TRUE(SameBits(x, mm));
  }
  EXPECT_EQ(std::tuple(script_.Requests().front().prompt, script_.Requests().front().text),
            std::tuple("l [inch]", "1"));
  long double x = 25.4L;
  script_.Expect(Step(DialogKind::Text).Type("2"));
  InputLength("l", x, 0, 1000);
  EXPECT_EQ(x, 50.8L);
  UnitSystem = 0;
  script_.Expect(Step(DialogKind::Text));
  InputLength("l", x, 0, 1000);
  EXPECT_EQ(script_.Requests().back().prompt, "l [mm]");
}

TEST_F(UtilCrtTest, TextDialogKeepsALongerPresetWhole) {
  for (auto [preset, kept] : {std::pair{"0123456789", "abcdefghij"}, {"", "abcd"}}) {
    script_.Expect(Step(DialogKind::Text).Type("abcdefghijk"));
    std::string text = preset;
    InputText("t", 4, text);
    EXPECT_EQ(text, kept) << preset;
  }
}

TEST_F(UtilCrtTest, BoxesTakeTheirCaptionAndErrorsNeedErrorBoxOn) {
  ShowMessageBox("a", 12);
  ShowMessageBox("b", 3);
  ShowInfo("c");
  ShowNote("d");
  ShowMessageTitled("Title", "e");
  ShowError("shown");
  ErrorBoxOn = 0;
  ShowError("silent");
  ShowErrorBox("always");
  EXPECT_THAT(script_.Transcript(), ElementsAre("Error  : |a", "Help|b", "Message:|c", "Message:|d",
                                                "Title|e", "Error  : |shown", "Error  : |always"));
}

TEST_F(UtilCrtTest, WindowTitleNamesTheFileAndSetsTheApplicationTitle) {
  LongTitle = "KV6 Shaft-Hub";
  ProgVersion = "4.1";
  FileExt = "kv6";
  std::string title;
  HourglassOn();
  for (const auto& [file, expected] : {std::pair{"", "KV6 Shaft-Hub   V 4.1"},
                                       {"shaft", "KV6 Shaft-Hub  -  shaft.kv6"},
                                       {"shaft.old", "KV6 Shaft-Hub  -  shaft.old"}}) {
    CurrentFile = file;
    SetWindowTitle(title);
    EXPECT_EQ(title, expected);
    EXPECT_FALSE(script_.Busy());
  }
  EXPECT_EQ(platform::ApplicationTitle(), title);
  EXPECT_EQ(script_.CursorChanges(), 2);
}

// Without a display nobody answers: each question goes to standard error and is cancelled.
TEST(CommandLineQuestions, ReturnAtOnceWithAbortSet) {
  const platform::Substitute<platform::DialogBackend, platform::DialogBackend> commandLine(
      platform::MakeCommandLineDialogs());
  InitWbrelvar();
  ChoiceTexts[1] = "shaft";
  ChoiceTexts[2] = "hub";
  testing::internal::CaptureStderr();
  std::uint16_t index = 1;
  ChooseItem("Which part ?", 2, index);
  AbortFlag = 0;
  const bool yes = AskYesNo("Delete ?");
  EXPECT_EQ(std::tuple(AbortFlag, yes), std::tuple(1, false));
  AbortFlag = 0;
  std::string text = "x";
  InputText("Name ?", 8, text);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Which part ?\n  shaft\n  hub\n" + LongTitle + " Delete ?\nName ?\n");
  EXPECT_EQ(std::tuple(AbortFlag, text), std::tuple(1, "x"));
}

}  // namespace
