#include "base/utilcrt.h"

#include <gmock/gmock.h>
#include <unistd.h>

#include <cstring>

#include "base/indialog.h"
#include "dialogfixture.h"

namespace {

using platform::DialogClose;
using platform::DialogKind;
using platform::HelpButton;
using platform::MessageAnswer;
using platform::headless::Step;
using ::testing::ElementsAre;

// The value bits of an x87 extended number; the bytes behind them are padding.
bool SameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

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
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_EQ(index, 1);
    char answer = 'J';
    AskYesNoDialog("sure?", answer);
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_EQ(answer, 'J');
    std::string text = "old";
    InputText("name", 8, text);
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_EQ(text, "old");
  }
  script_.Expect(Step(DialogKind::Text).Type("new"));
  std::string text = "old";
  AbortFlag = 1;
  InputText("name", 8, text);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(text, "new");
}

TEST_F(UtilCrtTest, ChooseItemPicksTheDialogByCountAndFixesTheStartIndex) {
  struct Case {
    int n;
    std::uint16_t index;
    DialogKind kind;
    std::int32_t preselected;
  };
  for (const Case c : {Case{7, 0, DialogKind::Radio, 0}, Case{8, 9, DialogKind::List, 0},
                       Case{8, 8, DialogKind::List, 7}, Case{7, 3, DialogKind::Radio, 2}}) {
    FillChoices(c.n);
    script_.Expect(Step(c.kind).Select(4));
    std::uint16_t index = c.index;
    ChooseItem("pick", c.n, index);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(script_.Requests().back().selected, c.preselected);
    EXPECT_EQ(script_.Requests().back().items.size(), static_cast<std::size_t>(c.n));
    EXPECT_EQ(script_.Requests().back().caption, "Select");
  }
}

TEST_F(UtilCrtTest, AnEmptyListCanOnlyBeCancelled) {
  script_.Expect(Step(DialogKind::Radio));
  std::uint16_t index = 4;
  ChooseItem("nothing", 0, index);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(index, 1);
}

TEST_F(UtilCrtTest, RadioGroupGrowsWithItsItemsAndTheScale) {
  EXPECT_EQ(RadioGroupHeight(7), 200);
  EXPECT_EQ(RadioGroupHeight(1), 50);
  DialogScale = 125;
  ScreenDpi = 120;
  EXPECT_EQ(RadioGroupHeight(3), 156);
}

TEST_F(UtilCrtTest, DialogsCarryTheirScalingAndTheInfoScreenIsCentred) {
  const FakeDrawWindow window;
  DialogScale = 125;
  InputWindowScale = 50;
  ScreenDpi = 120;
  script_.Expect(Step(DialogKind::YesNo));
  script_.Expect(Step(DialogKind::Text));
  script_.Expect(Step(DialogKind::InfoScreen));
  char answer = 'J';
  AskYesNoDialog("sure?", answer);
  std::string text;
  InputText("name", 8, text);
  ShowInfoScreen();
  const auto& requests = script_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  // Yes/no: size by density, font by the dialog scale, dialog border, placed by the toolkit.
  EXPECT_EQ(requests[0].placement.OuterSize(), (platform::Size{386, 291}));
  EXPECT_EQ(requests[0].placement.FontScale(), 125);
  EXPECT_EQ(requests[0].placement.Border(), platform::FormBorder::Dialog);
  EXPECT_FALSE(requests[0].placement.HasPosition());
  // Text: size by the input scale, parent font, sizeable.
  EXPECT_EQ(requests[1].placement.OuterSize(), (platform::Size{164, 92}));
  EXPECT_TRUE(requests[1].placement.ParentFont());
  EXPECT_EQ(requests[1].placement.Border(), platform::FormBorder::Sizeable);
  // Information screen: 272 x 204, centred on the drawing window and 20 pixels lower.
  EXPECT_EQ(requests[2].placement.Position(), (platform::Point{364, 268}));
}

TEST_F(UtilCrtTest, HelpPressesShowHelpWhileTheDialogStaysOpen) {
  Write("brelcor.hlp", "1210\r\nChoose a message.\r\n9995\r\nend\r\nx\r\n");
  FillChoices(3);
  SetHelpNumber(1210);
  script_.Expect(Step(DialogKind::Radio).Help(HelpButton::Text).Help(HelpButton::Image).Select(2));
  std::uint16_t index = 1;
  AbortFlag = 1;
  ChooseItem("pick", 3, index);
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(index, 3);
  EXPECT_THAT(script_.Transcript(),
              ElementsAre("Radio|pick", "HELP TEXT No.1210|Choose a message.     "));
}

