#include "platform/ui/forms.h"

#include <vector>

#include "platform/ui/backend.h"

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

std::vector<Form*>& ShowingForms() {
  static std::vector<Form*> forms;
  return forms;
}

// Keeps the form on the stack of showing forms while its modal run lasts, however it ends.
class ShowingScope {
 public:
  explicit ShowingScope(Form& form) { ShowingForms().push_back(&form); }
  ~ShowingScope() { ShowingForms().pop_back(); }
  ShowingScope(const ShowingScope&) = delete;
  ShowingScope& operator=(const ShowingScope&) = delete;
};

}  // namespace

const FormHandle* ActiveFormHandle() {
  return ShowingForms().empty() ? nullptr : &ShowingForms().back()->Placement();
}

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
  ModalResult result = ModalResult::None;
  {
    const ShowingScope active(*this);
    if (onShow) onShow();
    result = CurrentBackend().RunModal(*this);
  }
  showing_ = false;
  if (result == ModalResult::None) result = ModalResult::Cancel;
  modalResult_ = result;
  if (onClose) onClose();
  return result;
}

void Form::Activate() {
  if (showing_ && onActivate) onActivate();
}

void Form::SetModalResult(ModalResult result) {
  if (result != ModalResult::None && onCloseQuery && !onCloseQuery()) {
    result = ModalResult::None;
  }
  modalResult_ = result;
  if (viewUpdate_) viewUpdate_();
}

void Form::SetFocusedControl(const Control& control) {
  focused_ = &control;
  if (focusView_) focusView_(control);
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
