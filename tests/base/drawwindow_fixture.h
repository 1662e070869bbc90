// A drawing window on a recording surface with every drawing setting at its default.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/help/hbildvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "platform/headless/recordingcanvas.h"
#include "platform/headless/recordingsurface.h"

class DrawWindowTest : public ::testing::Test {
 protected:
  DrawWindowTest() {
    HorizontalPixels = 640;
    VerticalPixels = 480;
    MaxColour = 16;
    ColourGraphics = 1;
    WinPrintMode = 1;
    AbortFlag = 0;
    InitGraphicsSettings();
    InitPrintSetup();
    InitHpglState();
    window_.FormCreate();
  }

  // Calls of a screen replay whose text starts with prefix.
  std::vector<std::string> Replayed(const std::string& prefix = "") {
    platform::RecordingCanvas canvas({640, 480});
    window_.Replay(canvas, nullptr);
    return Matching(canvas.Calls(), prefix);
  }

  static std::vector<std::string> Matching(const std::vector<std::string>& calls,
                                           const std::string& prefix) {
    std::vector<std::string> out;
    std::ranges::copy_if(calls, std::back_inserter(out),
                         [&](const std::string& c) { return c.starts_with(prefix); });
    return out;
  }

  // The surface calls from the last cursor change on ("" without one).
  std::vector<std::string> SinceLastCursor() const {
    const auto& calls = surface_.Calls();
    for (std::size_t i = calls.size(); i-- > 0;) {
      if (calls[i].rfind("cursor ", 0) == 0) return {calls.begin() + i, calls.end()};
    }
    return {""};
  }

  platform::RecordingDrawSurface surface_;
  TFbrelgra window_{surface_};
  TDrawer drawer_;
};
