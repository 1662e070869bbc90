#include "cad/drawings/drawingcontent.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <string>

#include "base/settings/wbrelvar.h"
#include "cad/drawings/cadtable.h"
#include "cad/drawings/drawscale.h"
#include "cad/drawings/fittable.h"
#include "cad/drawings/p3gpart.h"
#include "cad/drawings/resulttables.h"
#include "cad/drawings/sheetframe.h"
#include "cad/layer/brelcad.h"
#include "cad/layer/cadhead.h"
#include "cad/layer/cadprim.h"
#include "calc/kv6record.h"

namespace {

constexpr std::uint16_t kConnection = 0;
constexpr std::int32_t kA3 = 3;
constexpr std::int32_t kA4 = 4;
constexpr long double kTableHeight = 3.5L;
constexpr long double kQuickTableHeight = 1.4L;

bool one_of(std::uint16_t drawing, std::initializer_list<std::uint16_t> drawings) {
  return std::find(drawings.begin(), drawings.end(), drawing) != drawings.end();
}

void define_block(const char* name, const std::function<void()>& body) {
  cad_block_begin(name);
  body();
  cad_block_end();
}

void insert(const char* name, long double x, long double y, long double scale) {
  cad_insert(name, x, y, 0, scale, scale);
}

// Drawings 1, 2, 9 and 10 show the profile alone, extruded by length on STL. The window is d1
// to either side and 0.8 d1 up and down, or wider where the view reaches further (a large hub
// outer diameter and its dimension), with a margin.
void profile_header(std::uint16_t part, std::uint16_t mode, long double length) {
  constexpr long double kHeightShare = 0.8L;
  constexpr long double kMargin = 1.05L;
  const CadPoint reach = P3GPartReach(part, mode);
  const long double d =
      std::max({CalcData.d1, kMargin * reach.x, kMargin * reach.y / kHeightShare});
  cad_header(-d, -kHeightShare * d, d, kHeightShare * d, length);
}

// The larger of the profile's outer circle with a margin and the hub's outer diameter.
long double profile_extent(long double hub_outer) {
  return std::max(1.2L * CalcData.d2, hub_outer);
}

void sheet_frame(std::int32_t size, std::uint16_t drawing) {
  if (drawing == 6 || drawing == 7) {
    const int part = drawing == 6 ? kShaft : kHub;
    DrawSheetFrame(size, DrawingName[part], DrawingName2[part], DrawingNo[part]);
    return;
  }
  DrawSheetFrame(size, DrawingName[kShaft] + "/" + DrawingName[kHub], DrawingTexts[1],
                 DrawingNo[kShaft] + "/" + DrawingNo[kHub]);
}

void dimension_table_block(const char* name, std::int32_t part, std::uint16_t drawing) {
  define_block(name, [part, drawing] {
    DrawDimensionTable(drawing == 5, part, 0, 0, drawing == 8 ? 3.4L : kTableHeight);
  });
}

// The hub's pressure check has something to show only with a yield point and a safety factor.
bool strength_table_shown() {
  return Materials[kHub].Re > 0 && CalcData.Sp[kHub] > 0;
}

void scale_note(long double s) {
  cad_text(ScaleText(s), 26, 274);
}

// The scale, or text height, that brings a table of that width into its room: the given one,
// or less where the table's columns, as wide as their texts, would reach past the room.
long double fit(long double given, long double width, long double room) {
  return width > room ? given * room / width : given;
}

// A table block placed at (x, y) with a scale no larger than given, fitted to its room.
void insert_table(const char* name, long double x, long double y, long double scale,
                  long double block_width, long double room) {
  const long double fitted = fit(scale, scale * block_width, room);
  insert(name, x, y, fitted);
}

// The quick sheet's tables stand in two columns: from 2 to 80, and from 82 to the sheet's edge
// at 160. The strength table hangs from 118 above the hub's table at 54; when its rows reach
// further down, the hub's table starts below its last row.
void quick_sheet() {
  constexpr long double kStrengthTop = 118;
  constexpr long double kLeftRoom = 78;
  constexpr long double kRightRoom = 78;
  const long double strength_scale =
      fit(0.585L, 0.585L * StrengthTableWidth(false, kTableHeight), kRightRoom);
  const bool strength = strength_table_shown();
  long double hub_top = 54;
  if (strength) {
    hub_top =
        std::min(hub_top, kStrengthTop - strength_scale * StrengthTableHeight(false, kTableHeight));
  }
  insert_table("TABLE_1", 2, 54, 0.6L, DimensionTableWidth(true, kShaft, kTableHeight), kLeftRoom);
  insert_table("TABLE_2", 82, hub_top, 0.6L, DimensionTableWidth(true, kHub, kTableHeight),
               kRightRoom);
  if (strength) insert("TABLE_3", 82, kStrengthTop, strength_scale);
  insert("P3G0", 40, 90, ProfileScale(50 / profile_extent(CalcData.dB2)));
  DrawMessageTable(2, 20, 2, 42, 18);
}

// The profile's table on a production drawing reaches at most to the 10 mm border at 200.
void production_table(const char* name, std::int32_t part) {
  constexpr long double kLeft = 48;
  constexpr long double kBorder = 200;
  insert_table(name, kLeft, 140, 1, DimensionTableWidth(false, part, kTableHeight),
               kBorder - kLeft);
}

void shaft_production_drawing() {
  const kv6record& r = CalcData;
  cad_layer(0);
  insert("FRAME_1", 0, 0, 1);
  const long double s = RoundScale(80 / r.d2);
  scale_note(s);
  insert("P3G1", 110, 220, s);
  production_table("TABLE_1", kShaft);
  FitTable fits(120, 64, 2.5L);
  fits.AddFit(r.TolShaft, r.d1);
  fits.AddFit("js 4", r.e1);
}

void hub_production_drawing() {
  const kv6record& r = CalcData;
  cad_layer(0);
  insert("FRAME_1", 0, 0, 1);
  const long double s = RoundScale(100 / profile_extent(r.dB2));
  scale_note(s);
  insert("P3G2", 110, 220, s);
  production_table("TABLE_2", kHub);
  FitTable fits(120, 68, 2.5L);
  fits.AddFit("H7", r.d4);
  fits.AddFit("H8", r.d6pre);
  fits.AddFit("JS4", r.e2);
}

void connection_production_drawing() {
  cad_layer(0);
  insert("FRAME_1", 0, 0, 1);
  const long double s = RoundScale(80 / CalcData.d2);
  scale_note(s);
  insert("P3G0", 110, 220, s);
  // The shaft's table from 22 to 110, the hub's from 112 to the 10 mm border at 200.
  constexpr long double kRoom = 88;
  constexpr long double kHeight = 3.4L;
  insert_table("TABLE_1", 22, 130, 0.7L, DimensionTableWidth(false, kShaft, kHeight), kRoom);
  insert_table("TABLE_2", 112, 130, 0.7L, DimensionTableWidth(false, kHub, kHeight), kRoom);
}

// Quick sheet 3 has three columns of tables: the profiles' from 2 to 54, the strength checks'
// from 56 to 107 and the section values' and messages' from 109 to the sheet's edge at 160; the
// material table spans the last two. Each table keeps to its column, with a smaller text where
// its texts need more room.
void quick_sheet_3() {
  constexpr long double kProfileRoom = 52;
  constexpr long double kMiddleRoom = 51;
  constexpr long double kRightRoom = 51;
  constexpr long double kMaterialRoom = 104;
  const long double s = ProfileScale(35 / profile_extent(std::fabs(CalcData.dB2)));
  const long double h = kQuickTableHeight;
  insert("P3G1", 25, 103, s);
  DrawDimensionTable(true, kShaft, 2, 80,
                     fit(h, DimensionTableWidth(true, kShaft, h), kProfileRoom));
  insert("P3G2", 25, 46, s);
  DrawDimensionTable(true, kHub, 2, 22, fit(h, DimensionTableWidth(true, kHub, h), kProfileRoom));
  DrawMaterialTable(56, 119, fit(h, MaterialTableWidth(h), kMaterialRoom));
  DrawDimensionTable(false, kConnection, 109, 98,
                     fit(h, DimensionTableWidth(false, kConnection, h), kRightRoom));
  DrawStrengthTable(true, 56, 98, fit(h, StrengthTableWidth(true, h), kMiddleRoom));
  DrawPressureSafetyTable(56, 28, fit(h, PressureSafetyTableWidth(h), kMiddleRoom));
  cad_moveto(56, 34);
  cad_text_angle(DrawingTexts[1]);
  cad_text_angle(DrawingTexts[2]);
  DrawMessageTable(109, 28, h, 40, 27);
}

// Quick sheet 4 shows the shaft's and the hub's view side by side on the A3 sheet, each within
// its room: from 29.5 to 205.5 and from 230 to 406 across, from 90 to 270 up. So they keep clear
// of both borders, of the title block of every layout with eight change rows above it (up to
// 77.5), and of the scale note at the top left.
constexpr long double kQuick4ViewY = 180;
constexpr long double kQuick4HalfWidth = 88;
constexpr long double kQuick4HalfHeight = 90;

// The largest scale of the series at which both dimensioned views keep within their rooms. The
// series may step up by half a percent; every room keeps more than that from what it clears.
long double quick_sheet_4_scale() {
  long double s = std::numeric_limits<long double>::infinity();
  for (const std::uint16_t part : {std::uint16_t{kShaft}, std::uint16_t{kHub}}) {
    const CadPoint reach = P3GPartReach(part, 2);
    s = std::min({s, kQuick4HalfWidth / reach.x, kQuick4HalfHeight / reach.y});
  }
  return RoundScale(s);
}

void quick_sheet_4() {
  const long double s = quick_sheet_4_scale();
  cad_layer(0);
  insert("FRAME_1", 0, 0, 1);
  scale_note(s);
  insert("P3G1", 117.5L, kQuick4ViewY, s);
  insert("P3G2", 318, kQuick4ViewY, s);
}

// Drawings 3 and 4 show one profile's table alone, within their window's right edge at 120.
void table_sheet(std::int32_t part) {
  constexpr long double kRoom = 120;
  const long double h = kTableHeight;
  DrawDimensionTable(false, part, 0, 90, fit(h, DimensionTableWidth(false, part, h), kRoom));
}

}  // namespace

