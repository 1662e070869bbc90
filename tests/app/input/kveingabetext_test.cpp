// The drawing-text form: untouched texts come back byte for byte in both display modes, the
// length limits, Cancel and the close box, and the captions.
#include "app/input/kveingabetext.h"

#include "calc/vocabulary.h"
#include "tests/app/input/inputtest.h"

namespace {

using platform::Form;

class TextForm : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    DrawingName[kShaft] =
        "Pr\x81"
        "fstand \xE1|";
    DrawingName[kHub] =
        "Au\xE1"
        "enteil";
    DrawingNo[kShaft] = "1";
    DrawingNo[kHub] = "2";
    DrawingName2[kShaft] = "\xC9\xCD\xBB box";
    DrawingName2[kHub] = "";
    DrawingTexts[1] = "info \x84";
    DrawingTexts[2] = "x";
  }
  std::vector<std::string> Texts() const {
    return {DrawingName[kShaft], DrawingNo[kShaft],  DrawingName2[kShaft], DrawingName[kHub],
            DrawingNo[kHub],     DrawingName2[kHub], DrawingTexts[1],      DrawingTexts[2]};
  }
};

TEST_F(TextForm, AnUntouchedOkKeepsEveryByteInBothDisplayModes) {
  const std::vector<std::string> before = Texts();
  for (std::uint16_t mode : {std::uint16_t{0}, std::uint16_t{1}}) {
    TextCharMode = mode;
    std::string shown;
    InForm([&](Form& form) {
      shown = Text(form, "Edit_zeichname2");
      Press(form, "Button_ok");
    });
    AbortFlag = 1;
    ShowTextInput();
    EXPECT_EQ(AbortFlag, 0);
    EXPECT_EQ(Texts(), before) << mode;
    EXPECT_EQ(shown, mode == 0 ? "Au\xDF"
                                 "enteil"
                               : "Aussenteil");
  }
}

TEST_F(TextForm, TypedTextsAreStoredAndTheLimitsHold) {
  InForm([](Form& form) {
    Type(form, "Edit_zeichname1", std::string(26, 'a'));
    Type(form, "Edit_zeichnr2",
         "Gr\xF6\xDF"
         "e");
    Type(form, "Edit_info2", std::string(70, 'i'));
    Press(form, "Button_ok");
  });
  ShowTextInput();
  EXPECT_EQ(DrawingName[kShaft], std::string(25, 'a'));
  EXPECT_EQ(DrawingNo[kHub],
            "Gr\x94\xE1"
            "e");
  EXPECT_EQ(DrawingTexts[2], std::string(65, 'i'));
  EXPECT_EQ(DrawingName[kHub],
            "Au\xE1"
            "enteil");
}

// The close box cancels as Cancel does, so the quick input stops.
TEST_F(TextForm, CancelAndTheCloseBoxKeepEveryTextAndSetTheAbortFlag) {
  const std::vector<std::string> before = Texts();
  InForm([](Form& form) {
    Type(form, "Edit_zeichname1", "changed");
    Press(form, "Button_cancel");
  });
  AbortFlag = 0;
  ShowTextInput();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Texts(), before);
  InForm([](Form& form) {
    Type(form, "Edit_info1", "changed");
    form.Close();
  });
  AbortFlag = 0;
  ShowTextInput();
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_EQ(Texts(), before);
  InForm([](Form& form) { form.PressEscape(); });
  AbortFlag = 0;
  ShowTextInput();
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(TextForm, CaptionsComeFromTheVocabulary) {
  TForm_kveingabetext form;
  EXPECT_EQ(form.Get<platform::GroupBox>("GroupBox_INT").Caption(), " Inner part ");
  EXPECT_EQ(form.Get<platform::GroupBox>("GroupBox_EXT").Caption(), " Outer part ");
  EXPECT_EQ(Caption(form, "Label_zeichname22"), "Drawing name 2");
  EXPECT_EQ(Caption(form, "Label_zeichnr1"), "Drawing number");
  EXPECT_EQ(Caption(form, "Label_info2"), "Text 2");
  SetVocabularyLanguage(1);
  TForm_kveingabetext german;
  EXPECT_EQ(german.Get<platform::GroupBox>("GroupBox_EXT").Caption(),
            " Au\xDF"
            "enteil ");
  SetVocabularyLanguage(2);
}

}  // namespace
