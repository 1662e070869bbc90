// Damaged calculation files in bulk: a corpus of unusual but valid files and 2,000 seeded mutants
// of them. Whatever the reader takes must stay within the slots, hold finite values only,
// calculate, report, and settle: the third file written from it equals the second. A file with
// one count changed is refused or read as before, never read with its values shifted.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "base/files/listfile.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "calc/calcfile.h"
#include "calc/calcfileformat.h"
#include "calc/kv6rech.h"
#include "calc/resultsreport.h"
#include "tests/base/reportfixture.h"
#include "tests/base/testdata.h"
#include "tests/calc/calcfilefixture.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> files;
  for (const char* dir : {"/tests/calc/golden", "/tests/calc/corpus"}) {
    for (const auto& entry : fs::directory_iterator(SourceRoot() + dir)) {
      // The golden folder also holds report goldens, which are no calculation files.
      if (entry.path().extension() == ".kv6") files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<long double> Reals(const CalcFileData& d) {
  std::vector<long double> reals = {d.d1,    d.d2, d.d3, d.e1, d.d4, d.d5,  d.d6,
                                    d.d6pre, d.d7, d.e2, d.r1, d.r2, d.l,   d.T,
                                    d.Mb,    d.KA, d.fW, d.l1, d.l2, d.dB1, d.dB2};
  for (int part = kShaft; part <= kHub; ++part) {
    reals.insert(reals.end(), {d.Materials[part].Pzul, d.Materials[part].FH, d.Materials[part].FS});
  }
  for (const DrawingTextRecord& t : d.Texts) reals.insert(reals.end(), {t.x, t.y, t.h, t.phi});
  return reals;
}

void ExpectSound(const CalcFileData& d, const std::string& what) {
  EXPECT_LE(d.Changes.size(), static_cast<std::size_t>(kChangeSlotCount)) << what;
  EXPECT_LE(d.Texts.size(), static_cast<std::size_t>(kDrawingTextSlotCount)) << what;
  for (long double x : Reals(d)) EXPECT_TRUE(std::isfinite(x) && std::fabs(x) <= 1e12L) << what;
}

std::string Written() {
  return JoinWithCrLf(CalcFileLines(CalcFileSnapshot()));
}

// Takes the bytes over and calculates; then writes, reads and calculates twice more.
void Exercise(const std::string& bytes, const std::string& what) {
  const std::optional<CalcFileData> first = ParseCalcFile(bytes);
  if (!first) return;
  ExpectSound(*first, what);
  std::string written;
  std::string previous;
  std::optional<CalcFileData> data = first;
  for (int round = 1; round <= 3 && data; ++round) {
    CommitCalcFile(*data);
    CalculateP3G();
    if (round == 1) WriteResultsReport();
    previous = written;
    written = Written();
    data = ParseCalcFile(written);
    ASSERT_TRUE(data) << what << ": our own file refused in round " << round;
    ExpectSound(*data, what);
  }
  EXPECT_EQ(written, previous) << what;
}

// Reports go to the tab-separated file of device 6; a fatal calculation's messages are not shown.
class CalcFileRobustness : public ReportTest {
 protected:
  CalcFileRobustness() {
    DecimalSeparator = '.';
    StartCalcFileUnits();
    ClearMessages();
    FileExt = "kv6";
    TextDevice = 6;
    TextDeviceWindow = 0;
    CommandLineParams = {"/NOGUI"};
    OverwriteQuestion = false;
  }
  ~CalcFileRobustness() override {
    CommandLineParams.clear();
    OverwriteQuestion = true;
  }
};

TEST_F(CalcFileRobustness, CorpusFilesReadCalculateAndSettle) {
  for (const std::string& file : CorpusFiles()) {
    StartCalcFileUnits();
    ASSERT_TRUE(LoadCalcFile(file)) << file;
    WriteResultsReport();
    ExpectSound(CalcFileSnapshot(), file);
    ASSERT_TRUE(WriteCalcFile(Path("w.kv6"))) << file;
    const std::string second = Bytes("w.kv6");
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(LoadCalcFile(Path("w.kv6"))) << file;
      ASSERT_TRUE(WriteCalcFile(Path("w.kv6"))) << file;
    }
    EXPECT_EQ(Bytes("w.kv6"), second) << file;
  }
}

// What the mutants put into a line.
// clang-format off
const char* const kHostileLines[] = {
    "-1", "26", "9", "65536", "2147483647", "-2147483648", "$FFFFFFFF", "1e4000", "-1e4000",
    "nan", "inf", "1e13", "1,5,5", "", "|||||||||", "99999999999999999999999999",
};
// clang-format on

class Mutator {
 public:
  explicit Mutator(unsigned seed) : random_(seed) {}

  std::string Mutate(std::string bytes) {
    std::vector<std::string> lines = SplitAtCrLf(bytes);
    switch (Pick(9)) {
      case 0:
        if (!bytes.empty()) bytes[Pick(bytes.size())] ^= static_cast<char>(1 << Pick(8));
        return bytes;
      case 1:
        return bytes.insert(Pick(bytes.size() + 1), 1, static_cast<char>(Pick(256)));
      case 2:
        return bytes.empty() ? bytes : bytes.erase(Pick(bytes.size()), 1 + Pick(3));
      case 3:
        if (!lines.empty()) lines.erase(lines.begin() + static_cast<long>(Pick(lines.size())));
        return JoinWithCrLf(lines);
      case 4:
        if (!lines.empty()) {
          const std::size_t at = Pick(lines.size());
          lines.insert(lines.begin() + static_cast<long>(at), lines[at]);
        }
        return JoinWithCrLf(lines);
      case 5:
        if (!lines.empty()) std::swap(lines[Pick(lines.size())], lines[Pick(lines.size())]);
        return JoinWithCrLf(lines);
      case 6:
        return bytes.substr(0, Pick(bytes.size() + 1));
      default:
        if (!lines.empty()) {
          lines[Pick(lines.size())] = kHostileLines[Pick(std::size(kHostileLines))];
        }
        return JoinWithCrLf(lines);
    }
  }

  std::size_t Pick(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }

 private:
  std::mt19937 random_;
};

// Where a whole file holds its counts: the line (from 0) and, in a field line, the field.
struct CountPlace {
  std::size_t line;
  std::optional<std::size_t> field;
};

std::vector<CountPlace> CountPlaces(const CalcFileData& d) {
  constexpr std::size_t kChangeCountLine = 45;
  const std::size_t fieldLine = kChangeCountLine + 2 + 5 * d.Changes.size();
  return {{kChangeCountLine, std::nullopt},
          {fieldLine, 6},
          {fieldLine + 6 + d.Texts.size(), std::nullopt}};
}

void ReplaceField(std::string& line, std::size_t field, const std::string& text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < field; ++i) start = line.find('|', start) + 1;
  line.replace(start, line.find('|', start) - start, text);
}

