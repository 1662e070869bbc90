// The replay of the display list onto the screen canvas and, while printing, the printer canvas.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "base/text/utilmath.h"
#include "platform/print/printerdoc.h"
#include "platform/ui/discardingcanvas.h"

namespace {

constexpr std::size_t kPumpInterval = 50000;
platform::PenStyle StyleOf(long double s) {
  switch (static_cast<int>(s)) {
    case 1:
      return platform::PenStyle::Dot;
    case 2:
      return platform::PenStyle::DashDot;
    case 3:
      return platform::PenStyle::Dash;
    default:
      return platform::PenStyle::Solid;
  }
}

// One canvas of the replay with the mapping and the drawing state it holds.
class Side {
 public:
  explicit Side(platform::Canvas& screen) : canvas_(screen) {}
  explicit Side(const PrinterPage& page)
      : canvas_(page.canvas), printer_(true), page_{page.canvas.GetSize(), page.dpi} {}

  bool IsPrinter() const { return printer_; }
  platform::Canvas& Canvas() { return canvas_; }

  platform::Point At(long double x, long double y) const {
    if (printer_) {
      return {WorldToPrinterX(x, page_), WorldToPrinterY(y, page_)};
    }
    return {WorldToScreenX(x), WorldToScreenY(y)};
  }
  std::int32_t SizeX(long double w) const {
    return printer_ ? PrinterSizeX(w, page_) : ScreenSizeX(w);
  }
  std::int32_t SizeY(long double h) const {
    return printer_ ? PrinterSizeY(h, page_) : ScreenSizeY(h);
  }
  platform::Rect Box(long double x1, long double y1, long double x2, long double y2) const {
    const platform::Point a = At(x1, y1);
    const platform::Point b = At(x2, y2);
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
  }

  void SetColours(platform::Color pen, platform::Color brush, platform::Color font) {
    pen_.color = pen;
    brush_.color = brush;
    fontColour_ = font;
    penDirty_ = brushDirty_ = true;
  }
  void SetPenWidth(std::int32_t w) {
    pen_.width = w;
    penDirty_ = true;
  }
  void SetPenStyle(platform::PenStyle s) {
    pen_.style = s;
    pen_.mode = platform::PenMode::Copy;
    penDirty_ = true;
  }
  void SetPenColour(platform::Color c) {
    pen_.color = c;
    penDirty_ = true;
  }
  void SetBrushColour(platform::Color c) {
    brush_.color = c;
    brushDirty_ = true;
  }
  void SetBrushStyle(platform::BrushStyle s) {
    if (brush_.style == s) return;
    brush_.style = s;
    brushDirty_ = true;
  }
  platform::Color FontColour() const { return fontColour_; }
  void SetFontColour(platform::Color c) { fontColour_ = c; }

  // Hands changed pen and brush to the canvas before a figure is drawn.
  void Flush() {
    if (penDirty_) canvas_.SetPen(pen_);
    if (brushDirty_) canvas_.SetBrush(brush_);
    penDirty_ = brushDirty_ = false;
  }

 private:
  platform::Canvas& canvas_;
  bool printer_ = false;
  PageGeometry page_;
  platform::Pen pen_;
  platform::Brush brush_;
  platform::Color fontColour_;
  bool penDirty_ = true;
  bool brushDirty_ = true;
};

class Replayer {
 public:
  Replayer(TFbrelgra& window, platform::Canvas& screen, const PrinterPage* printer)
      : window_(window), screen_(screen) {
    if (printer != nullptr) printer_.emplace(*printer);
  }

  void Run();

 private:
  template <typename F>
  void ForEachSide(F&& f) {
    f(screen_);
    if (printer_) f(*printer_);
  }
  Side& TextSide() { return printer_ ? *printer_ : screen_; }

  void Start();
  void DrawPrintBorder();
  // False ends the replay.
  bool Execute(const DrawRecord& r, std::size_t index);
  void ApplyColour(std::int32_t c);
  void DrawText(const DrawRecord& r, std::string_view text);
  bool ApplyWindow(const DrawRecord& r);

