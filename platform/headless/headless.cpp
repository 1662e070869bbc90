#include "platform/headless/headless.h"

#include "platform/headless/dialogscript.h"
#include "platform/headless/scriptedprinters.h"
#include "platform/system/services.h"

namespace platform::headless {

namespace {

class HeadlessWindowPeer : public WindowPeer {
 public:
  explicit HeadlessWindowPeer(MainWindow& window) : window_(window) {}

  WindowState& State() { return state_; }

  void Show() override { state_.shown = true; }
  void Hide() override { state_.shown = false; }
  void CaptionChanged() override {}
  void CursorChanged() override {}
  void Invalidate() override { ++state_.invalidations; }
  void Repaint() override {
    ++state_.repaints;
    state_.lastPaint = RecordingCanvas(state_.clientSize);
    window_.Paint(state_.lastPaint);
  }
  Size ClientSize() const override { return state_.clientSize; }
  void SetClientSize(Size size) override {
    state_.clientSize = size;
    if (window_.onResize) window_.onResize();
  }
  void PaintNow(const std::function<void(Canvas&)>& draw) override { draw(state_.immediate); }
  void ShowRubberBand(const Rect& band) override {
    state_.rubberBandShown = true;
    state_.rubberBand = band;
  }
  void HideRubberBand() override { state_.rubberBandShown = false; }

 private:
  MainWindow& window_;
  WindowState state_;
};

class HeadlessBackend final : public NoDisplayBackend {
 public:
  ModalResult RunModal(Form& form) override {
    form.Activate();
    if (auto* script = dynamic_cast<ScriptedDialogs*>(&Dialogs())) return script->PlayForm(form);
    return NoDisplayBackend::RunModal(form);
  }

  std::unique_ptr<WindowPeer> CreateWindowPeer(MainWindow& window) override {
    return std::make_unique<HeadlessWindowPeer>(window);
  }
};

}  // namespace

void Install() {
  Services kit;
  kit.windows = std::make_unique<HeadlessBackend>();
  kit.dialogs = MakeCommandLineDialogs();
  kit.textViewer = MakeCommandLineTextViewer();
  kit.textPrinter = MakeCommandLineTextPrinter();
  kit.printer = std::make_unique<ScriptedPrinters>();
  kit.rawPrinter = MakeCommandLineRawPrinter();
  kit.launcher = MakeCommandLineLauncher();
  kit.screen = std::make_unique<FixedScreen>();
  kit.machine = MakeLinuxMachine();
  InstallServices(std::move(kit));
}

WindowState& StateOf(MainWindow& window) {
  return dynamic_cast<HeadlessWindowPeer&>(window.Peer()).State();
}

}  // namespace platform::headless
