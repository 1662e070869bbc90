#include "platform/qt/qtengine.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/qt/qttext.h"

namespace platform::qt {

void ShowHaltBox(const std::string& text, const std::string& caption) {
  QMessageBox box(QMessageBox::Critical, ToQString(caption), ToQString(text), QMessageBox::Ok);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void PumpEventsWithoutInput() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace platform::qt
