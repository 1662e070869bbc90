#include "platform/ui/terminalwindow.h"

#include <unistd.h>

#include <cstdio>

#include "platform/files/codepage.h"

namespace platform {

namespace {

constexpr std::int32_t kCellWidth = 8;
constexpr std::int32_t kCellHeight = 16;

std::int32_t CellsWide(std::string_view text) {
  return static_cast<std::int32_t>(text.size()) * kCellWidth;
}

}  // namespace

TerminalOutput StandardErrorTerminal() {
  return TerminalOutput{[] { return isatty(fileno(stderr)) == 1; },
                        [](std::string_view utf8) {
                          std::fwrite(utf8.data(), 1, utf8.size(), stderr);
                          std::fflush(stderr);
                        }};
}

TerminalMessageWindow::TerminalMessageWindow(const TerminalOutput& output) {
  if (output.isTerminal && output.isTerminal()) write_ = output.write;
}

Size TerminalMessageWindow::TextSize(std::string_view text) const {
  return Size{CellsWide(text), kCellHeight};
}

Size TerminalMessageWindow::CaptionSize(std::string_view caption) const {
  return Size{CellsWide(caption), kCellHeight};
}

void TerminalMessageWindow::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  Rewrite();
}

void TerminalMessageWindow::SetText(std::string text) {
  text_ = std::move(text);
  percent_ = -1;
  Rewrite();
}

void TerminalMessageWindow::SetProgress(std::int32_t percent) {
  percent_ = percent;
  Rewrite();
}

void TerminalMessageWindow::Show() {
  shown_ = true;
  Rewrite();
}

void TerminalMessageWindow::Close() {
  if (lineOpen_) write_("\n");
  shown_ = false;
  lineOpen_ = false;
  written_.clear();
}

std::string TerminalMessageWindow::Line() const {
  if (percent_ < 0) return text_;
  std::string line = caption_;
  if (!line.empty()) line += ' ';
  return line + std::to_string(percent_) + '%';
}

// Blanks cover what a longer line before left on the terminal.
void TerminalMessageWindow::Rewrite() {
  if (!write_ || !shown_) return;
  std::string line = Line();
  if (line == written_ && (lineOpen_ || line.empty())) return;
  std::string shown = line;
  if (shown.size() < written_.size()) shown.append(written_.size() - shown.size(), ' ');
  write_(std::string("\r").append(Cp1252ToUtf8(shown)));
  written_ = std::move(line);
  lineOpen_ = true;
}

}  // namespace platform
