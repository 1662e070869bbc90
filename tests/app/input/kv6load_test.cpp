// The load form: torques in both unit systems, the factor buttons, a displacement case outside
// the two items, the untouched OK, and the box of an exception in a handler.
#include "app/input/kv6load.h"

#include <fstream>
#include <stdexcept>

#include "base/help/helptext.h"
#include "tests/app/input/inputtest.h"

namespace {

using platform::Form;
using platform::RadioGroup;

class LoadForm : public InputTest {};

// A hint is the help text as the help file gives it for display: converting it once more would
// garble every letter outside ASCII.
TEST_F(LoadForm, HintsShowTheHelpTextAsItStands) {
  PltDir = Dir();
  HelpLevel = 1;
  std::ofstream(HelpFileName(5430), std::ios::binary) << "5430\r\nMa\xE1"
                                                         "e \x84\r\n";
  std::string expected;
  HelpHint(5430, expected);
  std::string shown;
  InForm([&](Form& form) {
    shown = form.Get<RadioGroup>("RadioGroup_verschieb").Hint();
    Press(form, "Button_cancel");
  });
  ShowLoadForm();
  EXPECT_NE(expected.find("Ma"), std::string::npos);
  EXPECT_EQ(shown, expected);
}

TEST_F(LoadForm, TorquesInBothUnitSystemsAndTheFactorButtons) {
  CalcData.T = 1000;
  CalcData.Mb = 0;
  std::string metric, unit, imperial, imperialUnit, factor;
  InForm([&](Form& form) {
    metric = Text(form, "Edit_t");
    unit = Caption(form, "Label_tu");
    Press(form, "Button_metric");
    imperial = Text(form, "Edit_t");
    imperialUnit = Caption(form, "Label_mbu");
    Type(form, "Edit_Mb", "885.0745");
    Type(form, "Edit_ka", "1.75");
    Press(form, "Button_ka1");
    factor = Text(form, "Edit_ka");
    Type(form, "Edit_fw", " 0,8 ");  // the blanks around a number are no part of it
    Press(form, "Button_ok");
  });
  ShowLoadForm();
  EXPECT_EQ(std::tuple(metric, unit), std::tuple("1000", "Nm"));
  EXPECT_EQ(std::tuple(imperial, imperialUnit), std::tuple("8851", "lbfin"));
  EXPECT_EQ(factor, "1.0");
  EXPECT_EQ(CalcData.T, 1000);
  EXPECT_NEAR(static_cast<double>(CalcData.Mb), 100, 1e-4);
  EXPECT_EQ(std::tuple(CalcData.KA, CalcData.fW), std::tuple(1.0L, TextToReal("0.8")));
}

// Case 3 comes only from a file: it selects no item and survives OK, Calc and the toggles; a
// click sets its item's case.
TEST_F(LoadForm, ACaseOutsideTheItemsStaysUntilAnItemIsPicked) {
  CalcData.DisplacementCase = 3;
  std::int32_t index = 0;
  InForm([&](Form& form) {
    index = form.Get<RadioGroup>("RadioGroup_verschieb").ItemIndex();
    Press(form, "Button_calc");
    Press(form, "Button_metric");
    Press(form, "Button_metric");
    Press(form, "Button_ok");
  });
  ShowLoadForm();
  EXPECT_EQ(index, -1);
  EXPECT_EQ(CalcData.DisplacementCase, 3);
  EXPECT_EQ(CalcData.fapp, 0.25L);
  InForm([](Form& form) {
    form.Get<RadioGroup>("RadioGroup_verschieb").Choose(1);
    Press(form, "Button_ok");
  });
  ShowLoadForm();
  EXPECT_EQ(CalcData.DisplacementCase, 2);
}

TEST_F(LoadForm, AnUntouchedFormStoresEveryValueBitForBit) {
  CalcData.T = 1234.56789012L;
  CalcData.Mb = 0.1L;
  CalcData.KA = 1.333333333L;
  const kv6record before = CalcData;
  for (std::uint16_t units : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{3}}) {
    for (char separator : {'.', ','}) {
      SCOPED_TRACE(testing::Message() << units << separator);
      UnitSystem = units;
      DecimalSeparator = separator;
      InForm([](Form& form) {
        Press(form, "Button_metric");
        Press(form, "Button_metric");
        Press(form, "Button_ok");
      });
      ShowLoadForm();
      EXPECT_EQ(CalcData, before);
    }
  }
}

// From the creation of the load form on, an exception in a handler shows the program's box;
// the form stays and goes on.
TEST_F(LoadForm, AThrowingHandlerShowsTheProgramsBox) {
  InForm([](Form& form) {
    form.Get<platform::Button>("Button_help").onClick = [] {
      throw std::runtime_error("table locked");
    };
    Press(form, "Button_help");
    Press(form, "Button_ok");
  });
  ShowLoadForm();
  EXPECT_TRUE(
      Boxed("Error  : |Error at class std::runtime_error !\ntable locked\nPlease contact BRELCOR"));
  EXPECT_EQ(AbortFlag, 0);
}

}  // namespace
