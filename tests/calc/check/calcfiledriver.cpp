// The program's side of the independent calculation-file check.
//   calcfiledriver print FILE          prints what our reader takes from FILE, as JSON ("damaged"
//                                      for a refused file)
//   calcfiledriver write DIR SEED N    writes N files of seeded random connections into DIR
// Texts are printed byte by byte as \u00XX escapes, so the checker can decode them as CP850.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <random>
#include <string>

#include "base/files/utilfile.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/numbertext.h"
#include "calc/calcfile.h"
#include "calc/calcfiledata.h"
#include "calc/calcfileformat.h"
#include "calc/calcstart.h"
#include "platform/headless/headless.h"

namespace {

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", c);
    out += escape;
  }
  return out + "\"";
}

std::string Json(long double x) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, x).ptr);
}

std::string Json(std::int32_t n) {
  return IntText(n);
}

template <typename T>
std::string List(const std::vector<T>& items) {
  std::string out = "[";
  for (const T& item : items) out += (out.size() > 1 ? "," : "") + Json(item);
  return out + "]";
}

std::string Pair(const PartPair<std::string>& texts) {
  return List(std::vector{texts[kShaft], texts[kHub]});
}

std::string Member(const std::string& key, const std::string& value) {
  return "\"" + key + "\":" + value;
}

std::string Object(const std::vector<std::string>& members) {
  std::string out = "{";
  for (const std::string& m : members) out += (out.size() > 1 ? "," : "") + m;
  return out + "}";
}

std::string MaterialJson(const CalcFileMaterial& m) {
  return Object({Member("name", Json(m.Name)), Member("Re", Json(m.Re)),
                 Member("Pzul", Json(m.Pzul)), Member("FH", Json(m.FH)), Member("FS", Json(m.FS)),
                 Member("RecNo", Json(std::int32_t{m.RecNo})), Member("ident", Json(m.Ident))});
}

std::string DataJson(const CalcFileData& d) {
  std::vector<std::string> m = {
      Member("header", List(std::vector<std::string>(d.Header.begin(), d.Header.end()))),
      Member("drawing_name", Pair(d.DrawingName)),
      Member("drawing_no", Pair(d.DrawingNo)),
      Member("drawing_name2", Pair(d.DrawingName2)),
      Member("P3GRow", Json(d.P3GRow)),
      Member("geometry", List(std::vector{d.d1, d.d2, d.d3, d.e1, d.d4, d.d5, d.d6, d.d6pre, d.d7,
                                          d.e2, d.r1, d.r2})),
      Member("load", List(std::vector{d.l, d.T, d.Mb})),
      Member("DisplacementCase", Json(std::int32_t{d.DisplacementCase})),
      Member("factors", List(std::vector{d.KA, d.fW})),
      Member("materials",
             "[" + MaterialJson(d.Materials[kShaft]) + "," + MaterialJson(d.Materials[kHub]) + "]"),
      Member("changes_heading", Json(d.ChangesHeading))};
  std::string changes = "[";
  for (const ChangeEntry& e : d.Changes) {
    changes += (changes.size() > 1 ? "," : "") +
               List(std::vector{e.ChangeText, e.ChangeDate, e.Editor, e.Description});
  }
  m.push_back(Member("changes", changes + "]"));
  const TitleBlockFieldSet& t = d.TitleBlock;
  std::vector<std::string> title;
  for (int row = 1; row <= 4; ++row) {
    title.push_back(t.Rows[row].Date);
    title.push_back(t.Rows[row].Name);
  }
  for (const std::string* text :
       {&t.ReplacementFor, &t.ReplacedBy, &t.ResponsibleDept, &t.DocumentType, &t.DocumentStatus})
    title.push_back(*text);
  m.push_back(Member("title_block", List(title)));
  std::string texts = "[";
  for (const DrawingTextRecord& r : d.Texts) {
    texts += (texts.size() > 1 ? "," : "") +
             Object({Member("xyh_phi", List(std::vector{r.x, r.y, r.h, r.phi})),
                     Member("text", Json(r.Text)), Member("layer", Json(r.Layer))});
  }
  m.push_back(Member("texts", texts + "]"));
  std::vector<std::string> links;
  for (int i = 1; i <= kDocumentLinkCount; ++i) {
    links.push_back(d.Links[i].Program);
    links.push_back(d.Links[i].File);
  }
  m.push_back(Member("links", List(links)));
  m.push_back(Member("DimensionMode", Json(std::int32_t{d.DimensionMode})));
  m.push_back(Member("TolShaft", Json(d.TolShaft)));
  m.push_back(Member("TitleBlockStandard", Json(d.TitleBlockStandard)));
  m.push_back(Member("DrawingTextMode", Json(d.DrawingTextMode)));
  m.push_back(Member("lengths", List(std::vector{d.l1, d.l2, d.dB1, d.dB2})));
  return Object(m);
}

