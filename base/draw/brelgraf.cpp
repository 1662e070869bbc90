#include "base/draw/brelgraf.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <utility>

#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/utilmath.h"

RecordList DisplayList;

PixelRect Viewport;
PixelRect SavedViewport;
WorldRect WorldWindow;
WorldRect SavedWorldWindow;
ZoomRectangle ZoomRect;
WorldRect VisibleWindow;
long double ScaleX;
long double ScaleY;
std::uint8_t KeepAspect;
long double MouseAspectFactor;
std::uint8_t Printing;

TFbrelgra* DrawWindow = nullptr;

void InitCoordinateState() {
  Viewport = {0, 0, 1, 1};
  SavedViewport = Viewport;
  WorldWindow = {0, 0, 1, 1};
  SavedWorldWindow = WorldWindow;
  ZoomRect = {0, 0, 640, 480};
  VisibleWindow = WorldWindow;
  ScaleX = 1;
  ScaleY = 1;
  KeepAspect = 1;
  MouseAspectFactor = 1;
  Printing = 0;
}

namespace {

const bool kInitialised = (InitCoordinateState(), true);

std::int32_t Saturate(long double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<long double>(std::numeric_limits<std::int32_t>::max())) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (v <= static_cast<long double>(std::numeric_limits<std::int32_t>::min())) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(v);
}

// Zero reference extents stand for the 640 x 480 of the first graphics cards.
void DefaultReferenceExtent() {
  if (HorizontalPixels == 0) HorizontalPixels = 640;
  if (VerticalPixels == 0) VerticalPixels = 480;
}

bool IsDegenerate(const WorldRect& w) {
  return w.xmin == w.xmax || w.ymin == w.ymax;
}

bool IsDegenerate(const PixelRect& v) {
  return v.right <= v.left || v.bottom <= v.top;
}

long double DegreesToRadians(long double a) {
  return a * Pi / 180;
}

// The numbers of a drawing mostly come out in fixed notation, "%.8G" for magnitudes from 1E-04
// to below 1E+08. Scaled to eight digits in extended precision, their rounding is exact unless
// the scaled value lies within a hair of a half; those and all other numbers go through the
// general routine. Building a list spends most of its time formatting numbers.
bool AppendFixedField(std::string& record, double x) {
  static constexpr double kDecades[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2,
                                        1e3,  1e4,  1e5,  1e6,  1e7, 1e8};
  const double magnitude = std::fabs(x);
  if (!(magnitude >= kDecades[0] && magnitude < kDecades[12])) return false;
  int decade = 0;  // magnitude lies in [10^(decade - 4), 10^(decade - 3))
  while (magnitude >= kDecades[decade + 1]) ++decade;
  int decimals = 11 - decade;
  long double power = 1;
  for (int k = 0; k < decimals; ++k) power *= 10;
  const long double scaled = magnitude * power;
  const long double whole = std::floor(scaled);
  // Beyond eight digits or short of them: the decades of negative powers are not exact.
  if (whole < 1e7L || whole >= 1e8L || std::fabs(scaled - whole - 0.5L) < 1e-6L) return false;
  auto digits = static_cast<std::uint64_t>(whole) + (scaled - whole > 0.5L ? 1 : 0);
  if (digits == 100000000) {         // rounded up into the next decade
    if (decade == 11) return false;  // 1E+08 and beyond take the exponent form
    digits = 10000000;
    --decimals;
  }
  while (decimals > 0 && digits % 10 == 0) {
    digits /= 10;
    --decimals;
  }
  char buffer[24];
  char* end = buffer + sizeof buffer;
  char* p = end;
  for (int k = 0; k < decimals; ++k, digits /= 10) *--p = static_cast<char>('0' + digits % 10);
  if (decimals > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + digits % 10);
    digits /= 10;
  } while (digits != 0);
  if (x < 0) *--p = '-';
  record.append(p, end);
  return true;
}

void AppendFloatField(std::string& record, long double x) {
  if (AppendFixedField(record, static_cast<double>(x))) return;
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(x),
                                    std::chars_format::general, 8);
  for (char* p = buffer; p != result.ptr; ++p) {
    if (*p == 'e') *p = 'E';
  }
  record.append(buffer, result.ptr);
}

// The number that starts a record of op, with its ";".
std::string RecordStart(DrawOp op) {
  return std::to_string(static_cast<std::int32_t>(op)) + ';';
}

