// Zoom and pan of the drawing window by keys, mouse and wheel: they change only the zoom
// rectangle and ask for a repaint.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/settings/wbrelvar.h"

namespace {

constexpr std::uint16_t kKeyEscape = 27;
constexpr std::uint16_t kKeyF5 = 116;
constexpr std::uint16_t kKeyPadPlus = 107;
constexpr std::uint16_t kKeyPadMinus = 109;
constexpr std::uint16_t kKeyUp = 38;
constexpr std::uint16_t kKeyDown = 40;
constexpr std::uint16_t kKeyLeft = 37;
constexpr std::uint16_t kKeyRight = 39;
constexpr std::uint16_t kKeyPageUp = 33;
constexpr std::uint16_t kKeyPageDown = 34;

// Halves to even, saturated to 64 bits: later bounds checks see every overflow.
std::int64_t Round64(long double v) {
  if (std::isnan(v)) return 0;
  constexpr long double kLimit = 9.0e18L;
  if (v >= kLimit) return static_cast<std::int64_t>(kLimit);
  if (v <= -kLimit) return -static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(std::nearbyint(v));
}

struct KeyPair {
  char mode;
  char code;
};

bool KeyPairOf(std::uint16_t key, KeyPair& pair) {
  switch (key) {
    case kKeyEscape:
    case kKeyF5:
      pair = {0, '?'};
      return true;
    case kKeyPadPlus:
      pair = {'+', ' '};
      return true;
    case kKeyPadMinus:
      pair = {'-', ' '};
      return true;
    case kKeyUp:
      pair = {0, 'H'};
      return true;
    case kKeyDown:
      pair = {0, 'P'};
      return true;
    case kKeyLeft:
      pair = {0, 'K'};
      return true;
    case kKeyRight:
      pair = {0, 'M'};
      return true;
    case kKeyPageUp:
      pair = {0, 'I'};
      return true;
    case kKeyPageDown:
      pair = {0, 'Q'};
      return true;
    default:
      return false;
  }
}

}  // namespace

bool TFbrelgra::ZoomTo(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  for (const std::int64_t v : {x1, y1, x2, y2}) {
    if (v > kZoomPixelBound || v < -kZoomPixelBound) return false;
  }
  SetScale(static_cast<std::int32_t>(x1), static_cast<std::int32_t>(y1),
           static_cast<std::int32_t>(x2), static_cast<std::int32_t>(y2));
  return true;
}

void TFbrelgra::processKey(std::uint16_t key) {
  KeyPair pair{};
  if (!KeyPairOf(key, pair)) return;
  ZoomKeyMode = pair.mode;
  ZoomKeyCode = static_cast<std::uint8_t>(pair.code);
  ClearViewPort();
  if (key == kKeyEscape || key == kKeyF5) ResetZoom();
  ActOnKeyPair();
}

void TFbrelgra::ActOnKeyPair() {
  const std::int64_t x1 = ZoomRect.x1, y1 = ZoomRect.y1, x2 = ZoomRect.x2, y2 = ZoomRect.y2;
  if (ZoomKeyMode == '+' || ZoomKeyMode == '-') {
    const std::int64_t cx = (x1 + x2) / 2;
    const std::int64_t cy = (y1 + y2) / 2;
    const long double f = ZoomKeyMode == '+' ? 1 / ZoomIncrement : ZoomIncrement;
    const std::int64_t hh = Round64((y2 - y1) * f) / 2;
    const std::int64_t hw = Round64((x2 - x1) * f) / 2;
    ZoomTo(cx - hw, cy - hh, cx + hw, cy + hh);
    return;
  }
  if (ZoomKeyMode != 0) return;
  const long double p = (ZoomKeyCode == 'I' || ZoomKeyCode == 'Q') ? 5 * PanFactor : PanFactor;
  const std::int64_t dx = Round64((x2 - x1) * p);
  const std::int64_t dy = Round64((y2 - y1) * p);
  switch (ZoomKeyCode) {
    case '?':
      ResetZoom();
      break;
    case 'H':
    case 'I':
      ZoomTo(x1, y1 - dy, x2, y2 - dy);
      break;
    case 'P':
    case 'Q':
      ZoomTo(x1, y1 + dy, x2, y2 + dy);
      break;
    case 'K':
      ZoomTo(x1 + dx, y1, x2 + dx, y2);
      break;
    case 'M':
      ZoomTo(x1 - dx, y1, x2 - dx, y2);
      break;
    default:
      break;
  }
}

