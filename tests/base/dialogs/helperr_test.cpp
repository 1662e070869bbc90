#include "base/dialogs/helperr.h"

#include <gmock/gmock.h>

#include "base/text/utilstr.h"
#include "tests/base/dialogfixture.h"

namespace {

using platform::DialogKind;
using platform::headless::Step;
using ::testing::ElementsAre;

const std::string kFile =
    "Error  : leff > l1 !\r\nThe hub is too short.\r\nMake the hub longer.\r\n"
    "Error  : e1 = 0 !\r\nNo eccentricity.\r\nEnter e1.\r\n"
    "Warning: last line\r\n";

class HelpErrTest : public DialogTest {
 protected:
  HelpErrTest() {
    Write("kv6.err", kFile);
    Messages[1] = "Error  : leff > l2 !";  // shares the first 15 characters with "l1"
    Messages[2] = "error  : e1 = 0 !";
    Messages[3] = "Warning: last line";
    MessageCount = 3;
  }

  std::pair<std::string, std::string> Lookup(std::int32_t index) {
    std::pair<std::string, std::string> help;
    ErrorOrigin(index, help.first);
    ErrorRemedy(index, help.second);
    return help;
  }
};

TEST_F(HelpErrTest, ReportLookupsNeverShowABox) {
  const std::string none = "no help description available for this error message.";
  using Help = std::pair<std::string, std::string>;
  EXPECT_EQ(Lookup(1), Help("The hub is too short.", "Make the hub longer."));
  EXPECT_EQ(Lookup(2), Help(none, ""));  // the key is case-sensitive
  EXPECT_EQ(Lookup(3), Help(none, ""));  // a match on the last line has no record
  std::filesystem::remove(Path("kv6.err"));
  EXPECT_EQ(Lookup(1), Help("", ""));
  EXPECT_TRUE(script_.Transcript().empty());
}

// Saving matches the first 15 characters and also works with PltDir as TempDir.
TEST_F(HelpErrTest, SaveChangesOnlyTheTwoLinesOfTheRecord) {
  SaveErrorHelp("Fatal  : d1 = 0 !", "o", "r");
  EXPECT_EQ(Read("kv6.err"), kFile);
  EXPECT_THAT(script_.Transcript(), ElementsAre("KV6|Fatal  : d1 = 0 ! not found."));
  SaveErrorHelp("Error  : e1 = 0 !", "Origin\r\nin two lines", "New remedy");
  EXPECT_EQ(AbortFlag, 0);
  std::string expected = kFile;
  expected.replace(expected.find("No eccentricity."), 16, "Origin in two lines");
  expected.replace(expected.find("Enter e1."), 9, "New remedy");
  EXPECT_EQ(Read("kv6.err"), expected);
  EXPECT_THAT(Files(), ElementsAre("kv6.err"));  // no second file, no temporary left

  TempDir = PltDir;
  Write("kv6.err", "Error  : e > eX !\r\no\r\nr\r\nError  : e > e lim !\r\no2\r\nr2\r\nx\r\n");
  SaveErrorHelp("Error  : e > e lim !", "O", "R");  // 14 characters would hit the first record
  EXPECT_EQ(Read("kv6.err"),
            "Error  : e > eX !\r\no\r\nr\r\nError  : e > e lim !\r\nO\r\nR\r\nx\r\n");
  EXPECT_THAT(Files(), ElementsAre("kv6.err"));
}

TEST_F(HelpErrTest, FormOpensCentredAndSavesEditedTextsAfterTheQuestion) {
  const FakeDrawWindow window;
  InputWindowScale = 50;
  DialogScale = 125;
  platform::RecordedFormHandle shown{platform::Size{}};
  script_.Expect(Step(DialogKind::Form).Act([&](platform::Form& form) {
    shown = form.Placement();
    EXPECT_TRUE(form.Get<platform::Edit>("Edit_meldung").ReadOnly());
    form.Get<platform::Memo>("Memo_abhilfe").TypeLines({"Enter e1", "above zero."});
    form.Get<platform::Button>("Button_ok").Click();
  }));
  script_.Expect(Step(DialogKind::Box).Answer(platform::MessageAnswer::Yes));
  ShowErrorHelp(1);  // "l2" finds the record of "l1"
  EXPECT_THAT(Read("kv6.err"), ::testing::HasSubstr("Enter e1 above zero."));
  EXPECT_EQ(script_.Transcript()[1], "Box|BRELCOR Engineering Software|Save Changes ?");
  // 20 pixels below the centre.
  EXPECT_EQ(std::tuple(shown.OuterSize(), shown.Position(), shown.FontScale(), shown.ParentFont()),
            std::tuple(platform::Size{240, 180}, platform::Point{380, 280}, 125, true));
}

// The form shows the record through the display conversion, which spells umlauts out in mode 1
// and best-fits box characters; saving must not write that conversion back into the file.
TEST_F(HelpErrTest, SavingKeepsTheBytesOfTheTextNotEdited) {
  Write("kv6.err",
        "Error  : e1 = 0 !\r\nMa\xE1"
        "e \xB3 zu klein.\r\nEnter e1.\r\n");
  Messages[1] = "Error  : e1 = 0 !";
  TextCharMode = 1;
  script_.Expect(Step(DialogKind::Form).Act([](platform::Form& form) {
    form.Get<platform::Memo>("Memo_abhilfe")
        .TypeLines({"Gr\xF6\xDF"
                    "er"});
    form.Get<platform::Button>("Button_ok").Click();
  }));
  script_.Expect(Step(DialogKind::Box).Answer(platform::MessageAnswer::Yes));
  ShowErrorHelp(1);
  TextCharMode = 0;
  EXPECT_THAT(Read("kv6.err"), ::testing::HasSubstr("Ma\xE1"
                                                    "e \xB3 zu klein.\r\nGr\x94\xE1"
                                                    "er\r\n"));
}

TEST_F(HelpErrTest, BrowserWalksTheMessagesAndEndsItself) {
  Messages[2] = "Error  : e1 = 0 !";
  Messages[3] = "Fatal  : none";
  // Choosing message 1 preselects message 2; after the last one the browser closes by itself.
  script_.Expect(Step(DialogKind::Radio).Select(0));
  script_.Expect(Step(DialogKind::Form));
  script_.Expect(Step(DialogKind::Radio).Select(2));
  ShowCalcMessages();
  // HelpLevel 1 preselects "Continue...".
  EXPECT_EQ(std::tuple(AbortFlag, script_.Requests()[0].selected, script_.Requests()[1].selected,
                       script_.Requests()[0].items.back(), HelpNumber),
            std::tuple(0, 3, 1, "Continue...", 1210));
  EXPECT_EQ(script_.Transcript().back(),
            "Message|no help description available for this error message.");
  HelpLevel = 2;
  script_.Expect(Step(DialogKind::Radio).Closing(platform::DialogClose::Escape));
  ShowCalcMessages();
  EXPECT_EQ(std::tuple(AbortFlag, script_.Requests().back().selected), std::tuple(1, 0));
  script_.Expect(Step(DialogKind::Radio).Select(3));
  ShowCalcMessages();
  EXPECT_EQ(AbortFlag, 0);  // "Continue..."
}

TEST_F(HelpErrTest, BrowserWithoutMessagesOrUnderNoGui) {
  MessageCount = 0;
  ShowCalcMessages();
  EXPECT_THAT(script_.Transcript(),
              ElementsAre("Message:|Calculation successful without error messages"));
  MessageCount = 3;
  CommandLineParams = {"wkv6", "x.kv6", "/NOGUI"};
  ShowCalcMessages();  // no step: a question would fail the script
  CommandLineParams.clear();
}

TEST(HelpErrCommandLine, MessagesGoToStandardErrorAsACancelledChoice) {
  const platform::Substitute<platform::DialogBackend, platform::DialogBackend> commandLine(
      platform::MakeCommandLineDialogs());
  Messages[1] = "Error  : e1 = 0 !";
  Messages[2] = "Warning: dB2 = 0 !";
  MessageCount = 2;
  testing::internal::CaptureStderr();
  AbortFlag = 0;
  ShowCalcMessages();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Calculation done. Select message for more info or continue.\n"
            "  Error  : e1 = 0 !\n  Warning: dB2 = 0 !\n  Continue...\n");
}

}  // namespace
