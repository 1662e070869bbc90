#include "calc/calcfileformat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/listfile.h"
#include "base/numbertext.h"
#include "base/utilstr.h"
#include "calc/descriptiontext.h"

namespace {

constexpr std::size_t kLastMaterialLine = 44;
// Beyond this no connection is meant, and such values would overflow the calculation.
constexpr long double kLargestReal = 1e12L;

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
  return std::isfinite(x) && std::fabs(x) <= kLargestReal ? x : 0;
}

std::int32_t InRange(std::int32_t n, std::int32_t low, std::int32_t high) {
  return n >= low && n <= high ? n : 0;
}

std::size_t Count(std::string_view text, std::size_t slots) {
  return static_cast<std::size_t>(
      std::clamp<std::int32_t>(TextToInt(text), 0, static_cast<std::int32_t>(slots)));
}

// Surplus entries beyond the slots, as the file counts them; 0 for a negative count.
std::uint64_t Surplus(std::string_view text, std::size_t slots) {
  const std::int64_t n = TextToInt(text);
  return n > static_cast<std::int64_t>(slots) ? static_cast<std::uint64_t>(n) - slots : 0;
}

// Reads the lines in order; past the last line every line is empty.
class LineReader {
 public:
  explicit LineReader(std::vector<std::string_view> lines) : lines_(std::move(lines)) {}

  std::string_view Line() { return next_ < lines_.size() ? lines_[next_++] : std::string_view(); }
  std::string Text() { return std::string(Line()); }
  std::int32_t Int() { return TextToInt(Line()); }
  std::uint16_t Word() { return static_cast<std::uint16_t>(static_cast<std::uint32_t>(Int())); }
  long double Real() { return RealValue(Line()); }
  void Skip(std::uint64_t count) {
    next_ += static_cast<std::size_t>(std::min<std::uint64_t>(count, lines_.size() - next_));
  }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
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

void ReadChangeSection(LineReader& in, CalcFileData& d) {
  d.ChangesHeading = in.Text();
  const std::string_view count = in.Line();
  in.Skip(1);
  d.Changes.resize(Count(count, kChangeSlotCount));
  for (ChangeEntry& entry : d.Changes) {
    entry.ChangeText = in.Text();
    entry.ChangeDate = in.Text();
    entry.Editor = in.Text();
    entry.Description = DescriptionFromOneLine(in.Line());
    in.Skip(1);
  }
  in.Skip(Surplus(count, kChangeSlotCount) * 5);
  const std::vector<std::string> f = SplitFields(in.Line(), 8);
  TitleBlockFieldSet& t = d.TitleBlock;
  t.Rows[2] = {f[0], f[1]};
  t.Rows[3] = {f[2], f[3]};
  t.Rows[4] = {f[4], f[5]};
  t.Rows[1].Date = in.Text();
  t.ReplacementFor = in.Text();
  t.ReplacedBy = in.Text();
  t.Rows[1].Name = in.Text();
  d.Texts.resize(Count(f[6], kDrawingTextSlotCount));
  for (DrawingTextRecord& text : d.Texts) text = DrawingText(in.Line());
  in.Skip(Surplus(f[6], kDrawingTextSlotCount));
}

void ReadDocumentsSection(LineReader& in, CalcFileData& d) {
  in.Skip(3);
  for (int i = 1; i <= kDocumentLinkCount; ++i) {
    d.Links[i].Program = in.Text();
    d.Links[i].File = in.Text();
    in.Skip(1);
  }
}

void ReadIso7200Header(LineReader& in, CalcFileData& d) {
  in.Skip(1);
  d.TitleBlockStandard = InRange(in.Int(), 0, 3);
  d.DrawingTextMode = InRange(in.Int(), 0, 3);
  d.TitleBlock.ResponsibleDept = in.Text();
  d.TitleBlock.DocumentType = in.Text();
  d.TitleBlock.DocumentStatus = in.Text();
  in.Skip(1);
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
  return d;
}
