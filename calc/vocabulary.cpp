#include "calc/vocabulary.h"

// Non-ASCII letters are code page 850 octal escapes: \204 a-umlaut, \224 o-umlaut,
// \201 u-umlaut, \341 sharp s.

std::string VocApplicationFactor = "Anwendungsfaktor";
std::string VocOuterDiameter = "Au\341endurchmesser";
std::string VocOuterPart = "Au\341enteil";
std::string VocBendingMoment = "Biegemoment";
std::string VocBendingStress = "Biegespannung";
std::string VocSelect = "Bitte w\204hlen";
std::string VocBore = "Bohrung";
std::string VocDatabase = "Datenbank";
std::string VocTorque = "Drehmoment";
std::string VocUnit = "Einheit";
std::string VocPulsatingLoad = "eins.Last";
std::string VocNumberOfTeeth = "Z\204hnezahl";
std::string VocToothHeight = "Zahnh\224he";
std::string VocProductionDrawing = "Fertigungszeichnung";
std::string VocPressure = "Fl\204chenpressung";
std::string VocJointLength = "F\201gel\204nge";
std::string VocHardnessFactor = "H\204rteeinflu\341faktor";
std::string VocInnerPart = "Innenteil";
std::string VocIsoTolerance = "ISO-Toleranz";
std::string VocLength = "L\204nge";
std::string VocLoadFactor = "Lastfaktor";
std::string VocAlternatingLoadFactor = "Lastwechselfaktor";
std::string VocWith = "mit";
std::string VocHub = "Nabe";
std::string VocAccordingTo = "nach";
std::string VocNotFound = "nicht gefunden";
std::string VocShearStress = "Schubspannung";
std::string VocPulsating = "schwellend";
std::string VocSafety = "Sicherheit";
std::string VocYieldPoint = "Streckgrenze";
std::string VocSupportFactor = "St\201tzfaktor";
std::string VocTable = "Tabelle";
std::string VocText = "Text";
std::string VocAnd = "und";
std::string VocEquivalentStress = "Vergleichsspannung";
std::string VocAlternating = "wechselnd";
std::string VocAlternatingLoad = "wechselnde Last";
std::string VocShaft = "Welle";
std::string VocMaterial = "Werkstoff";
std::string VocMaterialDatabase = "Werkstoffdatenbank";
std::string VocMaterialTypes = "Werkstoffgruppen";
std::string VocMaterialName = "Werkstoffname";
std::string VocMaterialNumber = "Werkstoffnummer";
std::string VocMaterialType = "Werkstofftyp";
std::string VocSign = "Zeichen";
std::string VocDrawing = "Zeichnung";
std::string VocDrawingName = "Zeichnungsname";
std::string VocDrawingNumber = "Zeichnungsnummer";
std::string VocAdm = "zul";
std::string VocPermTorque = "Zul.Drehmoment";
std::string VocPermPressure = "Zul.Fl\204chenpressung";
std::string VocPermissiblePressure = "Zul\204ssige Fl\204chenpressung";
std::string VocReturn = "zur\201ck";
std::string VocDimensionsHeading = "ABMESSUNGEN";
std::string VocStrengthHeading = "FESTIGKEIT";
std::string VocHubHeading = "NABE";
std::string VocAccordingToHeading = "NACH";
std::string VocShaftHeading = "WELLE";
std::string VocMaterialHeading = "WERKSTOFF";
std::string VocWallThickness = "Wanddicke";
std::string VocTension = "Zugspannung";

