// The material form: picks from the shipped and from the test's own tables, the type key, where
// the browse opens, the yield point of brittle materials, the units, the allowable pressure, and
// what a pick leaves of the other part.
#include "app/input/kvwst.h"

#include <sys/stat.h>

#include "base/text/displaytext.h"
#include "calc/connectionstate.h"
#include "tables/access/tableaccess.h"
#include "tests/app/input/inputtest.h"

namespace {

using platform::Form;

class MaterialForm : public InputTest {
 protected:
  // A material of the given type in the test's own material table, and the type table with
  // types 17, 7 and 70 (when seven is true), each with factors of its own.
  void OwnTables(bool seven) {
    WriteMaterials({{"7.0007", "  Seven  ", " S7 ", "7", "500", "300", "200000", "7.8", "11",
                     "0.29", "77519", "std", "rem"}});
    std::vector<std::vector<std::string>> types = {
        {"17", "seventeen", "1", "1", "1.9", "1.1", "1.8", "1.05"}};
    if (seven) types.push_back({" 7", "seven", "1", "1", "1.3", "1.12", "1.6", "1.14"});
    types.push_back({"70", "seventy", "1", "1", "1.7", "1.13", "1.4", "1.08"});
    WriteTypes(types);
  }
  std::int32_t browsedAt = 0;
  // Notes where the browse opened, then closes it with its close box.
  void CloseBrowse() {
    InForm([this](Form& form) {
      browsedAt = TableRecNo();
      form.Close();
    });
  }
};

TEST_F(MaterialForm, ShaftAndHubPicksTakeTheRowAndTheirOwnFactorsOfTheType) {
  std::string shaftName, hubStrength, shaftCaption;
  InForm([&](Form& form) {
    Press(form, "Button_mat1");
    Press(form, "Button_mat2");
    shaftName = Text(form, "Edit_Name1");
    shaftCaption = form.Get<platform::Button>("Button_mat1").Caption();
    hubStrength = Text(form, "Edit_re2");
    Press(form, "Button_ok");
  });
  PickRow(9);   // 1.7131 16MnCr5, surface-hardened steel
  PickRow(12);  // 0.6025 EN-GJL-250, grey iron
  ShowMaterialForm();
  EXPECT_TRUE(dialogs_->UsedUp());
  EXPECT_EQ(AbortFlag, 0);
  const RKM1BASE_Record& shaft = Materials[kShaft];
  EXPECT_EQ(std::tuple(shaft.Ident, shaft.Name, shaft.Name2, shaft.TypeNo, shaft.Rm, shaft.Re),
            std::tuple("1.7131   ", "16MnCr5", "16 MnCr 5", 2, 880, 635));
  EXPECT_EQ(std::tuple(shaft.E, shaft.Poisson, shaft.Text12),
            std::tuple(210000, 0.3, "EN 10084        "));
  EXPECT_EQ(shaftName, "16MnCr5");
  EXPECT_EQ(shaftCaption, "Material database  1.7131   ");
  EXPECT_EQ(std::tuple(MaterialRecNo[kShaft], MaterialRecNo[kHub]), std::tuple(9, 12));
  EXPECT_EQ(std::tuple(PartFS[kShaft], PartFH[kShaft]),
            std::tuple(static_cast<long double>(1.2), static_cast<long double>(1.15)));
  EXPECT_EQ(std::tuple(PartFS[kHub], PartFH[kHub]), std::tuple(2.0L, 1.0L));
  // Grey iron has no yield point: its Rm shows, and OK stores it as Re.
  EXPECT_EQ(hubStrength, "250");
  EXPECT_EQ(std::tuple(Materials[kHub].Ident, Materials[kHub].Rm, Materials[kHub].Re),
            std::tuple("0.6025   ", 250, 250));
}

TEST_F(MaterialForm, TheTypeIsFoundByItsRightAlignedKeyAndAMissingOneIsReported) {
  OwnTables(true);
  InForm([](Form& form) {
    Press(form, "Button_mat2");
    Press(form, "Button_ok");
  });
  PickRow(1);
  ShowMaterialForm();
  EXPECT_EQ(Materials[kHub].Name, "Seven");
  EXPECT_EQ(Materials[kHub].Name2, "S7");
  EXPECT_EQ(std::tuple(PartFS[kHub], PartFH[kHub]),
            std::tuple(static_cast<long double>(1.6), static_cast<long double>(1.14)));

  OwnTables(false);
  PartFS[kHub] = 1.25L;
  PartFH[kHub] = 1.125L;
  InForm([](Form& form) {
    Press(form, "Button_mat2");
    Press(form, "Button_ok");
  });
  PickRow(1);
  ShowMaterialForm();
  EXPECT_TRUE(Boxed("Error  : |Material type 07 not found."));
  EXPECT_EQ(Messages[1], "Material type 07 not found.");
  EXPECT_EQ(std::tuple(PartFS[kHub], PartFH[kHub]), std::tuple(1.25L, 1.125L));
  EXPECT_EQ(Materials[kHub].Rm, 500);
  EXPECT_EQ(AbortFlag, 0);
}

// An Ident no longer in the table opens the browse at the part's record, or at the first; a
// browse closed by its close box picks nothing.
TEST_F(MaterialForm, TheBrowseOpensAtTheRecordAndItsCloseBoxPicksNothing) {
  Materials[kShaft].Ident = "9.9999";
  MaterialRecNo[kShaft] = 5;
  const RKM1BASE_Record before = Materials[kShaft];
  std::int32_t atRecord = 0;
  InForm([&](Form& form) {
    Press(form, "Button_mat1");
    atRecord = browsedAt;
    MaterialRecNo[kShaft] = 0;
    Press(form, "Button_mat1");
    Press(form, "Button_ok");
  });
  CloseBrowse();
  CloseBrowse();
  ShowMaterialForm();
  EXPECT_EQ(atRecord, 5);
  EXPECT_EQ(browsedAt, 1);
  EXPECT_EQ(Materials[kShaft], before);
  EXPECT_EQ(AbortFlag, 0);
}

TEST_F(MaterialForm, TheAllowablePressureFollowsTheFieldsAndImperialStoresWholeMegapascals) {
  Materials[kHub].Re = 0;
  Materials[kHub].Rm = 250;
  PartFS[kHub] = 1.5L;
  PartFH[kHub] = 1;
  std::string shown, plim, typed;
  InForm([&](Form& form) {
    shown = Text(form, "Edit_re2");
    plim = Caption(form, "Label_plim2");
    Type(form, "Edit_fs2", "2");
    typed = Caption(form, "Label_plim2");
    Press(form, "Button_metric");
    Type(form, "Edit_Re1", "50000");
    Press(form, "Button_ok");
  });
  ShowMaterialForm();
  EXPECT_EQ(shown, "250");
  EXPECT_EQ(plim, "plim = Re * fs * fH = 375 MPa");
  EXPECT_EQ(typed, "plim = Re * fs * fH = 500 MPa");
  EXPECT_EQ(UnitSystem, 1);
  EXPECT_EQ(Materials[kShaft].Re, 345);  // 50000 psi = 344.7 N/mm2
  EXPECT_EQ(Materials[kHub].Re, 250);
  EXPECT_EQ(PartFS[kHub], 2);

  // A yield point beyond 32 bits is refused with the range in psi, and the old one stays.
  std::string psi, psiPlim, afterRefusal;
  Materials[kShaft].Re = 300;
  InForm([&](Form& form) {
    psi = Text(form, "Edit_Re1");
    psiPlim = Caption(form, "Label_plim1");
    Type(form, "Edit_Re1", "1e20");
    Press(form, "Button_ok");
    afterRefusal = Text(form, "Edit_Re1");
    Press(form, "Button_ok");
  });
  ShowMaterialForm();
  EXPECT_EQ(psi, "43511");
  EXPECT_EQ(psiPlim.substr(0, 23), "plim = Re * fs * fH = 5");
  EXPECT_EQ(psiPlim.substr(psiPlim.size() - 4), " psi");
  EXPECT_EQ(afterRefusal, "43511");
  EXPECT_TRUE(Boxed("Valid Data are: -311464585855 .. 311464585710 !"));
  EXPECT_EQ(Materials[kShaft].Re, 300);
}

TEST_F(MaterialForm, AnUntouchedFormStoresEveryValueBitForBit) {
  Materials[kShaft].Ident = "1.0038   ";
  Materials[kShaft].Name =
      "Gu\xE1"
      "eisen";
  Materials[kShaft].Re = 317;
  Materials[kHub].Re = 1;
  PartFS[kShaft] = 1.23456789L;
  PartFH[kHub] = 1.0000001L;
  const PartPair<RKM1BASE_Record> materials = Materials;
  const PartPair<long double> fs = PartFS, fh = PartFH;
  for (std::uint16_t units : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{3}}) {
    for (char separator : {'.', ','}) {
      SCOPED_TRACE(testing::Message() << units << separator);
      UnitSystem = units;
      DecimalSeparator = separator;
      TextCharMode = units == 3 ? 1 : 0;
      InForm([](Form& form) {
        Press(form, "Button_metric");
        Press(form, "Button_metric");
        Press(form, "Button_ok");
      });
      ShowMaterialForm();
      EXPECT_EQ(Materials, materials);
      EXPECT_EQ(std::tuple(PartFS, PartFH), std::tuple(fs, fh));
    }
  }
}

