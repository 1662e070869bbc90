// The Qt kit as the windowed program installs it: the table engine's halts go to the kit's
// modal error box, and its lock waits run pending events without input.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "platform/system/services.h"
#include "tests/support/qt/qtapp.h"

namespace {

// Counts the events of the given type that reach a widget.
class EventCounter : public QWidget {
 public:
  explicit EventCounter(QEvent::Type type) : type_(type) {}
  int count = 0;

 protected:
  bool event(QEvent* e) override {
    if (e->type() == type_) ++count;
    return QWidget::event(e);
  }

 private:
  QEvent::Type type_;
};

TEST(QtKit, ErrorBoxIsModalAndShowsTheWindows1252Text) {
  StartQtBackend();
  QString title, text;
  bool modal = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    modal = box->windowModality() == Qt::ApplicationModal;
    box->accept();
  });
  platform::Dialogs().ShowBox({"Program halted.",
                               "Error 210: Gu\xDF"
                               "eisen.dbf is not a dBASE database.",
                               platform::MessageButtons::Ok, platform::MessageIcon::Error});
  EXPECT_EQ(title, QString("Program halted."));
  EXPECT_EQ(text, QString::fromUtf8("Error 210: Gußeisen.dbf is not a dBASE database."));
  EXPECT_TRUE(modal);
}

TEST(QtKit, WaitsRunPendingEvents) {
  StartQtBackend();
  const auto kWake = static_cast<QEvent::Type>(QEvent::registerEventType());
  EventCounter woken(kWake);
  QCoreApplication::postEvent(&woken, new QEvent(kWake));
  platform::ProcessEventsWithoutInput();
  EXPECT_EQ(woken.count, 1);
}

}  // namespace
