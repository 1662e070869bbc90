#include "platform/qt/qtmessagewindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

// Only the program ends the dialog: Escape and the window system's close request do nothing.
class EngineDialog : public QDialog {
 public:
  EngineDialog()
      : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {}
  void reject() override {}

 protected:
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

class QtMessageWindow final : public MessageWindow {
 public:
  QtMessageWindow() {
    dialog_.setObjectName("MessageWindow");
    QPalette palette = dialog_.palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 0));
    dialog_.setPalette(palette);
    dialog_.setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(&dialog_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    caption_ = new QLabel(&dialog_);
    caption_->setObjectName("Caption");
    caption_->setFont(CaptionFont());
    caption_->setAlignment(Qt::AlignCenter);
    caption_->setFixedHeight(CaptionBarHeight());
    caption_->hide();
    layout->addWidget(caption_);

    panel_ = new QFrame(&dialog_);
    panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel_->setLineWidth(2);
    auto* inner = new QVBoxLayout(panel_);
    // The text's room is its measure plus a small margin: the frames take no more of it.
    inner->setContentsMargins(2, 2, 2, 2);
    text_ = new QLabel(panel_);
    text_->setObjectName("Text");
    text_->setFrameStyle(QFrame::Box | QFrame::Plain);
    text_->setAlignment(Qt::AlignCenter);
    inner->addWidget(text_);
    bar_ = new QProgressBar(panel_);
    bar_->setObjectName("Bar");
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    bar_->hide();
    inner->addWidget(bar_);
    layout->addWidget(panel_, 1);
  }

  ~QtMessageWindow() override { dialog_.hide(); }

  Size TextSize(std::string_view text) const override {
    const QFontMetrics metrics(dialog_.font());
    return Size{metrics.horizontalAdvance(ToQString(text)), metrics.height()};
  }

  Size CaptionSize(std::string_view caption) const override {
    const QFontMetrics metrics(CaptionFont());
    return Size{metrics.horizontalAdvance(ToQString(caption)), CaptionBarHeight()};
  }

  // Without a caption the raised panel frames the text; with one the caption bar does.
  void SetCaption(std::string caption) override {
    caption_->setText(ToQString(caption));
    caption_->setVisible(!caption.empty());
    panel_->setFrameShape(caption.empty() ? QFrame::Panel : QFrame::NoFrame);
  }

  void SetText(std::string text) override {
    text_->setText(ToQString(text));
    bar_->hide();
    text_->show();
    text_->repaint();
  }

  void SetProgress(std::int32_t percent) override {
    bar_->setValue(percent);
    text_->hide();
    bar_->show();
    bar_->repaint();
  }

  void SetSize(Size size) override { dialog_.setFixedSize(size.width, size.height); }
  void SetPosition(Point position) override { dialog_.move(position.x, position.y); }
  void SetModal(bool modal) override {
    dialog_.setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
  }
  void Show() override {
    dialog_.show();
    dialog_.raise();
  }
  void Close() override { dialog_.hide(); }
  // All events: the dialog paints and moves; input meant for windows it blocks is dropped.
  void Pump() override { QApplication::processEvents(QEventLoop::AllEvents); }

 private:
  static QFont CaptionFont() {
    QFont font = QApplication::font();
    font.setBold(true);
    return font;
  }
  static std::int32_t CaptionBarHeight() {
    return QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
  }

  EngineDialog dialog_;
  QLabel* caption_;
  QFrame* panel_;
  QLabel* text_;
  QProgressBar* bar_;
};

}  // namespace

std::unique_ptr<MessageWindow> MakeQtMessageWindow() {
  return std::make_unique<QtMessageWindow>();
}

}  // namespace platform::qt
