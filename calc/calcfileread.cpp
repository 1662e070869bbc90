#include "calc/calcfileformat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/files/listfile.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "calc/descriptiontext.h"

namespace {

constexpr std::size_t kLastMaterialLine = 44;

// Lines end in LF or CR LF; a Ctrl-Z ends the file.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1A'));
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size());
    std::string_view line = bytes.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    bytes.remove_prefix(std::min(end + 1, bytes.size()));
  }
  return lines;
}

long double RealValue(std::string_view text) {
  const long double x = TextToReal(CommaToPoint(text));
  return std::isfinite(x) && std::fabs(x) <= kLargestCalcFileReal ? x : 0;
}

std::int32_t InRange(std::int32_t n, std::int32_t low, std::int32_t high) {
  return n >= low && n <= high ? n : 0;
}

std::size_t Count(std::string_view text, std::size_t slots) {
  return static_cast<std::size_t>(
      std::clamp<std::int32_t>(TextToInt(text), 0, static_cast<std::int32_t>(slots)));
}

// Optional blanks and sign, then the decimal digits of a 32-bit value.
bool IsWholeNumber(std::string_view text) {
  std::string_view digits = text.substr(std::min(text.find_first_not_of(' '), text.size()));
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  const bool decimal = !digits.empty() && std::all_of(digits.begin(), digits.end(),
                                                      [](char c) { return c >= '0' && c <= '9'; });
  return decimal &&
         (TextToInt(text) != 0 || digits.find_first_not_of('0') == std::string_view::npos);
}

// Reads the lines in order; past the last line every line is empty. A file that ends early is
// no damage, so only lines the file holds are checked.
class LineReader {
 public:
  explicit LineReader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}

  bool AtEnd() const { return next_ >= lines_.size(); }
  std::string_view Line() { return AtEnd() ? std::string_view() : lines_[next_++]; }
  std::string Text() { return std::string(Line()); }
  std::int32_t Int() { return TextToInt(Line()); }
  std::uint16_t Word() { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(Int())); }
  long double Real() { return RealValue(Line()); }
  // A fixed line of the layout.
  void Expect(std::string_view marker) {
    if (!AtEnd() && Line() != marker) damaged_ = true;
  }
  void ExpectCount(std::string_view count) {
    if (!IsWholeNumber(count)) damaged_ = true;
  }
  // A line of `fields` fields, each followed by "|" (the last one's may be missing).
  std::string_view FieldLine(std::size_t fields) {
    const bool held = !AtEnd();
    const std::string_view line = Line();
    if (held && static_cast<std::size_t>(std::count(line.begin(), line.end(), '|')) + 1 < fields)
      damaged_ = true;
    return line;
  }
  std::string_view CountLine() {
    if (AtEnd()) return {};
    const std::string_view count = Line();
    ExpectCount(count);
    return count;
  }
  bool Damaged() const { return damaged_; }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
  bool damaged_ = false;
};

void ReadHead(LineReader& in, CalcFileData& d) {
  for (std::string& line : d.Header) line = in.Text();
  for (PartPair<std::string>* texts : {&d.DrawingName, &d.DrawingNo, &d.DrawingName2})
    (*texts)[kShaft] = in.Text();
  for (PartPair<std::string>* texts : {&d.DrawingName, &d.DrawingNo, &d.DrawingName2})
    (*texts)[kHub] = in.Text();
  d.P3GRow = in.Int();
  for (long double* x : {&d.d1, &d.d2, &d.d3, &d.e1, &d.d4, &d.d5, &d.d6, &d.d6pre, &d.d7, &d.e2,
                         &d.r1, &d.r2, &d.l, &d.T, &d.Mb})
    *x = in.Real();
  d.DisplacementCase = in.Word();
  d.KA = in.Real();
  d.fW = in.Real();
  for (int part = kShaft; part <= kHub; ++part) {
    CalcFileMaterial& m = d.Materials[part];
    m.Name = in.Text();
    m.Re = in.Int();
    m.Pzul = in.Real();
    m.FH = in.Real();
    m.FS = in.Real();
    m.RecNo = in.Word();
  }
}

