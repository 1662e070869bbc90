// The platform's kit: what each service answers on the headless kit and with nothing installed
// (both the command-line policy), and how a test swaps one service.
#include "platform/system/services.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "platform/headless/headless.h"
#include "platform/headless/recordingservices.h"

namespace platform {
namespace {

// Asks every service once: what it wrote to standard error, then its answers.
auto AskEveryService() {
  testing::internal::CaptureStderr();
  Form form("TForm_dims", "Dimensions");
  const ModalResult formResult = form.ShowModal();
  const MessageAnswer answer =
      Dialogs().ShowBox({"Question", "Save ?", MessageButtons::YesNo, MessageIcon::Question});
  TextViewerRequest view;
  view.fileName =
      "/tmp/kv6/Ma\xDF"
      "e.txt";
  view.rect = {1, 2, 3, 4};
  const WindowRect closed = TextViewer().Show(view);
  PrintRangeRequest range;
  auto job = TextPrinter().Begin(range);
  const bool printed = job != nullptr && job->Finish();
  RawPrinter& port = RawPrinterPort();
  const bool sent = port.HasDeviceFile(1) || port.SendRaw(1, "/proc/self/exe") ||
                    port.SendText(1, "/proc/self/exe");
  const int started = StartProgram({"plotter", "a.dxf"});
  OpenDocument("a.dxf");
  const ScreenFacts screen = PrimaryScreen();
  const bool machineKnown = !CurrentMachine().ProgramPath().empty();
  return std::tuple(testing::internal::GetCapturedStderr(), formResult, answer, closed, printed,
                    sent, started, screen.size, screen.logicalDpi, machineKnown);
}

const auto kCommandLineAnswers = std::tuple(
    "Dimensions\nQuestion Save ?\n/tmp/kv6/Ma\xC3\x9F"
    "e.txt\nplotter a.dxf\na.dxf\n",
    ModalResult::Cancel, MessageAnswer::No, WindowRect{1, 2, 3, 4}, false, false, 0,
    Size{1280, 1024}, 96, true);

TEST(Services, HeadlessKitFollowsTheCommandLinePolicyWithItsOwnWindows) {
  headless::Install();
  EXPECT_EQ(AskEveryService(), kCommandLineAnswers);
  MainWindow window;
  window.Show();
  EXPECT_TRUE(headless::StateOf(window).shown);
}

TEST(Services, NothingInstalledFollowsTheCommandLinePolicy) {
  InstallServices({});
  EXPECT_EQ(AskEveryService(), kCommandLineAnswers);
  headless::Install();
}

TEST(Services, ATestSwapsOneServiceAndGetsTheOneBeforeBack) {
  headless::Install();
  const TextViewerBackend* installed = &TextViewer();
  const DialogBackend* dialogs = &Dialogs();
  {
    const RecordedViewer recorded;
    TextViewerRequest view;
    view.fileName = "outwin.txt";
    testing::internal::CaptureStderr();
    TextViewer().Show(view);
    EXPECT_EQ(std::tuple(testing::internal::GetCapturedStderr(), recorded->shown.size()),
              std::tuple("", 1u));
    EXPECT_EQ(&Dialogs(), dialogs);
  }
  EXPECT_EQ(&TextViewer(), installed);
}

}  // namespace
}  // namespace platform
