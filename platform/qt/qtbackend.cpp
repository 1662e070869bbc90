#include "platform/qt/qtbackend.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/backend.h"
#include "platform/qt/qtform.h"
#include "platform/qt/qtmainwindow.h"
#include "platform/qt/qtreportviews.h"
#include "platform/qt/qtscreen.h"
#include "platform/qt/qttext.h"

namespace platform {

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return QMessageBox::NoIcon;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      break;
  }
  return QMessageBox::Question;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
    case MessageButtons::YesNoCancel:
      break;
  }
  return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
}

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

  MessageAnswer ShowMessageBox(const MessageBoxRequest& request) override {
    QMessageBox box(ToQtIcon(request.icon), qt::ToQString(request.caption),
                    qt::ToQString(request.text), ToQtButtons(request.buttons));
    const MessageAnswer cancel = CancelAnswer(request.buttons);
    box.setEscapeButton(box.button(cancel == MessageAnswer::Ok   ? QMessageBox::Ok
                                   : cancel == MessageAnswer::No ? QMessageBox::No
                                                                 : QMessageBox::Cancel));
    switch (box.exec()) {
      case QMessageBox::Ok:
        return MessageAnswer::Ok;
      case QMessageBox::Yes:
        return MessageAnswer::Yes;
      case QMessageBox::No:
        return MessageAnswer::No;
      case QMessageBox::Retry:
        return MessageAnswer::Retry;
      default:
        return cancel;
    }
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
