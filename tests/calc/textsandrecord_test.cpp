#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

// A lead byte of a multi-byte UTF-8 sequence followed by a continuation byte: the trace of a
// literal that was not converted to code page 850.
bool HasUtf8Sequence(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if (lead >= 0xC2 && lead <= 0xF4 && next >= 0x80 && next <= 0xBF) return true;
  }
  return false;
}

std::vector<std::string> AllVocabulary() {
  // clang-format off
  return {
      VocApplicationFactor, VocOuterDiameter, VocOuterPart, VocBendingMoment, VocBendingStress,
      VocSelect, VocBore, VocDatabase, VocTorque, VocUnit, VocPulsatingLoad, VocNumberOfTeeth,
      VocToothHeight, VocProductionDrawing, VocPressure, VocJointLength, VocHardnessFactor,
      VocInnerPart, VocIsoTolerance, VocLength, VocLoadFactor, VocAlternatingLoadFactor, VocWith,
      VocHub, VocAccordingTo, VocNotFound, VocShearStress, VocPulsating, VocSafety, VocYieldPoint,
      VocSupportFactor, VocTable, VocText, VocAnd, VocEquivalentStress, VocAlternating,
      VocAlternatingLoad, VocShaft, VocMaterial, VocMaterialDatabase, VocMaterialTypes,
      VocMaterialName, VocMaterialNumber, VocMaterialType, VocSign, VocDrawing, VocDrawingName,
      VocDrawingNumber, VocAdm, VocPermTorque, VocPermPressure, VocPermissiblePressure, VocReturn,
      VocDimensionsHeading, VocStrengthHeading, VocHubHeading, VocAccordingToHeading,
      VocShaftHeading, VocMaterialHeading, VocWallThickness, VocTension,
  };
  // clang-format on
}

class TextsAndRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCalcTexts(2);
    SetVocabularyLanguage(2);
    ResetCalcData();
    ResetMaterials();
  }
};

TEST_F(TextsAndRecord, EveryTextIsFilledAndStoredInCodePage850) {
  for (std::uint16_t language : {1, 2}) {
    SetCalcTexts(language);
    SetVocabularyLanguage(language);
    for (int number = 1; number <= kCalcTextCount; ++number) {
      EXPECT_FALSE(CalcTexts[number].empty()) << number;
      EXPECT_FALSE(HasUtf8Sequence(CalcTexts[number])) << number;
    }
    const std::vector<std::string> words = AllVocabulary();
    for (const std::string& word : words) {
      EXPECT_FALSE(word.empty());
      EXPECT_FALSE(HasUtf8Sequence(word)) << word;
    }
  }
  SetCalcTexts(1);
  EXPECT_EQ(CalcTexts[9],
            "Au\xE1"
            "enkreisdurchmesser");
  EXPECT_EQ(CalcTexts[58], "Bitte w\x84hlen");
  SetVocabularyLanguage(1);
  EXPECT_EQ(VocHardnessFactor,
            "H\x84rteeinflu\xE1"
            "faktor");
}

TEST_F(TextsAndRecord, LanguagesSwitchAndUnknownCodesKeepTheTexts) {
  EXPECT_EQ(CalcTexts[8], "spherical diameter");
  EXPECT_EQ(CalcTexts[15], "section modulus, equitorial");
  EXPECT_EQ(CalcTexts[26], "load coefficent");
  EXPECT_EQ(VocShaft, "shaft");
  EXPECT_EQ(VocHub, "hub");

  SetCalcTexts(1);
  SetCalcTexts(3);
  EXPECT_EQ(CalcTexts[8], "Gleichdickdurchmesser");
  EXPECT_EQ(CalcTexts[63], "Zykloide");

  SetVocabularyLanguage(1);
  SetVocabularyLanguage(7);
  EXPECT_EQ(VocShaft, "Welle");
  EXPECT_EQ(VocAccordingToHeading, "NACH");

  SetCalcTexts(2);
  EXPECT_EQ(CalcTexts[1], "shaft-hub joint not displaceable");
  EXPECT_EQ(CalcTexts[63], "cycloid");
}

TEST_F(TextsAndRecord, NumbersOutsideTheTableReadEmpty) {
  EXPECT_EQ(CalcTexts[0], "");
  EXPECT_EQ(CalcTexts[64], "");
  EXPECT_EQ(CalcTexts[-1], "");
  EXPECT_EQ(PartName(1), "shaft");
  EXPECT_EQ(PartName(2), "hub");
  EXPECT_EQ(PartName(0), "");
  EXPECT_EQ(PartName(3), "");
}

TEST_F(TextsAndRecord, ResetGivesTheDefaultsAndKeepsElimAndHmin) {
  CalcData.d1 = 60;
  CalcData.Sp[kHub] = 3;
  CalcData.TolShaft = "m6";
  CalcData.Designation[kFit] = "x";
  CalcData.elim = 3.75L;
  CalcData.hmin = 4.486L;
  DrawingName2[kShaft] = "second line";
  ResetCalcData();

  kv6record expected;
  expected.TolShaft = "k6";
  expected.TolHub = "H7";
  expected.KA = expected.fW = expected.nueFs = expected.nueFw = 1;
  expected.pFs = {1, 1};
  expected.pFw = {1, 1};
  expected.DisplacementCase = 1;
  expected.Resolution = 360;
  expected.CadElement = 2;
  expected.DimensionMode = 1;
  expected.elim = 3.75L;
  expected.hmin = 4.486L;
  EXPECT_TRUE(CalcData == expected);
  EXPECT_EQ(CalcData.d1, 0);
  EXPECT_EQ(CalcData.Designation[kFit], "");
  EXPECT_EQ(DrawingName[kShaft], "shaft");
  EXPECT_EQ(DrawingName[kHub], "hub");
  EXPECT_EQ(DrawingName2[kShaft], "");

  SetCalcTexts(1);
  ResetCalcData();
  EXPECT_EQ(DrawingName[kShaft], "Welle");
  EXPECT_EQ(DrawingName[kHub], "Nabe");
}

TEST_F(TextsAndRecord, MaterialResetForgetsTheChosenMaterials) {
  Materials[kHub].Re = 355;
  Materials[kHub].Name = "S355";
  PartFS[kShaft] = 1.2L;
  MaterialRecNo[kHub] = 7;
  ResetMaterials();
  for (int part = kShaft; part <= kHub; ++part) {
    EXPECT_EQ(Materials[part].Name, "");
    EXPECT_EQ(Materials[part].Re, 0);
    EXPECT_EQ(PartFS[part], 1);
    EXPECT_EQ(PartFH[part], 1);
    EXPECT_EQ(PartPzul[part], 1);
    EXPECT_EQ(MaterialRecNo[part], 0);
  }
}

}  // namespace
