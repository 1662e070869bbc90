// One fuzz input's run: a fresh private folder that serves as PltDir, TempDir and CadDir, a dialog
// script without steps (questions take Cancel, boxes only land in its transcript), a drawing
// window on a recording surface with an empty display list, and every global setting at its start
// value. Nothing of one input survives into the next, so each finding replays alone.
//
// The run folders live in one folder of the process under $TMPDIR, else /tmp: a fuzzer makes and
// removes them thousands of times a second, which a tmpfs serves far faster than a disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingsurface.h"

class FuzzRun {
 public:
  FuzzRun();
  ~FuzzRun();
  FuzzRun(const FuzzRun&) = delete;
  FuzzRun& operator=(const FuzzRun&) = delete;

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void Put(const std::string& name, const std::string& bytes) const;
  // The run's dialog script: what the user does in the next forms and questions.
  platform::headless::ScriptedDialogs& Dialogs() const { return *script_; }
  // What the display list holds painted on the window and on a printer page, as the user sees
  // and prints a drawing.
  void Paint();

 private:
  std::string dir_;
  platform::headless::DialogScript script_;
  platform::RecordingDrawSurface surface_;
  TFbrelgra window_{surface_};
  TDrawer drawer_;
};

// The fuzzer's bytes as a text.
inline std::string Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}