long double ProfileScale(long double quotient) {
  return std::isfinite(quotient) && quotient > 0 ? quotient : 1;
}

void DrawingHeader(std::uint16_t drawing) {
  const kv6record& r = CalcData;
  switch (drawing) {
    case 1:
      profile_header(kConnection, 0, r.l);
      break;
    case 2:
      profile_header(kConnection, 2, r.l);
      break;
    case 3:
    case 4:
      cad_header(-5, -5, 120, 100, 0);
      break;
    case 5:
    case 11:
      cad_header_default();
      break;
    case 6:
    case 7:
    case 8:
      SetSheetExtents(kA4);
      break;
    case 9:
      profile_header(kShaft, 1, r.l1);
      break;
    case 10:
      profile_header(kHub, 1, r.l2);
      break;
    case 12:
      SetSheetExtents(kA3);
      break;
    default:
      break;
  }
}

void DrawingBlocks(std::uint16_t drawing) {
  if (one_of(drawing, {6, 7, 8, 12})) {
    define_block("FRAME_1", [drawing] { sheet_frame(drawing == 12 ? kA3 : kA4, drawing); });
  }
  if (one_of(drawing, {5, 8})) define_block("P3G0", [] { DrawP3GPart(kConnection, 2); });
  if (one_of(drawing, {6, 11, 12})) define_block("P3G1", [] { DrawP3GPart(kShaft, 2); });
  if (one_of(drawing, {7, 11, 12})) define_block("P3G2", [] { DrawP3GPart(kHub, 2); });
  if (one_of(drawing, {5, 6, 8})) dimension_table_block("TABLE_1", kShaft, drawing);
  if (one_of(drawing, {5, 7, 8})) dimension_table_block("TABLE_2", kHub, drawing);
  if (one_of(drawing, {5, 8})) {
    define_block("TABLE_3", [] { DrawStrengthTable(false, 0, 0, kTableHeight); });
  }
}

void DrawingEntities(std::uint16_t drawing) {
  switch (drawing) {
    case 1:
      DrawP3GPart(kConnection, 0);
      break;
    case 2:
      DrawP3GPart(kConnection, 2);
      break;
    case 3:
      table_sheet(kShaft);
      break;
    case 4:
      table_sheet(kHub);
      break;
    case 5:
      quick_sheet();
      break;
    case 6:
      shaft_production_drawing();
      break;
    case 7:
      hub_production_drawing();
      break;
    case 8:
      connection_production_drawing();
      break;
    case 9:
      DrawP3GPart(kShaft, 1);
      break;
    case 10:
      DrawP3GPart(kHub, 1);
      break;
    case 11:
      quick_sheet_3();
      break;
    case 12:
      quick_sheet_4();
      break;
    default:
      break;
  }
}
