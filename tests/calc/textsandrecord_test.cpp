#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "calc/calctexts.h"
#include "calc/kv6record.h"
#include "calc/vocabulary.h"

namespace {

// Not empty, and free of the trace of a literal not converted to code page 850: a lead byte of a
// multi-byte UTF-8 sequence followed by a continuation byte.
bool IsFilledCp850(const std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const auto next = static_cast<unsigned char>(text[i + 1]);
    if (lead >= 0xC2 && lead <= 0xF4 && next >= 0x80 && next <= 0xBF) return false;
  }
  return !text.empty();
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
  for (std::uint16_t language : {std::uint16_t{2}, std::uint16_t{1}}) {
    SetCalcTexts(language);
    SetVocabularyLanguage(language);
    for (int n = 1; n <= kCalcTextCount; ++n) EXPECT_TRUE(IsFilledCp850(CalcTexts[n])) << n;
    for (const std::string& word : AllVocabulary()) EXPECT_TRUE(IsFilledCp850(word)) << word;
  }
  EXPECT_EQ(std::tuple(CalcTexts[9], CalcTexts[58], VocHardnessFactor),
            std::tuple("Au\xE1"
                       "enkreisdurchmesser",
                       "Bitte w\x84hlen",
                       "H\x84rteeinflu\xE1"
                       "faktor"));
}

TEST_F(TextsAndRecord, UnknownCodesKeepTheTextsAndNumbersOutsideReadEmpty) {
  SetCalcTexts(1);
  SetCalcTexts(3);
  SetVocabularyLanguage(1);
  SetVocabularyLanguage(7);
  EXPECT_EQ(std::tuple(CalcTexts[63], VocShaft, PartName(kHub)),
            std::tuple("Zykloide", "Welle", "Nabe"));
  SetCalcTexts(2);
  EXPECT_EQ(CalcTexts[63], "cycloid");
  EXPECT_EQ(std::tuple(CalcTexts[0], CalcTexts[64], CalcTexts[-1], PartName(0), PartName(3)),
            std::tuple("", "", "", "", ""));
}

TEST_F(TextsAndRecord, ResetClearsTheRecordButKeepsElimAndHmin) {
  CalcData.d1 = 60;
  CalcData.Sp[kHub] = 3;
  CalcData.TolShaft = "m6";
  CalcData.Designation[kFit] = "x";
  CalcData.elim = 3.75L;
  CalcData.hmin = 4.486L;
  DrawingName2[kShaft] = "second line";
  ResetCalcData();
  const kv6record& r = CalcData;
  EXPECT_EQ(std::tuple(r.d1, r.Sp[kHub], r.TolShaft, r.Designation[kFit], r.elim, r.hmin),
            std::tuple(0, 0, "k6", "", 3.75L, 4.486L));
  EXPECT_EQ(std::tuple(DrawingName[kShaft], DrawingName[kHub], DrawingName2[kShaft]),
            std::tuple("shaft", "hub", ""));
  SetCalcTexts(1);
  ResetCalcData();
  EXPECT_EQ(std::tuple(DrawingName[kShaft], DrawingName[kHub]), std::tuple("Welle", "Nabe"));
}

TEST_F(TextsAndRecord, MaterialResetForgetsTheChosenMaterials) {
  Materials[kHub].Re = 355;
  Materials[kHub].Name = "S355";
  PartFS[kShaft] = 1.2L;
  MaterialRecNo[kHub] = 7;
  ResetMaterials();
  for (int part = kShaft; part <= kHub; ++part) {
    EXPECT_EQ(
        std::tuple(Materials[part].Name, Materials[part].Re, PartFS[part], MaterialRecNo[part]),
        std::tuple("", 0, 1, 0))
        << part;
  }
}

}  // namespace