// "opcode;field;...;field" in one string, without a string per field: a drawing appends a
// record for every line.
std::string FieldRecord(DrawOp op, std::initializer_list<long double> fields) {
  std::string record = std::to_string(static_cast<std::int32_t>(op));
  record.reserve(record.size() + 16 * fields.size());
  for (const long double field : fields) {
    record += ';';
    AppendFloatField(record, field);
  }
  return record;
}

}  // namespace

std::string FloatField(long double x) {
  std::string field;
  AppendFloatField(field, x);
  return field;
}

namespace {

constexpr long double kMmPerInch = 25.4L;

long double PixelsPerMm(std::int32_t dpi) {
  return dpi / kMmPerInch;
}

// The sheet kinds of drawings framed on a paper sheet of their own.
bool DrawnOnASheet() {
  return SheetKind == 2 || SheetKind == 3 || SheetKind == 8;
}

// Paper millimetres per world unit before the print scale: 1 on a sheet, else the largest
// factor at which the visible window fits the page, the same across and down.
long double PaperPerWorldUnit(const PageGeometry& page) {
  const long double width = VisibleWindow.xmax - VisibleWindow.xmin;
  const long double height = VisibleWindow.ymax - VisibleWindow.ymin;
  if (DrawnOnASheet() || !(width > 0) || !(height > 0)) return 1;
  const long double pageWidth = page.pixels.width / PixelsPerMm(page.dpi.x);
  const long double pageHeight = page.pixels.height / PixelsPerMm(page.dpi.y);
  return std::min(pageWidth / width, pageHeight / height);
}

long double PixelsPerUnitX(const PageGeometry& page) {
  return PaperPerWorldUnit(page) * PrintScaleX * PixelsPerMm(page.dpi.x);
}

long double PixelsPerUnitY(const PageGeometry& page) {
  return PaperPerWorldUnit(page) * PrintScaleY * PixelsPerMm(page.dpi.y);
}

}  // namespace

std::int32_t WorldToPrinterX(long double x, const PageGeometry& page) {
  return Saturate(static_cast<long double>(RoundPixel(PixelsPerMm(page.dpi.x) * PrintOriginX)) +
                  RoundPixel((x - VisibleWindow.xmin) * PixelsPerUnitX(page)));
}

std::int32_t WorldToPrinterY(long double y, const PageGeometry& page) {
  return Saturate(static_cast<long double>(RoundPixel(PixelsPerMm(page.dpi.y) * PrintOriginY)) +
                  RoundPixel((VisibleWindow.ymax - y) * PixelsPerUnitY(page)));
}

std::int32_t PrinterSizeX(long double w, const PageGeometry& page) {
  return RoundPixel(w * PixelsPerUnitX(page));
}

std::int32_t PrinterSizeY(long double h, const PageGeometry& page) {
  return RoundPixel(h * PixelsPerUnitY(page));
}

TFbrelgra::TFbrelgra(platform::DrawSurface& surface) : surface_(surface) {
  FormCreate();
  surface_.SetEvents(this);
  if (DrawWindow == nullptr) DrawWindow = this;
}

TFbrelgra::~TFbrelgra() {
  surface_.SetEvents(nullptr);
  if (DrawWindow == this) DrawWindow = nullptr;
}

void TFbrelgra::FormCreate() {
  colour_ = -1;
  lineStyle_ = 99;
  lineWidth_ = 1;
  StepMode = 0;
  dragActive_ = 0;
  dblClickSeen_ = 0;
  InitCoordinateState();
}

void TFbrelgra::Append(std::string record) {
  DisplayList.push_back(std::move(record));
}

void TFbrelgra::SetWindow(bool keepAspect, bool inset, long double vx1, long double vy1,
                          long double vx2, long double vy2, long double xmin, long double ymin,
                          long double xmax, long double ymax) {
  DefaultReferenceExtent();
  PixelRect v{RoundPixel(HorizontalPixels * vx1), RoundPixel(VerticalPixels * (1 - vy2)),
              RoundPixel(HorizontalPixels * vx2), RoundPixel(VerticalPixels * (1 - vy1))};
  if (inset) {
    ++v.left;
    ++v.top;
    --v.right;
    --v.bottom;
  }
  Viewport = v;
  Append(RecordStart(DrawOp::kWindow) + std::to_string(v.left) + ";" + std::to_string(v.top) + ";" +
         std::to_string(v.right) + ";" + std::to_string(v.bottom) + ";" + FloatField(xmin) + ";" +
         FloatField(ymin) + ";" + FloatField(xmax) + ";" + FloatField(ymax));
  WorldWindow = {xmin, ymin, xmax, ymax};
  KeepAspect = keepAspect ? 1 : 0;
  if (IsDegenerate(WorldWindow) || IsDegenerate(Viewport)) {
    AbortFlag = 1;
    return;
  }
  SetScale(v.left, v.top, v.right, v.bottom);
}

