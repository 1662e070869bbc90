#include "calc/toliso.h"

#include <cmath>
#include <cstring>

#include "base/settings/wbrelvar.h"
#include "base/text/messages.h"
#include "base/text/numbertext.h"
#include "calc/tolisotables.h"

std::int32_t IsoShaftPosition = 0;
std::int32_t IsoHolePosition = 0;

void ResetIsoStepping() {
  IsoShaftPosition = 0;
  IsoHolePosition = 0;
}

namespace {

constexpr int kRange500To630 = kIsoRangesTo500;  // first R21 range above 500 mm
constexpr int kRange6To10 = 2;                   // last R21 range up to 10 mm
constexpr int kRange250To315 = 10;
constexpr int kR41Range14To18 = 4;
constexpr int kR41Range18To24 = 5;
constexpr int kR41Range24To30 = 6;

struct SizeRanges {
  int r21 = 0;
  int r39 = 0;
  int r41 = 0;
};

template <std::size_t N>
int RangeIndex(const std::array<std::int32_t, N>& upperLimits, long double n) {
  for (std::size_t i = 0; i + 1 < N; ++i) {
    if (n < upperLimits[i]) return static_cast<int>(i);
  }
  return static_cast<int>(N) - 1;
}

// A size on a range boundary belongs to the lower range, as the standard's ranges run "over
// the lower limit up to and including the upper limit". The size stays a float throughout.
bool FindSizeRanges(long double nominal, SizeRanges& ranges) {
  const long double n = std::trunc(std::fabs(nominal) - 0.001L);
  if (!(n < kIsoRangeLimitsR21.back())) return false;
  ranges.r21 = RangeIndex(kIsoRangeLimitsR21, n);
  ranges.r39 = RangeIndex(kIsoRangeLimitsR39, n);
  ranges.r41 = RangeIndex(kIsoRangeLimitsR41, n);
  return true;
}

// Where a letter may be used within its size coverage.
enum class SizeFloor {
  kNone,
  kUpTo10,       // shafts cd, ef, fg: message L10
  kUpTo10Hole,   // holes CD, EF, FG: message L10G
  kAbove24,      // t and T: message L24
  kAbove14,      // shaft v: message L500
  kAbove18,      // shaft y: message L500
  kAbove14Hole,  // hole V: message LG
  kAbove18Hole,  // hole Y: message LG
};

enum class Formula {
  kUpperIsMinusT,  // a-g, cd-fg: upper = -T, lower = upper - IT
  kLowerIsT,       // m-zc and the holes A-G, CD-FG: lower = T, upper = lower + IT
};

// A grade window: outside it either only a message is set (advisory text) or, without a
// text, the grade message ends the calculation.
struct GradeWindow {
  std::uint8_t lowest;
  std::uint8_t highest;
  const char* advisory;
};

struct LetterRule {
  const char* letters;
  const char* row;  // the shaft row of the fundamental deviation
  Formula formula;
  bool upTo500;
  SizeFloor floor;
  GradeWindow window;
};

constexpr LetterRule kLetterRules[] = {
    {"a", "a", Formula::kUpperIsMinusT, true, SizeFloor::kNone, {9, 13, "a9..a13"}},
    {"b", "b", Formula::kUpperIsMinusT, true, SizeFloor::kNone, {8, 13, "b8..b13"}},
    {"c", "c", Formula::kUpperIsMinusT, true, SizeFloor::kNone, {8, 12, "c8..c12"}},
    {"cd", "cd", Formula::kUpperIsMinusT, true, SizeFloor::kUpTo10, {5, 10, "cd 5 .. cd 10"}},
    {"d", "d", Formula::kUpperIsMinusT, false, SizeFloor::kNone, {5, 13, "d5..d13"}},
    {"e", "e", Formula::kUpperIsMinusT, false, SizeFloor::kNone, {5, 10, "e5..e10"}},
    {"ef", "ef", Formula::kUpperIsMinusT, true, SizeFloor::kUpTo10, {3, 10, "ef 3 .. ef 10"}},
    {"f", "f", Formula::kUpperIsMinusT, false, SizeFloor::kNone, {3, 10, "f3..f10"}},
    {"fg", "fg", Formula::kUpperIsMinusT, true, SizeFloor::kUpTo10, {3, 10, "fg 3 .. fg 10"}},
    {"g", "g", Formula::kUpperIsMinusT, false, SizeFloor::kNone, {3, 10, "g3..g10"}},
    {"m", "m", Formula::kLowerIsT, false, SizeFloor::kNone, {3, 9, "m3..m9"}},
    {"n", "n", Formula::kLowerIsT, false, SizeFloor::kNone, {3, 9, "n3..n9"}},
    {"p", "p", Formula::kLowerIsT, false, SizeFloor::kNone, {3, 10, "p3..p10"}},
    {"r", "r", Formula::kLowerIsT, false, SizeFloor::kNone, {3, 10, "r3..r10"}},
    {"s", "s", Formula::kLowerIsT, false, SizeFloor::kNone, {3, 10, "s3..s10"}},
    {"t", "t", Formula::kLowerIsT, false, SizeFloor::kAbove24, {5, 9, "t5..t9"}},
    {"u", "u", Formula::kLowerIsT, false, SizeFloor::kNone, {5, 9, "u5..u9"}},
    {"v", "v", Formula::kLowerIsT, true, SizeFloor::kAbove14, {5, 8, "v5..v8"}},
    {"x", "x", Formula::kLowerIsT, true, SizeFloor::kNone, {5, 11, "x5..x11"}},
    {"y", "y", Formula::kLowerIsT, true, SizeFloor::kAbove18, {5, 10, "y5..y10"}},
    {"z", "z", Formula::kLowerIsT, true, SizeFloor::kNone, {6, 11, "z6..z11"}},
    {"za", "za", Formula::kLowerIsT, true, SizeFloor::kNone, {6, 11, nullptr}},
    {"zb", "zb", Formula::kLowerIsT, true, SizeFloor::kNone, {7, 11, nullptr}},
    {"zc", "zc", Formula::kLowerIsT, true, SizeFloor::kNone, {7, 11, nullptr}},
    {"A", "a", Formula::kLowerIsT, true, SizeFloor::kNone, {9, 13, nullptr}},
    {"B", "b", Formula::kLowerIsT, true, SizeFloor::kNone, {8, 13, nullptr}},
    {"C", "c", Formula::kLowerIsT, true, SizeFloor::kNone, {8, 13, nullptr}},
    {"CD", "cd", Formula::kLowerIsT, true, SizeFloor::kUpTo10Hole, {6, 10, nullptr}},
    {"D", "d", Formula::kLowerIsT, false, SizeFloor::kNone, {6, 13, nullptr}},
    {"E", "e", Formula::kLowerIsT, false, SizeFloor::kNone, {5, 10, nullptr}},
    {"EF", "ef", Formula::kLowerIsT, true, SizeFloor::kUpTo10Hole, {3, 10, nullptr}},
    {"F", "f", Formula::kLowerIsT, false, SizeFloor::kNone, {3, 10, nullptr}},
    {"FG", "fg", Formula::kLowerIsT, true, SizeFloor::kUpTo10Hole, {3, 10, nullptr}},
    {"G", "g", Formula::kLowerIsT, false, SizeFloor::kNone, {3, 10, nullptr}},
};

// Holes P to ZC: upper = -T, plus delta up to IT7 for sizes up to 500 mm.
struct DeltaHoleRule {
  const char* letters;
  const char* row;
  bool upTo500;
  SizeFloor floor;
};

constexpr DeltaHoleRule kDeltaHoleRules[] = {
    {"P", "p", false, SizeFloor::kNone},  {"R", "r", false, SizeFloor::kNone},
    {"S", "s", false, SizeFloor::kNone},  {"T", "t", false, SizeFloor::kAbove24},
    {"U", "u", false, SizeFloor::kNone},  {"V", "v", true, SizeFloor::kAbove14Hole},
    {"X", "x", true, SizeFloor::kNone},   {"Y", "y", true, SizeFloor::kAbove18Hole},
    {"Z", "z", true, SizeFloor::kNone},   {"ZA", "za", true, SizeFloor::kNone},
    {"ZB", "zb", true, SizeFloor::kNone}, {"ZC", "zc", true, SizeFloor::kNone},
};

const char* const kTwoLetterNames[] = {"cd", "ef", "fg", "js", "za", "zb", "zc",
                                       "CD", "EF", "FG", "JS", "ZA", "ZB", "ZC"};

// One calculation: inputs and where the results go.
struct IsoCase {
  std::string& letters;
  std::uint8_t grade;
  SizeRanges ranges;
  long double& lower;
  long double& upper;
  std::string& message;