TEST_F(UtilCrtTest, YesNoDialogAnswersByTheChosenButton) {
  script_.Expect(Step(DialogKind::YesNo).Select(1));
  script_.Expect(Step(DialogKind::YesNo));
  char answer = 'J';
  AskYesNoDialog("sure?", answer);
  EXPECT_EQ(answer, 'N');
  EXPECT_EQ(AbortFlag, 0);
  bool flag = false;
  AskYesNoFlag("again?", flag);
  EXPECT_EQ(script_.Requests().back().selected, 1);  // preset No
  EXPECT_FALSE(flag);
}

TEST_F(UtilCrtTest, AskYesNoBoxAnswers) {
  struct Case {
    MessageAnswer given;
    bool result;
    int abort;
  };
  for (const Case c : {Case{MessageAnswer::Yes, true, 0}, Case{MessageAnswer::No, false, 0},
                       Case{MessageAnswer::Cancel, false, 1}}) {
    script_.Expect(Step(DialogKind::Box).Answer(c.given));
    AbortFlag = 0;
    EXPECT_EQ(AskYesNo("Delete ?"), c.result);
    EXPECT_EQ(AbortFlag, c.abort);
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
  EXPECT_EQ(x, 5);
  EXPECT_EQ(AbortFlag, 1);
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
  EXPECT_EQ(script_.Requests().front().text, "3");
  EXPECT_EQ(script_.Requests().front().maxLength, 12u);
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
  EXPECT_EQ(script_.Requests().front().prompt, "l [inch]");
  EXPECT_EQ(script_.Requests().front().text, "1");
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
  script_.Expect(Step(DialogKind::Text).Type("abcdefghijk"));
  script_.Expect(Step(DialogKind::Text).Type("abcdefghijk"));
  std::string text = "0123456789";
  InputText("t", 4, text);
  EXPECT_EQ(text, "abcdefghij");
  text = "";
  InputText("t", 4, text);
  EXPECT_EQ(text, "abcd");
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
  EXPECT_THAT(script_.Transcript(),
              ElementsAre("Error  : |a", "Help|b", "Message:|c", "Message:|d", "Title|e",
                          "Error  : |shown", "Error  : |always"));
}

TEST_F(UtilCrtTest, WindowTitleNamesTheFileAndSetsTheApplicationTitle) {
  LongTitle = "KV6 Shaft-Hub";
  ProgVersion = "4.1";
  FileExt = "kv6";
  CurrentFile.clear();
  std::string title;
  HourglassOn();
  SetWindowTitle(title);
  EXPECT_EQ(title, "KV6 Shaft-Hub   V 4.1");
  EXPECT_FALSE(script_.Busy());
  CurrentFile = "shaft";
  SetWindowTitle(title);
  EXPECT_EQ(title, "KV6 Shaft-Hub  -  shaft.kv6");
  CurrentFile = "shaft.old";
  SetWindowTitle(title);
  EXPECT_EQ(title, "KV6 Shaft-Hub  -  shaft.old");
  EXPECT_EQ(platform::ApplicationTitle(), title);
  EXPECT_EQ(script_.CursorChanges(), 2);
}

// Without a display nobody answers: each question goes to standard error and is cancelled at
// once, with standard input closed.
TEST(CommandLineQuestions, ReturnAtOnceWithAbortSetAndStdinClosed) {
  platform::InstallDialogBackend(platform::MakeCommandLineDialogs());
  const int savedStdin = ::dup(0);
  ::close(0);
  for (int i = 1; i <= 2; ++i) ChoiceTexts[i] = i == 1 ? "shaft" : "hub";
  testing::internal::CaptureStderr();
  std::uint16_t index = 1;
  AbortFlag = 0;
  ChooseItem("Which part ?", 2, index);
  const int chooseAbort = AbortFlag;
  AbortFlag = 0;
  const bool yes = AskYesNo("Delete ?");
  const int askAbort = AbortFlag;
  AbortFlag = 0;
  std::string text = "x";
  InputText("Name ?", 8, text);
  const std::string err = testing::internal::GetCapturedStderr();
  ::dup2(savedStdin, 0);
  ::close(savedStdin);
  EXPECT_EQ(chooseAbort, 1);
  EXPECT_FALSE(yes);
  EXPECT_EQ(askAbort, 1);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(err, "Which part ?\n  shaft\n  hub\n" + LongTitle + " Delete ?\nName ?\n");
}

}  // namespace
