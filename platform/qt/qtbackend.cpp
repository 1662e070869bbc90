#include "platform/qt/qtbackend.h"

#include <QApplication>

#include "platform/qt/dialogqt.h"
#include "platform/qt/qtcurrentprinter.h"
#include "platform/qt/qtform.h"
#include "platform/qt/qtmainwindow.h"
#include "platform/qt/qtmessagewindow.h"
#include "platform/qt/qtreportviews.h"
#include "platform/qt/qtscreen.h"
#include "platform/system/services.h"

namespace platform::qt {

namespace {

class QtBackend : public Backend {
 public:
  QtBackend(int& argc, char** argv) {
    if (QApplication::instance() == nullptr) app_ = std::make_unique<QApplication>(argc, argv);
  }

  ModalResult RunModal(Form& form) override {
    FormView view(form);
    return view.Run();
  }

  std::unique_ptr<WindowPeer> CreateWindowPeer(MainWindow& window) override {
    return MakeWindowPeer(window);
  }

  std::unique_ptr<MessageWindow> CreateMessageWindow() override { return MakeQtMessageWindow(); }

  int RunEventLoop() override { return QApplication::exec(); }
  void ExitEventLoop(int exitCode) override { QApplication::exit(exitCode); }
  void ProcessEvents() override { QApplication::processEvents(); }
  void ProcessEventsWithoutInput() override {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }

 private:
  std::unique_ptr<QApplication> app_;  // none when the application existed before
};

}  // namespace

void Install(int& argc, char** argv) {
  Services kit;
  kit.windows = std::make_unique<QtBackend>(argc, argv);
  kit.dialogs = MakeQtDialogs();
  kit.textViewer = MakeQtTextViewer();
  kit.textPrinter = MakeQtTextPrinter();
  kit.printer = MakeQtCurrentPrinter();
  kit.rawPrinter = MakeSystemRawPrinter();
  kit.launcher = MakeSystemLauncher();
  kit.screen = MakeQtScreen();
  kit.machine = MakeLinuxMachine();
  InstallServices(std::move(kit));
}

}  // namespace platform::qt

void kv6_qt_install(int* argc, char** argv) {
  platform::qt::Install(*argc, argv);
}
