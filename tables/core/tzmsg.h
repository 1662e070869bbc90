#pragma once
// The engine's message and progress windows: a small window over the active form that shows a
// line of text or a bar while a long operation runs. Every update sizes, places and shows the
// window, then lets pending window events run, so the program stays painted; the window takes
// the program's input meanwhile, so no command starts in the middle of the operation.
// Size and place are worked out here from the window's text measure; the platform shows it.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/ui/forms.h"
#include "platform/ui/messagewindow.h"

namespace dadav {

// Room around the text, in pixels, in each direction.
constexpr std::int32_t kMsgMargin = 30;
// The bar's length in "|" when full.
constexpr std::size_t kProgressSteps = 100;

// The size the text and caption need: the text plus the margin, with a caption its bar's height
// more and at least its width.
platform::Size NeededMsgSize(const platform::TextMeasure& measure, std::string_view text,
                             std::string_view caption);
// The window never shrinks: each side is the larger of the current and the needed one.
platform::Size GrownMsgSize(platform::Size current, platform::Size needed);
// The window's position centred over an owner; the halves round towards zero.
platform::Point CentredOver(platform::Point ownerPosition, platform::Size ownerSize,
                            platform::Size window);
// The bar after one step: one "|" fewer, and full again after it was empty.
std::size_t SteppedBar(std::size_t left);
// The share of the bar already gone, in percent.
std::int32_t BarPercent(std::size_t left);

class TTzMsg {
 public:
  // owner: the form the window is centred over; without one it is centred on the screen.
  explicit TTzMsg(const platform::FormHandle* owner = platform::ActiveFormHandle());
  // Freeing the window closes it.
  virtual ~TTzMsg();
  TTzMsg(const TTzMsg&) = delete;
  TTzMsg& operator=(const TTzMsg&) = delete;

  const std::string& Text() const { return text_; }
  const std::string& Caption() const { return caption_; }
  platform::Size WindowSize() const { return size_; }
  platform::Point WindowPosition() const { return position_; }
  bool Visible() const { return visible_; }

 protected:
  void SetCaption(std::string caption);
  void SetText(std::string text);
  platform::MessageWindow& Window() { return *window_; }

 private:
  friend void ShowMsgText(TTzMsg& window, std::string_view text);
  friend void PumpMsgWindow(TTzMsg& window);
  // Puts the message text into the window.
  virtual void ShowContent();
  void Place(platform::Size size);

  std::unique_ptr<platform::MessageWindow> window_;
  const platform::FormHandle* owner_;
  std::string text_;
  std::string caption_;
  bool captionShown_ = false;
  platform::Size size_;
  platform::Point position_;
  bool visible_ = false;
};

// A non-empty text becomes the message text; then the window is sized, placed and shown with it,
// and pending window events run.
void ShowMsgText(TTzMsg& window, std::string_view text = {});
// Lets pending window events run between updates.
void PumpMsgWindow(TTzMsg& window);

class TTzProgress100 : public TTzMsg {
 public:
  // Caption "Progress", shown with a full bar.
  explicit TTzProgress100(const platform::FormHandle* owner = platform::ActiveFormHandle());
  // The caption given, shown with a full bar.
  static std::unique_ptr<TTzProgress100> CreateWithCaption(const platform::FormHandle* owner,
                                                           std::string caption);
  std::size_t BarLeft() const { return left_; }

 private:
  friend void ProgressStep(TTzProgress100& window);
  TTzProgress100(const platform::FormHandle* owner, std::string caption);
  void ShowContent() override;

  std::size_t left_ = kProgressSteps;
};

// Removes one "|" from the bar (an empty bar fills again) and shows it.
void ProgressStep(TTzProgress100& window);

}  // namespace dadav
