#include "platform/qt/qtmainwindow.h"

#include <QCloseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QTimer>
#include <QWheelEvent>

#include "platform/files/osfiles.h"
#include "platform/qt/qtcanvas.h"
#include "platform/qt/qtmenubar.h"
#include "platform/qt/qttext.h"
#include "platform/ui/backend.h"
#include "platform/ui/keys.h"

namespace platform::qt {

namespace {

ShiftState ToShiftState(Qt::KeyboardModifiers modifiers) {
  return {modifiers.testFlag(Qt::ShiftModifier), modifiers.testFlag(Qt::ControlModifier),
          modifiers.testFlag(Qt::AltModifier)};
}

// Windows virtual-key code of a Qt key, or 0 for keys the program has no code for.
std::uint16_t ToKeyCode(const QKeyEvent& event) {
  const int key = event.key();
  const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
  if (key >= Qt::Key_A && key <= Qt::Key_Z)
    return static_cast<std::uint16_t>('A' + key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9)
    return static_cast<std::uint16_t>('0' + key - Qt::Key_0);
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return static_cast<std::uint16_t>(keys::kF1 + key - Qt::Key_F1);
  }
  switch (key) {
    case Qt::Key_Backspace:
      return keys::kBackspace;
    case Qt::Key_Tab:
      return keys::kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return keys::kEnter;
    case Qt::Key_Escape:
      return keys::kEscape;
    case Qt::Key_Space:
      return keys::kSpace;
    case Qt::Key_PageUp:
      return keys::kPageUp;
    case Qt::Key_PageDown:
      return keys::kPageDown;
    case Qt::Key_End:
      return keys::kEnd;
    case Qt::Key_Home:
      return keys::kHome;
    case Qt::Key_Left:
      return keys::kLeft;
    case Qt::Key_Up:
      return keys::kUp;
    case Qt::Key_Right:
      return keys::kRight;
    case Qt::Key_Down:
      return keys::kDown;
    case Qt::Key_Insert:
      return keys::kInsert;
    case Qt::Key_Delete:
      return keys::kDelete;
    case Qt::Key_Plus:
      return keypad ? keys::kNumpadAdd : 0;
    case Qt::Key_Minus:
      return keypad ? keys::kNumpadSubtract : 0;
    default:
      return 0;
  }
}

bool ToMouseButton(Qt::MouseButton qt, MouseButton& button) {
  switch (qt) {
    case Qt::LeftButton:
      button = MouseButton::Left;
      return true;
    case Qt::RightButton:
      button = MouseButton::Right;
      return true;
    case Qt::MiddleButton:
      button = MouseButton::Middle;
      return true;
    default:
      return false;
  }
}

// The drawing surface. Paints go to a backing image, so that PaintNow can draw outside a
// paint, as the program's rubber band does, and the drawing stays until the next paint.
// KV6_QUIT_AFTER_FIRST_PAINT=1 ends the program with exit code 0 once the window has painted,
// so that a benchmark can time the start to the first picture.
void QuitAfterFirstPaintWhenAsked() {
  static bool quitting = false;
  if (quitting || os::Variable("KV6_QUIT_AFTER_FIRST_PAINT") != "1") return;
  quitting = true;
  QTimer::singleShot(0, [] { ExitEventLoop(0); });
}

class DrawingWidget : public QWidget {
 public:
  DrawingWidget(MainWindow& model, QWidget* parent) : QWidget(parent), model_(model) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  // The client size the program asked for: the drawing widget's preferred size.
  void Request(QSize size) {
    requested_ = size;
    updateGeometry();
  }
  QSize sizeHint() const override { return requested_; }

