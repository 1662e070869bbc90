// The program's main window: a menu bar over one drawing surface. The program paints in onPaint
// (all of the content, whenever asked) and reacts to the mouse, the wheel and keys.
// Texts are Windows-1252 display bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/canvas.h"
#include "platform/ui/menus.h"
#include "platform/ui/screen.h"

namespace platform {

enum class MouseButton { Left, Right, Middle };

struct ShiftState {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
  bool operator==(const ShiftState&) const = default;
};

// Position in pixels of the drawing surface, y downwards.
struct MouseEvent {
  MouseButton button = MouseButton::Left;
  ShiftState shift;
  Point position;
};

struct KeyEvent {
  std::uint16_t key = 0;  // platform/keys.h
  ShiftState shift;
};

enum class CursorShape { Arrow, Hourglass };

class MainWindow;

// What a backend does for a main window; created by the backend when the window is created.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void CaptionChanged() = 0;
  virtual void CursorChanged() = 0;
  virtual void Invalidate() = 0;
  virtual void Repaint() = 0;
  virtual Size ClientSize() const = 0;
  virtual void SetClientSize(Size size) = 0;
  virtual void PaintNow(const std::function<void(Canvas&)>& draw) = 0;
  virtual void ShowRubberBand(const Rect& band) = 0;
  virtual void HideRubberBand() = 0;
};

class MainWindow {
 public:
  // The backend chosen at start-up shows it.
  MainWindow();
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  MenuBar& Menus() { return menus_; }
  const MenuBar& Menus() const { return menus_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  CursorShape Cursor() const { return cursor_; }
  void SetCursor(CursorShape cursor);

  void Show();
  // The close box or the program: asks onCloseQuery, hides the window and runs onClose.
  // Returns false when the close was refused.
  bool Close();

  // Asks for a paint soon (several requests give one paint); Repaint paints at once.
  void Invalidate();
  void Repaint();
  // Draws straight onto the surface, outside onPaint (rubber bands and the like); the drawing
  // lasts until the next paint.
  void PaintNow(const std::function<void(Canvas&)>& draw);
  // A rectangle over the drawing surface that follows a mouse drag; corners in any order.
  void ShowRubberBand(const Rect& band);
  void HideRubberBand();
  // Size of the drawing surface in pixels.
  Size ClientSize() const;
  void SetClientSize(Size size);

  std::function<void(Canvas&)> onPaint;
  std::function<void(const MouseEvent&)> onMouseDown;
  std::function<void(const MouseEvent&)> onMouseMove;
  std::function<void(const MouseEvent&)> onMouseUp;
  // A double click runs onDoubleClick, then onMouseDown for its second press.
  std::function<void()> onDoubleClick;
  // delta: 120 per notch, positive when turned away from the user.
  std::function<void(std::int32_t delta, ShiftState shift, Point position)> onMouseWheel;
  std::function<void(const KeyEvent&)> onKeyDown;
  std::function<void()> onResize;
  std::function<bool()> onCloseQuery;
  std::function<void()> onClose;

  // Paints the content onto any canvas: the backend's surface, a printer page, a test's
  // recording canvas.
  void Paint(Canvas& canvas) const;

  WindowPeer& Peer() const { return *peer_; }

  // The window as the placement rules see it: its client area is the drawing surface; the
  // rest of the placement is kept for the backend.
  FormHandle& Form() { return *form_; }

 private:
  MenuBar menus_;
  std::string caption_;
  CursorShape cursor_ = CursorShape::Arrow;
  std::unique_ptr<WindowPeer> peer_;
  std::unique_ptr<FormHandle> form_;
};

}  // namespace platform
