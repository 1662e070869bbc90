// The dimensions form: the free profile's geometry and the proposals, the length check, the
// profile picked from the shipped table (also right after a fatal calculation, and from a file
// that is no table), Calc, and OK or the unit toggle leaving untouched values exactly as they
// were.
#include "app/input/kv6abm.h"

#include "calc/connectionstate.h"
#include "calc/kv6rech.h"
#include "tests/app/input/inputtest.h"
#include "tests/tables/core/haltrecorder.h"

namespace {

using platform::Form;
using platform::RadioGroup;

class DimensionsForm : public InputTest {
 protected:
  static void Free(Form& form) { form.Get<RadioGroup>("RadioGroup_abm").Choose(1); }
  static bool Enabled(const Form& form, const char* name) {
    return form.Get<platform::Control>(name).Enabled();
  }
};

TEST_F(DimensionsForm, AFreeProfileGetsItsGeometryFromD1AndE1) {
  std::string proposed, largest, shaftBore, hubBore;
  InForm([&](Form& form) {
    Free(form);
    Type(form, "Edit_d1", "60");
    Press(form, "Button_e1");
    proposed = Text(form, "Edit_e1");
    Press(form, "Button_emax");
    largest = Text(form, "Edit_e1");
    Type(form, "Edit_e1", "2.4");
    Press(form, "Button_bohrung1");
    Press(form, "Button_bohrung2");
    shaftBore = Text(form, "Edit_bohrung1");
    hubBore = Text(form, "Edit_bohrung2");
    Press(form, "Button_ok");
  });
  ShowDimensionsForm();
  EXPECT_EQ(AbortFlag, 0);
  EXPECT_EQ(proposed, "2.4");
  EXPECT_EQ(largest, "3.75");
  EXPECT_EQ(shaftBore, "28");
  EXPECT_EQ(hubBore, "97");
  const kv6record& r = CalcData;
  EXPECT_EQ(r.DimensionMode, 2);
  const long double e1 = TextToReal("2.4");
  EXPECT_EQ(r.e1, e1);
  EXPECT_EQ(r.d2, 60 + 2 * e1);
  EXPECT_EQ(r.d3, 60 - 2 * e1);
  EXPECT_NEAR(static_cast<double>(r.r1), 45.6, 1e-12);
  EXPECT_NEAR(static_cast<double>(r.r2), 14.4, 1e-12);
  EXPECT_NEAR(static_cast<double>(r.d6pre), 54.7, 1e-12);
  EXPECT_EQ(r.d7, 0);
  EXPECT_EQ(std::tuple(r.d4, r.d5, r.d6, r.e2), std::tuple(r.d1, r.d2, r.d3, r.e1));
  EXPECT_EQ(std::tuple(r.dB1, r.dB2), std::tuple(28.0L, 97.0L));
}

TEST_F(DimensionsForm, ABoreProposalRoundsHalvesToEven) {
  std::string bore;
  InForm([&](Form& form) {
    Free(form);
    Type(form, "Edit_d1", "57");
    Type(form, "Edit_e1", "2");
    Press(form, "Button_bohrung1");
    bore = Text(form, "Edit_bohrung1");
  });
  ShowDimensionsForm();
  EXPECT_EQ(bore, "26");
}

TEST_F(DimensionsForm, LengthsCopyFitsAndTheModeEnablesItsControls) {
  bool tableMode = false, freeMode = false;
  InForm([&](Form& form) {
    tableMode = !Enabled(form, "Edit_d1") && !Enabled(form, "Button_emax") &&
                Enabled(form, "Button_db") && form.Get<platform::Label>("Label_db").Visible();
    Free(form);
    freeMode = Enabled(form, "Edit_d1") && Enabled(form, "Edit_e1") && Enabled(form, "Button_e1") &&
               !Enabled(form, "Button_db") && !form.Get<platform::Label>("Label_db").Visible();
    Type(form, "Edit_d1", "70");
    Press(form, "Button_l");
    Press(form, "Button_l1");
    Type(form, "Edit_l", "50");
    Press(form, "Button_l2");
    Press(form, "Button_told1b");
    Press(form, "Button_ok");
  });
  ShowDimensionsForm();
  EXPECT_TRUE(tableMode);
  EXPECT_TRUE(freeMode);
  EXPECT_EQ(std::tuple(CalcData.l, CalcData.l1, CalcData.l2), std::tuple(50.0L, 70.0L, 50.0L));
  EXPECT_EQ(CalcData.TolShaft, "g6");
  InForm([](Form& form) {
    Press(form, "Button_told1a");
    Press(form, "Button_ok");
  });
  ShowDimensionsForm();
  EXPECT_EQ(CalcData.TolShaft, "k6");
}

// The effective length must be a number other than 0: OK and Calc keep the form open, store
// nothing and put the focus on the length.
TEST_F(DimensionsForm, ALengthOfZeroIsRefusedWithTheFocusOnIt) {
  const kv6record before = CalcData;
  for (const char* typed : {"0", " 0 "}) {
    SCOPED_TRACE(typed);
    bool open = false, focused = false;
    InForm([&](Form& form) {
      Type(form, "Edit_bohrung1", "10");
      Type(form, "Edit_l", typed);
      Press(form, "Button_ok");
      Press(form, "Button_calc");
      open = form.GetModalResult() == platform::ModalResult::None;
      focused = form.Get<platform::Edit>("Edit_l").HasFocus();
      Press(form, "Button_cancel");
    });
    ShowDimensionsForm();
    EXPECT_TRUE(open);
    EXPECT_TRUE(focused);
    EXPECT_EQ(CalcData, before);
    EXPECT_EQ(AbortFlag, 1);
  }
}

TEST_F(DimensionsForm, TheTablePickGivesTheWorkedExample) {
  CalcData.d1 = 40;
  CalcData.P3GRow = 0;
  std::string designation, d1;
  InForm([&](Form& form) {
    Press(form, "Button_db");
    designation = Caption(form, "Label_db");
    d1 = Text(form, "Edit_d1");
    Press(form, "Button_ok");
  });
  PickRow(15);
  ShowDimensionsForm();
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_EQ(designation, "profile DIN 32711 - P3G 60");
  EXPECT_EQ(d1, "60");
  const kv6record& r = CalcData;
  EXPECT_EQ(r.P3GRow, 15);
  EXPECT_EQ(std::tuple(r.d1, r.d2, r.d3, r.e1), std::tuple(60.0L, 64.5L, 55.5L, 2.25L));
  EXPECT_EQ(std::tuple(r.d4, r.d5, r.d6, r.e2), std::tuple(60.0L, 64.5L, 55.5L, 2.25L));
  CalculateP3G();
  EXPECT_NEAR(static_cast<double>(r.A), 2763.816, 1e-3);
  EXPECT_NEAR(static_cast<double>(r.Wp), 35001.457, 1e-3);
  EXPECT_NEAR(static_cast<double>(r.p), 33.4614, 1e-4);
  EXPECT_NEAR(static_cast<double>(r.tau[kShaft]), 28.5702, 1e-4);
}

TEST_F(DimensionsForm, EscInTheProfileBrowseChangesNothing) {
  const kv6record before = CalcData;
  InForm([](Form& form) {
    Press(form, "Button_db");
    Press(form, "Button_ok");
  });
  LeaveBrowse();
  ShowDimensionsForm();
  EXPECT_EQ(CalcData, before);
  EXPECT_EQ(AbortFlag, 0);
}

// The picked profile shows in the form while the record keeps its own; Cancel drops the pick,
// the unit button stores it, and a Cancel after it takes it back.
TEST_F(DimensionsForm, APickedProfileReachesTheRecordOnlyWhenTheFormStores) {
  const ConnectionState before = ConnectionState::Current();
  std::string d1, designation;
  bool untouched = false;
  InForm([&](Form& form) {
    Press(form, "Button_db");
    d1 = Text(form, "Edit_d1");
    designation = Caption(form, "Label_db");
    untouched = ConnectionState::Current() == before;
    Press(form, "Button_cancel");
  });
  PickRow(1);
  ShowDimensionsForm();
  EXPECT_EQ(std::tuple(d1, designation), std::tuple("14", "profile DIN 32711 - P3G 14"));
  EXPECT_TRUE(untouched);
  EXPECT_EQ(AbortFlag, 1);
  EXPECT_TRUE(ConnectionState::Current() == before);

  kv6record stored;
  InForm([&](Form& form) {
    Press(form, "Button_db");
    Press(form, "Button_metric");
    stored = CalcData;
    Press(form, "Button_cancel");
  });
  PickRow(2);
  ShowDimensionsForm();
  EXPECT_EQ(stored.P3GRow, 2);
  EXPECT_EQ(std::tuple(stored.d1, stored.d4), std::tuple(16.0L, 16.0L));
  EXPECT_TRUE(ConnectionState::Current() == before);
  EXPECT_EQ(UnitSystem, 1);
}

// A calculation that ends fatally shows its messages and leaves nothing that stops the next pick.
TEST_F(DimensionsForm, AfterAFatalCalcTheProfilePickWorksAtTheFirstClick) {
  std::uint8_t fatal = 0;
  InForm([&](Form& form) {
    Free(form);
    Type(form, "Edit_d1", "0");
    Press(form, "Button_calc");
    fatal = FatalFlag;
    form.Get<RadioGroup>("RadioGroup_abm").Choose(0);
    Press(form, "Button_db");
    Press(form, "Button_ok");
  });
  dialogs_->Expect(platform::headless::Step(platform::DialogKind::Radio));
  PickRow(15);
  ShowDimensionsForm();
  EXPECT_EQ(fatal, 1);
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_EQ(CalcData.P3GRow, 15);
  EXPECT_EQ(std::tuple(CalcData.d1, CalcData.e1), std::tuple(60.0L, 2.25L));
}

// A profile table that is no table: the engine's error in a box, the form stays open, and the
// program neither halts nor loses the connection.
TEST_F(DimensionsForm, AProfileTableThatIsNoTableIsABoxAndTheFormStaysOpen) {
  const EngineHaltRecorder halts;
  Put("tables/p3g.dbf", "DIN 32711 profiles\r\n");
  const kv6record before = CalcData;
  bool open = false;
  InForm([&](Form& form) {
    Press(form, "Button_db");
    open = form.GetModalResult() == platform::ModalResult::None;
    Press(form, "Button_cancel");
  });
  ShowDimensionsForm();
  EXPECT_TRUE(open);
  EXPECT_TRUE(Boxed("Error  : |Error # 210 (Not a dBASE data file)"));
  EXPECT_FALSE(Boxed("Program halted."));
  EXPECT_TRUE(EngineHaltRecorder::Statuses().empty());
  EXPECT_EQ(CalcData, before);
}

// Calc stores, calculates and shows the default view while the form stays open; an input the
// calculation refuses draws nothing.
TEST_F(DimensionsForm, CalcRedrawsAndAFatalInputDrawsNothing) {
  DefaultView = 3;
  DrawingPage = 0;
  std::uint16_t page = 0;
  bool open = false;
  InForm([&](Form& form) {
    Type(form, "Edit_l", "55");
    Press(form, "Button_calc");
    page = DrawingPage;
    open = form.GetModalResult() == platform::ModalResult::None;
    DrawingPage = 0;
    Free(form);
    Type(form, "Edit_d1", "0");
    Press(form, "Button_calc");
    Press(form, "Button_cancel");
  });
  ShowDimensionsForm();
  EXPECT_EQ(page, 8);
  EXPECT_TRUE(open);
  EXPECT_EQ(FatalFlag, 1);
  EXPECT_EQ(DrawingPage, 0);
  EXPECT_EQ(CalcData.l, 55);
  EXPECT_EQ(AbortFlag, 1);
}

// A length and a mode outside the items survive an untouched OK, also in inch and after the
// units went there and back; a value of many digits would not, were its text read back.
TEST_F(DimensionsForm, AnUntouchedFormStoresEveryValueBitForBit) {
  CalcData.l = 60.123456789L;
  CalcData.dB1 = 12.3456789L;
  CalcData.DimensionMode = 7;
  const kv6record before = CalcData;
  for (std::uint16_t units : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{3}}) {
    for (char separator : {'.', ','}) {
      SCOPED_TRACE(testing::Message() << units << separator);
      UnitSystem = units;
      DecimalSeparator = separator;
      InForm([](Form& form) { Press(form, "Button_ok"); });
      ShowDimensionsForm();
      EXPECT_EQ(CalcData, before);
      InForm([](Form& form) {
        Press(form, "Button_metric");
        Press(form, "Button_metric");
        Press(form, "Button_cancel");
      });
      ShowDimensionsForm();
      EXPECT_EQ(CalcData, before);
      EXPECT_EQ(UnitSystem, units == 1 ? 1 : 0);
    }
  }
}

}  // namespace
