// What the three input forms share: the unit button stores what the form holds without a
// calculation, so Cancel and the close box take it back, to the form's opening or its last Calc.
#include "app/input/inputform.h"

#include "app/input/kv6abm.h"
#include "app/input/kv6load.h"
#include "app/input/kvwst.h"
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

}  // namespace
