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

QTransform Turn(std::int32_t escapement) {
  QTransform turn;
  if (escapement != 0) turn.rotate(-escapement / 10.0);
  return turn;
}

std::shared_ptr<const TextMask> RenderMask(const QFont& font, int ascent, std::int32_t escapement,
                                           const QString& text) {
  const QTransform turn = Turn(escapement);
  const QRect box = turn.mapRect(QRectF(UprightBounds(font, ascent, text))).toAlignedRect();
  if (box.width() > kLargestSide || box.height() > kLargestSide) return nullptr;
  QImage image(box.size(), QImage::Format_Alpha8);
  image.fill(0);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    // Whole-pixel shifts only, so that the glyphs meet the pixel grid as they would in place.
    painter.translate(-box.left(), -box.top());
    painter.setTransform(turn, true);
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
                                       const QString& text) {
  static Cache cache;
  const QString key = font.key() + QChar(0x1f) + QString::number(ascent) + QChar(0x1f) +
                      QString::number(escapement) + QChar(0x1f) + text;
  const auto found = cache.masks.constFind(key);
  if (found != cache.masks.constEnd()) return found.value();
  std::shared_ptr<const TextMask> mask = RenderMask(font, ascent, escapement, text);
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

// Source over destination by coverage, all four channels at once two by two; the colour is
// opaque, so premultiplied images keep their meaning.
std::uint32_t Over(std::uint32_t source, std::uint32_t destination, std::uint32_t coverage) {
  const std::uint32_t rest = 255 - coverage;
  std::uint32_t rb = (source & 0xff00ff) * coverage + (destination & 0xff00ff) * rest;
  rb = ((rb + ((rb >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
  std::uint32_t ag = ((source >> 8) & 0xff00ff) * coverage + ((destination >> 8) & 0xff00ff) * rest;
  ag = (ag + ((ag >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
  return ag | rb;
}

}  // namespace

bool DrawImageText(const ImageLineTarget& target, const QFont& font, int ascent,
                   std::int32_t escapement, Point p, const QString& text, Color colour) {
  const std::shared_ptr<const TextMask> mask = MaskOf(font, ascent, escapement, text);
  if (mask == nullptr) return false;
  const std::uint32_t pixel = OpaquePixel(colour);
  const Rect& clip = target.clip;
  const std::int64_t originX = std::int64_t{p.x} + mask->offset.x();
  const std::int64_t originY = std::int64_t{p.y} + mask->offset.y();
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
