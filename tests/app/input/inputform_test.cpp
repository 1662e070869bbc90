// What the three input forms share: the unit button stores what the form holds without a
// calculation, so Cancel and the close box take it back, to the form's opening or its last Calc.
#include "app/input/inputform.h"

#include <tuple>

#include "app/input/kv6abm.h"
#include "app/input/kv6load.h"
#include "app/input/kvwst.h"
#include "base/dialogs/utilcrtfile.h"
#include "calc/connectionstate.h"
#include "tests/app/input/inputtest.h"

namespace {

using platform::Form;

class UnitButton : public InputTest {};

// Picks, typed values, or both after a Calc, then the unit button, then Cancel or the close box:
// the connection is the calculated one it was, and the units stay switched.
TEST_F(UnitButton, CancelTakesBackWhatItStoredAndKeepsTheUnits) {
  struct Case {
    const char* name;
    void (*show)();
    std::vector<std::int32_t> rows;  // picked in the browses the form's buttons open
    bool calcFirst;
    std::function<void(Form&)> edit;
  };
  const std::vector<Case> cases = {
      {"material picks",
       ShowMaterialForm,
       {16, 12},
       false,
       [](Form& form) {
         Press(form, "Button_mat1");
         Press(form, "Button_mat2");
       }},
      {"profile pick",
       ShowDimensionsForm,
       {2},
       false,
       [](Form& form) { Press(form, "Button_db"); }},
      {"typed torque", ShowLoadForm, {}, false, [](Form& form) { Type(form, "Edit_t", "2500"); }},
      {"typed strength after Calc",
       ShowMaterialForm,
       {16},
       true,
       [](Form& form) { Type(form, "Edit_Re1", "999"); }},
  };
  for (const char* leave : {"Button_cancel", "close box"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + ", " + leave);
      ASSERT_TRUE(LoadCalcFile(Golden()));
      UnitSystem = 0;
      ConnectionState expected = ConnectionState::Current();
      InForm([&](Form& form) {
        if (c.calcFirst) {
          Press(form, "Button_mat1");
          Press(form, "Button_calc");
          expected = ConnectionState::Current();
        }
        c.edit(form);
        Press(form, "Button_metric");
        if (leave == std::string("close box")) {
          form.Close();
        } else {
          Press(form, leave);
        }
      });
      for (std::int32_t row : c.rows) PickRow(row);
      c.show();
      EXPECT_TRUE(ConnectionState::Current() == expected);
      EXPECT_EQ(std::tuple(UnitSystem, AbortFlag), std::tuple(1, 1));
    }
  }
}

class ExtremeValues : public InputTest {};

