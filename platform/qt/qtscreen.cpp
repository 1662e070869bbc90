#include "platform/qt/qtscreen.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace platform::qt {
namespace {

class QtScreen final : public ScreenSource {
 public:
  ScreenFacts Primary() override {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return FixedScreen().Primary();
    const QRect area = screen->geometry();
    return ScreenFacts{Size{area.width(), area.height()},
                       static_cast<std::int32_t>(std::lround(screen->logicalDotsPerInchX()))};
  }
};

Size FrameOf(const QWidget& widget) {
  const QSize outer = widget.frameGeometry().size();
  return Size{outer.width() - widget.width(), outer.height() - widget.height()};
}

// The outer size the widget shows with, its frame at least the placement's.
Size ShownOuterSize(const QWidget& widget, const RecordedFormHandle& placement) {
  const Size frame = FrameOf(widget);
  const Size outer = placement.OuterSize();
  const Size client = placement.ClientSize();
  return {widget.width() + std::max(frame.width, outer.width - client.width),
          widget.height() + std::max(frame.height, outer.height - client.height)};
}

// The free area of the screen a frame at that place stands on mostly, else of the primary one.
Rect ScreenAreaAt(Point position, Size outer) {
  const QScreen* screen = QGuiApplication::screenAt(
      QPoint(position.x + outer.width / 2, position.y + outer.height / 2));
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return {position.x, position.y, position.x + outer.width, position.y + outer.height};
  const QRect area = screen->availableGeometry();
  return {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

}  // namespace

std::unique_ptr<ScreenSource> MakeQtScreen() {
  return std::make_unique<QtScreen>();
}

QtFormHandle::QtFormHandle(QWidget& widget)
    : widget_(widget), designed_(OuterSize()), baseFont_(new QFont(widget.font())) {}

QtFormHandle::~QtFormHandle() {
  delete baseFont_;
}

Point QtFormHandle::Position() const {
  const QPoint corner = widget_.frameGeometry().topLeft();
  return Point{corner.x(), corner.y()};
}

void QtFormHandle::SetPosition(Point position) {
  widget_.move(position.x, position.y);
}

void QtFormHandle::CentreOn(const Centring& centring) {
  SetPosition(centring.PositionFor(OuterSize()));
}

Size QtFormHandle::OuterSize() const {
  const QSize outer = widget_.frameGeometry().size();
  return Size{outer.width(), outer.height()};
}

void QtFormHandle::SetOuterSize(Size size) {
  const Size frame = FrameOf(widget_);
  Resize(Size{size.width - frame.width, size.height - frame.height});
}

Size QtFormHandle::ClientSize() const {
  return Size{widget_.width(), widget_.height()};
}

void QtFormHandle::SetClientSize(Size size) {
  Resize(size);
}

// A dialog border keeps the user from resizing, not the program.
void QtFormHandle::Resize(Size client) {
  if (border_ == FormBorder::Dialog) {
    widget_.setFixedSize(client.width, client.height);
  } else {
    widget_.resize(client.width, client.height);
  }
}

void QtFormHandle::SetFontScale(std::int32_t percent) {
  QFont font = *baseFont_;
  if (baseFont_->pointSizeF() > 0) {
    font.setPointSizeF(baseFont_->pointSizeF() * percent / 100.0);
  } else {
    font.setPixelSize(std::max(1, baseFont_->pixelSize() * percent / 100));
  }
  widget_.setFont(font);
}

void QtFormHandle::UseParentFont() {
  const QWidget* parent = widget_.parentWidget();
  *baseFont_ = parent != nullptr ? parent->font() : QApplication::font();
  widget_.setFont(*baseFont_);
}

void QtFormHandle::SetBorder(FormBorder border) {
  border_ = border;
  if (border == FormBorder::Dialog) {
    widget_.setFixedSize(widget_.size());
  } else {
    widget_.setMinimumSize(0, 0);
    widget_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
}

void QtFormHandle::SetBackground(Color colour) {
  QPalette palette = widget_.palette();
  palette.setColor(QPalette::Window, QColor(colour.red, colour.green, colour.blue));
  widget_.setPalette(palette);
  widget_.setAutoFillBackground(true);
}

void QtFormHandle::SetTooltipDuration(std::int32_t milliseconds) {
  widget_.setToolTipDuration(milliseconds);
  for (QWidget* child : widget_.findChildren<QWidget*>()) child->setToolTipDuration(milliseconds);
}

void ApplyPlacement(QWidget& widget, const RecordedFormHandle& placement) {
  QtFormHandle handle(widget);
  const Size designed = placement.DesignedSize();
  if (designed.width > 0 && designed.height > 0) {
    if (placement.ParentFont()) handle.UseParentFont();
    handle.SetFontScale(placement.FontScale());
    handle.SetBorder(placement.Border());
    // Pixel sizes designed for other fonts may be too small for this toolkit's.
    const QSize least = widget.minimumSizeHint();
    const Size client = placement.ClientSize();
    handle.SetClientSize(
        {std::max(client.width, least.width()), std::max(client.height, least.height())});
  }
  if (!placement.HasPosition()) return;
  const Size outer = ShownOuterSize(widget, placement);
  const Point position =
      placement.CentredOn() ? placement.CentredOn()->PositionFor(outer) : placement.Position();
  handle.SetPosition(OntoScreen(position, outer, ScreenAreaAt(position, outer)));
}

void ReadPlacement(const QWidget& widget, RecordedFormHandle& placement) {
  const QRect frame = widget.frameGeometry();
  placement.SetPosition({frame.x(), frame.y()});
  placement.SetClientSize({widget.width(), widget.height()});
}

}  // namespace platform::qt