// A pick reloads only its own part: the hub's typed texts stay for OK to store.
TEST_F(MaterialForm, TypedHubValuesSurviveAShaftPick) {
  InForm([](Form& form) {
    Type(form, "Edit_name2", "Typed hub");
    Type(form, "Edit_re2", "444");
    Type(form, "Edit_ident2", "X.1");
    Press(form, "Button_mat1");
    Press(form, "Button_ok");
  });
  PickRow(1);
  ShowMaterialForm();
  EXPECT_EQ(Materials[kShaft].Name, "S235JR");
  EXPECT_EQ(std::tuple(Materials[kHub].Name, Materials[kHub].Re, Materials[kHub].Ident),
            std::tuple("Typed hub", 444, "X.1"));
}

// A pick fills the form only: the record stays as it was until OK, Calc or the unit button, and
// a form left with Cancel or its close box leaves the whole connection as it was, also after
// picks for both parts.
TEST_F(MaterialForm, APickReachesTheRecordOnlyWhenTheFormStores) {
  const ConnectionState before = ConnectionState::Current();
  for (const char* leave : {"Button_cancel", "close box"}) {
    SCOPED_TRACE(leave);
    std::string shown, strength;
    bool untouched = false;
    InForm([&](Form& form) {
      Press(form, "Button_mat1");
      Press(form, "Button_mat2");
      Press(form, "Button_mat1");
      shown = Text(form, "Edit_Name1");
      strength = Text(form, "Edit_Re1");
      untouched = ConnectionState::Current() == before;
      if (leave == std::string("close box")) {
        form.Close();
      } else {
        Press(form, leave);
      }
    });
    PickRow(16);  // 3.4365 EN AW-7075 T6, Re 480
    PickRow(12);
    PickRow(16);
    ShowMaterialForm();
    EXPECT_EQ(std::tuple(shown, strength), std::tuple("EN AW-7075 T6", "480"));
    EXPECT_TRUE(untouched);
    EXPECT_EQ(AbortFlag, 1);
    EXPECT_TRUE(ConnectionState::Current() == before);
  }

  InForm([](Form& form) {
    Press(form, "Button_mat1");
    Press(form, "Button_mat2");
    Press(form, "Button_ok");
  });
  PickRow(16);
  PickRow(12);
  ShowMaterialForm();
  EXPECT_EQ(std::tuple(Materials[kShaft].Name, Materials[kShaft].Re, MaterialRecNo[kShaft]),
            std::tuple("EN AW-7075 T6", 480, 16));
  EXPECT_EQ(std::tuple(Materials[kHub].Name, MaterialRecNo[kHub]), std::tuple("EN-GJL-250", 12));
}