DrawingTextRecord DrawingText(std::string_view line) {
  const std::vector<std::string> f = SplitFields(line, 6);
  return {RealValue(f[0]), RealValue(f[1]), RealValue(f[2]), RealValue(f[3]), f[4],
          TextToInt(f[5])};
}

ChangeEntry ReadChangeEntry(LineReader& in) {
  ChangeEntry entry;
  entry.ChangeText = in.Text();
  entry.ChangeDate = in.Text();
  entry.Editor = in.Text();
  entry.Description = DescriptionFromOneLine(in.Line());
  in.Expect(kShortRule);
  return entry;
}

// As many items as the count line says, each read by readItem; the slots take the first ones,
// and the rest are read only for the lines they check, then dropped.
template <typename Item, typename ReadItem>
void ReadCounted(LineReader& in, std::string_view count, std::size_t slots,
                 std::vector<Item>& items, ReadItem readItem) {
  items.resize(Count(count, slots));
  const std::int32_t n = TextToInt(count);
  for (std::int32_t i = 0; i < n && !in.AtEnd(); ++i) {
    Item item = readItem();
    if (static_cast<std::size_t>(i) < items.size())
      items[static_cast<std::size_t>(i)] = std::move(item);
  }
}

void ReadChangeSection(LineReader& in, CalcFileData& d) {
  d.ChangesHeading = in.Text();
  const std::string_view count = in.CountLine();
  in.Expect(kLongRule);
  ReadCounted(in, count, kChangeSlotCount, d.Changes, [&in] { return ReadChangeEntry(in); });
  const bool fieldLineHeld = !in.AtEnd();
  const std::vector<std::string> f = SplitFields(in.Line(), 8);
  if (fieldLineHeld) in.ExpectCount(f[6]);
  TitleBlockFieldSet& t = d.TitleBlock;
  t.Rows[2] = {f[0], f[1]};
  t.Rows[3] = {f[2], f[3]};
  t.Rows[4] = {f[4], f[5]};
  t.Rows[1].Date = in.Text();
  t.ReplacementFor = in.Text();
  t.ReplacedBy = in.Text();
  t.Rows[1].Name = in.Text();
  ReadCounted(in, f[6], kDrawingTextSlotCount, d.Texts,
              [&in] { return DrawingText(in.FieldLine(6)); });
}

void ReadDocumentsSection(LineReader& in, CalcFileData& d) {
  in.Expect(kDocumentsHeading);
  in.Expect(IntText(kDocumentLinkCount));
  in.Expect(kLongRule);
  for (int i = 1; i <= kDocumentLinkCount; ++i) {
    d.Links[i].Program = in.Text();
    d.Links[i].File = in.Text();
    in.Expect(kShortRule);
  }
}

void ReadIso7200Header(LineReader& in, CalcFileData& d) {
  in.Expect(kIso7200Heading);
  d.TitleBlockStandard = InRange(in.Int(), 0, 3);
  d.DrawingTextMode = InRange(in.Int(), 0, 3);
  d.TitleBlock.ResponsibleDept = in.Text();
  d.TitleBlock.DocumentType = in.Text();
  d.TitleBlock.DocumentStatus = in.Text();
  in.Expect(kIso7200End);
}

}  // namespace

std::optional<CalcFileData> ParseCalcFile(std::string_view bytes) {
  if (bytes.size() > kCalcFileLimit) return std::nullopt;
  std::vector<std::string_view> lines = SplitLines(bytes);
  if (lines.size() < kLastMaterialLine) return std::nullopt;
  LineReader in(std::move(lines));
  CalcFileData d;
  ReadHead(in, d);
  ReadChangeSection(in, d);
  ReadDocumentsSection(in, d);
  // The calculation takes every mode but 2 as 1.
  d.DimensionMode = in.Word() == 2 ? 2 : 1;
  d.TolShaft = in.Text();
  d.Materials[kShaft].Ident = in.Text();
  d.Materials[kHub].Ident = in.Text();
  ReadIso7200Header(in, d);
  for (long double* x : {&d.l1, &d.l2, &d.dB1, &d.dB2}) *x = in.Real();
  if (in.Damaged()) return std::nullopt;
  return d;
}