void TFbrelgra::SetScale(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  if (x2 == x1 || y2 == y1) return;
  // A failed SetWindow leaves a degenerate window in place; its scales stay as they were.
  if (IsDegenerate(WorldWindow) || IsDegenerate(Viewport)) return;
  ZoomRect = {x1, y1, x2, y2};
  const long double width = Viewport.right - Viewport.left;
  const long double height = Viewport.bottom - Viewport.top;
  const WorldRect& w = WorldWindow;
  VisibleWindow.xmin = w.xmin + (x1 - Viewport.left) / width * (w.xmax - w.xmin);
  VisibleWindow.xmax = w.xmin + (x2 - Viewport.left) / width * (w.xmax - w.xmin);
  VisibleWindow.ymin = w.ymin + (y1 - Viewport.top) / height * (w.ymax - w.ymin);
  VisibleWindow.ymax = w.ymin + (y2 - Viewport.top) / height * (w.ymax - w.ymin);
  ScaleX = width / (VisibleWindow.xmax - VisibleWindow.xmin);
  ScaleY = height / (VisibleWindow.ymax - VisibleWindow.ymin);
  DefaultReferenceExtent();
  if (KeepAspect != 0) {
    const long double q = 0.75L * HorizontalPixels / VerticalPixels;
    if (ScaleX >= ScaleY * q) {
      ScaleX = ScaleY * q;
    } else {
      ScaleY = ScaleX / q;
    }
  }
}

void TFbrelgra::SaveLimit() {
  SavedWorldWindow = WorldWindow;
}

void TFbrelgra::RestoreLimit() {
  const WorldRect s = SavedWorldWindow;
  SetWindow(true, true, 0, 0, 1, 1, s.xmin, s.ymin, s.xmax, s.ymax);
}

void TFbrelgra::circle(long double x, long double y, long double r) {
  Append(FieldRecord(DrawOp::kCircle, {x, y, r}));
}

void TFbrelgra::line(long double x1, long double y1, long double x2, long double y2) {
  Append(FieldRecord(DrawOp::kLine, {x1, y1, x2, y2}));
}

void TFbrelgra::Arc(long double xc, long double yc, long double a1, long double a2, long double r,
                    long double sweep) {
  if (sweep < 0) std::swap(a1, a2);
  const long double xs = xc + r * std::cos(DegreesToRadians(a1));
  const long double ys = yc + r * std::sin(DegreesToRadians(a1));
  const long double xe = xc + r * std::cos(DegreesToRadians(a2));
  const long double ye = yc + r * std::sin(DegreesToRadians(a2));
  if (std::fabs(sweep) < 4) {
    line(xs, ys, xe, ye);
    return;
  }
  Append(FieldRecord(DrawOp::kArc, {xc - r, yc - r, xc + r, yc + r, xs, ys, xe, ye}));
}

long double TFbrelgra::EinX(long double f) const {
  return f * (WorldWindow.xmax - WorldWindow.xmin);
}

long double TFbrelgra::EinY(long double f) const {
  return f * (WorldWindow.ymax - WorldWindow.ymin);
}

void TFbrelgra::SetColor(std::int32_t c) {
  if (c > static_cast<std::int32_t>(MaxColour) || c == colour_) return;
  Append(RecordStart(DrawOp::kColour) + std::to_string(c));
  colour_ = c;
}

void TFbrelgra::Clear() {
  DisplayList.clear();
  // The next drawing must record its colour, style and width even when they repeat.
  colour_ = -1;
  lineStyle_ = 99;
  lineWidth_ = 1;
  surface_.Invalidate();
  surface_.Show();
}

void TFbrelgra::Header(long double xmin, long double ymin, long double xmax, long double ymax) {
  if (xmax != xmin && ymax != ymin) {
    DefaultReferenceExtent();
    MouseAspectFactor =
        (0.75L * HorizontalPixels / VerticalPixels) * (640 / (xmax - xmin)) / (480 / (ymax - ymin));
  }
  SetWindow(true, true, 0, 0, 1, 1, xmin, ymin, xmax, ymax);
  SetLineStyle(0);
  SaveLimit();
}

