#include "platform/ui/terminalwindow.h"

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

// Without a terminal nothing is written; with one, a window that showed nothing ends no line.
TEST(TerminalMessageWindow, WritesNothingToAPipeOrForAWindowThatShowedNothing) {
  for (const bool isTerminal : {false, true}) {
    FakeTerminal out;
    out.isTerminal = isTerminal;
    TerminalMessageWindow window(out.Output());
    window.Show();
    if (!isTerminal) {
      window.SetCaption("Appending...");
      window.SetProgress(40);
      window.SetText("Done");
    }
    window.Close();
    EXPECT_EQ(out.received, "") << isTerminal;
  }
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

}  // namespace
}  // namespace platform
