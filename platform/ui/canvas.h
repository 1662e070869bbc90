// Drawing surface of a window, an image control or a printer page. Coordinates are device
// pixels with y downwards; texts are Windows-1252 display bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const Color&) const = default;
};

// Colours as the settings store them: red in the low byte, then green, then blue.
constexpr Color ColorFromValue(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value & 0xFFu), static_cast<std::uint8_t>((value >> 8) & 0xFFu),
          static_cast<std::uint8_t>((value >> 16) & 0xFFu)};
}
constexpr std::uint32_t ColorValue(Color c) {
  return c.red | (static_cast<std::uint32_t>(c.green) << 8) |
         (static_cast<std::uint32_t>(c.blue) << 16);
}

inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const Size&) const = default;
};

// Left and top are inside, right and bottom just outside, as for window rectangles.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  bool operator==(const Rect&) const = default;
};

enum class PenStyle { Solid, Dot, DashDot, Dash, Clear };

// Not inverts the pixels under the pen, so drawing the same figure twice removes it.
enum class PenMode { Copy, Not };

struct Pen {
  Color color = kBlack;
  std::int32_t width = 1;
  PenStyle style = PenStyle::Solid;
  PenMode mode = PenMode::Copy;
  bool operator==(const Pen&) const = default;
};

enum class BrushStyle { Solid, Clear };

struct Brush {
  Color color = kWhite;
  BrushStyle style = BrushStyle::Solid;
  bool operator==(const Brush&) const = default;
};

struct Font {
  std::string face;             // empty: the toolkit's default face
  std::int32_t height = 0;      // cell height in pixels; 0: the default size
  std::int32_t width = 0;       // average character width in pixels; 0: the face's own
  std::int32_t escapement = 0;  // text direction in tenths of a degree, counterclockwise
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  Color color = kBlack;
  bool operator==(const Font&) const = default;
};

class Canvas {
 public:
  virtual ~Canvas() = default;

  // The state applies to the drawing calls that follow.
  virtual void SetPen(const Pen& pen) = 0;
  virtual Pen GetPen() const = 0;
  virtual void SetBrush(const Brush& brush) = 0;
  virtual Brush GetBrush() const = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual Font GetFont() const = 0;

  // Lines use the pen; closed figures are filled with the brush and outlined with the pen.
  virtual void MoveTo(Point p) = 0;
  virtual void LineTo(Point p) = 0;
  virtual void Polyline(const std::vector<Point>& points) = 0;
  virtual void Rectangle(const Rect& r) = 0;
  virtual void FillRect(const Rect& r) = 0;  // brush only, no outline
  virtual void Ellipse(const Rect& bounds) = 0;
  virtual void Polygon(const std::vector<Point>& points) = 0;
  // Counterclockwise arc of the ellipse in bounds, from the ray through start to the ray
  // through end (the two points need not lie on the ellipse).
  virtual void Arc(const Rect& bounds, Point start, Point end) = 0;

  // The top left corner of the text cell lies at p; the background stays as it is.
  virtual void TextOut(Point p, std::string_view text) = 0;
  virtual Size TextExtent(std::string_view text) = 0;

  // Drawing outside the clip rectangle is discarded until ClearClip.
  virtual void SetClip(const Rect& r) = 0;
  virtual void ClearClip() = 0;
  virtual Size GetSize() const = 0;
};

}  // namespace platform
