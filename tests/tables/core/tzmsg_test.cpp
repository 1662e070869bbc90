#include "tables/core/tzmsg.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/system/clock.h"
#include "platform/system/services.h"
#include "platform/ui/backend.h"
#include "platform/ui/screen.h"
#include "tables/core/bulkprogress.h"
#include "tables/core/engine.h"

namespace {

using namespace dadav;
using platform::Point;
using platform::Size;

// A measure of 10 x 20 pixels per character, a caption of 7 per character in a bar 25 high.
class CellMeasure : public platform::TextMeasure {
 public:
  Size TextSize(std::string_view text) const override {
    return Size{10 * static_cast<std::int32_t>(text.size()), 20};
  }
  Size CaptionSize(std::string_view caption) const override {
    return Size{7 * static_cast<std::int32_t>(caption.size()), 25};
  }
};

TEST(MsgWindowGeometry, TextAndCaptionGiveTheSize) {
  const CellMeasure measure;
  EXPECT_EQ(NeededMsgSize(measure, "abc", ""), (Size{60, 50}));
  EXPECT_EQ(NeededMsgSize(measure, "", ""), (Size{30, 50}));
  // A caption adds its bar; it widens the window only when it is wider than text and margin.
  EXPECT_EQ(NeededMsgSize(measure, "abc", "Progress"), (Size{60, 75}));
  EXPECT_EQ(NeededMsgSize(measure, "abc", "Reading from disk..."), (Size{140, 75}));
}

TEST(MsgWindowGeometry, CentringRoundsTheHalvesTowardsZero) {
  EXPECT_EQ(CentredOver({100, 50}, {400, 301}, {131, 100}), (Point{234, 150}));
  // A window larger than its owner sticks out on both sides: -21 / 2 is -10, not -11.
  EXPECT_EQ(CentredOver({0, 0}, {10, 10}, {31, 31}), (Point{-10, -10}));
  EXPECT_EQ(CentredOver({-1280, 0}, {1280, 1024}, {330, 75}), (Point{-805, 474}));
}

// What the model asked of its platform window.
struct WindowLog {
  std::vector<std::string> calls;
  Size size;
  Point position;
  std::int32_t percent = -1;
  std::string text;
  std::string caption;
  bool modal = false;
  int pumps = 0;
};

class LoggingWindow : public platform::MessageWindow {
 public:
  explicit LoggingWindow(WindowLog& log) : log_(log) {}
  Size TextSize(std::string_view text) const override { return measure_.TextSize(text); }
  Size CaptionSize(std::string_view caption) const override {
    return measure_.CaptionSize(caption);
  }
  void SetCaption(std::string caption) override { log_.caption = std::move(caption); }
  void SetText(std::string text) override { log_.text = std::move(text); }
  void SetProgress(std::int32_t percent) override { log_.percent = percent; }
  void SetSize(Size size) override {
    log_.size = size;
    log_.calls.push_back("size");
  }
  void SetPosition(Point position) override { log_.position = position; }
  void SetModal(bool modal) override { log_.modal = modal; }
  void Show() override { log_.calls.push_back("show"); }
  void Close() override { log_.calls.push_back("close"); }
  void Pump() override { ++log_.pumps; }

 private:
  WindowLog& log_;
  CellMeasure measure_;
};

class LoggingBackend : public platform::NoDisplayBackend {
 public:
  std::unique_ptr<platform::MessageWindow> CreateMessageWindow() override {
    return std::make_unique<LoggingWindow>(log);
  }
  WindowLog log;
};

class MsgWindowTest : public ::testing::Test {
 protected:
  WindowLog& Log() { return backend_->log; }

