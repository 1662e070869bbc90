#include "platform/qt/qtbackend.h"

#include <QApplication>

#include "platform/backend.h"
#include "platform/qt/qtform.h"
#include "platform/qt/qtmainwindow.h"
#include "platform/qt/qtreportviews.h"
#include "platform/qt/qtscreen.h"

namespace platform {

namespace {

class QtBackend : public Backend {
 public:
  QtBackend(int& argc, char** argv) {
    if (QApplication::instance() == nullptr) app_ = std::make_unique<QApplication>(argc, argv);
  }

  ModalResult RunModal(Form& form) override {
    qt::FormView view(form);
    return view.Run();
  }

  std::unique_ptr<WindowPeer> CreateWindowPeer(MainWindow& window) override {
    return qt::MakeWindowPeer(window);
  }

  int RunEventLoop() override { return QApplication::exec(); }
  void ExitEventLoop(int exitCode) override { QApplication::exit(exitCode); }
  void ProcessEvents() override { QApplication::processEvents(); }

 private:
  std::unique_ptr<QApplication> app_;  // none when the application existed before
};

}  // namespace

void UseQtBackend(int& argc, char** argv) {
  InstallBackend(std::make_unique<QtBackend>(argc, argv));
  qt::UseQtScreen();
  qt::InstallQtReportViews();
}

}  // namespace platform
