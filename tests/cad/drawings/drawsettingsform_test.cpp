// The drawing settings form: the diameter proposed per part and kept exactly, the unit toggle,
// the hidden diameter part, cancelling, and the run without showing that batch drawings use.
#include "cad/drawings/drawsettingsform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "calc/calcstart.h"
#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"
#include "tests/cad/cadtest.h"

namespace {

using platform::Edit;
using platform::Form;
using platform::ModalResult;

class DrawSettingsForm : public CadTest {
 protected:
  void SetUp() override {
    CadTest::SetUp();
    StartCalculationUnits();
    LongTitle = "KV6";
    UnitSystem = 0;
    AbortFlag = 0;
    CalcData.d1 = 40;
    CalcData.d1min = 40.002L;
    CalcData.d1max = 40.018L;
    CalcData.d4min = 40;
    CalcData.d4max = 40.025L;
    CalcData.TolShaft = "k6";
    CalcData.TolHub = "H7";
    CalcData.Resolution = 360;
    CalcData.CadElement = 2;
  }

  // Shows the form for part with what the user does in it; the texts seen on showing are kept.
  ModalResult Show(std::int32_t part, std::int32_t hide, std::function<void(Form&)> act) {
    TForm_kv6config form;
    form.SettingsPart = part;
    form.HideDiameter = hide;
    dialogs_->Expect(platform::headless::Step(platform::DialogKind::Form).Act([&](Form& shown) {
      caption = shown.Caption();
      diameter = Text(shown, "Edit_d1graf");
      act(shown);
    }));
    return form.ShowModal();
  }

  static const std::string& Text(const Form& form, const std::string& edit) {
    return form.Get<Edit>(edit).Text();
  }
  static void Type(Form& form, const std::string& edit, const std::string& text) {
    form.Get<Edit>(edit).TypeText(text);
  }
  static void Press(Form& form, const std::string& button) {
    form.Get<platform::Button>(button).Click();
  }

