#pragma once
// The screen and the handle through which forms are placed and scaled on it. The placement rules
// themselves are plain geometry in the core; a backend only carries them out. Under Wayland the
// compositor may place windows itself: positions set here are then requests.

#include <cstdint>
#include <optional>

#include "platform/ui/canvas.h"

namespace platform {

struct ScreenFacts {
  Size size;                     // in logical pixels
  std::int32_t logicalDpi = 96;  // toolkits scale by the device pixel ratio themselves
};

// Where the facts of the primary screen come from: the toolkit's display.
class ScreenSource {
 public:
  virtual ~ScreenSource() = default;
  virtual ScreenFacts Primary() = 0;
};

// A screen without a display: 1280 x 1024 at 96 dpi unless given other facts.
class FixedScreen final : public ScreenSource {
 public:
  explicit FixedScreen(ScreenFacts facts = {Size{1280, 1024}, 96}) : facts_(facts) {}
  ScreenFacts Primary() override { return facts_; }

 private:
  ScreenFacts facts_;
};

// The primary screen, from the screen service of the platform's kit (platform/services.h);
// without one the fixed screen serves.
ScreenFacts PrimaryScreen();

enum class FormBorder { Dialog, Sizeable };

// A form centred on an area (the drawing window): horizontally centred, vertically centred and
// drop pixels lower, never left of or above the area's top left corner.
struct Centring {
  Point origin;
  Size area;
  std::int32_t drop = 0;
  bool operator==(const Centring&) const = default;

  // Where the outer frame of a form of that size stands.
  Point PositionFor(Size outer) const;
};

// The position nearest to the given one at which an outer frame of that size lies inside the
// screen's area; a frame larger than the area keeps its top left corner inside it.
Point OntoScreen(Point position, Size outer, const Rect& screen);

// A form (or the main window) as far as placement and scaling go. Positions are screen pixels of
// the outer frame; the frame is the difference between outer and client size.
class FormHandle {
 public:
  virtual ~FormHandle() = default;
  virtual Point Position() const = 0;
  virtual void SetPosition(Point position) = 0;
  // Places the form centred on its size now; a form not yet shown is centred again on the size
  // it shows with, which its contents may make larger.
  virtual void CentreOn(const Centring& centring) = 0;
  virtual Size OuterSize() const = 0;
  virtual void SetOuterSize(Size size) = 0;
  virtual Size ClientSize() const = 0;
  virtual void SetClientSize(Size size) = 0;
  // The outer size as designed, before any scaling.
  virtual Size DesignedSize() const = 0;
  // Scales the contents: the font at percent of its designed size.
  virtual void SetFontScale(std::int32_t percent) = 0;
  // Takes the owner's font (before scaling).
  virtual void UseParentFont() = 0;
  virtual void SetBorder(FormBorder border) = 0;
  virtual void SetBackground(Color colour) = 0;
  // Tool tips on, each shown for at most the given time.
  virtual void SetTooltipDuration(std::int32_t milliseconds) = 0;
};

// A form handle that only keeps what is set: the placement of a form or dialog that the core
// decides before a backend shows it (the headless backend keeps it as it is). Until a position
// is set, the toolkit places the window itself. A position set takes the place of a centring.
class RecordedFormHandle final : public FormHandle {
 public:
  explicit RecordedFormHandle(Size designed, Size frame = {16, 39});

  Point Position() const override { return position_; }
  void SetPosition(Point position) override {
    position_ = position;
    positioned_ = true;
    centring_.reset();
  }
  void CentreOn(const Centring& centring) override {
    SetPosition(centring.PositionFor(outer_));
    centring_ = centring;
  }
  Size OuterSize() const override { return outer_; }
  void SetOuterSize(Size size) override { outer_ = size; }
  Size ClientSize() const override;
  void SetClientSize(Size size) override;
  Size DesignedSize() const override { return designed_; }
  void SetFontScale(std::int32_t percent) override { fontScale_ = percent; }
  void UseParentFont() override { parentFont_ = true; }
  void SetBorder(FormBorder border) override { border_ = border; }
  void SetBackground(Color colour) override { background_ = colour; }
  void SetTooltipDuration(std::int32_t milliseconds) override { tooltipMs_ = milliseconds; }

  bool HasPosition() const { return positioned_; }
  // The centring the position comes from, while no other position was set.
  const std::optional<Centring>& CentredOn() const { return centring_; }
  std::int32_t FontScale() const { return fontScale_; }
  bool ParentFont() const { return parentFont_; }
  FormBorder Border() const { return border_; }
  Color Background() const { return background_; }
  std::int32_t TooltipDuration() const { return tooltipMs_; }

 private:
  Size designed_;
  Size frame_;
  Point position_;
  bool positioned_ = false;
  std::optional<Centring> centring_;
  Size outer_;
  std::int32_t fontScale_ = 100;
  bool parentFont_ = false;
  FormBorder border_ = FormBorder::Dialog;
  Color background_ = kWhite;
  std::int32_t tooltipMs_ = 0;
};

}  // namespace platform
