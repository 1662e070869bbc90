#include "platform/qt/renderpng.h"

#include <QImage>
#include <QPainter>

#include "platform/qt/qtcanvas.h"

namespace platform::qt {

bool RenderPng(const std::string& path, Size size, const std::function<void(Canvas&)>& paint) {
  if (size.width <= 0 || size.height <= 0) return false;
  QImage image(size.width, size.height, QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    QPainter painter(&image);
    PainterCanvas canvas(painter, size);
    paint(canvas);
  }
  return image.save(QString::fromStdString(path), "PNG");
}

}  // namespace platform::qt