// Calc stores the pick and calculates with it; a Cancel after it keeps what Calc stored.
TEST_F(MaterialForm, CalcStoresAPickThatCancelThenKeeps) {
  const long double pzul = PartPzul[kShaft];
  InForm([](Form& form) {
    Press(form, "Button_mat1");
    Press(form, "Button_calc");
    Press(form, "Button_cancel");
  });
  PickRow(16);
  ShowMaterialForm();
  EXPECT_EQ(std::tuple(Materials[kShaft].Name, Materials[kShaft].Re),
            std::tuple("EN AW-7075 T6", 480));
  EXPECT_NE(PartPzul[kShaft], pzul);
  EXPECT_EQ(AbortFlag, 1);
}

TEST_F(MaterialForm, AMissingMaterialTableIsReportedAndTheFormGoesOn) {
  std::filesystem::remove(Path("tables/rkm1base.dbf"));
  std::uint8_t abortAfter = 1;
  InForm([&](Form& form) {
    Press(form, "Button_mat1");
    abortAfter = AbortFlag;
    Press(form, "Button_ok");
  });
  ShowMaterialForm();
  EXPECT_TRUE(Boxed("rkm1base.dbf not found."));
  EXPECT_TRUE(Boxed("|File "));
  EXPECT_EQ(abortAfter, 0);
}

// Through the engine: a name in code page 850 shows as the display's character, stays code page
// 850 in the record and in the calculation file; a read-only table is picked from its copy.
TEST_F(MaterialForm, AnUmlautNameFromAReadOnlyTableReachesTheCalculationFile) {
  WriteMaterials(
      {{"0.6030",
        "Gu\xE1"
        "eisen",
        "GG-30", "4", "300", "0", "108000", "7.25", "11.7", "0.26", "42857", "EN 1561", ""}});
  ASSERT_EQ(chmod(Path("tables/rkm1base.dbf").c_str(), 0444), 0);
  std::string shown;
  InForm([&](Form& form) {
    Press(form, "Button_mat2");
    shown = Text(form, "Edit_name2");
    Press(form, "Button_ok");
  });
  PickRow(1);
  ShowMaterialForm();
  EXPECT_EQ(shown,
            "Gu\xDF"
            "eisen");
  EXPECT_EQ(Materials[kHub].Name,
            "Gu\xE1"
            "eisen");
  EXPECT_TRUE(std::filesystem::exists(Path("temp/rkm1base.dbf")));
  ASSERT_TRUE(WriteCalcFile(Path("cast.kv6")));
  EXPECT_NE(Bytes("cast.kv6")
                .find("\nGu\xE1"
                      "eisen\r\n"),
            std::string::npos);
}

}  // namespace
