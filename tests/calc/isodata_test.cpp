// Guards the typed-in ISO 286-1 tables against typing errors: exact identities of the
// standard, bands around its formulas and the shape of every row the rules read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "calc/tolisotables.h"

namespace {

struct Range {
  double lower;
  double upper;
  int r21;  // the R21 range that holds it
  double D() const { return std::sqrt((lower == 0 ? 1 : lower) * upper); }
};

std::vector<Range> Ranges(IsoRangeScheme scheme) {
  using Limits = std::span<const std::int32_t>;
  const Limits limits = scheme == IsoRangeScheme::R21   ? Limits(kIsoRangeLimitsR21)
                        : scheme == IsoRangeScheme::R39 ? Limits(kIsoRangeLimitsR39)
                                                        : Limits(kIsoRangeLimitsR41);
  std::vector<Range> ranges;
  double lower = 0;
  for (std::int32_t upper : limits) {
    int r21 = 0;
    while (kIsoRangeLimitsR21[r21] < upper) ++r21;
    ranges.push_back({lower, static_cast<double>(upper), r21});
    lower = upper;
  }
  return ranges;
}

double IT(int grade, int r21) {
  return kIsoIT[r21][grade - 1];
}

const IsoDeviationRow& RowOf(const char* letters) {
  const IsoDeviationRow* row = FindIsoDeviationRow(letters);
  EXPECT_NE(row, nullptr) << letters;
  return *row;
}

// The row value of letters at the R21 range that holds the R39 or R41 range.
double CellAt(const char* letters, double upperLimit) {
  const IsoDeviationRow& row = RowOf(letters);
  const std::vector<Range> ranges = Ranges(row.scheme);
  for (std::size_t i = 0; i < ranges.size(); ++i) {
    if (ranges[i].upper >= upperLimit) return row.cells[i];
  }
  return kIsoNoValue;
}

// Within pct percent of the formula value, or 1 micrometre when that is more.
void ExpectNear(double value, double formula, double pct, const std::string& what) {
  const double band = std::max(formula * pct / 100, 1.0);
  EXPECT_LE(std::fabs(value - formula), band) << what << ": " << value << " against " << formula;
}

TEST(Iso286Data, IdentitiesOfTheStandardHoldExactly) {
  for (int r = 0; r < kIsoRangesTo500; ++r) {
    for (int grade = kIsoDeltaFirstGrade; grade <= kIsoDeltaLastGrade; ++grade) {
      const double delta = kIsoDelta[grade - kIsoDeltaFirstGrade][r];
      EXPECT_EQ(delta, r == 0 ? 0 : IT(grade, r) - IT(grade - 1, r))
          << "delta IT" << grade << " range " << r;
    }
  }
  for (int r = 0; r < kIsoRangeCountR21; ++r) {
    for (int grade = 7; grade <= 13; ++grade) {
      EXPECT_EQ(IT(grade + 5, r), 10 * IT(grade, r)) << "IT" << grade + 5 << " range " << r;
    }
  }
  const IsoDeviationRow& m = RowOf("m");
  const IsoDeviationRow& p = RowOf("p");
  for (int r = 1; r < kIsoRangesTo500; ++r) {
    EXPECT_EQ(m.cells[r], IT(7, r) - IT(6, r)) << "m range " << r;
    EXPECT_GE(p.cells[r], IT(7, r)) << "p range " << r;
    EXPECT_LE(p.cells[r], IT(7, r) + 5) << "p range " << r;
  }
  const std::vector<Range> r39 = Ranges(IsoRangeScheme::R39);
  const IsoDeviationRow& s = RowOf("s");
  for (std::size_t i = 1; r39[i].upper <= 50; ++i) {
    EXPECT_GE(s.cells[i], IT(8, r39[i].r21) + 1) << "s range " << i;
    EXPECT_LE(s.cells[i], IT(8, r39[i].r21) + 4) << "s range " << i;
  }
}

TEST(Iso286Data, StandardTolerancesFollowTheStandardFactor) {
  static constexpr double kFactors[] = {7,   10,  16,  25,  40,   64,   100,
                                        160, 250, 400, 640, 1000, 1600, 2500};
  const std::vector<Range> r21 = Ranges(IsoRangeScheme::R21);
  for (int r = 1; r < kIsoRangeCountR21; ++r) {
    const double D = r21[r].D();
    const double i = D <= 500 ? 0.45 * std::cbrt(D) + 0.001 * D : 0.004 * D + 2.1;
    for (int grade = 5; grade <= 18; ++grade) {
      ExpectNear(IT(grade, r), kFactors[grade - 5] * i, 10,
                 "IT" + std::to_string(grade) + " range " + std::to_string(r));
    }
    if (r < kIsoRangesTo500) continue;
    static constexpr double kFineFactors[] = {2, 2.7, 3.7, 5};
    for (int grade = 1; grade <= 4; ++grade) {
      ExpectNear(IT(grade, r), kFineFactors[grade - 1] * i, 10,
                 "IT" + std::to_string(grade) + " range " + std::to_string(r));
    }
  }
}

struct LetterFormula {
  const char* letters;
  double fromSize;  // lower limit of the first range checked
  std::function<double(double D, int r21)> value;
};

TEST(Iso286Data, FundamentalDeviationsFollowTheFormulas) {
  const std::vector<LetterFormula> formulas = {
      {"a", 10, [](double D, int) { return D <= 120 ? 265 + 1.3 * D : 3.5 * D; }},
      {"b", 10, [](double D, int) { return D <= 160 ? 140 + 0.85 * D : 1.8 * D; }},
      {"c", 10, [](double D, int) { return D <= 40 ? 52 * std::pow(D, 0.2) : 95 + 0.8 * D; }},
      {"d", 10, [](double D, int) { return 16 * std::pow(D, 0.44); }},
      {"e", 10, [](double D, int) { return 11 * std::pow(D, 0.41); }},
      {"f", 10, [](double D, int) { return 5.5 * std::pow(D, 0.41); }},
      {"g", 10, [](double D, int) { return 2.5 * std::pow(D, 0.34); }},
      {"n", 10, [](double D, int) { return D <= 500 ? 5 * std::pow(D, 0.34) : 0.04 * D + 21; }},
      {"m", 500, [](double D, int) { return 0.024 * D + 12.6; }},
      {"p", 500, [](double D, int) { return 0.072 * D + 37.8; }},
      {"s", 50, [](double D, int r) { return IT(7, r) + 0.4 * D; }},
      {"t", 10, [](double D, int r) { return IT(7, r) + 0.63 * D; }},
      {"u", 10, [](double D, int r) { return IT(7, r) + D; }},
      {"v", 10, [](double D, int r) { return IT(7, r) + 1.25 * D; }},
      {"x", 10, [](double D, int r) { return IT(7, r) + 1.6 * D; }},
      {"y", 10, [](double D, int r) { return IT(7, r) + 2 * D; }},
      {"z", 10, [](double D, int r) { return IT(7, r) + 2.5 * D; }},
      {"za", 10, [](double D, int r) { return IT(8, r) + 3.15 * D; }},
      {"zb", 10, [](double D, int r) { return IT(9, r) + 4 * D; }},
      {"zc", 10, [](double D, int r) { return IT(10, r) + 5 * D; }},
  };
  for (const LetterFormula& formula : formulas) {
    const IsoDeviationRow& row = RowOf(formula.letters);
    const std::vector<Range> ranges = Ranges(row.scheme);
    for (std::size_t i = 0; i < ranges.size(); ++i) {
      if (ranges[i].lower < formula.fromSize || row.cells[i] == kIsoNoValue) continue;
      ExpectNear(row.cells[i], formula.value(ranges[i].D(), ranges[i].r21), 15,
                 std::string(formula.letters) + " range " + std::to_string(i));
    }
  }
}

TEST(Iso286Data, IntermediateLettersAreGeometricMeans) {
  const std::vector<std::array<const char*, 3>> means = {
      {"cd", "c", "d"}, {"ef", "e", "f"}, {"fg", "f", "g"}, {"r", "p", "s"}};
  for (const auto& [letters, first, second] : means) {
    const IsoDeviationRow& row = RowOf(letters);
    const std::vector<Range> ranges = Ranges(row.scheme);
    for (std::size_t i = 0; i < ranges.size() && row.cells[i] != kIsoNoValue; ++i) {
      ExpectNear(row.cells[i],
                 std::sqrt(CellAt(first, ranges[i].upper) * CellAt(second, ranges[i].upper)), 10,
                 std::string(letters) + " range " + std::to_string(i));
    }
  }
}

TEST(Iso286Data, TolerancesRiseWithGradeAndNeverFallWithSize) {
  for (int r = 0; r < kIsoRangeCountR21; ++r) {
    for (int grade = 2; grade <= kIsoGradeCount; ++grade) {
      EXPECT_GT(IT(grade, r), IT(grade - 1, r)) << "IT" << grade << " range " << r;
      if (r > 0) {
        EXPECT_GE(IT(grade, r), IT(grade, r - 1)) << "IT" << grade << " range " << r;
      }
    }
  }
}

// The ranges each row must cover for the rules: a, b, c and v-zc up to 500 mm, cd, ef and fg up
// to 10 mm, t from 24 mm, v from 14 mm and y from 18 mm, every other row the whole scheme.
// Nothing lies beyond the scheme, and no deviation falls with size (the k row drops to 0 above
// 500 mm by the standard).
TEST(Iso286Data, DeviationRowsHaveAValueWhereTheRulesReadAndNeverFall) {
  for (const IsoDeviationRow& row : kIsoDeviationRows) {
    const std::string letters = row.letters;
    const std::vector<Range> ranges = Ranges(row.scheme);
    double from = 0;
    double upTo = 3150;
    if (letters == "a" || letters == "b" || letters == "c" || letters >= "v") upTo = 500;
    if (letters == "cd" || letters == "ef" || letters == "fg") upTo = 10;
    if (letters == "t") from = 24;
    if (letters == "v") from = 14;
    if (letters == "y") from = 18;
    for (std::size_t i = 0; i < row.cells.size(); ++i) {
      const bool read = i < ranges.size() && ranges[i].lower >= from && ranges[i].upper <= upTo;
      EXPECT_EQ(row.cells[i] != kIsoNoValue, read) << letters << " range " << i;
      if (i == 0 || !read || row.cells[i - 1] == kIsoNoValue) continue;
      if (letters != "k" || i < kIsoRangesTo500) {
        EXPECT_LE(row.cells[i - 1], row.cells[i]) << letters << " range " << i;
      }
    }
  }
}

}  // namespace