  void Invalidate() {
    valid_ = false;
    update();
  }
  void Repaint() {
    valid_ = false;
    repaint();
  }
  void PaintNow(const std::function<void(Canvas&)>& draw) {
    EnsureContent();
    {
      QPainter painter(&backing_);
      PainterCanvas canvas(painter, {width(), height()}, DirectPixels::Allowed);
      draw(canvas);
    }
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    EnsureContent();
    QPainter painter(this);
    painter.drawImage(0, 0, backing_);
    QuitAfterFirstPaintWhenAsked();
  }
  void resizeEvent(QResizeEvent*) override {
    valid_ = false;
    if (model_.onResize) model_.onResize();
  }
  void mousePressEvent(QMouseEvent* event) override { Mouse(event, model_.onMouseDown); }
  void mouseReleaseEvent(QMouseEvent* event) override { Mouse(event, model_.onMouseUp); }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    if (model_.onDoubleClick) model_.onDoubleClick();
    Mouse(event, model_.onMouseDown);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!model_.onMouseMove) return;
    model_.onMouseMove({MouseButton::Left, ToShiftState(event->modifiers()), Position(*event)});
  }
  void wheelEvent(QWheelEvent* event) override {
    if (!model_.onMouseWheel) return;
    const QPoint p = event->position().toPoint();
    model_.onMouseWheel(event->angleDelta().y(), ToShiftState(event->modifiers()), {p.x(), p.y()});
  }
  void keyPressEvent(QKeyEvent* event) override {
    const std::uint16_t key = ToKeyCode(*event);
    if (key == 0 || !model_.onKeyDown) {
      QWidget::keyPressEvent(event);
      return;
    }
    model_.onKeyDown({key, ToShiftState(event->modifiers())});
  }

 private:
  static Point Position(const QMouseEvent& event) {
    const QPoint p = event.position().toPoint();
    return {p.x(), p.y()};
  }
  void Mouse(QMouseEvent* event, const std::function<void(const MouseEvent&)>& handler) {
    MouseButton button;
    if (!handler || !ToMouseButton(event->button(), button)) return;
    handler({button, ToShiftState(event->modifiers()), Position(*event)});
  }
  // The backing image has the screen's own pixels, so that a screen of a higher pixel ratio
  // shows the drawing sharp instead of enlarged.
  void EnsureContent() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (valid_ && backing_.size() == pixels && backing_.devicePixelRatio() == ratio) return;
    backing_ = QImage(pixels, QImage::Format_RGB32);
    backing_.setDevicePixelRatio(ratio);
    backing_.fill(Qt::white);
    QPainter painter(&backing_);
    PainterCanvas canvas(painter, {width(), height()}, DirectPixels::Allowed);
    model_.Paint(canvas);
    valid_ = true;
  }

  MainWindow& model_;
  QImage backing_;
  bool valid_ = false;
  QSize requested_{640, 480};
};

class QtMainWindow : public QMainWindow {
 public:
  explicit QtMainWindow(MainWindow& model) : model_(model) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (closing_ || model_.Close()) {
      event->accept();
    } else {
      event->ignore();
    }
  }

 public:
  bool closing_ = false;

 private:
  MainWindow& model_;
};

class QtWindowPeer : public WindowPeer {
 public:
  explicit QtWindowPeer(MainWindow& model)
      : model_(model),
        window_(std::make_unique<QtMainWindow>(model)),
        drawing_(new DrawingWidget(model, window_.get())) {
    window_->setCentralWidget(drawing_);
    BindMenuBar(*window_->menuBar(), model.Menus());
  }
  ~QtWindowPeer() override { model_.Menus().SetViewUpdate(nullptr); }

  QMainWindow& Window() { return *window_; }

  // The menus the program added so far are in place before the window takes its size.
  void Show() override {
    FillMenuBar(*window_->menuBar(), model_.Menus());
    if (!window_->isVisible()) window_->resize(window_->sizeHint());
    window_->show();
    drawing_->setFocus();
  }
  void Hide() override {
    window_->closing_ = true;
    window_->close();
    window_->closing_ = false;
  }
  void CaptionChanged() override { window_->setWindowTitle(ToQString(model_.Caption())); }
  void CursorChanged() override {
    window_->setCursor(model_.Cursor() == CursorShape::Hourglass ? Qt::WaitCursor
                                                                 : Qt::ArrowCursor);
  }
  void Invalidate() override { drawing_->Invalidate(); }
  void Repaint() override { drawing_->Repaint(); }
  Size ClientSize() const override {
    const QSize size = window_->isVisible() ? drawing_->size() : drawing_->sizeHint();
    return {size.width(), size.height()};
  }
  void SetClientSize(Size size) override {
    drawing_->Request(QSize(size.width, size.height));
    if (window_->isVisible()) {
      window_->resize(window_->size() + QSize(size.width, size.height) - drawing_->size());
    }
  }
  void PaintNow(const std::function<void(Canvas&)>& draw) override { drawing_->PaintNow(draw); }
  void ShowRubberBand(const Rect& band) override {
    if (rubberBand_ == nullptr) rubberBand_ = new QRubberBand(QRubberBand::Rectangle, drawing_);
    rubberBand_->setGeometry(
        QRect(QPoint(band.left, band.top), QPoint(band.right, band.bottom)).normalized());
    rubberBand_->show();
  }
  void HideRubberBand() override {
    if (rubberBand_ != nullptr) rubberBand_->hide();
  }

 private:
  MainWindow& model_;
  std::unique_ptr<QtMainWindow> window_;
  DrawingWidget* drawing_;
  QRubberBand* rubberBand_ = nullptr;  // owned by drawing_
};

}  // namespace

std::unique_ptr<WindowPeer> MakeWindowPeer(MainWindow& window) {
  return std::make_unique<QtWindowPeer>(window);
}

QMainWindow& QtWindowOf(MainWindow& window) {
  return dynamic_cast<QtWindowPeer&>(window.Peer()).Window();
}

}  // namespace platform::qt
