#pragma once
// Placement and scaling of forms and dialogs relative to the drawing window, by the user's scale
// settings (DialogScale, InputWindowScale) and the screen's logical density (ScreenDpi). The
// routines that act on a form do nothing while WindowMode is 2.

#include <cstdint>

#include "platform/ui/screen.h"

// The drawing window (the main window), set when it is created; without it forms are placed on
// the screen.
extern platform::FormHandle* DrawWindowForm;

// Font by DialogScale, size by InputWindowScale, centred on the drawing window and 20 pixels
// lower (never left of or above it), parent font, border by SizeableDialogs.
void CenterOnDrawWindow(platform::FormHandle& form);
// As CenterOnDrawWindow, but placed at (AuxImageFormLeft, AuxImageFormTop).
void PlaceAuxImageForm(platform::FormHandle& form);
// Font by DialogScale, size by InputWindowScale, parent font; place and border unchanged.
void ScaleForm(platform::FormHandle& form);
// Size by ScreenDpi / 96, font by DialogScale, border by SizeableDialogs.
void ScaleDialog(platform::FormHandle& form);
// The main window: client area HorizontalPixels + 1 by VerticalPixels + 1 at the screen's top
// left corner, font by DialogScale, tool tips for 100 s, parent font.
void SetupMainWindow(platform::FormHandle& form);

// n by DialogScale percent (unless 100 or below 2), then by ScreenDpi / 96 (unless 96 or below
// 2), truncating.
std::int32_t ScaleSize(std::int32_t n);
std::int32_t ScaleSizeOf(std::int32_t n);
// InputWindowScale * ScreenDpi / 96.
std::int32_t InputScaleDpi();
// The widest client area of the drawing window that fits on the screen.
std::int32_t MaxClientWidth();
// The highest one, leaving 1.9 frame heights for the frame, the menu and the task bar.
std::int32_t MaxClientHeight();
