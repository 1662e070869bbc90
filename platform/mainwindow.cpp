#include "platform/mainwindow.h"

#include "platform/backend.h"

namespace platform {

MainWindow::MainWindow() : peer_(CurrentBackend().CreateWindowPeer(*this)) {}

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
