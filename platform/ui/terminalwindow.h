// The message window without a display: one line on a terminal, "caption nn%" for a bar or else
// the text, rewritten in place with "\r" and ended by a newline when the window closes. When the
// output is no terminal it writes nothing. It never waits for anything.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/ui/messagewindow.h"

namespace platform {

struct TerminalOutput {
  std::function<bool()> isTerminal;
  std::function<void(std::string_view utf8)> write;
};

// Standard error, a terminal when isatty says so.
TerminalOutput StandardErrorTerminal();

class TerminalMessageWindow final : public MessageWindow {
 public:
  explicit TerminalMessageWindow(const TerminalOutput& output);

  // Every character is a cell of 8 x 16 pixels; the caption bar is one cell high.
  Size TextSize(std::string_view text) const override;
  Size CaptionSize(std::string_view caption) const override;

  void SetCaption(std::string caption) override;
  void SetText(std::string text) override;
  void SetProgress(std::int32_t percent) override;
  void SetSize(Size) override {}
  void SetPosition(Point) override {}
  void SetModal(bool) override {}
  void Show() override;
  void Close() override;
  void Pump() override {}

 private:
  std::string Line() const;
  void Rewrite();

  std::function<void(std::string_view)> write_;  // empty when the output is no terminal
  std::string caption_;
  std::string text_;
  std::int32_t percent_ = -1;  // no bar
  bool shown_ = false;
  bool lineOpen_ = false;
  std::string written_;  // the line on the terminal, in Windows-1252
};

}  // namespace platform
