#include "platform/headless/headless.h"

#include "platform/process.h"

#include <deque>

namespace platform {

namespace {

struct HeadlessState {
  std::deque<std::function<void(Form&)>> scripts;
};

HeadlessState& State() {
  static HeadlessState state;
  return state;
}

class HeadlessWindowPeer : public WindowPeer {
 public:
  explicit HeadlessWindowPeer(MainWindow& window) : window_(window) {}

  headless::WindowState& State() { return state_; }

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
  headless::WindowState state_;
};

class HeadlessBackend : public Backend {
 public:
  ModalResult RunModal(Form& form) override {
    auto& scripts = State().scripts;
    if (form.GetModalResult() == ModalResult::None && !scripts.empty()) {
      auto script = std::move(scripts.front());
      scripts.pop_front();
      script(form);
    }
    if (form.GetModalResult() == ModalResult::None) form.Close();
    return form.GetModalResult() == ModalResult::None ? ModalResult::Cancel : form.GetModalResult();
  }

  std::unique_ptr<WindowPeer> CreateWindowPeer(MainWindow& window) override {
    return std::make_unique<HeadlessWindowPeer>(window);
  }

  int RunEventLoop() override { return exitCode_; }
  void ExitEventLoop(int exitCode) override { exitCode_ = exitCode; }
  void ProcessEvents() override {}

 private:
  int exitCode_ = 0;
};

}  // namespace

std::unique_ptr<Backend> MakeHeadlessBackend() {
  return std::make_unique<HeadlessBackend>();
}

void UseHeadlessBackend() {
  InstallBackend(MakeHeadlessBackend());
  // Without a display nothing is started: program starts and document opens are only recorded.
  UseRecordingLauncher();
}

namespace headless {

void QueueModalScript(std::function<void(Form&)> script) {
  State().scripts.push_back(std::move(script));
}

std::size_t PendingModalScripts() {
  return State().scripts.size();
}

void Reset() {
  State() = HeadlessState{};
}

WindowState& StateOf(MainWindow& window) {
  return dynamic_cast<HeadlessWindowPeer&>(window.Peer()).State();
}

}  // namespace headless
}  // namespace platform
