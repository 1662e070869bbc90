#pragma once
// ISO 286-1 data: standard tolerance grades IT1-IT18, the fundamental deviations of the
// letters a-zc (holes A-ZC use the same magnitudes), the delta values of the holes and the
// j and J rows. Values in micrometres.

#include <array>
#include <cstdint>

enum class IsoRangeScheme { R21, R39, R41 };

inline constexpr int kIsoRangeCountR21 = 21;
inline constexpr int kIsoRangeCountR39 = 39;
inline constexpr int kIsoRangeCountR41 = 41;
inline constexpr int kIsoRangesTo500 = 13;  // R21 ranges up to 500 mm
inline constexpr int kIsoGradeCount = 18;
inline constexpr int kIsoLetterCount = 28;

// Upper limits (mm) of the size ranges of each scheme; the first range starts at 0.
extern const std::array<std::int32_t, kIsoRangeCountR21> kIsoRangeLimitsR21;
extern const std::array<std::int32_t, kIsoRangeCountR39> kIsoRangeLimitsR39;
extern const std::array<std::int32_t, kIsoRangeCountR41> kIsoRangeLimitsR41;

// [R21 range 0..20][grade 1..18 at 0..17]
extern const double kIsoIT[kIsoRangeCountR21][kIsoGradeCount];

// Delta of the holes: [grade 3..8 at 0..5][R21 range up to 500 mm]
inline constexpr int kIsoDeltaFirstGrade = 3;
inline constexpr int kIsoDeltaLastGrade = 8;
extern const double kIsoDelta[6][kIsoRangesTo500];

// Upper deviation of j (grades 5-8) and J (grades 6-8) over the R21 ranges up to 500 mm.
extern const std::int32_t kIsoJShaft[4][kIsoRangesTo500];  // j5..j8
extern const std::int32_t kIsoJHole[3][kIsoRangesTo500];   // J6..J8

// A range the standard leaves blank for a letter.
inline constexpr std::int32_t kIsoNoValue = -1;

struct IsoDeviationRow {
  const char* letters;  // shaft letters; the hole row of the capitals is the same
  IsoRangeScheme scheme;
  std::array<std::int32_t, kIsoRangeCountR41> cells;  // magnitudes by range of the scheme
};

inline constexpr int kIsoDeviationRowCount = 25;  // every letter but h, j and js
extern const IsoDeviationRow kIsoDeviationRows[kIsoDeviationRowCount];

// The letter table: row 0 shafts "a".."zc", row 1 holes "A".."ZC".
extern const char* const kIsoLetters[2][kIsoLetterCount];

// The row of a shaft letter name ("a".."zc"), or nullptr.
const IsoDeviationRow* FindIsoDeviationRow(const char* shaftLetters);