  bool Above500() const { return ranges.r21 >= kRange500To630; }
  long double IT() const { return kIsoIT[ranges.r21][grade - 1]; }
  long double Delta() const { return kIsoDelta[grade - kIsoDeltaFirstGrade][ranges.r21]; }
  long double T(const char* row) const {
    const IsoDeviationRow* found = FindIsoDeviationRow(row);
    switch (found->scheme) {
      case IsoRangeScheme::R21:
        return found->cells[ranges.r21];
      case IsoRangeScheme::R39:
        return found->cells[ranges.r39];
      case IsoRangeScheme::R41:
        return found->cells[ranges.r41];
    }
    return 0;
  }
  std::string GradeText() const { return IntText(grade); }
  void GradeMessage() {
    message = "tolerance grade " + GradeText() + " not defined for " + letters;
  }
  void FromUpper(long double value) {
    upper = value;
    lower = value - IT();
  }
  void FromLower(long double value) {
    lower = value;
    upper = value + IT();
  }
};

// Sets the size message and answers false when the letter is not defined at this size.
bool SizeAllowed(IsoCase& c, bool upTo500, SizeFloor floor) {
  if (upTo500 && c.Above500()) {
    c.message = "d>500 not defined for " + c.letters;
    return false;
  }
  const std::string from = " is defined only from";
  switch (floor) {
    case SizeFloor::kNone:
      return true;
    case SizeFloor::kUpTo10:
      if (c.ranges.r21 <= kRange6To10) return true;
      c.message = c.letters + from + " 1 to 10 mm ";
      return false;
    case SizeFloor::kUpTo10Hole:
      if (c.ranges.r21 <= kRange6To10) return true;
      c.message = c.letters + " " + c.GradeText() + from + " 1 to 10 mm ";
      return false;
    case SizeFloor::kAbove24:
      if (c.ranges.r41 >= kR41Range24To30) return true;
      c.message = c.letters + from + " > 24 mm ";
      return false;
    case SizeFloor::kAbove14:
      if (c.ranges.r41 >= kR41Range14To18) return true;
      c.message = c.letters + from + " > 14 to 500 mm ";
      return false;
    case SizeFloor::kAbove18:
      if (c.ranges.r41 >= kR41Range18To24) return true;
      c.message = c.letters + from + " > 18 to 500 mm ";
      return false;
    case SizeFloor::kAbove14Hole:
      if (c.ranges.r41 >= kR41Range14To18) return true;
      c.message = c.letters + " " + c.GradeText() + from + " > 14 mm ";
      return false;
    case SizeFloor::kAbove18Hole:
      if (c.ranges.r41 >= kR41Range18To24) return true;
      c.message = c.letters + " " + c.GradeText() + from + " > 18 mm ";
      return false;
  }
  return true;
}

void ApplyLetterRule(IsoCase& c, const LetterRule& rule) {
  if (!SizeAllowed(c, rule.upTo500, rule.floor)) return;
  const bool inWindow = c.grade >= rule.window.lowest && c.grade <= rule.window.highest;
  if (!inWindow) {
    if (rule.window.advisory == nullptr) {
      c.GradeMessage();
      return;
    }
    c.message = rule.window.advisory;
  }
  const long double t = c.T(rule.row);
  if (rule.formula == Formula::kUpperIsMinusT) {
    c.FromUpper(-t);
  } else {
    c.FromLower(t);
  }
}

void ApplyDeltaHoleRule(IsoCase& c, const DeltaHoleRule& rule) {
  if (!SizeAllowed(c, rule.upTo500, rule.floor)) return;
  const long double t = c.T(rule.row);
  if (c.Above500()) {
    c.FromUpper(-t);
  } else if (c.grade >= 3 && c.grade <= 7) {
    c.FromUpper(-t + c.Delta());
  } else if (c.grade >= 8) {
    c.FromUpper(-t);
  } else {
    c.GradeMessage();
  }
}

void ApplyJRule(IsoCase& c, bool hole) {
  if (!SizeAllowed(c, true, SizeFloor::kNone)) return;
  const int first = hole ? 6 : 5;
  if (c.grade < first || c.grade > 8) {
    c.GradeMessage();
    return;
  }
  const auto& rows = hole ? kIsoJHole[c.grade - 6] : kIsoJShaft[c.grade - 5];
  c.FromUpper(rows[c.ranges.r21]);
}

void ApplyK(IsoCase& c, bool hole) {
  const long double t = c.T("k");
  if (!hole) {
    c.FromLower(c.grade >= 4 && c.grade <= 7 ? t : 0);
  } else if (c.Above500() || c.grade >= 9) {
    c.FromUpper(0);
  } else if (c.grade >= 3) {
    c.FromUpper(-t + c.Delta());
  } else {
    c.GradeMessage();
  }
}

// The standard makes an exception of M6 over 250 to 315 mm: -9 where the rule gives -11.
void ApplyM(IsoCase& c) {
  const long double t = c.T("m");
  if (c.Above500() || c.grade >= 9) {
    c.FromUpper(-t);
  } else if (c.grade == 6 && c.ranges.r21 == kRange250To315) {
    c.FromUpper(-9);
  } else if (c.grade >= 3) {
    c.FromUpper(-t + c.Delta());
  } else {
    c.GradeMessage();
  }
}

void ApplyN(IsoCase& c) {
  const long double t = c.T("n");
  if (c.Above500()) {
    c.FromUpper(-t);
  } else if (c.grade >= 3 && c.grade <= 8) {
    c.FromUpper(-t + c.Delta());
  } else if (c.grade >= 9 && c.grade <= 11) {
    c.FromUpper(c.ranges.r21 == 0 ? -4 : 0);
  } else {
    c.GradeMessage();
  }
}

// The rule name of the letters: the two-letter names stand for themselves ("is" and "IS"
// count as "js" and "JS"); other letters are cut to their first character ("i" and "I" count
// as "j" and "J").
std::string RuleName(std::string& letters) {
  if (letters == "is") return "js";
  if (letters == "IS") return "JS";
  for (const char* name : kTwoLetterNames) {
    if (letters == name) return letters;
  }
  letters.resize(1);
  if (letters == "i") return "j";
  if (letters == "I") return "J";
  return letters;
}

void ApplyRule(IsoCase& c, const std::string& rule) {
  if (c.grade < 1 || c.grade > kIsoGradeCount) {
    c.GradeMessage();
    return;
  }
  for (const LetterRule& letterRule : kLetterRules) {
    if (rule == letterRule.letters) return ApplyLetterRule(c, letterRule);
  }
  for (const DeltaHoleRule& holeRule : kDeltaHoleRules) {
    if (rule == holeRule.letters) return ApplyDeltaHoleRule(c, holeRule);
  }
  if (rule == "h") return c.FromUpper(0);
  if (rule == "H") return c.FromLower(0);
  if (rule == "js" || rule == "JS") return c.FromUpper(c.IT() / 2);
  if (rule == "j") return ApplyJRule(c, false);
  if (rule == "J") return ApplyJRule(c, true);
  if (rule == "k") return ApplyK(c, false);
  if (rule == "K") return ApplyK(c, true);
  if (rule == "M") return ApplyM(c);
  if (rule == "N") return ApplyN(c);
  c.message = "unknown ISO tolerance";
}

// "<" or ">" followed by "w" (shafts) or "B" (holes) steps one letter down or up.
bool StepLetters(std::string& letters, std::string& message) {
  const int row = letters.size() < 2 ? -1 : letters[1] == 'w' ? 0 : letters[1] == 'B' ? 1 : -1;
  if (row < 0) {
    message = "unknown command character !";
    return false;
  }
  std::int32_t& position = row == 0 ? IsoShaftPosition : IsoHolePosition;
  position += letters[0] == '>' ? 1 : -1;
  if (position < 1) position = 1;
  if (position > kIsoLetterCount) position = kIsoLetterCount;
  letters = kIsoLetters[row][position - 1];
  return true;
}

void RememberPosition(const std::string& letters) {
  for (int i = 0; i < kIsoLetterCount; ++i) {
    if (letters == kIsoLetters[0][i]) IsoShaftPosition = i + 1;
    if (letters == kIsoLetters[1][i]) IsoHolePosition = i + 1;
  }
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return c != ' ' && !IsDigit(c);
}

}  // namespace