int Print(const std::string& file) {
  std::string bytes;
  if (!ReadWholeFile(file, bytes, kCalcFileLimit + 1)) return 2;
  const std::optional<CalcFileData> data = ParseCalcFile(bytes);
  std::cout << (data ? DataJson(*data) : std::string("\"damaged\"")) << "\n";
  return 0;
}

// Random values of the kinds the file holds: whole values at or below 0 (the short form), and
// values with up to 7 decimals.
class Seeded {
 public:
  explicit Seeded(unsigned seed) : random_(seed) {}

  std::int32_t Int(std::int32_t low, std::int32_t high) {
    return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
  }
  long double Real() {
    switch (Int(0, 3)) {
      case 0:
        return -Int(0, 100000);
      case 1:
        return Int(1, 1000);
      default:
        return static_cast<long double>(Int(-2000000000, 2000000000)) / 10000000 *
               static_cast<long double>(Int(1, 1000));
    }
  }
  // Letters, blanks, umlauts in CP850, "|", CR and LF.
  std::string Text(std::int32_t maxLength) {
    static const std::string kAlphabet =
        std::string("abcXYZ 0123.,;-_/\x84\x94\x81\xE1\x8E\x99\x9A") + "|\r\n";
    std::string text;
    for (std::int32_t n = Int(0, maxLength); n > 0; --n)
      text += kAlphabet[static_cast<std::size_t>(
          Int(0, static_cast<std::int32_t>(kAlphabet.size()) - 1))];
    return text;
  }

 private:
  std::mt19937 random_;
};

CalcFileData RandomData(Seeded& s, int index) {
  CalcFileData d;
  for (PartPair<std::string>* texts : {&d.DrawingName, &d.DrawingNo, &d.DrawingName2})
    *texts = {s.Text(30), s.Text(30)};
  for (int i = 4; i < 7; ++i) d.Header[static_cast<std::size_t>(i)] = s.Text(40);
  d.P3GRow = s.Int(-5, 400);
  for (long double* x :
       {&d.d1, &d.d2, &d.d3, &d.e1, &d.d4, &d.d5, &d.d6, &d.d6pre, &d.d7,  &d.e2, &d.r1,
        &d.r2, &d.l,  &d.T,  &d.Mb, &d.KA, &d.fW, &d.l1, &d.l2,    &d.dB1, &d.dB2})
    *x = s.Real();
  d.DisplacementCase = static_cast<std::uint16_t>(s.Int(0, 65535));
  for (int part = kShaft; part <= kHub; ++part) {
    d.Materials[part] = {s.Text(25), s.Int(-1000, 2000),
                         s.Real(),   s.Real(),
                         s.Real(),   static_cast<std::uint16_t>(s.Int(0, 65535)),
                         s.Text(12)};
  }
  // The first files hold the extremes: no entries or a full list, no texts or all eight.
  const int changes = index < 4 ? (index % 2) * kChangeSlotCount : s.Int(0, kChangeSlotCount);
  for (int i = 0; i < changes; ++i)
    d.Changes.push_back({s.Text(20), s.Text(10), s.Text(5), s.Text(255)});
  for (int row = 1; row <= 4; ++row) d.TitleBlock.Rows[row] = {s.Text(10), s.Text(20)};
  for (std::string* text :
       {&d.TitleBlock.ReplacementFor, &d.TitleBlock.ReplacedBy, &d.TitleBlock.ResponsibleDept,
        &d.TitleBlock.DocumentType, &d.TitleBlock.DocumentStatus})
    *text = s.Text(20);
  const int texts =
      index < 4 ? (index / 2) * kDrawingTextSlotCount : s.Int(0, kDrawingTextSlotCount);
  for (int i = 0; i < texts; ++i)
    d.Texts.push_back({s.Real(), s.Real(), s.Real(), s.Real(), s.Text(40), s.Int(-10, 300)});
  for (int i = 1; i <= kDocumentLinkCount; ++i) d.Links[i] = {s.Text(30), s.Text(30)};
  d.DimensionMode = static_cast<std::uint16_t>(s.Int(1, 2));
  d.TolShaft = s.Text(4);
  d.TitleBlockStandard = s.Int(0, 3);
  d.DrawingTextMode = s.Int(0, 3);
  return d;
}

int Write(const std::string& dir, unsigned seed, int count) {
  Seeded seeded(seed);
  for (int i = 0; i < count; ++i) {
    const CalcFileData data = RandomData(seeded, i);
    CommitCalcFile(data);
    const std::string name = dir + "/seeded" + IntTextZero(i, 3) + "." + FileExt;
    if (!WriteCalcFile(name)) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  platform::headless::Install();
  InitWbrelvar();
  InitBrelvar();
  StartCalculationUnits();
  FileExt = "kv6";
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "print" && argc == 3) return Print(argv[2]);
  if (mode == "write" && argc == 5) {
    return Write(argv[2], static_cast<unsigned>(std::stoul(argv[3])), std::stoi(argv[4]));
  }
  std::cerr << "usage: calcfiledriver print FILE | write DIR SEED COUNT\n";
  return 2;
}
