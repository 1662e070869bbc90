// The report viewer window: a modal window that lists a text in a fixed-pitch font under a menu
// bar of two menus (File: export to the text editor, a hidden second export, print, exit; Edit:
// select all, copy). Selecting and copying are the window's own; export and print call back.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/files/taggedtext.h"

namespace platform {

struct WindowRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const WindowRect&) const = default;
};

struct TextFontSpec {
  std::string face;  // Windows-1252
  std::int32_t pointSize = 10;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
};

struct ViewerMenuCaptions {
  TaggedText file, exportEditor, exportWordpad, print, exit, edit, selectAll, copy;
};

struct TextViewerRequest {
  std::string caption;   // Windows-1252
  std::string fileName;  // of the text shown, Windows-1252
  std::string textUtf8;
  TextFontSpec font;
  WindowRect rect;  // width or height 0: the design size 630 x 520
  ViewerMenuCaptions menus;
  std::function<void()> onExport;
  std::function<void()> onPrint;
};

class TextViewerBackend {
 public:
  virtual ~TextViewerBackend() = default;
  // Shows the window until the user closes it; returns its place and size at that moment.
  virtual WindowRect Show(const TextViewerRequest& request) = 0;
};

// The viewer service of the platform's kit (platform/services.h). Without one a request writes
// the file name to standard error and the window closes as it opened.
TextViewerBackend& TextViewer();
std::unique_ptr<TextViewerBackend> MakeCommandLineTextViewer();

}  // namespace platform