  platform::Substitute<platform::Backend, LoggingBackend> backend_;
  platform::Substitute<platform::ScreenSource, platform::FixedScreen> screen_{
      std::make_unique<platform::FixedScreen>(platform::ScreenFacts{Size{1280, 1024}, 96})};
};

TEST_F(MsgWindowTest, AProgressWindowStartsFullCentredOnTheScreenAndTakesTheInput) {
  {
    const TTzProgress100 window;
    EXPECT_EQ(Log().caption, "Progress");
    EXPECT_EQ(Log().percent, 0);
    EXPECT_TRUE(Log().modal);
    EXPECT_EQ(Log().size, (Size{1030, 75}));
    EXPECT_EQ(Log().position, (Point{125, 474}));
    EXPECT_EQ(Log().pumps, 1);
    EXPECT_TRUE(window.Visible());
  }
  EXPECT_EQ(Log().calls, (std::vector<std::string>{"size", "show", "close"}));
}

TEST_F(MsgWindowTest, HundredAndOneStepsGiveAFullBarAgainInAWindowThatKeepsItsSize) {
  const auto window = TTzProgress100::CreateWithCaption(nullptr, "Appending...");
  EXPECT_EQ(Log().caption, "Appending...");
  for (int i = 0; i < 100; ++i) ProgressStep(*window);
  EXPECT_EQ(window->BarLeft(), 0u);
  EXPECT_EQ(window->Text(), "");
  EXPECT_EQ(Log().percent, 100);
  ProgressStep(*window);
  EXPECT_EQ(window->BarLeft(), kProgressSteps);
  EXPECT_EQ(window->Text(), std::string(100, '|'));
  EXPECT_EQ(Log().percent, 0);
  EXPECT_EQ(Log().pumps, 102);
  EXPECT_EQ(Log().calls, (std::vector<std::string>{"size", "show"}));
}

TEST_F(MsgWindowTest, AShorterTextKeepsTheSizeAndALongerOneRecentresTheWindow) {
  platform::RecordedFormHandle owner(Size{600, 400});
  owner.SetPosition({100, 50});
  TTzMsg window(&owner);
  EXPECT_FALSE(window.Visible()) << "invisible until a text shows";
  ShowMsgText(window, "Indexing TABLE.DBF...");
  const Size first = window.WindowSize();
  EXPECT_EQ(first, (Size{240, 50}));
  EXPECT_EQ(window.WindowPosition(), (Point{280, 225}));
  ShowMsgText(window, "Done");
  EXPECT_EQ(window.WindowSize(), first);
  EXPECT_EQ(Log().text, "Done");
  ShowMsgText(window);
  EXPECT_EQ(Log().text, "Done") << "no text keeps the one before";
  ShowMsgText(window, "Indexing A_LONGER_NAME.DBF...");
  EXPECT_EQ(window.WindowSize(), (Size{320, 50}));
  EXPECT_EQ(window.WindowPosition(), (Point{240, 225}));
  EXPECT_EQ(Log().calls, (std::vector<std::string>{"size", "show", "size", "show"}));
}

// A bulk transfer's progress shows in the engine's window once the engine started.
TEST_F(MsgWindowTest, AnAppendShowsItsProgressInTheEnginesWindow) {
  EngineStart();
  {
    AppendProgress progress(true, 1000);
    EXPECT_EQ(Log().caption, "Appending...");
    progress.Reach(500);
    EXPECT_EQ(Log().percent, 50);
    const int pumps = Log().pumps;
    progress.Reach(505);
    EXPECT_EQ(Log().pumps, pumps) << "no pump sooner than 100 ms after an update";
    platform::SleepMs(110);
    progress.Reach(505);
    EXPECT_EQ(Log().pumps, pumps + 1) << "the window paints while no step comes";
  }
  EXPECT_EQ(Log().calls.back(), "close");
}

// Without a display the bar is a line on the terminal, or nothing when there is none.
TEST(MsgWindowWithoutDisplay, ProgressIsALineRewrittenOnTheTerminalOrNothing) {
  for (const bool terminal : {true, false}) {
    std::string written;
    const platform::Substitute<platform::Backend, platform::NoDisplayBackend> noDisplay(
        std::make_unique<platform::NoDisplayBackend>(
            platform::TerminalOutput{[terminal] { return terminal; },
                                     [&written](std::string_view text) { written += text; }}));
    {
      const auto window = TTzProgress100::CreateWithCaption(nullptr, "Appending...");
      ProgressStep(*window);
      ProgressStep(*window);
    }
    EXPECT_EQ(written, terminal ? "\rAppending... 0%\rAppending... 1%\rAppending... 2%\n" : "");
  }
}

}  // namespace
