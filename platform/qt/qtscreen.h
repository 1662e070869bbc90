#pragma once
// The Qt side of the screen and of form placement.

#include <memory>

#include "platform/ui/screen.h"

class QWidget;
class QFont;

namespace platform::qt {

// Qt's primary screen, with its logical density (Qt scales by the device pixel ratio itself).
// Asks Qt each time, so it follows a change of screen; the application object must exist.
std::unique_ptr<ScreenSource> MakeQtScreen();

// Places and scales a top-level widget. The designed size and font are those the widget has
// when the handle is made.
class QtFormHandle final : public FormHandle {
 public:
  explicit QtFormHandle(QWidget& widget);
  ~QtFormHandle() override;
  QtFormHandle(const QtFormHandle&) = delete;
  QtFormHandle& operator=(const QtFormHandle&) = delete;

  Point Position() const override;
  void SetPosition(Point position) override;
  void CentreOn(const Centring& centring) override;
  Size OuterSize() const override;
  void SetOuterSize(Size size) override;
  Size ClientSize() const override;
  void SetClientSize(Size size) override;
  Size DesignedSize() const override { return designed_; }
  void SetFontScale(std::int32_t percent) override;
  void UseParentFont() override;
  void SetBorder(FormBorder border) override;
  void SetBackground(Color colour) override;
  void SetTooltipDuration(std::int32_t milliseconds) override;

 private:
  void Resize(Size client);

  QWidget& widget_;
  Size designed_;
  QFont* baseFont_;
  FormBorder border_ = FormBorder::Sizeable;
};

// Carries out a placement the core decided on a top-level widget about to show: with a designed
// size its font, border and client size (never below what the widget's layout needs), and its
// position once one is set. A centred widget is centred on the size it shows with; the frame,
// which the toolkit knows only once the widget shows, is taken as at least the placement's own.
// Then the widget is moved onto the screen where it would stand out of it.
void ApplyPlacement(QWidget& widget, const RecordedFormHandle& placement);
// Writes the widget's real position and client size back, as the user left them.
void ReadPlacement(const QWidget& widget, RecordedFormHandle& placement);

}  // namespace platform::qt
