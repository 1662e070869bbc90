// A small window the program shows while it works: a caption and either a line of text or a bar,
// updated by the program itself and never answered by the user. The program sizes and places it
// from the extents the window measures, and lets pending events run (Pump) after each update:
// it is shown and pumped, never run as a modal loop. Texts are Windows-1252 display bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/ui/canvas.h"

namespace platform {

class TextMeasure {
 public:
  virtual ~TextMeasure() = default;
  // The extent of one line of text in the window's font.
  virtual Size TextSize(std::string_view text) const = 0;
  // The width of a caption in the caption font, and the height of the caption bar.
  virtual Size CaptionSize(std::string_view caption) const = 0;
};

class MessageWindow : public TextMeasure {
 public:
  // An empty caption shows none.
  virtual void SetCaption(std::string caption) = 0;
  virtual void SetText(std::string text) = 0;
  // Shows a bar filled to percent (0 to 100) in place of the text.
  virtual void SetProgress(std::int32_t percent) = 0;
  // The outer size and the position on the screen.
  virtual void SetSize(Size size) = 0;
  virtual void SetPosition(Point position) = 0;
  // While a modal window shows, the program's other windows drop (never queue) user input.
  virtual void SetModal(bool modal) = 0;
  virtual void Show() = 0;
  virtual void Close() = 0;
  // Lets pending window events run, so that the program stays painted.
  virtual void Pump() = 0;
};

}  // namespace platform
