#include "app/lang/vmenuqel.h"

#include <algorithm>
#include <optional>

std::array<MenuText, kMenuTermCount + 1> MenuTerms;

namespace {

struct GermanEnglish {
  const char* german;
  const char* english;
};

// clang-format off
constexpr std::array<GermanEnglish, kMenuTermCount> kTerms = {{
    {"&Berechnung", "Calc.Met&hod"},  // 1
    {"&Bezugsprofil", "C&utting Tool"},  // 2
    {"&Profil", "&Profile"},  // 3
    {"&DIN 5480 ", "DIN &5480"},  // 4
    {"Zahn&eingriff", "Tooth &Contact"},  // 5
    {"&Festigkeit", "S&trength"},  // 6
    {"&Geometrie", "&Geometry"},  // 7
    {"&Getriebe", "&Gear"},  // 8
    {"&ISO-Auslegung", "&ISO dimens."},  // 9
    {"Kegelrad&getriebe", "Bevel &gear"},  // 10
    {"&Last", "&Load"},  // 11
    {"Last&kollektiv", "&Load Spectrum"},  // 12
    {"&Lebensdauer", "&Life Expectation"},  // 13
    {"&Messen", "Me&asurement"},  // 14
    {"&Nabe", "&Hub"},  // 15
    {"&Passfeder", "Parallel &Key"},  // 16
    {"&Passung", "&Fit"},  // 17
    {"&Planetengetriebe", "&Planetary Gear"},  // 18
    {"&Planetenstufe", "&Planet.Gear"},  // 19
    {"&Steg", "&Carrier"},  // 20
    {"Prü&fmaße", "Measure"},  // 21
    {"&Qualität", "&Quality"},  // 22
    {"&Rad", "&Gear"},  // 23
    {"&Ritzel", "&Pinion"},  // 24
    {"&Schnecke", "&Worm"},  // 25
    {"Schnecken&rad", "Worm Wh&eel"},  // 26
    {"&Spannung", "St&ress"},  // 27
    {"Ta&bellenzeichnung", "Dra&wing Table"},  // 28
    {"Ta&bellen", "Ta&bles"},  // 29
    {"&Tellerrad", "&Crown gear"},  // 30
    {"&Temperatur", "T&emperature  "},  // 31
    {"&Verzahnung", "&Toothing"},  // 32
    {"&Welle", "Sh&aft"},  // 33
    {"&Werkstattblatt", "&Production Sheet"},  // 34
    {"Werkstoff&typ", "Material &type"},  // 35
    {"Zahn", "&Tooth"},  // 36
    {"Zahneingriff", "Tooth &contact"},  // 37
    {"Zahn&form", "&Tooth Profile"},  // 38
    {"&Kugelmaß", "Dimension over &balls"},  // 39
    {"&Rollenmaß", "Dimension over &pins"},  // 40
    {"&Zahnweite", "&Span measurement"},  // 41
    {"Geometrie &und Festigkeit", "Dimensions &and Strength"},  // 42
    {"Schnecken&getriebe", "Worm &Gear"},  // 43
    {"Pol&ylinie Fussausrundung", "Pol&yline Tooth Root"},  // 44
    {"&Profilverschiebung", "&Profile Shift"},  // 45
    {"&Leistung", "&Power"},  // 46
    {"&Einbaumass", "&Assembly Dimension"},  // 47
    {"&Antrieb", "&Input/Output"},  // 48
    {"&Wälzkurve", "&Curve Geometry"},  // 49
    {"&Zahngeometrie", "&Tooth Dimensions"},  // 50
    {"Teilkurven", "&Pitch curve"},  // 51
    {"Zahnräder", "&Gear wheels"},  // 52
    {"Zahnrad", "&Gear"},  // 53
    {"&Wälzlager", "&Roller bearing"},  // 54
    {"&Kegelrad", "&Bevel Gear"},  // 55
    {"Zahn&dicke", "&Tooth Thickness"},  // 56
    {"Zahn&stange", "&Rack"},  // 57
    {"&Sonderabmessungen", "&Special dimensions"},  // 58
    {"&Hohlrad", "&Ring Gear"},  // 59
    {"&Zahnfußbeanspruchung", "&Tooth Root Strength"},  // 60
    {"&Grübchenbildung", "&Pitting"},  // 61
    {"&Zahnwelle", "&Involute Spline"},  // 62
    {"&Scheibenfeder", "&Woodruff Key"},  // 63
    {"&Rollwinkel", "&Roll Angle"},  // 64
    {"&mehrstufig", "&multistage"},  // 65
    {"Spezifisches &Gleiten", "Specific &Sliding"},  // 66
    {"Antriebsrad", "Driving wheel"},  // 67
    {"Malteserrad", "Maltese cross"},  // 68
    {"Lagerplatte", "Bearing plate"},  // 69
    {"Distanzhülse", "Spacer sleeeve"},  // 70
    {"Schraubrad", "helical gear"},  // 71
    {"Schraubradgetriebe", "cross-helical gear"},  // 72
    {"&Haftbeiwerte", "&Friction Coefficients"},  // 73
    {"&Prüfbescheinigung", "&Test Certificate"},  // 74
    {"&axial", "&axial"},  // 75
    {"&radial", "&radial"},  // 76
    {"&Wirkungsgrad", "&Efficiency"},  // 77
}};
// clang-format on

// The four terms that reach the menus, in the order load, hub, shaft, material type.
struct ReadTerms {
  std::int32_t code;
  std::array<const char*, 4> utf8;
};

constexpr std::array<ReadTerms, 4> kOtherLanguages = {{
    {6, {"CARGA", "ANEL DE ARRASTE", "EIXO", "ESPECIFICACAO MATERIAL"}},
    {7, {"&Incarca", "&Bucsa", "Arbore", "Tipuri de materiale"}},
    {8, {"하중(&L)", "허브(&H)", "축(&a)", "소재타입(&t)"}},
    {12, {"载荷", "毂", "轴", "材料型号"}},
}};
constexpr std::array<int, 4> kReadTermNumbers = {kTermLoad, kTermHub, kTermShaft,
                                                 kTermMaterialType};
constexpr std::array<int, 5> kUntranslated = {67, 68, 69, 70, 72};
constexpr int kMultistage = 65;

std::uint16_t StoredCodePage(std::int32_t code) {
  if (code == 8) return platform::kCodePage949;
  if (code == 12) return platform::kCodePage936;
  return platform::kCodePage1252;
}

MenuText Latin(const char* utf8) {
  return platform::EncodeTagged(utf8, platform::kCodePage1252);
}

// The terms of a language converted once: nothing stored for a term the language leaves alone.
struct Stored {
  std::array<MenuText, kMenuTermCount + 1> text;
  std::array<bool, kMenuTermCount + 1> present{};
};

Stored Build(std::int32_t code) {
  Stored s;
  for (int n = 1; n <= kMenuTermCount; ++n) {
    s.present[n] = true;
    s.text[n] = Latin(code == 1 ? kTerms[n - 1].german : kTerms[n - 1].english);
  }
  for (const ReadTerms& other : kOtherLanguages) {
    if (other.code != code) continue;
    for (int k = 0; k < 4; ++k) {
      s.text[kReadTermNumbers[k]] = platform::EncodeTagged(other.utf8[k], StoredCodePage(code));
    }
    for (int n : kUntranslated) s.present[n] = false;
    if (code == 12) s.present[kMultistage] = false;
  }
  return s;
}

// Built when the language is first set, so that a run that stays in English opens no converter.
const Stored* StoredFor(std::int32_t code) {
  static constexpr std::array<std::int32_t, 6> kCodes = {1, 2, 6, 7, 8, 12};
  static std::array<std::optional<Stored>, kCodes.size()> languages;
  const auto found = std::find(kCodes.begin(), kCodes.end(), code);
  if (found == kCodes.end()) return nullptr;
  std::optional<Stored>& stored = languages[static_cast<std::size_t>(found - kCodes.begin())];
  if (!stored) stored = Build(code);
  return &*stored;
}

[[maybe_unused]] const bool kStartsInEnglish = (SetMenuTermsLanguage(2), true);

}  // namespace

void SetMenuTermsLanguage(std::int32_t code) {
  const Stored* stored = StoredFor(code);
  if (stored == nullptr) return;
  for (int n = 1; n <= kMenuTermCount; ++n) {
    if (stored->present[n]) MenuTerms[n] = stored->text[n];
  }
}