// Each extreme value typed into each number field, then OK, Save and Open: the field holds again
// exactly what the form took, or the form refused the value with the range message, showed the
// old value again and stayed open.
TEST_F(ExtremeValues, AValueTheFormTakesIsTheValueTheFileKeeps) {
  const std::string reals = "Valid Data are: -100000000000 .. 100000000000 !";
  const std::string stresses = "Valid Data are: -2147483648 .. 2147483647 !";
  struct Field {
    void (*show)();
    const char* edit;
    long double (*value)();
    bool stress;  // the yield point, a whole number of 32 bits
  };
  const Field fields[] = {
      {ShowLoadForm, "Edit_t", [] { return CalcData.T; }, false},
      {ShowLoadForm, "Edit_Mb", [] { return CalcData.Mb; }, false},
      {ShowLoadForm, "Edit_ka", [] { return CalcData.KA; }, false},
      {ShowLoadForm, "Edit_fw", [] { return CalcData.fW; }, false},
      {ShowDimensionsForm, "Edit_d1", [] { return CalcData.d1; }, false},
      {ShowDimensionsForm, "Edit_e1", [] { return CalcData.e1; }, false},
      {ShowDimensionsForm, "Edit_l", [] { return CalcData.l; }, false},
      {ShowDimensionsForm, "Edit_l1", [] { return CalcData.l1; }, false},
      {ShowDimensionsForm, "Edit_l2", [] { return CalcData.l2; }, false},
      {ShowDimensionsForm, "Edit_bohrung1", [] { return CalcData.dB1; }, false},
      {ShowDimensionsForm, "Edit_bohrung2", [] { return CalcData.dB2; }, false},
      {ShowMaterialForm, "Edit_Re1", [] { return static_cast<long double>(Materials[kShaft].Re); },
       true},
      {ShowMaterialForm, "Edit_fs1", [] { return PartFS[kShaft]; }, false},
      {ShowMaterialForm, "Edit_fh1", [] { return PartFH[kShaft]; }, false},
      {ShowMaterialForm, "Edit_re2", [] { return static_cast<long double>(Materials[kHub].Re); },
       true},
      {ShowMaterialForm, "Edit_fs2", [] { return PartFS[kHub]; }, false},
      {ShowMaterialForm, "Edit_fh2", [] { return PartFH[kHub]; }, false},
  };
  struct Value {
    const char* text;
    bool refused;        // by a field of reals
    bool stressRefused;  // by a yield point
  };
  const Value values[] = {
      {"1e400", true, true},  // beyond a double, within a long double
      {"1e-400", false, false},
      {"1e300", true, true},
      {"-1e300", true, true},
      {"1e5000", true, true},  // beyond a long double
      {"12345678901.2345678", false, true},
      {"1.23456789012345678", false, false},
      {"-0.000123456789012345678", false, false},
      {"1000 Nm", true, true},  // no number: a unit, a second sign, letters
      {"--5", true, true},
      {"abc", true, true},
  };
  OverwriteQuestion = false;
  for (const Field& field : fields) {
    for (const Value& value : values) {
      SCOPED_TRACE(std::string(field.edit) + " " + value.text);
      ASSERT_TRUE(LoadCalcFile(Golden()));
      const long double old = field.value();
      const bool refused = field.stress ? value.stressRefused : value.refused;
      const std::string& range = field.stress ? stresses : reals;
      const std::size_t shownBefore = dialogs_->Transcript().size();
      std::string oldText;
      std::string textAfterOk;
      bool stayedOpen = false;
      InForm([&](Form& form) {
        // d1 and e1 are typed for a free profile only.
        if (field.show == ShowDimensionsForm)
          form.Get<platform::RadioGroup>("RadioGroup_abm").Choose(1);
        oldText = Text(form, field.edit);
        Type(form, field.edit, value.text);
        Press(form, "Button_ok");
        stayedOpen = form.GetModalResult() == platform::ModalResult::None;
        textAfterOk = Text(form, field.edit);
        if (stayedOpen) Press(form, "Button_ok");
      });
      field.show();
      std::vector<std::string> shown;
      for (std::size_t i = shownBefore; i < dialogs_->Transcript().size(); ++i) {
        const std::string& line = dialogs_->Transcript()[i];
        if (line.rfind("Form|", 0) != 0) shown.push_back(line);
      }
      EXPECT_EQ(std::tuple(stayedOpen, shown),
                std::tuple(refused, refused ? std::vector<std::string>{"Error  : |" + range}
                                            : std::vector<std::string>{}));
      const long double taken = field.value();
      if (refused) {
        EXPECT_EQ(std::tuple(textAfterOk, taken), std::tuple(oldText, old));
      }
      ASSERT_TRUE(WriteCalcFile(Path("extreme.kv6")));
      ASSERT_TRUE(LoadCalcFile(Golden()));
      ASSERT_TRUE(ReadCalcFile(Path("extreme.kv6")));
      EXPECT_EQ(field.value(), taken);
    }
  }
  OverwriteQuestion = true;
}

// A refused value brings back what the last Calc took, which Cancel would keep too.
TEST_F(ExtremeValues, ARefusalAfterCalcShowsTheCalculatedValue) {
  std::string shown;
  InForm([&](Form& form) {
    Type(form, "Edit_t", "777");
    Press(form, "Button_calc");
    Type(form, "Edit_t", "777 Nm");
    Press(form, "Button_ok");
    shown = Text(form, "Edit_t");
    Press(form, "Button_ok");
  });
  ShowLoadForm();
  EXPECT_EQ(std::tuple(shown, CalcData.T), std::tuple("777", 777.0L));
}

}  // namespace
