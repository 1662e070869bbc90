#include "platform/qt/qtimagetext.h"

#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QTransform>
#include <algorithm>
#include <memory>
#include <vector>

namespace platform::qt {

namespace {

// The masks of one drawing fit easily; a budget keeps texts of many zoom levels from piling up.
constexpr std::size_t kCacheBytes = 32u << 20;
constexpr int kLargestSide = 4096;

// A run of pixels of one mask row that the text covers at least partly.
struct Span {
  std::int32_t row;
  std::int32_t left;
  std::int32_t length;
  std::uint32_t start;  // of its coverage values
};

struct TextMask {
  QPoint offset;  // of the mask's top left from the text's anchor
  std::vector<Span> spans;
  std::vector<std::uint8_t> coverage;
};

struct Cache {
  QHash<QString, std::shared_ptr<const TextMask>> masks;
  std::size_t bytes = 0;
};

// The text's cell in its own upright coordinates, anchor at the origin, widened for the ink
// that italics and overhanging glyphs put beyond it.
QRect UprightBounds(const QFont& font, int ascent, const QString& text) {
  const QFontMetrics metrics(font);
  QRect bounds = metrics.boundingRect(text).translated(0, ascent);
  bounds |= QRect(0, 0, metrics.horizontalAdvance(text), metrics.height());
  const int margin = 2 + metrics.height() / 8;
  return bounds.adjusted(-margin, -margin, margin, margin);
}

// From the text's own coordinates to image pixels about its anchor: turned, then scaled to the
// image's device pixel ratio.
QTransform Placement(std::int32_t escapement, std::int32_t scale) {
  QTransform placement;
  if (escapement != 0) placement.rotate(-escapement / 10.0);
  return placement * QTransform::fromScale(scale, scale);
}

std::shared_ptr<const TextMask> RenderMask(const QFont& font, int ascent, std::int32_t escapement,
                                           std::int32_t scale, const QString& text) {
  const QTransform placement = Placement(escapement, scale);
  const QRect box = placement.mapRect(QRectF(UprightBounds(font, ascent, text))).toAlignedRect();
  if (box.width() > kLargestSide || box.height() > kLargestSide) return nullptr;
  QImage image(box.size(), QImage::Format_Alpha8);
  image.fill(0);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    // Whole-pixel shifts only, so that the glyphs meet the pixel grid as they would in place.
    painter.translate(-box.left(), -box.top());
    painter.setTransform(placement, true);
    painter.drawText(0, ascent, text);
  }
  auto mask = std::make_shared<TextMask>();
  mask->offset = box.topLeft();
  for (int y = 0; y < image.height(); ++y) {
    const std::uint8_t* row = image.constScanLine(y);
    for (int x = 0; x < image.width();) {
      if (row[x] == 0) {
        ++x;
        continue;
      }
      const int left = x;
      while (x < image.width() && row[x] != 0) ++x;
      mask->spans.push_back({y, left, x - left, static_cast<std::uint32_t>(mask->coverage.size())});
      mask->coverage.insert(mask->coverage.end(), row + left, row + x);
    }
  }
  return mask;
}

std::shared_ptr<const TextMask> MaskOf(const QFont& font, int ascent, std::int32_t escapement,
                                       std::int32_t scale, const QString& text) {
  static Cache cache;
  const QString key = font.key() + QChar(0x1f) + QString::number(ascent) + QChar(0x1f) +
                      QString::number(escapement) + QChar(0x1f) + QString::number(scale) +
                      QChar(0x1f) + text;
  const auto found = cache.masks.constFind(key);
  if (found != cache.masks.constEnd()) return found.value();
  std::shared_ptr<const TextMask> mask = RenderMask(font, ascent, escapement, scale, text);
  if (mask == nullptr) return nullptr;
  const std::size_t bytes = mask->coverage.size() + mask->spans.size() * sizeof(Span);
  if (cache.bytes + bytes > kCacheBytes) {
    cache.masks.clear();
    cache.bytes = 0;
  }
  cache.bytes += bytes;
  cache.masks.insert(key, mask);
  return mask;
}

// Every channel of the pixel times a / 255, rounded, two channels at a time.
std::uint32_t Scaled(std::uint32_t pixel, std::uint32_t a) {
  std::uint32_t rb = (pixel & 0xff00ff) * a;
  rb = ((rb + ((rb >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  std::uint32_t ag = ((pixel >> 8) & 0xff00ff) * a;
  ag = (ag + ((ag >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return ag | rb;
}

// Source over destination by coverage, rounded as the painter rounds it: the covered source and
// the uncovered destination each on their own, so that texts laid over texts come out alike.
// The colour is opaque, so premultiplied images keep their meaning.
std::uint32_t Over(std::uint32_t source, std::uint32_t destination, std::uint32_t coverage) {
  return Scaled(source, coverage) + Scaled(destination, 255 - coverage);
}

}  // namespace

bool DrawImageText(const ImageLineTarget& target, const QFont& font, int ascent,
                   std::int32_t escapement, Point p, const QString& text, Color colour) {
  const std::shared_ptr<const TextMask> mask = MaskOf(font, ascent, escapement, target.scale, text);
  if (mask == nullptr) return false;
  const std::uint32_t pixel = OpaquePixel(colour);
  const Rect& clip = target.clip;
  const std::int64_t originX = std::int64_t{p.x} * target.scale + mask->offset.x();
  const std::int64_t originY = std::int64_t{p.y} * target.scale + mask->offset.y();
  for (const Span& span : mask->spans) {
    const std::int64_t y = originY + span.row;
    if (y < clip.top || y >= clip.bottom) continue;
    const std::int64_t left = originX + span.left;
    const std::int64_t from = std::max<std::int64_t>(left, clip.left);
    const std::int64_t to = std::min<std::int64_t>(left + span.length, clip.right);
    std::uint32_t* row = target.pixels + y * target.pixelsPerRow;
    const std::uint8_t* coverage = mask->coverage.data() + span.start;
    for (std::int64_t x = from; x < to; ++x) {
      const std::uint32_t c = coverage[x - left];
      row[x] = c == 255 ? pixel : Over(pixel, row[x], c);
    }
  }
  return true;
}

}  // namespace platform::qt
