#include "cad/drawings/cadtable.h"

#include <algorithm>

#include "base/text/messages.h"
#include "base/text/utilmath.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"

namespace {

constexpr std::int32_t kLineLayer = 17;
constexpr std::int32_t kTextLayer = 18;
constexpr std::size_t kMaxColumns = 7;
constexpr std::size_t kCapitaliseAbove = 8;
constexpr long double kColumnPitch = 0.9L;  // a column of width w is 0.9 w text heights wide
constexpr long double kTextWidth = 0.75L;   // the texts' width to their height

bool all_empty(const TableTexts& texts) {
  for (const std::string& t : texts) {
    if (!t.empty()) return false;
  }
  return true;
}

std::size_t ColumnCount(const TableWidths& widths) {
  std::size_t count = 0;
  while (count < widths.size() && widths[count] != 0) ++count;
  return count;
}

// The characters of the table a text takes with the blank before it. The CAD output measures a
// text as its characters times the text height and the width factor (cad_text).
long double WidthFor(const std::string& text) {
  if (text.empty()) return 0;
  return static_cast<long double>(text.size() + 1) * kTextWidth * CadTextFactor / kColumnPitch;
}

}  // namespace

TAusTabelle::TAusTabelle(long double x, long double y, long double h, const TableWidths& widths,
                         const TableTexts& headings)
    : row_bottom_(y - TableHeight(1, h)),
      baseline_(y - 1.5L * h),
      texts_(headings),
      pitch_(TableHeight(1, h)) {
  x_[1] = x;
  for (std::size_t k = 1; k <= kMaxColumns; ++k)
    x_[k + 1] = x_[k] + kColumnPitch * h * widths[k - 1];
  last_ = LastBoundary();
  const long double right = x_[static_cast<std::size_t>(last_)];
  cad_layer(kLineLayer);
  cad_rect(x, y, right, y - pitch_);
  cad_line(x, y, x, y - pitch_);
  cad_line(right, y, right, y - pitch_);
  cad_text_style(2, 0, h, kTextWidth * h);
  if (!all_empty(headings)) DrawRowTexts();
}

std::int32_t TAusTabelle::LastBoundary() const {
  for (std::size_t k = 2; k <= kMaxColumns + 1; ++k) {
    if (x_[k] == x_[k - 1]) return static_cast<std::int32_t>(k - 1);
  }
  return static_cast<std::int32_t>(kMaxColumns + 1);
}

void TAusTabelle::AddRow(const TableTexts& texts) {
  texts_ = texts;
  const auto r = static_cast<std::size_t>(last_);
  cad_layer(kLineLayer);
  if (Rules) cad_line(x_[1], row_bottom_, x_[r], row_bottom_);
  for (std::size_t c = 1; c <= r; ++c) {
    if (Separators || c == 1 || c == r) cad_line(x_[c], row_bottom_, x_[c], row_bottom_ + pitch_);
  }
  DrawRowTexts();
}

void TAusTabelle::AddRow3(const std::string& t1, const std::string& t2, const std::string& t3) {
  AddRow({t1, t2, t3});
}

void TAusTabelle::AddRow4(const std::string& t1, const std::string& t2, const std::string& t3,
                          const std::string& t4) {
  AddRow({t1, t2, t3, t4});
}

void TAusTabelle::AddRow5(const std::string& t1, const std::string& t2, const std::string& t3,
                          const std::string& t4, const std::string& t5) {
  AddRow({t1, t2, t3, t4, t5});
}

void TAusTabelle::DrawRowTexts() {
  cad_layer(kTextLayer);
  for (std::size_t c = 1; c < static_cast<std::size_t>(last_); ++c) {
    const std::string& text = texts_[c - 1];
    bool capitalise = c == 1 && Capitalise && text.size() > kCapitaliseAbove;
    cad_text(" " + (capitalise ? FirstUpper(text) : text), x_[c], baseline_);
  }
  row_bottom_ -= pitch_;
  baseline_ -= pitch_;
}

long double TableHeight(std::int32_t rows, long double h) {
  return rows * 2 * h;
}

long double TableWidth(const TableWidths& widths, long double h) {
  long double chars = 0;
  for (std::size_t c = 0; c < ColumnCount(widths); ++c) chars += widths[c];
  return kColumnPitch * h * chars;
}

TableWidths WidthsToFit(const TableWidths& least, const TableTexts& headings,
                        const TableRows& rows) {
  TableWidths widths = least;
  const std::size_t columns = ColumnCount(least);
  for (const TableTexts& row : rows) {
    for (std::size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], WidthFor(row[c]));
  }
  for (std::size_t c = 0; c < columns; ++c) {
    if (headings[c].empty()) continue;
    std::size_t end = c + 1;
    while (end < columns && headings[end].empty()) ++end;
    long double room = 0;
    for (std::size_t k = c; k < end; ++k) room += widths[k];
    widths[end - 1] += std::max(0.0L, WidthFor(headings[c]) - room);
  }
  return widths;
}

void DrawTextTable(long double x, long double y, long double h, const TableWidths& least,
                   const TableTexts& headings, const TableRows& rows) {
  TAusTabelle table(x, y, h, WidthsToFit(least, headings, rows), headings);
  for (const TableTexts& row : rows) table.AddRow(row);
}

void DrawMessageTable(long double x, long double y, long double h, long double w,
                      long double max_height) {
  if (MessageCount == 0) return;
  if (h == 0) h = 2;
  if (w == 0) w = 42;
  if (MessageCount > 1 && max_height > 0.1L) h = MinReal(h, max_height / MessageCount / 2);
  TAusTabelle table(x, y, h, {w}, {Messages[1]});
  for (std::size_t i = 2; i <= MessageCount; ++i) table.AddRow({Messages[i]});
}
