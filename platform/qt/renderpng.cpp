#include "platform/qt/renderpng.h"

#include <QImage>
#include <QPainter>

#include "platform/files/osfiles.h"
#include "platform/qt/qtcanvas.h"

namespace platform::qt {

namespace {

QImage Painted(Size size, const std::function<void(Canvas&)>& paint) {
  QImage image(size.width, size.height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  PainterCanvas canvas(painter, size, DirectPixels::Allowed);
  paint(canvas);
  return image;
}

}  // namespace

bool RenderPng(const std::string& path, Size size, const std::function<void(Canvas&)>& paint) {
  if (size.width <= 0 || size.height <= 0) return false;
  return Painted(size, paint).save(QString::fromStdString(os::HostName(path)), "PNG");
}

void PaintImage(Size size, const std::function<void(Canvas&)>& paint) {
  if (size.width > 0 && size.height > 0) Painted(size, paint);
}

}  // namespace platform::qt
