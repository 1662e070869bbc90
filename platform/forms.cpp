#include "platform/forms.h"

#include "platform/backend.h"

namespace platform {

namespace {

Button* FindButton(const Container& container, bool (Button::*flag)() const) {
  for (const auto& child : container.Children()) {
    if (auto* button = dynamic_cast<Button*>(child.get()); button && (button->*flag)()) {
      return button;
    }
    if (const auto* inner = dynamic_cast<const Container*>(child.get())) {
      if (Button* found = FindButton(*inner, flag)) return found;
    }
  }
  return nullptr;
}

}  // namespace

Form::Form(std::string name, std::string caption, Size designed)
    : Container(*this),
      name_(std::move(name)),
      caption_(std::move(caption)),
      placement_(designed) {}

void Form::SetCaption(std::string caption) {
  caption_ = std::move(caption);
  if (viewUpdate_) viewUpdate_();
}

ModalResult Form::ShowModal() {
  modalResult_ = ModalResult::None;
  showing_ = true;
  if (onShow) onShow();
  ModalResult result = CurrentBackend().RunModal(*this);
  showing_ = false;
  if (result == ModalResult::None) result = ModalResult::Cancel;
  modalResult_ = result;
  if (onClose) onClose();
  return result;
}

void Form::SetModalResult(ModalResult result) {
  if (result != ModalResult::None && onCloseQuery && !onCloseQuery()) {
    result = ModalResult::None;
  }
  modalResult_ = result;
  if (viewUpdate_) viewUpdate_();
}

Button* Form::DefaultButton() const {
  return FindButton(*this, &Button::IsDefault);
}

Button* Form::CancelButton() const {
  return FindButton(*this, &Button::IsCancel);
}

void Form::PressEnter() {
  if (Button* button = DefaultButton()) button->Click();
}

void Form::PressEscape() {
  if (Button* button = CancelButton()) {
    button->Click();
  } else {
    Close();
  }
}

}  // namespace platform
