#include "cad/drawings/cadtable.h"

#include "base/text/messages.h"
#include "base/text/utilmath.h"
#include "base/text/utilstr.h"
#include "cad/layer/cadprim.h"

namespace {

constexpr std::int32_t kLineLayer = 17;
constexpr std::int32_t kTextLayer = 18;
constexpr std::size_t kMaxColumns = 7;
constexpr std::size_t kCapitaliseAbove = 8;

bool all_empty(const TableTexts& texts) {
  for (const std::string& t : texts) {
    if (!t.empty()) return false;
  }
  return true;
}

}  // namespace

TAusTabelle::TAusTabelle(long double x, long double y, long double h, const TableWidths& widths,
                         const TableTexts& headings)
    : row_bottom_(y - TableHeight(1, h)),
      baseline_(y - 1.5L * h),
      texts_(headings),
      pitch_(TableHeight(1, h)) {
  x_[1] = x;
  for (std::size_t k = 1; k <= kMaxColumns; ++k) x_[k + 1] = x_[k] + 0.9L * h * widths[k - 1];
  last_ = LastBoundary();
  const long double right = x_[static_cast<std::size_t>(last_)];
  cad_layer(kLineLayer);
  cad_rect(x, y, right, y - pitch_);
  cad_line(x, y, x, y - pitch_);
  cad_line(right, y, right, y - pitch_);
  cad_text_style(2, 0, h, 0.75L * h);
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

void DrawMessageTable(long double x, long double y, long double h, long double w,
                      long double max_height) {
  if (MessageCount == 0) return;
  if (h == 0) h = 2;
  if (w == 0) w = 42;
  if (MessageCount > 1 && max_height > 0.1L) h = MinReal(h, max_height / MessageCount / 2);
  TAusTabelle table(x, y, h, {w}, {Messages[1]});
  for (std::size_t i = 2; i <= MessageCount; ++i) table.AddRow({Messages[i]});
}
