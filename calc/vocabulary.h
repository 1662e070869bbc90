#pragma once
// The shared vocabulary of reports, forms, tables and drawings, in German or English. Each
// word starts German; the start-up sets English. Stored as code page 850 bytes.

#include <cstdint>
#include <string>

extern std::string VocApplicationFactor;
extern std::string VocOuterDiameter;
extern std::string VocOuterPart;
extern std::string VocBendingMoment;
extern std::string VocBendingStress;
extern std::string VocSelect;
extern std::string VocBore;
extern std::string VocDatabase;
extern std::string VocTorque;
extern std::string VocUnit;
extern std::string VocPulsatingLoad;
extern std::string VocNumberOfTeeth;
extern std::string VocToothHeight;
extern std::string VocProductionDrawing;
extern std::string VocPressure;
extern std::string VocJointLength;
extern std::string VocHardnessFactor;
extern std::string VocInnerPart;
extern std::string VocIsoTolerance;
extern std::string VocLength;
extern std::string VocLoadFactor;
extern std::string VocAlternatingLoadFactor;
extern std::string VocWith;
extern std::string VocHub;
extern std::string VocAccordingTo;
extern std::string VocNotFound;
extern std::string VocShearStress;
extern std::string VocPulsating;
extern std::string VocSafety;
extern std::string VocYieldPoint;
extern std::string VocSupportFactor;
extern std::string VocTable;
extern std::string VocText;
extern std::string VocAnd;
extern std::string VocEquivalentStress;
extern std::string VocAlternating;
extern std::string VocAlternatingLoad;
extern std::string VocShaft;
extern std::string VocMaterial;
extern std::string VocMaterialDatabase;
extern std::string VocMaterialTypes;
extern std::string VocMaterialName;
extern std::string VocMaterialNumber;
extern std::string VocMaterialType;
extern std::string VocSign;
extern std::string VocDrawing;
extern std::string VocDrawingName;
extern std::string VocDrawingNumber;
extern std::string VocAdm;
extern std::string VocPermTorque;
extern std::string VocPermPressure;
extern std::string VocPermissiblePressure;
extern std::string VocReturn;
extern std::string VocDimensionsHeading;
extern std::string VocStrengthHeading;
extern std::string VocHubHeading;
extern std::string VocAccordingToHeading;
extern std::string VocShaftHeading;
extern std::string VocMaterialHeading;
extern std::string VocWallThickness;
extern std::string VocTension;

// Language 1 German, 2 English; any other code leaves the words as they are.
void SetVocabularyLanguage(std::uint16_t language);