  std::string caption;
  std::string diameter;
};

TEST_F(DrawSettingsForm, CancelAndTheCloseBoxStoreNothingAndSetTheAbortFlag) {
  const kv6record before = CalcData;
  EXPECT_EQ(Show(0, 0,
                 [](Form& form) {
                   Type(form, "Edit_res", "100");
                   Type(form, "Edit_d1graf", "50");
                   Press(form, "Button_cancel");
                 }),
            ModalResult::Cancel);
  EXPECT_EQ(CalcData, before);
  EXPECT_EQ(AbortFlag, 1);

  AbortFlag = 0;
  EXPECT_EQ(Show(0, 0, [](Form& form) { Type(form, "Edit_res", "100"); }), ModalResult::Cancel);
  EXPECT_EQ(CalcData, before);
  EXPECT_EQ(AbortFlag, 1);
}

// Without showing, load and store give what an immediate OK gives: the exact proposal of the
// part, never the value of its rounded text.
TEST_F(DrawSettingsForm, TheDiameterProposedForEachPartIsStoredExactly) {
  struct Case {
    std::int32_t part;
    std::string caption, shown;
    long double stored;
  };
  const Case cases[] = {
      {0, "KV6", "40", 40},
      {1, "KV6 shaft", "40.010", (40.018L + 40.002L) / 2},
      {2, "KV6 hub", "40.013", (40.025L + 40) / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.part);
    CalcData.d1graf = 0;
    AbortFlag = 1;
    EXPECT_EQ(Show(c.part, 0, [](Form& form) { Press(form, "Button_ok"); }), ModalResult::Ok);
    EXPECT_EQ(caption, c.caption);
    EXPECT_EQ(diameter, c.shown);
    EXPECT_EQ(CalcData.d1graf, c.stored);
    EXPECT_EQ(AbortFlag, 0);

    const std::size_t requests = dialogs_->Requests().size();
    CalcData.d1graf = 0;
    TForm_kv6config batch;
    batch.SettingsPart = c.part;
    batch.DrawSettingsLoad();
    batch.DrawSettingsStore();
    EXPECT_EQ(CalcData.d1graf, c.stored);
    EXPECT_EQ(dialogs_->Requests().size(), requests);
  }
  EXPECT_TRUE(dialogs_->UsedUp());
}

TEST_F(DrawSettingsForm, HiddenDiameterControlsStillStoreTheExactDiameter) {
  CalcData.d1 = 112.25L;
  std::vector<std::string> hidden;
  Show(0, 1, [&](Form& form) {
    for (const auto& control : form.Children()) {
      if (!control->Visible()) hidden.push_back(control->Name());
    }
    Press(form, "Button_ok");
  });
  EXPECT_EQ(diameter, "112.3");
  EXPECT_EQ(hidden, (std::vector<std::string>{"Label_d1graf", "Edit_d1graf", "Label_d1grafu",
                                              "Button_d1welle", "Button_d1nabe", "Label_tolwelle",
                                              "Label_tolnabe"}));
  EXPECT_EQ(CalcData.d1graf, 112.25L);
}

// A text the user typed counts as typed, even when it reads like the proposal; retyping the
// very same text is no change.
TEST_F(DrawSettingsForm, ATypedDiameterIsReadInTheUnitShown) {
  CalcData.d1 = 112.25L;
  Show(0, 0, [](Form& form) {
    Type(form, "Edit_d1graf", "112.3");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(CalcData.d1graf, 112.25L);
  Show(0, 0, [](Form& form) {
    Type(form, "Edit_d1graf", "112.");
    Type(form, "Edit_d1graf", "112.3");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(CalcData.d1graf, 112.3L);
  UnitSystem = 1;
  Show(0, 0, [](Form& form) {
    Type(form, "Edit_d1graf", "2");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(CalcData.d1graf, 50.8L);
}

// The toggle switches the program's unit system and keeps every entered value, the diameter
// shown again in the new unit and stored as entered.
TEST_F(DrawSettingsForm, TheUnitToggleKeepsTheEnteredValues) {
  CalcData.d1 = 112.25L;
  std::string inch, unit, back;
  Show(0, 0, [&](Form& form) {
    form.Get<platform::RadioGroup>("RadioGroup1").Choose(0);
    Type(form, "Edit_res", "720");
    Type(form, "Edit_d1graf", "40");
    Press(form, "Button_metric");
    inch = Text(form, "Edit_d1graf");
    unit = form.Get<platform::Label>("Label_d1grafu").Caption();
    Press(form, "Button_ok");
  });
  EXPECT_EQ(inch, "1.5748");
  EXPECT_EQ(unit, "in");
  EXPECT_EQ(UnitSystem, 1);
  EXPECT_EQ(CalcData.d1graf, 40);
  EXPECT_EQ(CalcData.Resolution, 720);
  EXPECT_EQ(CalcData.CadElement, 1);

  UnitSystem = 4;
  Show(2, 0, [&](Form& form) {
    Press(form, "Button_metric");
    inch = Text(form, "Edit_d1graf");
    Press(form, "Button_metric");
    back = Text(form, "Edit_d1graf");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(inch, "1.5753");
  EXPECT_EQ(back, "40.013");
  EXPECT_EQ(UnitSystem, 0);
  EXPECT_EQ(CalcData.d1graf, (40.025L + 40) / 2);
}

// A diameter that is not a number is refused with the range of a diameter, and the one shown
// before comes back.
TEST_F(DrawSettingsForm, ADiameterThatIsNoNumberIsRefused) {
  std::string refused;
  Show(0, 0, [&](Form& form) {
    Type(form, "Edit_d1graf", "4O");
    Press(form, "Button_ok");
    refused = Text(form, "Edit_d1graf");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(dialogs_->Transcript().at(1).rfind("Error  : |Valid Data are: -", 0), 0u);
  EXPECT_EQ(refused, "40.000");
  EXPECT_EQ(CalcData.d1graf, 40);
}

// A resolution that is not a whole number is refused and the old one shows again.
TEST_F(DrawSettingsForm, ResolutionsAndTheMeanButtons) {
  std::string refused;
  CalcData.Resolution = 90;
  Show(0, 0, [&](Form& form) {
    Type(form, "Edit_res", "360.5");
    Type(form, "Edit_d1graf", "1");
    Press(form, "Button_d1nabe");
    Press(form, "Button_ok");
    refused = Text(form, "Edit_res");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(dialogs_->Transcript().at(1), "Error  : |Valid Data are: -2147483648 .. 2147483647 !");
  EXPECT_EQ(refused, "90");
  EXPECT_EQ(CalcData.Resolution, 90);
  EXPECT_EQ(CalcData.d1graf, (40.025L + 40) / 2);
  Show(0, 0, [](Form& form) {
    Type(form, "Edit_res", "12");
    Press(form, "Button_res");
    Press(form, "Button_d1welle");
    Press(form, "Button_ok");
  });
  EXPECT_EQ(CalcData.Resolution, 360);
  EXPECT_EQ(CalcData.d1graf, (40.018L + 40.002L) / 2);
}

TEST_F(DrawSettingsForm, LabelsAreTheLanguagesWordsAsDisplayText) {
  SetCalcTexts(1);
  SetVocabularyLanguage(1);
  TForm_kv6config form;
  auto caption_of = [&](const std::string& name) {
    return form.Get<platform::Label>(name).Caption();
  };
  EXPECT_EQ(caption_of("Label_res"), "Aufl\xF6sung Polylinie");
  EXPECT_EQ(caption_of("Label_d1graf"), "Gleichdickdurchmesser d1/d4");
  EXPECT_EQ(caption_of("Label_tolwelle"), "Welle (k6)");
  EXPECT_EQ(caption_of("Label_tolnabe"), "Nabe (H7)");
  EXPECT_EQ(form.Get<platform::Button>("Button_d1nabe").Caption(), "d4");
}

}  // namespace