  TFbrelgra& window_;
  Side screen_;
  std::optional<Side> printer_;
  std::int32_t colour_ = 1;
  long double textHeight_ = 3.5L;
  long double textWidth_ = 3.5L;
  long double textAngle_ = 0;
};

void Replayer::Start() {
  ForEachSide([](Side& s) {
    s.SetPenWidth(1);
    s.SetPenStyle(platform::PenStyle::Solid);
  });
  ApplyColour(1);
  if (printer_ && PrintBorder != 0) DrawPrintBorder();
}

void Replayer::DrawPrintBorder() {
  Side& p = *printer_;
  if (ColourGraphics != 0) p.SetPenColour(platform::ColorFromValue(Palette[11]));
  p.Flush();
  const WorldRect& w = WorldWindow;
  p.Canvas().MoveTo(p.At(w.xmin, w.ymin));
  p.Canvas().LineTo(p.At(w.xmin, w.ymax));
  p.Canvas().LineTo(p.At(w.xmax, w.ymax));
  p.Canvas().LineTo(p.At(w.xmax, w.ymin));
  p.Canvas().LineTo(p.At(w.xmin, w.ymin));
}

void Replayer::ApplyColour(std::int32_t c) {
  colour_ = c;
  const platform::Color black = platform::kBlack;
  const platform::Color background = platform::ColorFromValue(BackgroundColour);
  if (c == 0) {
    if (window_.StepMode != 0 && window_.Surface().StepPrompt() == platform::StepAnswer::End) {
      window_.StepMode = 0;
    }
    ForEachSide([&](Side& s) { s.SetColours(background, background, background); });
    return;
  }
  if (c < 1 || c > 16) return;
  const platform::Color entry = platform::ColorFromValue(Palette[c]);
  if (ColourGraphics != 0) {
    screen_.SetColours(entry, entry, entry);
  } else {
    screen_.SetColours(black, background, black);
  }
  if (printer_) {
    if (WinPrintMode == 2 || WinPrintMode == 3) {
      printer_->SetColours(entry, entry, entry);
    } else {
      printer_->SetColours(black, background, black);
    }
  }
}

void Replayer::DrawText(const DrawRecord& r, std::string_view text) {
  Side& side = TextSide();
  platform::Font font;
  if (colour_ == 0) {
    side.SetFontColour(platform::ColorFromValue(BackgroundColour));
  } else if (ColourGraphics == 0 || (side.IsPrinter() && WinPrintMode == 1)) {
    side.SetFontColour(platform::kBlack);
  } else if (colour_ >= 1 && colour_ <= 15) {
    side.SetFontColour(platform::ColorFromValue(Palette[colour_]));
  }
  font.color = side.FontColour();
  const std::uint16_t style = GraphicsTextStyle;
  const bool inRange = style >= 1 && style <= 15;
  font.bold = inRange && (style & 1) != 0;
  if (inRange || !side.IsPrinter()) {
    font.italic = (style & 2) != 0;
    font.underline = (style & 4) != 0;
    font.strikeOut = (style & 8) != 0;
  }
  font.face = GraphicsFontName;
  font.height = side.SizeY(textHeight_);
  font.width = side.SizeX(textWidth_);
  // A cell under one pixel would get the toolkit's default size instead of vanishing.
  if (font.height < 1) return;
  font.escapement = RoundPixel(textAngle_ * 10);
  const long double a = textAngle_ * Pi / 180;
  const long double x = r.value[0] - 0.7L * textHeight_ * std::sin(a);
  const long double y = r.value[1] + 0.75L * textHeight_ * std::cos(a);
  side.Canvas().SetFont(font);
  side.Canvas().TextOut(side.At(x, y), text);
}

bool Replayer::ApplyWindow(const DrawRecord& r) {
  Viewport = {RoundPixel(r.value[0]), RoundPixel(r.value[1]), RoundPixel(r.value[2]),
              RoundPixel(r.value[3])};
  WorldWindow = {r.value[4], r.value[5], r.value[6], r.value[7]};
  const bool zeroWindow = WorldWindow.xmin == WorldWindow.xmax ||
                          WorldWindow.ymin == WorldWindow.ymax || Viewport.right <= Viewport.left ||
                          Viewport.bottom <= Viewport.top;
  if (zeroWindow) {
    AbortFlag = 1;
    return false;
  }
  window_.SetScale(ZoomRect.x1, ZoomRect.y1, ZoomRect.x2, ZoomRect.y2);
  return true;
}

bool Replayer::Execute(const DrawRecord& r, std::size_t index) {
  // Fields are widened only where used: most records use few of them.
  const auto v = [&r](int k) -> long double { return r.value[k]; };
  switch (r.opcode) {
    case DrawOp::kMoveTo:
      ForEachSide([&](Side& s) { s.Canvas().MoveTo(s.At(v(0), v(1))); });
      break;
    case DrawOp::kLineTo:
      ForEachSide([&](Side& s) {
        s.Flush();
        s.Canvas().LineTo(s.At(v(0), v(1)));
      });
      break;
    case DrawOp::kCircle:
      ForEachSide([&](Side& s) {
        s.SetBrushStyle(platform::BrushStyle::Clear);
        s.Flush();
        s.Canvas().Ellipse(s.Box(v(0) - v(2), v(1) - v(2), v(0) + v(2), v(1) + v(2)));
      });
      break;
    case DrawOp::kLine:
      ForEachSide([&](Side& s) {
        s.Flush();
        s.Canvas().MoveTo(s.At(v(0), v(1)));
        s.Canvas().LineTo(s.At(v(2), v(3)));
      });
      break;
    case DrawOp::kArc:
      ForEachSide([&](Side& s) {
        s.Flush();
        s.Canvas().Arc(s.Box(v(0), v(1), v(2), v(3)), s.At(v(4), v(5)), s.At(v(6), v(7)));
      });
      break;
    case DrawOp::kText:
      DrawText(r, DisplayList.Text(index, r));
      break;
    case DrawOp::kSolid:
      ForEachSide([&](Side& s) {
        s.SetBrushStyle(platform::BrushStyle::Solid);
        if (ColourGraphics == 0) s.SetBrushColour(platform::kBlack);
        s.Flush();
        s.Canvas().Polygon(
            {s.At(v(0), v(1)), s.At(v(2), v(3)), s.At(v(4), v(5)), s.At(v(6), v(7))});
      });
      break;
    case DrawOp::kColour:
      ApplyColour(static_cast<std::int32_t>(v(0)));
      break;
    case DrawOp::kTextStyle:
      textHeight_ = v(0) * 1.6L * TextHeightFactor;
      textWidth_ = v(1) * 1.1L * GraphicsTextWidthFactor;
      textAngle_ = v(3);
      break;
    case DrawOp::kWindow:
      return ApplyWindow(r);
    case DrawOp::kLineStyle:
      ForEachSide([&](Side& s) { s.SetPenStyle(StyleOf(v(0))); });
      break;
    case DrawOp::kLineWidth: {
      const std::int32_t w = RoundPixel(v(0));
      screen_.SetPenWidth(w);
      if (printer_) printer_->SetPenWidth(RoundPixel(4.0L * w));
      break;
    }
    case DrawOp::kPause:
      if (Printing == 0) window_.Surface().Sleep(RoundPixel(v(0)));
      break;
    default:
      break;
  }
  return true;
}

void Replayer::Run() {
  window_.SetWaitCursor();
  Start();
  // The count is read anew at every step: appends made while events run get drawn too.
  for (std::size_t i = 0; i < DisplayList.size(); ++i) {
    if (i % kPumpInterval == 0) {
      window_.Surface().PumpEvents();
      if (i >= DisplayList.size()) break;
    }
    // A copy: the step prompt may run code that changes the list and its read cache.
    const DrawRecord record = DisplayList.Read(i);
    if (record.opcode == DrawOp::kUnknown) continue;
    if (!Execute(record, i)) break;
  }
  window_.SetOldCursor();
}

}  // namespace

void TFbrelgra::Replay(platform::Canvas& screen, const PrinterPage* printer) {
  lineStyle_ = 99;
  lineWidth_ = 1;
  Replayer(*this, screen, printer).Run();
}

void TFbrelgra::FormPaint() {
  platform::PrinterDocument* document = platform::ActivePrinterDocument();
  if (Printing != 0 && document != nullptr) {
    platform::DiscardingCanvas screen(surface_.ClientSize());
    const PrinterPage page{document->PageCanvas(), document->PageResolution()};
    Replay(screen, &page);
  }
  surface_.Invalidate();
}

void TFbrelgra::OnPaint(platform::Canvas& canvas) {
  const platform::Size size = canvas.GetSize();
  canvas.SetBrush({platform::ColorFromValue(BackgroundColour), platform::BrushStyle::Solid});
  canvas.FillRect({0, 0, size.width, size.height});
  Replay(canvas, nullptr);
}

void TFbrelgra::OnActivate() {
  surface_.Invalidate();
}
