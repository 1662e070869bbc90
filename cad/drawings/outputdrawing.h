// The one entry through which the program gets a drawing: on the screen, in a CAD file or for
// the plot program, chosen from the menu of twelve drawings or named by the caller.
#pragma once

#include <cstdint>

// device: the CAD target (0 lets the user choose). drawing 1 to 12 draws that drawing once;
// 0 shows the menu until the user picks "return" or cancels. Nothing is drawn after a fatal
// calculation, which leaves AbortFlag as it was on the screen. Under CadBatch no dialog is shown,
// and AbortFlag is set afterwards exactly when no complete file was written.
void OutputDrawing(std::uint16_t device, std::uint16_t drawing);
// The configured default view (DefaultView) on the screen.
void RedrawCurrentDrawing();
