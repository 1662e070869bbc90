// The drawing window: drawing calls append text records to the display list, and every paint
// replays the whole list through the current mapping from world coordinates to pixels. Zoom
// and pan only change that mapping.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "base/draw/brelgraflist.h"
#include "platform/print/printerdoc.h"
#include "platform/ui/canvas.h"
#include "platform/ui/drawsurface.h"

// Records: opcode and fields separated by ";" (see FloatField for the numbers).
extern RecordList DisplayList;

struct PixelRect {
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct ZoomRectangle {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // viewport pixels, y counted upwards
};
struct WorldRect {
  long double xmin = 0, ymin = 0, xmax = 0, ymax = 0;
};

// Coordinate state of the drawing window.
extern PixelRect Viewport;
extern PixelRect SavedViewport;
extern WorldRect WorldWindow;
extern WorldRect SavedWorldWindow;
extern ZoomRectangle ZoomRect;
extern WorldRect VisibleWindow;
extern long double ScaleX;
extern long double ScaleY;
extern std::uint8_t KeepAspect;
extern long double MouseAspectFactor;
extern std::uint8_t Printing;

// Resets the coordinate state to its start-up values.
void InitCoordinateState();

// "%.8G" with "." as decimal sign: 0.33333333, 100, 1.2345679E+08, 1E-05.
std::string FloatField(long double x);

// Rounds halves to even and saturates to the 32-bit range (NaN gives 0). Pixels need no
// extended precision; rint of a double rounds halves to even in the default rounding mode and
// costs a fraction of the extended routine.
inline std::int32_t RoundPixel(long double v) {
  const double d = static_cast<double>(v);
  if (std::isnan(d)) return 0;
  if (d >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (d <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::rint(d));
}

// Every paint maps each point of the list through these, so they are inline. Pixels are summed
// in 64 bits, so that adding the viewport cannot overflow before saturation.
inline std::int32_t WorldToScreenX(long double x) {
  const std::int64_t p =
      static_cast<std::int64_t>(RoundPixel((x - VisibleWindow.xmin) * ScaleX)) + Viewport.left;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(p, INT32_MIN, INT32_MAX));
}
inline std::int32_t WorldToScreenY(long double y) {
  const std::int64_t p =
      static_cast<std::int64_t>(Viewport.bottom) - RoundPixel((y - VisibleWindow.ymin) * ScaleY);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(p, INT32_MIN, INT32_MAX));
}
inline std::int32_t ScreenSizeX(long double w) {
  return RoundPixel(ScaleX * w);
}
inline std::int32_t ScreenSizeY(long double h) {
  return RoundPixel(ScaleY * h);
}
// A printer page as the printout's mapping sees it: its size in device pixels and its
// resolution (dots per inch).
struct PageGeometry {
  platform::Size pixels;
  platform::Resolution dpi;
};
// The printout keeps the drawing's proportions whatever the window's shape: a world unit becomes
// paper millimetres, counted in device pixels of the page's resolution, across and down alike. A
// drawing on a sheet (A4, A3) has a paper size: there a world unit, a millimetre of the drawing,
// is the print scale's millimetres, so "M 1:1" measures true to scale. Any other drawing is
// fitted to the page: the print scale is the share of the largest size at which its visible
// window lies wholly on the page. The top left corner of the window's visible part lies at the
// print origin, in millimetres from the top left corner of the page.
std::int32_t WorldToPrinterX(long double x, const PageGeometry& page);
std::int32_t WorldToPrinterY(long double y, const PageGeometry& page);
std::int32_t PrinterSizeX(long double w, const PageGeometry& page);
std::int32_t PrinterSizeY(long double h, const PageGeometry& page);

// A printer page the replay draws on.
struct PrinterPage {
  platform::Canvas& canvas;
  platform::Resolution dpi;
};

class TFbrelgra : public platform::DrawSurfaceEvents {
 public:
  explicit TFbrelgra(platform::DrawSurface& surface);
  ~TFbrelgra() override;
  TFbrelgra(const TFbrelgra&) = delete;
  TFbrelgra& operator=(const TFbrelgra&) = delete;

  platform::DrawSurface& Surface() { return surface_; }

