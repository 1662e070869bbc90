#include "calc/calctexts.h"

// Non-ASCII letters are code page 850 octal escapes: \204 a-umlaut, \224 o-umlaut,
// \201 u-umlaut, \341 sharp s.
namespace {

struct CalcTextPair {
  const char* german;
  const char* english;
};

// Texts 1-63 in their fixed order. The English typos are the report's own words.
constexpr CalcTextPair kCalcTextPairs[kCalcTextCount] = {
    {"Welle-Nabeverbindung nicht verschiebbar", "shaft-hub joint not displaceable"},
    {"unbelastet verschiebbare Nabe", "unloaded displaceable hub"},
    {"unter Last verschiebbare Nabe", "under load displaceable hub"},
    {"nicht verschiebbar", "not displaceable"},
    {"unbelastet verschiebbar", "unloaded displaceable"},
    {"unter Last verschiebbar", "under load displaceable"},
    {"Profil", "profile"},
    {"Gleichdickdurchmesser", "spherical diameter"},
    {"Au\341enkreisdurchmesser", "outer circle diameter"},
    {"Innenkreisdurchmesser", "inner circle diameter"},
    {"Exzentergr\224\341e", "eccentricity"},
    {"Vorbohrung", "drill diameter"},
    {"Schleifscheibendurchmesser", "grinding disk diameter"},
    {"polares Widerstandsmoment", "section modulus, polar"},
    {"\204quatoriales Widerstandsmoment", "section modulus, equitorial"},
    {"\204quator.Widerstandsmoment", "section modulus, equitorial"},
    {"polares Tr\204gheitsmoment", "moment of inertia, polar"},
    {"Querschnitt", "section area"},
    {"Drehmoment", "torque"},
    {"Biegemoment", "bending moment"},
    {"Anwendungsfaktor", "application coefficient"},
    {"FESTIGKEIT", "STRENGTH"},
    {"NACH", "TO"},
    {"Werkstoff", "material"},
    {"Streckgrenze", "yield strength"},
    {"Lastfaktor", "load coefficent"},
    {"eins.Last", "pulsating load"},
    {"wechselnde Last", "alternating load"},
    {"zul.Fl\204chenpressung", "perm.pressure"},
    {"wechselnd", "alternating"},
    {"Nabenl\204nge", "profile length"},
    {"zul.Drehmoment", "perm.torque"},
    {"schwellend", "pulsating"},
    {"nach", "to"},
    {"Zeichen", "sign"},
    {"Einheit", "unit"},
    {"Welle", "shaft"},
    {"Nabe", "hub"},
    {"ABMESSUNGEN", "DIMENSIONS"},
    {"zul", "adm"},
    {"ISO-Toleranz", "ISO tolerance"},
    {"Radius", "radius"},
    {"unbema\341t", "not dimensioned"},
    {"bema\341t", "dimensioned"},
    {"zur\201ck", "return"},
    {"Quick", "Quick"},
    {"Nabenwanddicke", "wall thickness of hub"},
    {"Fl\204chenpressung", "pressure"},
    {"Lastwechselfaktor", "load alternating coeff."},
    {"Sicherheit", "safety"},
    {"Anwendung", "application"},
    {"Polygonprofil", "polygon profile"},
    {"Schubspannung", "shear stress"},
    {"Biegespannung", "bending stress"},
    {"Zeichnung", "drawing"},
    {"Tabelle", "table"},
    {"Fertigungszeichnung", "production drawing"},
    {"Bitte w\204hlen", "please select"},
    {"Vergleichsspannung", "reference stress"},
    {"Aufl\224sung", "resolution"},
    {"Polylinie", "polyline"},
    {"Kreisbogen", "circular arc"},
    {"Zykloide", "cycloid"},
};

const std::string kNoText;

}  // namespace

CalcTextTable CalcTexts;

const std::string& CalcTextTable::operator[](int number) const {
  if (number < 1 || number > kCalcTextCount) return kNoText;
  return texts_[number - 1];
}

void CalcTextTable::Assign(int number, const char* text) {
  if (number >= 1 && number <= kCalcTextCount) texts_[number - 1] = text;
}

void SetCalcTexts(std::uint16_t language) {
  if (language != 1 && language != 2) return;
  for (int number = 1; number <= kCalcTextCount; ++number) {
    const CalcTextPair& pair = kCalcTextPairs[number - 1];
    CalcTexts.Assign(number, language == 1 ? pair.german : pair.english);
  }
}
