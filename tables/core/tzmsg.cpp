#include "tables/core/tzmsg.h"

#include <algorithm>

#include "platform/ui/backend.h"
#include "platform/ui/screen.h"

namespace dadav {

platform::Size NeededMsgSize(const platform::TextMeasure& measure, std::string_view text,
                             std::string_view caption) {
  const platform::Size extent = measure.TextSize(text);
  platform::Size size{extent.width + kMsgMargin, extent.height + kMsgMargin};
  if (!caption.empty()) {
    const platform::Size bar = measure.CaptionSize(caption);
    size.height += bar.height;
    size.width = std::max(size.width, bar.width);
  }
  return size;
}

platform::Size GrownMsgSize(platform::Size current, platform::Size needed) {
  return platform::Size{std::max(current.width, needed.width),
                        std::max(current.height, needed.height)};
}

platform::Point CentredOver(platform::Point ownerPosition, platform::Size ownerSize,
                            platform::Size window) {
  return platform::Point{ownerPosition.x + (ownerSize.width - window.width) / 2,
                         ownerPosition.y + (ownerSize.height - window.height) / 2};
}

std::size_t SteppedBar(std::size_t left) {
  return left == 0 ? kProgressSteps : left - 1;
}

std::int32_t BarPercent(std::size_t left) {
  return static_cast<std::int32_t>(kProgressSteps - std::min(left, kProgressSteps));
}

TTzMsg::TTzMsg(const platform::FormHandle* owner)
    : window_(platform::CurrentBackend().CreateMessageWindow()), owner_(owner) {
  window_->SetModal(true);
}

TTzMsg::~TTzMsg() {
  window_->Close();
}

void TTzMsg::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  window_->SetCaption(caption_);
}

void TTzMsg::SetText(std::string text) {
  text_ = std::move(text);
}

void TTzMsg::ShowContent() {
  window_->SetText(text_);
}

void TTzMsg::Place(platform::Size size) {
  size_ = size;
  if (owner_ != nullptr) {
    position_ = CentredOver(owner_->Position(), owner_->OuterSize(), size_);
  } else {
    position_ = CentredOver({}, platform::PrimaryScreen().size, size_);
  }
  window_->SetSize(size_);
  window_->SetPosition(position_);
  window_->Show();
  visible_ = true;
}

void ShowMsgText(TTzMsg& window, std::string_view text) {
  if (!text.empty()) window.text_ = text;
  const bool captionChanged = window.captionShown_ != !window.caption_.empty();
  window.captionShown_ = !window.caption_.empty();
  const platform::Size size =
      GrownMsgSize(window.size_, NeededMsgSize(*window.window_, window.text_, window.caption_));
  if (size != window.size_ || captionChanged || !window.visible_) window.Place(size);
  window.ShowContent();
  window.window_->Pump();
}

void PumpMsgWindow(TTzMsg& window) {
  window.window_->Pump();
}

TTzProgress100::TTzProgress100(const platform::FormHandle* owner)
    : TTzProgress100(owner, "Progress") {}

TTzProgress100::TTzProgress100(const platform::FormHandle* owner, std::string caption)
    : TTzMsg(owner) {
  SetCaption(std::move(caption));
  ShowMsgText(*this, std::string(kProgressSteps, '|'));
}

std::unique_ptr<TTzProgress100> TTzProgress100::CreateWithCaption(const platform::FormHandle* owner,
                                                                  std::string caption) {
  return std::unique_ptr<TTzProgress100>(new TTzProgress100(owner, std::move(caption)));
}

void TTzProgress100::ShowContent() {
  Window().SetProgress(BarPercent(left_));
}

void ProgressStep(TTzProgress100& window) {
  window.left_ = SteppedBar(window.left_);
  // Set directly: ShowMsgText keeps the text before when given an empty one.
  window.SetText(std::string(window.left_, '|'));
  ShowMsgText(window);
}

}  // namespace dadav