namespace {

struct VocabularyWord {
  std::string* word;
  const char* german;
  const char* english;
};

const VocabularyWord kVocabulary[] = {
    {&VocApplicationFactor, "Anwendungsfaktor", "application factor"},
    {&VocOuterDiameter, "Au\341endurchmesser", "Outer diameter"},
    {&VocOuterPart, "Au\341enteil", "Outer part"},
    {&VocBendingMoment, "Biegemoment", "bending moment"},
    {&VocBendingStress, "Biegespannung", "bending stress"},
    {&VocSelect, "Bitte w\204hlen", "Select"},
    {&VocBore, "Bohrung", "Borehole"},
    {&VocDatabase, "Datenbank", "database"},
    {&VocTorque, "Drehmoment", "torque"},
    {&VocUnit, "Einheit", "unit"},
    {&VocPulsatingLoad, "eins.Last", "Pulsat.load"},
    {&VocNumberOfTeeth, "Z\204hnezahl", "number of teeth"},
    {&VocToothHeight, "Zahnh\224he", "tooth height"},
    {&VocProductionDrawing, "Fertigungszeichnung", "Production drawing"},
    {&VocPressure, "Fl\204chenpressung", "pressure"},
    {&VocJointLength, "F\201gel\204nge", "Seam length"},
    {&VocHardnessFactor, "H\204rteeinflu\341faktor", "Hardness factor"},
    {&VocInnerPart, "Innenteil", "Inner part"},
    {&VocIsoTolerance, "ISO-Toleranz", "ISO tolerance"},
    {&VocLength, "L\204nge", "length"},
    {&VocLoadFactor, "Lastfaktor", "load factor"},
    {&VocAlternatingLoadFactor, "Lastwechselfaktor", "alternating load factor"},
    {&VocWith, "mit", "with"},
    {&VocHub, "Nabe", "hub"},
    {&VocAccordingTo, "nach", "acc.to"},
    {&VocNotFound, "nicht gefunden", "not found"},
    {&VocShearStress, "Schubspannung", "shearing stress"},
    {&VocPulsating, "schwellend", "pulsating"},
    {&VocSafety, "Sicherheit", "Safety"},
    {&VocYieldPoint, "Streckgrenze", "Yield Point"},
    {&VocSupportFactor, "St\201tzfaktor", "support factor"},
    {&VocTable, "Tabelle", "Table"},
    {&VocText, "Text", "Text"},
    {&VocAnd, "und", "and"},
    {&VocEquivalentStress, "Vergleichsspannung", "Reference stress"},
    {&VocAlternating, "wechselnd", "alternating"},
    {&VocAlternatingLoad, "wechselnde Last", "Alternat.load"},
    {&VocShaft, "Welle", "shaft"},
    {&VocMaterial, "Werkstoff", "material"},
    {&VocMaterialDatabase, "Werkstoffdatenbank", "Material database"},
    {&VocMaterialTypes, "Werkstoffgruppen", "Material types"},
    {&VocMaterialName, "Werkstoffname", "Material name"},
    {&VocMaterialNumber, "Werkstoffnummer", "Material number"},
    {&VocMaterialType, "Werkstofftyp", "Material type"},
    {&VocSign, "Zeichen", "sign"},
    {&VocDrawing, "Zeichnung", "Drawing"},
    {&VocDrawingName, "Zeichnungsname", "Drawing name"},
    {&VocDrawingNumber, "Zeichnungsnummer", "Drawing number"},
    {&VocAdm, "zul", "adm"},
    {&VocPermTorque, "Zul.Drehmoment", "Perm. torque"},
    {&VocPermPressure, "Zul.Fl\204chenpressung", "Perm. pressure"},
    {&VocPermissiblePressure, "Zul\204ssige Fl\204chenpressung", "Permissible pressure"},
    {&VocReturn, "zur\201ck", "return"},
    {&VocDimensionsHeading, "ABMESSUNGEN", "DIMENSIONS"},
    {&VocStrengthHeading, "FESTIGKEIT", "STRENGTH"},
    {&VocHubHeading, "NABE", "HUB"},
    {&VocAccordingToHeading, "NACH", "ACC."},
    {&VocShaftHeading, "WELLE", "SHAFT"},
    {&VocMaterialHeading, "WERKSTOFF", "MATERIAL"},
    {&VocWallThickness, "Wanddicke", "wall thickness"},
    {&VocTension, "Zugspannung", "tension"},
};

}  // namespace

void SetVocabularyLanguage(std::uint16_t language) {
  if (language != 1 && language != 2) return;
  for (const VocabularyWord& entry : kVocabulary) {
    *entry.word = language == 1 ? entry.german : entry.english;
  }
}