// A count other than the one the file holds, or the same count written otherwise.
std::string OtherCount(const std::string& count, Mutator& mutator) {
  const std::int32_t n = TextToInt(count);
  switch (mutator.Pick(4)) {
    case 0:
      return kHostileLines[mutator.Pick(std::size(kHostileLines))];
    case 1:
      return IntText(n + (mutator.Pick(2) == 0 ? 1 : -1));
    case 2:
      return " +" + count;
    default:
      return IntText(static_cast<std::int32_t>(mutator.Pick(30)));
  }
}

// A file with one count changed is either refused or read as it was before.
void ExpectOneCountChangedRefusedOrTheSame(const std::string& bytes, Mutator& mutator) {
  const std::optional<CalcFileData> original = ParseCalcFile(bytes);
  std::vector<std::string> lines = SplitAtCrLf(bytes);
  const std::vector<CountPlace> places = CountPlaces(*original);
  if (lines.size() <= places.back().line) return;
  const CountPlace& place = places[mutator.Pick(places.size())];
  std::string& line = lines[place.line];
  const std::string count = place.field ? SplitFields(line, 8)[*place.field] : line;
  const std::string other = OtherCount(count, mutator);
  if (place.field) {
    ReplaceField(line, *place.field, other);
  } else {
    line = other;
  }
  const std::optional<CalcFileData> read = ParseCalcFile(JoinWithCrLf(lines));
  if (read) {
    EXPECT_EQ(*read, *original) << "count " << count << " made " << other;
  }
}

TEST_F(CalcFileRobustness, TwoThousandSeededMutants) {
  std::vector<std::string> corpus;
  for (const std::string& file : CorpusFiles()) corpus.push_back(FileBytes(file));
  Mutator mutator(20261207);
  Mutator countMutator(20261208);
  for (int n = 0; n < 2000; ++n) {
    std::string bytes = corpus[mutator.Pick(corpus.size())];
    for (std::size_t k = 1 + mutator.Pick(3); k > 0; --k) bytes = mutator.Mutate(bytes);
    StartCalcFileUnits();
    Exercise(bytes, "mutant " + std::to_string(n));
    ExpectOneCountChangedRefusedOrTheSame(corpus[countMutator.Pick(corpus.size())], countMutator);
    if (HasFailure()) break;
  }
}

}  // namespace