void TFbrelgra::ReSetWindow() {
  SetWindow(false, false, 0, 0, 1, 1, 0, 0, 1, 1);
  ResetZoom();
}

void TFbrelgra::ClearViewPort() {
  SetWaitCursor();
  surface_.Invalidate();
  surface_.Show();
}

void TFbrelgra::SetLineStyle(std::uint16_t s) {
  if (s == lineStyle_) return;
  Append(RecordStart(DrawOp::kLineStyle) + std::to_string(s));
  lineStyle_ = s;
}

void TFbrelgra::SetLineWidth(std::uint16_t w) {
  if (w == lineWidth_) return;
  Append(RecordStart(DrawOp::kLineWidth) + std::to_string(w));
  lineWidth_ = w;
}

void TFbrelgra::SleepMs(std::int32_t ms) {
  Append(RecordStart(DrawOp::kPause) + std::to_string(ms));
}

void TFbrelgra::SetLineStyleName(std::string_view name) {
  if (name == "DOTTED" || name == "PUNKT") {
    SetLineStyle(1);
  } else if (name == "CENTER" || name == "DASHDOT" || name == "STRICHPUNKT") {
    SetLineStyle(2);
  } else if (name == "DASHED" || name == "HIDDEN" || name == "VERDECKT") {
    SetLineStyle(3);
  } else {
    SetLineStyle(0);
  }
}

void TFbrelgra::Rectangle(long double x1, long double y1, long double x2, long double y2) {
  line(x1, y1, x2, y1);
  line(x2, y1, x2, y2);
  line(x2, y2, x1, y2);
  line(x1, y2, x1, y1);
}

void TFbrelgra::LineTo(long double x, long double y) {
  penX_ = x;
  penY_ = y;
}

void TFbrelgra::MoveTo(long double x, long double y) {
  penX_ = x;
  penY_ = y;
}

void TFbrelgra::OutTextXY(long double x, long double y, std::string_view text) {
  std::string record = RecordStart(DrawOp::kText) + FloatField(x) + ";" + FloatField(y) + ";";
  record += text;
  Append(std::move(record));
}

std::int32_t TFbrelgra::GetDirection(long double angle) {
  const bool vertical =
      (angle > 45 && angle < 135) || (angle > 225 && angle < 315) || (angle > -135 && angle < -45);
  return vertical ? 1 : 0;
}

void TFbrelgra::SetTextStyle(long double angle, long double height, long double width,
                             std::int32_t n) {
  Append(RecordStart(DrawOp::kTextStyle) + FloatField(height) + ";" + FloatField(width) + ";" +
         std::to_string(n) + ";" + FloatField(angle));
}

void TFbrelgra::Solid(long double x1, long double y1, long double x2, long double y2,
                      long double x3, long double y3, long double x4, long double y4) {
  Append(FieldRecord(DrawOp::kSolid, {x1, y1, x2, y2, x3, y3, x4, y4}));
}

void TFbrelgra::ResetZoom() {
  SetScale(Viewport.left, Viewport.top, Viewport.right, Viewport.bottom);
}

void TFbrelgra::SaveViewPort() {
  SavedViewport = Viewport;
}

void TFbrelgra::RetrieveViewPort() {
  Viewport = SavedViewport;
}

// Our own mark: a blue frame of four bars around a magenta square.
void TFbrelgra::DrawBrelcorLogo() {
  Header(-1, -1, 38, 33);
  SetLineStyle(0);
  SetColor(9);
  Solid(0, 0, 37, 0, 37, 4, 0, 4);
  Solid(0, 28, 37, 28, 37, 32, 0, 32);
  Solid(0, 4, 4, 4, 4, 28, 0, 28);
  Solid(33, 4, 37, 4, 37, 28, 33, 28);
  SetColor(13);
  Solid(10, 8, 27, 8, 27, 24, 10, 24);
  SetColor(9);
  MoveTo(0, 0);
}

void TFbrelgra::SetWaitCursor() {
  surface_.SetCursor(platform::CursorShape::Hourglass);
}

void TFbrelgra::SetOldCursor() {
  surface_.SetCursor(platform::CursorShape::Arrow);
}
