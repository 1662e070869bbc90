#include "cad/drawings/sheetframe.h"

#include <algorithm>
#include <optional>

#include "base/draw/breldraw.h"
#include "base/files/utilpath.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/utildate.h"
#include "base/text/utilstr.h"
#include "cad/drawings/titleblock.h"
#include "cad/drawings/zonemarks.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "cad/layer/cadvar.h"
#include "calc/drawinginfo.h"
#include "calc/drawinginfotexts.h"

namespace {

struct Rect {
  long double x1, y1, x2, y2;
};

struct SheetSize {
  Rect trim;
  std::optional<Rect> border_5mm;
  Rect border_10mm;
};

std::optional<SheetSize> sheet_size(std::int32_t size) {
  switch (size) {
    case 1:
      return SheetSize{{0, 0, 841, 594}, std::nullopt, {20, 10, 831, 574}};
    case 2:
      return SheetSize{{0, 0, 594, 420}, std::nullopt, {20, 10, 584, 400}};
    case 3:
      return SheetSize{{0, 0, 420, 297}, Rect{15, 5, 415, 292}, {20, 10, 410, 287}};
    case 4:
      return SheetSize{{0, 0, 210, 297}, Rect{17.9L, 5, 205.1L, 292}, {20, 10, 200, 287}};
    default:
      return std::nullopt;
  }
}

bool ten_mm_border() {
  return IsoTitleBlock() && SheetBorderCode != 0;
}

void draw_rect(const Rect& r) {
  cad_rect(r.x1, r.y1, r.x2, r.y2);
}

void sheet_rectangles(std::int32_t size) {
  const std::optional<SheetSize> sheet = sheet_size(size);
  if (!sheet) return;
  cad_layer(5);
  if (ten_mm_border()) {
    draw_rect(sheet->border_10mm);
  } else if (sheet->border_5mm) {
    draw_rect(*sheet->border_5mm);
  }
  cad_layer(3);
  draw_rect(sheet->trim);
}

// A text that is only a slash (blanks aside) stands for "no text".
std::string without_lone_slash(const std::string& text) {
  return NoBlanks(text) == "/" ? std::string() : text;
}

bool free_texts_on(std::int32_t size) {
  if (size == 4) return DrawingTextMode == kDrawingTextsA4 || DrawingTextMode == kDrawingTextsA4A3;
  if (size == 3) return DrawingTextMode == kDrawingTextsA3 || DrawingTextMode == kDrawingTextsA4A3;
  return false;
}

void free_drawing_texts(std::int32_t size) {
  if (!free_texts_on(size)) return;
  const int count = std::min<int>(DrawingTextCount, kDrawingTextSlotCount);
  for (int i = 1; i <= count; ++i) {
    const DrawingTextRecord& record = DrawingTextRecords[i];
    // A record of height 0 keeps the style of the one before it.
    if (record.h > 0) cad_text_style(2, record.phi, record.h, 0.8L * record.h);
    cad_layer(record.Layer);
    cad_text(record.Text, record.x, record.y);
  }
}

void marking_strip(std::int32_t size) {
  if (!IsoTitleBlock() || SheetBorderCode != 1) return;
  if (size == 4) DrawZoneMarks(4, 6, 20, 10, 200, 287, 4);
  if (size == 3) DrawZoneMarks(8, 6, 20, 10, 410, 287, 4);
}

void footer(std::int32_t size) {
  cad_layer(3);
  cad_text_style(2, 0, 1.5L, 1.2L);
  if (!HideFileName) cad_text(ShortenMiddle(CurrentFileName(), 150), 20, 1);
  if (!HideDate && (size == 3 || size == 4)) {
    cad_text(TodayText() + " " + HourMinuteText(), size == 4 ? 186 : 395, 1);
  }
}

void maker_line() {
  cad_text_style(2, 0, 3.5L, 3.0L);
  cad_layer(5);
  if (!HideMakerLine) cad_text("BRELCOR   " + LongTitle + "  V" + ProgVersion, 1, 300);
}

}  // namespace

void DrawSheetFrame(std::int32_t size, const std::string& name, const std::string& name2,
                    const std::string& number) {
  SetDrawingInfoEnglish();
  const std::string shown_name = without_lone_slash(name);
  const std::string shown_name2 = without_lone_slash(name2);
  const std::string shown_number = without_lone_slash(number);
  if (size == 3) SheetKind = 3;
  if (size == 4) SheetKind = 2;
  if (HideDrawingHead) return;
  sheet_rectangles(size);
  DrawTitleBlock(size, shown_name, shown_name2, shown_number);
  DrawProtectionNote(size);
  free_drawing_texts(size);
  marking_strip(size);
  footer(size);
  maker_line();
}

void DrawProtectionNote(std::int32_t size) {
  if (HideProtectionNote || (size != 3 && size != 4)) return;
  cad_layer(3);
  cad_text_style(2, 90, 1.8L, 1.5L);
}

void SetSheetExtents(std::int32_t size) {
  if (size == 4) cad_header(-5, -5, 215, 307, 0);
  if (size == 3) cad_header(-2, -5, 422, 305, 0);
}
