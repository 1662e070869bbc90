// A canvas that draws nothing and writes each call as one line of text, so tests can compare
// what a paint routine drew.
#pragma once

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/ui/canvas.h"

namespace platform {

class RecordingCanvas : public Canvas {
 public:
  explicit RecordingCanvas(Size size = {640, 480});

  // One line per call, for example "pen 255,0,0 2 dash not", "line_to 10,20",
  // "text 5,5 abc". Queries (Get..., TextExtent, GetSize) record nothing.
  const std::vector<std::string>& Calls() const;
  // How many calls were recorded; cheaper than Calls().size().
  std::size_t CallCount() const { return calls_.size(); }
  void ClearCalls();

  void SetPen(const Pen& pen) override;
  Pen GetPen() const override { return pen_; }
  void SetBrush(const Brush& brush) override;
  Brush GetBrush() const override { return brush_; }
  void SetFont(const Font& font) override;
  Font GetFont() const override { return font_; }

  void MoveTo(Point p) override;
  void LineTo(Point p) override;
  void Polyline(const std::vector<Point>& points) override;
  void Rectangle(const Rect& r) override;
  void FillRect(const Rect& r) override;
  void Ellipse(const Rect& bounds) override;
  void Polygon(const std::vector<Point>& points) override;
  void Arc(const Rect& bounds, Point start, Point end) override;

  void TextOut(Point p, std::string_view text) override;
  // Fixed metrics: every character is the font's width (half its height when 0) wide and
  // the font's height (16 when 0) high.
  Size TextExtent(std::string_view text) override;

  void SetClip(const Rect& r) override;
  void ClearClip() override;
  Size GetSize() const override { return size_; }

 private:
  enum class Kind : std::uint8_t {
    Pen,
    Brush,
    Font,
    MoveTo,
    LineTo,
    Polyline,
    Rectangle,
    FillRect,
    Ellipse,
    Polygon,
    Arc,
    Text,
    Clip,
    NoClip
  };
  // A call as recorded: replays of long lists record many calls and read few of them, so
  // the lines are written only when asked for.
  struct Call {
    Kind kind;
    std::int32_t x = 0;  // the point of a move or line; else how many numbers are in data_
    std::int32_t y = 0;
    std::uint32_t extra = 0;  // where its numbers start in data_, or its font or text number
  };

  void Record(Kind kind, std::int32_t x, std::int32_t y) { calls_.push_back({kind, x, y}); }
  void RecordNumbers(Kind kind, std::initializer_list<std::int32_t> numbers);
  void RecordPoints(Kind kind, const std::vector<Point>& points);
  void RecordRect(Kind kind, const Rect& r);
  std::string Line(const Call& call) const;

  Size size_;
  Pen pen_;
  Brush brush_;
  Font font_;
  // A deque grows in small blocks the allocator reuses: a long replay neither copies its
  // calls nor faults in a fresh large array every time.
  std::deque<Call> calls_;
  std::vector<std::int32_t> data_;
  std::vector<Font> fonts_;
  std::vector<std::string> texts_;
  mutable std::vector<std::string> lines_;  // lines of calls_[0 .. lines_.size() - 1]
};

}  // namespace platform
