// The backend without a display, for tests and command-line runs. Modal forms run a script a
// test queued (or end with Cancel), main windows only keep their state. Message boxes belong to
// the dialog policies (platform/dialog.h).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/recordingcanvas.h"

namespace platform {

void UseHeadlessBackend();
std::unique_ptr<Backend> MakeHeadlessBackend();

namespace headless {

// Scripts for the coming modal runs, one per run in order. A script gets the form after onShow
// and acts as the user (types, clicks a button); a run that it leaves without a modal result
// ends as if the close box was pressed. A run without a script ends with Cancel at once.
void QueueModalScript(std::function<void(Form&)> script);
std::size_t PendingModalScripts();

// Forgets queued scripts.
void Reset();

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

}  // namespace headless
}  // namespace platform
