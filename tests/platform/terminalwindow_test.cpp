#include "platform/terminalwindow.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

// What a terminal (or a pipe) would have received.
struct FakeTerminal {
  bool isTerminal = true;
  std::string received;
  TerminalOutput Output() {
    return TerminalOutput{[this] { return isTerminal; },
                          [this](std::string_view text) { received += text; }};
  }
};

TEST(TerminalMessageWindow, WithoutATerminalItWritesNothing) {
  FakeTerminal pipe;
  pipe.isTerminal = false;
  TerminalMessageWindow window(pipe.Output());
  window.SetCaption("Appending...");
  window.Show();
  window.SetProgress(40);
  window.SetText("Done");
  window.Close();
  EXPECT_EQ(pipe.received, "");
}

TEST(TerminalMessageWindow, ABarRewritesOneLineAndEndsItAtClose) {
  FakeTerminal terminal;
  TerminalMessageWindow window(terminal.Output());
  window.SetCaption("Appending...");
  window.SetProgress(0);
  EXPECT_EQ(terminal.received, "") << "nothing before the window shows";
  window.Show();
  window.SetProgress(7);
  window.SetProgress(7);
  window.SetProgress(100);
  window.Close();
  EXPECT_EQ(terminal.received, "\rAppending... 0%\rAppending... 7%\rAppending... 100%\n");
}

TEST(TerminalMessageWindow, AShorterLineBlanksWhatTheLongerOneLeft) {
  FakeTerminal terminal;
  TerminalMessageWindow window(terminal.Output());
  window.SetText("Reading from disk...");
  window.Show();
  window.SetText("Sorting \xE9");  // Windows-1252 e acute
  window.Close();
  EXPECT_EQ(terminal.received, "\rReading from disk...\rSorting \xC3\xA9           \n");
}

TEST(TerminalMessageWindow, ClosingAWindowThatShowedNothingWritesNoNewline) {
  FakeTerminal terminal;
  TerminalMessageWindow window(terminal.Output());
  window.Show();
  window.Close();
  EXPECT_EQ(terminal.received, "");
}

TEST(TerminalMessageWindow, MeasuresEightBySixteenPerCharacter) {
  FakeTerminal terminal;
  const TerminalMessageWindow window(terminal.Output());
  EXPECT_EQ(window.TextSize("|||"), (Size{24, 16}));
  EXPECT_EQ(window.TextSize(""), (Size{0, 16}));
  EXPECT_EQ(window.CaptionSize("Progress"), (Size{64, 16}));
}

}  // namespace
}  // namespace platform
