#include "tests/support/qt/modalanswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

constexpr int kPollMilliseconds = 10;
constexpr int kGiveUpPolls = 1000;

QAbstractButton* ButtonOf(QWidget& dialog, const QString& name) {
  if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
    if (name == "Yes") return box->button(QMessageBox::Yes);
    if (name == "No") return box->button(QMessageBox::No);
    if (name == "Ok") return box->button(QMessageBox::Ok);
    if (name == "Cancel") return box->button(QMessageBox::Cancel);
  }
  return dialog.findChild<QAbstractButton*>(name);
}

}  // namespace

void AnswerNextModal(const QString& button) {
  auto* timer = new QTimer(QApplication::instance());
  auto polls = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, button, polls] {
    QWidget* dialog = QApplication::activeModalWidget();
    QAbstractButton* target = dialog != nullptr ? ButtonOf(*dialog, button) : nullptr;
    if (target == nullptr && ++*polls < kGiveUpPolls) return;
    timer->stop();
    timer->deleteLater();
    if (target != nullptr) target->click();
  });
  timer->start(kPollMilliseconds);
}