void TFbrelgra::FormMouseDown(platform::MouseButton button, std::int32_t x, std::int32_t y) {
  if (button == platform::MouseButton::Right) {
    ResetZoom();
    ClearViewPort();
  } else if (button == platform::MouseButton::Left && dblClickSeen_ != 0) {
    RestoreLimit();
    ResetZoom();
    ReSetWindow();
    ClearViewPort();
  } else if (button == platform::MouseButton::Left && dragActive_ == 0) {
    dragActive_ = 1;
    dragStart_ = dragEnd_ = {x, y};
  }
  dblClickSeen_ = 0;
}

void TFbrelgra::FormMouseMove(std::int32_t x, std::int32_t y) {
  if (dragActive_ == 0) return;
  dragEnd_ = {x, y};
  DrawRectangle(dragStart_.x, dragStart_.y, dragEnd_.x, dragEnd_.y);
}

void TFbrelgra::FormMouseUp(platform::MouseButton, std::int32_t x, std::int32_t y) {
  surface_.HideRubberBand();
  if (dragActive_ == 0) return;
  dragEnd_ = {x, y};
  dragActive_ = 0;
  if (dragStart_.x == dragEnd_.x || dragStart_.y == dragEnd_.y) return;
  const platform::Size client = surface_.ClientSize();
  if (client.width <= 0 || client.height <= 0) return;
  SetWaitCursor();
  const long double cw = client.width;
  const long double ch = client.height;
  const long double f = KeepAspect != 0 ? MouseAspectFactor : 1;
  const long double w = static_cast<long double>(ZoomRect.x2) - ZoomRect.x1;
  const long double h = static_cast<long double>(ZoomRect.y2) - ZoomRect.y1;
  const long double minX = std::min(dragStart_.x, dragEnd_.x);
  const long double maxX = std::max(dragStart_.x, dragEnd_.x);
  const long double minY = std::min(dragStart_.y, dragEnd_.y);
  const long double maxY = std::max(dragStart_.y, dragEnd_.y);
  ZoomTo(Round64((minX / cw * w + ZoomRect.x1) * f), Round64((ch - maxY) / ch * h + ZoomRect.y1),
         Round64((maxX / cw * w + ZoomRect.x1) * f), Round64((ch - minY) / ch * h + ZoomRect.y1));
  ClearViewPort();
}

void TFbrelgra::FormDblClick() {
  dblClickSeen_ = 1;
}

void TFbrelgra::FormMouseWheel(std::int32_t delta) {
  if (WheelZoomOn == 0) return;
  std::int64_t f = std::llabs(static_cast<long long>(delta)) / 120;
  if (f == 0) f = 1;
  const std::int64_t x1 = ZoomRect.x1, y1 = ZoomRect.y1, x2 = ZoomRect.x2, y2 = ZoomRect.y2;
  const std::int64_t cx = (x1 + x2) / 2;
  const std::int64_t cy = (y1 + y2) / 2;
  std::int64_t hw = 0;
  std::int64_t hh = 0;
  if (delta > 0) {
    hw = Round64((x2 - x1) * ZoomIncrement * f) / 2;
    hh = Round64((y2 - y1) * ZoomIncrement * f) / 2;
  } else if (delta < 0) {
    hw = Round64((x2 - x1) / ZoomIncrement / f) / 2;
    hh = Round64((y2 - y1) / ZoomIncrement / f) / 2;
  }
  ZoomTo(cx - hw, cy - hh, cx + hw, cy + hh);
  ClearViewPort();
}

void TFbrelgra::DrawRectangle(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  surface_.ShowRubberBand({x1, y1, x2, y2});
}

void TFbrelgra::Regen() {
  RestoreLimit();
  SetWindow(true, true, 0, 0, 1, 1, 0, 0, 1, 1);
  ResetZoom();
  SetScale(ZoomRect.x1, ZoomRect.y1, ZoomRect.x2, ZoomRect.y2);
  ClearViewPort();
}