void ParseIsoTolerance(const std::string& text, std::string& letters, std::uint8_t& grade) {
  letters.clear();
  grade = 0;
  if (text.empty()) return;
  const std::size_t size = text.size();
  std::size_t letterCount = 0;
  std::size_t digitsFrom = 0;
  if (size >= 3 && IsLetter(text[0]) && text[1] == ' ') {
    letterCount = 1, digitsFrom = 2;
  } else if (size >= 4 && IsLetter(text[0]) && IsLetter(text[1]) && text[2] == ' ') {
    letterCount = 2, digitsFrom = 3;
  } else if (size >= 2 && IsLetter(text[0]) && IsDigit(text[1])) {
    letterCount = 1, digitsFrom = 1;
  } else if (size >= 3 && IsLetter(text[0]) && IsLetter(text[1]) && IsDigit(text[2])) {
    letterCount = 2, digitsFrom = 2;
  } else {
    letters = "  ";
    return;
  }
  letters = text.substr(0, letterCount);
  // A grade that does not fit the byte would wrap to another, valid-looking grade.
  const std::int32_t value = TextToInt(text.substr(digitsFrom));
  grade = value >= 0 && value <= 255 ? static_cast<std::uint8_t>(value) : 0;
}

void IsoToleranceDeviations(long double& lower, long double& upper, std::string& message,
                            std::uint8_t grade, std::string& letters, long double nominal) {
  message.clear();
  if (letters.empty()) return;
  if (grade < 1) grade = 7;
  lower = 0;
  upper = 0;
  if (letters[0] == '<' || letters[0] == '>') {
    if (!StepLetters(letters, message)) return;
  } else {
    RememberPosition(letters);
  }
  SizeRanges ranges;
  if (!FindSizeRanges(nominal, ranges)) {
    message = "undefined dimension range";
    return;
  }
  const std::string rule = RuleName(letters);
  IsoCase isoCase{letters, grade, ranges, lower, upper, message};
  ApplyRule(isoCase, rule);
}

