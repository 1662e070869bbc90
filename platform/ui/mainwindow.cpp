#include "platform/ui/mainwindow.h"

#include "platform/ui/backend.h"

namespace platform {

namespace {

// The frame the placement rules assume around a main window's client area: borders, caption
// and menu bar.
constexpr Size kMainWindowFrame{16, 59};

class WindowFormHandle final : public FormHandle {
 public:
  explicit WindowFormHandle(MainWindow& window)
      : window_(window), recorded_(window.ClientSize(), kMainWindowFrame) {}

  Point Position() const override { return recorded_.Position(); }
  void SetPosition(Point position) override { recorded_.SetPosition(position); }
  void CentreOn(const Centring& centring) override {
    SetPosition(centring.PositionFor(OuterSize()));
  }
  Size OuterSize() const override {
    const Size client = window_.ClientSize();
    return {client.width + kMainWindowFrame.width, client.height + kMainWindowFrame.height};
  }
  void SetOuterSize(Size size) override {
    window_.SetClientSize(
        {size.width - kMainWindowFrame.width, size.height - kMainWindowFrame.height});
  }
  Size ClientSize() const override { return window_.ClientSize(); }
  void SetClientSize(Size size) override { window_.SetClientSize(size); }
  Size DesignedSize() const override { return recorded_.DesignedSize(); }
  void SetFontScale(std::int32_t percent) override { recorded_.SetFontScale(percent); }
  void UseParentFont() override { recorded_.UseParentFont(); }
  void SetBorder(FormBorder border) override { recorded_.SetBorder(border); }
  void SetBackground(Color colour) override { recorded_.SetBackground(colour); }
  void SetTooltipDuration(std::int32_t milliseconds) override {
    recorded_.SetTooltipDuration(milliseconds);
  }

 private:
  MainWindow& window_;
  RecordedFormHandle recorded_;
};

}  // namespace

MainWindow::MainWindow()
    : peer_(CurrentBackend().CreateWindowPeer(*this)),
      form_(std::make_unique<WindowFormHandle>(*this)) {}

MainWindow::~MainWindow() = default;

void MainWindow::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  peer_->CaptionChanged();
}

void MainWindow::SetCursor(CursorShape cursor) {
  cursor_ = cursor;
  peer_->CursorChanged();
}

void MainWindow::Show() {
  peer_->Show();
}

bool MainWindow::Close() {
  if (onCloseQuery && !onCloseQuery()) return false;
  peer_->Hide();
  if (onClose) onClose();
  return true;
}

void MainWindow::Invalidate() {
  peer_->Invalidate();
}

void MainWindow::Repaint() {
  peer_->Repaint();
}

void MainWindow::PaintNow(const std::function<void(Canvas&)>& draw) {
  peer_->PaintNow(draw);
}

void MainWindow::ShowRubberBand(const Rect& band) {
  peer_->ShowRubberBand(band);
}

void MainWindow::HideRubberBand() {
  peer_->HideRubberBand();
}

Size MainWindow::ClientSize() const {
  return peer_->ClientSize();
}

void MainWindow::SetClientSize(Size size) {
  peer_->SetClientSize(size);
}

void MainWindow::Paint(Canvas& canvas) const {
  if (onPaint) onPaint(canvas);
}

}  // namespace platform
