#include "calc/calcfileformat.h"

#include <cmath>
#include <initializer_list>

#include "base/files/listfile.h"
#include "base/text/numbertext.h"
#include "base/text/utilstr.h"
#include "calc/descriptiontext.h"

namespace {

// RealText as at FloatDigits 3 ("3.5", "10"), with "." whatever the regional settings.
std::string PlainRealText(long double x) {
  if (std::fabs(x) < 1e-5L) return "0";
  std::int32_t intDigits = 0;
  std::int32_t decimals = 0;
  NumberDigits(x, 3, intDigits, decimals);
  return FixedPointText(x, decimals);
}

// A line break in a text would shift every later value by a line.
std::string TextLine(std::string_view text) {
  return NoLineBreaks(text);
}

// A "|" in a field would shift the later fields.
std::string Field(std::string_view text) {
  std::string field = NoLineBreaks(text);
  ReplaceChar('|', '/', field);
  return field + "|";
}

void AddReals(std::vector<std::string>& lines, std::initializer_list<long double> values) {
  for (long double x : values) lines.push_back(ExactRealLineText(x));
}

void WriteHead(const CalcFileData& d, std::vector<std::string>& lines) {
  for (const std::string& line : d.Header) lines.push_back(TextLine(line));
  for (const PartPair<std::string>* texts : {&d.DrawingName, &d.DrawingNo, &d.DrawingName2})
    lines.push_back(TextLine((*texts)[kShaft]));
  for (const PartPair<std::string>* texts : {&d.DrawingName, &d.DrawingNo, &d.DrawingName2})
    lines.push_back(TextLine((*texts)[kHub]));
  lines.push_back(IntText(d.P3GRow));
  AddReals(lines, {d.d1, d.d2, d.d3, d.e1, d.d4, d.d5, d.d6, d.d6pre, d.d7, d.e2, d.r1, d.r2});
  AddReals(lines, {d.l, d.T, d.Mb});
  lines.push_back(IntText(d.DisplacementCase));
  AddReals(lines, {d.KA, d.fW});
  for (int part = kShaft; part <= kHub; ++part) {
    const CalcFileMaterial& m = d.Materials[part];
    lines.push_back(TextLine(m.Name));
    lines.push_back(IntText(m.Re));
    AddReals(lines, {m.Pzul, m.FH, m.FS});
    lines.push_back(IntText(m.RecNo));
  }
}

}  // namespace

void WriteChangeSection(const CalcFileData& d, std::vector<std::string>& lines) {
  lines.push_back(TextLine(d.ChangesHeading));
  lines.push_back(IntText(static_cast<std::int32_t>(d.Changes.size())));
  lines.emplace_back(kLongRule);
  for (const ChangeEntry& entry : d.Changes) {
    lines.push_back(TextLine(entry.ChangeText));
    lines.push_back(TextLine(entry.ChangeDate));
    lines.push_back(TextLine(entry.Editor));
    lines.push_back(DescriptionAsOneLine(entry.Description));
    lines.emplace_back(kShortRule);
  }
  const TitleBlockFieldSet& t = d.TitleBlock;
  lines.push_back(Field(t.Rows[2].Date) + Field(t.Rows[2].Name) + Field(t.Rows[3].Date) +
                  Field(t.Rows[3].Name) + Field(t.Rows[4].Date) + Field(t.Rows[4].Name) +
                  Field(IntText(static_cast<std::int32_t>(d.Texts.size()))) + Field(""));
  for (const std::string* text :
       {&t.Rows[1].Date, &t.ReplacementFor, &t.ReplacedBy, &t.Rows[1].Name})
    lines.push_back(TextLine(*text));
  for (const DrawingTextRecord& text : d.Texts) {
    lines.push_back(Field(PlainRealText(text.x)) + Field(PlainRealText(text.y)) +
                    Field(PlainRealText(text.h)) + Field(PlainRealText(text.phi)) +
                    Field(text.Text) + Field(IntText(text.Layer)));
  }
}

void WriteDocumentsSection(const CalcFileData& d, std::vector<std::string>& lines) {
  lines.emplace_back(kDocumentsHeading);
  lines.push_back(IntText(kDocumentLinkCount));
  lines.emplace_back(kLongRule);
  for (int i = 1; i <= kDocumentLinkCount; ++i) {
    lines.push_back(TextLine(d.Links[i].Program));
    lines.push_back(TextLine(d.Links[i].File));
    lines.emplace_back(kShortRule);
  }
}

void WriteIso7200Header(const CalcFileData& d, std::vector<std::string>& lines) {
  lines.emplace_back(kIso7200Heading);
  lines.push_back(IntText(d.TitleBlockStandard));
  lines.push_back(IntText(d.DrawingTextMode));
  lines.push_back(TextLine(d.TitleBlock.ResponsibleDept));
  lines.push_back(TextLine(d.TitleBlock.DocumentType));
  lines.push_back(TextLine(d.TitleBlock.DocumentStatus));
  lines.emplace_back(kIso7200End);
}

std::vector<std::string> CalcFileLines(const CalcFileData& d) {
  std::vector<std::string> lines;
  WriteHead(d, lines);
  WriteChangeSection(d, lines);
  WriteDocumentsSection(d, lines);
  lines.push_back(IntText(d.DimensionMode));
  lines.push_back(TextLine(d.TolShaft));
  lines.push_back(TextLine(d.Materials[kShaft].Ident));
  lines.push_back(TextLine(d.Materials[kHub].Ident));
  WriteIso7200Header(d, lines);
  AddReals(lines, {d.l1, d.l2, d.dB1, d.dB2});
  return lines;
}
