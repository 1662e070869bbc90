#pragma once
// The drawing window's size and the dialog scale as the screen allows them: the sizes the
// configuration stores are recomputed from the screen the program runs on, so a file written on
// another screen never gives a window larger than this one.

// The report viewer's rectangle (TextWindowRect) from the print font size and the screen.
void TextWindowDefaults();
// HorizontalPixels and VerticalPixels by ScreenSizeCode (1 the largest 4:3 area, 2 the whole
// screen; others leave them), the drawing window's client area to match, and InputWindowScale
// and DialogScale by DialogSizeCode.
void ApplyScreenSize();
// A width or height of 0 or 65535 (not configured) becomes the screen's width less 9 or its
// height less 91.
void DefaultWindowSize();
// The settings a start without configuration file takes from the screen.
void ScreenDefaultsWithoutConfig();
