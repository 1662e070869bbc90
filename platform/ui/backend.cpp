#include "platform/ui/backend.h"

#include <cstdio>
#include <string>

#include "platform/files/codepage.h"
#include "platform/system/services.h"

namespace platform {

namespace {

class UnseenWindowPeer final : public WindowPeer {
 public:
  void Show() override {}
  void Hide() override {}
  void CaptionChanged() override {}
  void CursorChanged() override {}
  void Invalidate() override {}
  void Repaint() override {}
  Size ClientSize() const override { return clientSize_; }
  void SetClientSize(Size size) override { clientSize_ = size; }
  void PaintNow(const std::function<void(Canvas&)>&) override {}
  void ShowRubberBand(const Rect&) override {}
  void HideRubberBand() override {}

 private:
  Size clientSize_{640, 480};
};

std::size_t& ErrorLines() {
  static std::size_t lines = 0;
  return lines;
}

}  // namespace

ModalResult NoDisplayBackend::RunModal(Form& form) {
  WriteErrorLine(form.Caption());
  return ModalResult::Cancel;
}

std::unique_ptr<WindowPeer> NoDisplayBackend::CreateWindowPeer(MainWindow&) {
  return std::make_unique<UnseenWindowPeer>();
}

std::unique_ptr<MessageWindow> NoDisplayBackend::CreateMessageWindow() {
  return std::make_unique<TerminalMessageWindow>(terminal_);
}

Backend& CurrentBackend() {
  auto& backend = Slot<Backend>();
  if (!backend) backend = std::make_unique<NoDisplayBackend>();
  return *backend;
}

int RunEventLoop() {
  return CurrentBackend().RunEventLoop();
}

void ExitEventLoop(int exitCode) {
  CurrentBackend().ExitEventLoop(exitCode);
}

void ProcessEvents() {
  CurrentBackend().ProcessEvents();
}

void ProcessEventsWithoutInput() {
  CurrentBackend().ProcessEventsWithoutInput();
}

void WriteErrorLine(std::string_view text) {
  WriteUtf8ErrorLine(Cp1252ToUtf8(text));
}

void WriteUtf8ErrorLine(std::string_view text) {
  std::string line(text);
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
  ++ErrorLines();
}

std::size_t ErrorLinesWritten() {
  return ErrorLines();
}

}  // namespace platform
