// The backend without a display, for command-line runs and tests. Install puts its whole kit in
// place: a modal form is answered by the dialog script when a test installed one (else its
// caption goes to standard error and it ends with Cancel), main windows only keep their state,
// and every other service follows the command-line policy (platform/system/services.h).
#pragma once

#include "platform/headless/recordingcanvas.h"
#include "platform/ui/backend.h"

namespace platform::headless {

void Install();

// What the headless backend keeps of a main window.
struct WindowState {
  bool shown = false;
  int invalidations = 0;
  int repaints = 0;
  Size clientSize{640, 480};
  RecordingCanvas lastPaint;  // what the last Repaint painted
  RecordingCanvas immediate;  // receives PaintNow drawing
  bool rubberBandShown = false;
  Rect rubberBand;
};
// The window must have been created while the headless backend was in use.
WindowState& StateOf(MainWindow& window);

}  // namespace platform::headless
