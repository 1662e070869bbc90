#include "app/main/screensize.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/dialogs/formplace.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "platform/ui/screen.h"

namespace {

constexpr std::uint16_t kNotConfigured = 65535;

bool Unset(std::uint16_t pixels) {
  return pixels == 0 || pixels == kNotConfigured;
}

std::uint16_t Pixels(std::int32_t n) {
  return static_cast<std::uint16_t>(std::clamp<std::int32_t>(n, 1, kNotConfigured - 1));
}

std::int32_t MeasureScreenDpi() {
  ScreenDpi = platform::PrimaryScreen().logicalDpi;
  return ScreenDpi;
}

void SizeByScreenCode() {
  const std::int32_t w = MaxClientWidth();
  const std::int32_t h = MaxClientHeight();
  if (ScreenSizeCode == 2) {
    HorizontalPixels = Pixels(w);
    VerticalPixels = Pixels(h);
  } else if (w / 4 > h / 3) {
    HorizontalPixels = Pixels((h / 3) * 4);
    VerticalPixels = Pixels(h);
  } else if (w / 4 < h / 3) {
    HorizontalPixels = Pixels(w);
    VerticalPixels = Pixels((w / 4) * 3);
  } else {
    HorizontalPixels = Pixels(w);
    VerticalPixels = Pixels(h);
  }
  if (DrawWindowForm != nullptr) DrawWindowForm->SetClientSize({HorizontalPixels, VerticalPixels});
}

// The input dialogs grow with the share of the screen the drawing window leaves to the menu.
void ScaleDialogsByWindow() {
  const std::int32_t dpi = MeasureScreenDpi();
  InputWindowScale = dpi * 100 / 96;
  if (DrawWindowForm != nullptr) {
    const std::int32_t client = DrawWindowForm->ClientSize().height;
    const std::int32_t outer = DrawWindowForm->OuterSize().height;
    if (client < outer - 58) InputWindowScale = outer * 100 * dpi / (client + 58) / 96 + 2;
  }
  DialogScale = 100;
}

}  // namespace

void TextWindowDefaults() {
  const platform::ScreenFacts screen = platform::PrimaryScreen();
  TextWindowRect[0] = 20;
  TextWindowRect[1] = 40;
  TextWindowRect[2] = std::min(PrintFontSize * 700 / 10 * ScreenDpi / 96, screen.size.width);
  TextWindowRect[3] =
      static_cast<std::int32_t>(std::lround(static_cast<long double>(screen.size.height) * 0.95L)) -
      40;
}

void ApplyScreenSize() {
  if (ScreenSizeCode == 1 || ScreenSizeCode == 2) SizeByScreenCode();
  if (DialogSizeCode == 1) ScaleDialogsByWindow();
}

void DefaultWindowSize() {
  const platform::ScreenFacts screen = platform::PrimaryScreen();
  if (Unset(HorizontalPixels)) HorizontalPixels = Pixels(screen.size.width - 9);
  if (Unset(VerticalPixels)) VerticalPixels = Pixels(screen.size.height - 91);
}

void ScreenDefaultsWithoutConfig() {
  DefaultWindowSize();
  TextWindowDefaults();
  InputWindowScale = MeasureScreenDpi() * 100 / 96;
  DialogScale = 100;
  ScreenSizeCode = 1;
  ApplyScreenSize();
}