  void FormCreate();
  // Asks for a paint; while Printing is set, first replays onto the active printer document.
  void FormPaint();
  // The replay: screen receives every record but text while printing; printer, when given,
  // receives every record mapped to its page.
  void Replay(platform::Canvas& screen, const PrinterPage* printer);

  void SetWindow(bool keepAspect, bool inset, long double vx1, long double vy1, long double vx2,
                 long double vy2, long double xmin, long double ymin, long double xmax,
                 long double ymax);
  void SetScale(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  void SaveLimit();
  void RestoreLimit();
  void circle(long double x, long double y, long double r);
  void line(long double x1, long double y1, long double x2, long double y2);
  void Arc(long double xc, long double yc, long double a1, long double a2, long double r,
           long double sweep);
  long double EinX(long double f) const;
  long double EinY(long double f) const;
  void SetColor(std::int32_t c);
  void Clear();
  void Header(long double xmin, long double ymin, long double xmax, long double ymax);
  void ReSetWindow();
  void ClearViewPort();
  void SetLineStyle(std::uint16_t s);
  void SetLineWidth(std::uint16_t w);
  void SleepMs(std::int32_t ms);
  void SetLineStyleName(std::string_view name);
  void Rectangle(long double x1, long double y1, long double x2, long double y2);
  // Only keep the pen position: the paint replays the list, so nothing draws outside it.
  void LineTo(long double x, long double y);
  void MoveTo(long double x, long double y);
  void OutTextXY(long double x, long double y, std::string_view text);
  static std::int32_t GetDirection(long double angle);
  void SetTextStyle(long double angle, long double height, long double width, std::int32_t n);
  std::int32_t GetColor() const { return colour_; }
  void Solid(long double x1, long double y1, long double x2, long double y2, long double x3,
             long double y3, long double x4, long double y4);
  void ResetZoom();
  void SaveViewPort();
  void RetrieveViewPort();
  void DrawBrelcorLogo();
  void SetWaitCursor();
  void SetOldCursor();

  // Zoom, pan and mouse.
  void Regen();
  void DrawRectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
  void processKey(std::uint16_t key);
  void FormKeyDown(std::uint16_t key) { processKey(key); }
  void FormMouseDown(platform::MouseButton button, std::int32_t x, std::int32_t y);
  void FormMouseMove(std::int32_t x, std::int32_t y);
  void FormMouseUp(platform::MouseButton button, std::int32_t x, std::int32_t y);
  void FormDblClick();
  void FormMouseWheel(std::int32_t delta);

  // Events of the drawing surface.
  void OnPaint(platform::Canvas& canvas) override;
  void OnActivate() override;
  void OnKey(std::uint16_t key) override { FormKeyDown(key); }
  void OnMouseDown(platform::MouseButton b, std::int32_t x, std::int32_t y) override {
    FormMouseDown(b, x, y);
  }
  void OnMouseMove(std::int32_t x, std::int32_t y) override { FormMouseMove(x, y); }
  void OnMouseUp(platform::MouseButton b, std::int32_t x, std::int32_t y) override {
    FormMouseUp(b, x, y);
  }
  void OnDblClick() override { FormDblClick(); }
  void OnWheel(std::int32_t delta) override { FormMouseWheel(delta); }

  std::uint8_t StepMode = 0;     // colour 0 records wait for the step form while set
  std::uint8_t ZoomKeyCode = 0;  // second byte of the key pair; ZoomKeyMode is the first

  long double PenX() const { return penX_; }
  long double PenY() const { return penY_; }

 private:
  void Append(std::string record);
  void ActOnKeyPair();
  // Applies the rectangle unless it reaches beyond the pixel bound.
  bool ZoomTo(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);

  platform::DrawSurface& surface_;
  std::int32_t colour_ = -1;
  std::uint16_t lineStyle_ = 99;
  std::uint16_t lineWidth_ = 1;
  std::uint8_t dragActive_ = 0;
  std::uint8_t dblClickSeen_ = 0;
  platform::Point dragStart_;
  platform::Point dragEnd_;
  long double penX_ = 0;
  long double penY_ = 0;
};

// The one drawing window; null until the main form exists.
extern TFbrelgra* DrawWindow;

// Any rectangle of the zoom beyond this many pixels from the origin is refused.
inline constexpr std::int64_t kZoomPixelBound = 10'000'000;