void CheckIsoTolerance(long double& lower, long double& upper, std::string& message,
                       std::uint8_t& grade, std::string& letters, std::string& text,
                       long double nominal) {
  if (text.empty() || text == " ") return;
  ParseIsoTolerance(text, letters, grade);
  if (grade == 0) {
    text.clear();
    message = "invalid ISO tolerance";
    lower = 0;
    upper = 0;
    return;
  }
  text = letters + " " + IntText(grade);
  IsoToleranceDeviations(lower, upper, message, grade, letters, nominal);
}

void ReportIsoTolerance(long double& lower, long double& upper, std::string& text,
                        long double nominal) {
  lower = 0;
  upper = 0;
  std::string message;
  std::string letters;
  std::uint8_t grade = 0;
  CheckIsoTolerance(lower, upper, message, grade, letters, text, nominal);
  // An empty or invalid text stays empty rather than becoming a grade of 0.
  if (grade > 0) text = letters + " " + IntText(grade);
  if (!message.empty()) {
    AbortFlag = 1;
    AddMessage(message);
  }
}

void IsoLimitDimensions(long double& minimum, long double& maximum, const std::string& text,
                        long double nominal) {
  std::string copy = text;
  long double lower = 0;
  long double upper = 0;
  ReportIsoTolerance(lower, upper, copy, nominal);
  minimum = nominal + lower / 1000;
  maximum = nominal + upper / 1000;
}
