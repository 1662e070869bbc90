#include "platform/headless/dialogscript.h"

namespace platform::headless {

const char* DialogKindName(DialogKind kind) {
  switch (kind) {
    case DialogKind::List:
      return "List";
    case DialogKind::Radio:
      return "Radio";
    case DialogKind::Text:
      return "Text";
    case DialogKind::YesNo:
      return "YesNo";
    case DialogKind::InfoScreen:
      return "InfoScreen";
    case DialogKind::OpenFile:
      return "OpenFile";
    case DialogKind::SaveFile:
      return "SaveFile";
    case DialogKind::Folder:
      return "Folder";
    case DialogKind::Form:
      return "Form";
    case DialogKind::Box:
      return "Box";
    case DialogKind::Color:
      return "Color";
    case DialogKind::Font:
      return "Font";
  }
  return "?";
}

DialogStep Step(DialogKind kind) {
  DialogStep step;
  step.kind = kind;
  return step;
}

DialogStep DialogStep::Help(HelpButton button) const {
  DialogStep step = *this;
  step.helpPresses.push_back(button);
  return step;
}

DialogStep DialogStep::Closing(DialogClose how) const {
  DialogStep step = *this;
  step.close = how;
  return step;
}

DialogStep DialogStep::Select(std::int32_t index) const {
  DialogStep step = *this;
  step.selected = index;
  return step;
}

DialogStep DialogStep::Type(std::string typed) const {
  DialogStep step = *this;
  step.text = std::move(typed);
  return step;
}

DialogStep DialogStep::Answer(MessageAnswer given) const {
  DialogStep step = *this;
  step.answer = given;
  return step;
}

DialogStep DialogStep::Act(std::function<void(Form&)> action) const {
  DialogStep step = *this;
  step.act = std::move(action);
  return step;
}

DialogStep DialogStep::Choose(FontSpec chosen) const {
  DialogStep step = *this;
  step.font = std::move(chosen);
  return step;
}

std::optional<DialogStep> ScriptedDialogs::Next(DialogKind kind, const std::string& what) {
  transcript_.push_back(std::string(DialogKindName(kind)) + "|" + what);
  if (steps_.empty()) {
    failures_.push_back(std::string("no step left for ") + DialogKindName(kind) + " " + what);
    return std::nullopt;
  }
  DialogStep step = std::move(steps_.front());
  steps_.pop_front();
  if (step.kind != kind) {
    failures_.push_back(std::string("expected ") + DialogKindName(step.kind) + ", got " +
                        DialogKindName(kind) + " " + what);
    return std::nullopt;
  }
  return step;
}

DialogResult ScriptedDialogs::RunDialog(const DialogRequest& request) {
  requests_.push_back(request);
  const auto step = Next(request.kind, request.prompt);
  if (!step) return DialogResult{DialogClose::Cancel, request.selected, request.text};
  for (const HelpButton press : step->helpPresses) {
    if (request.onHelp) request.onHelp(press);
  }
  DialogResult result{step->close, step->selected.value_or(request.selected),
                      step->text.value_or(request.text)};
  if (request.maxLength > 0 && step->text && result.text.size() > request.maxLength) {
    result.text.resize(request.maxLength);  // typing stops at the limit
  }
  return result;
}

MessageAnswer ScriptedDialogs::ShowBox(const MessageBoxRequest& request) {
  if (request.buttons == MessageButtons::Ok) {
    transcript_.push_back(request.caption + "|" + request.text);
    return MessageAnswer::Ok;
  }
  const auto step = Next(DialogKind::Box, request.caption + "|" + request.text);
  return step ? step->answer : CancelAnswer(request.buttons);
}

FileResult ScriptedDialogs::ChooseFile(const FileRequest& request) {
  fileRequests_.push_back(request);
  const auto step = Next(request.kind, request.caption);
  if (!step || step->close != DialogClose::Ok) return FileResult{};
  return FileResult{true, step->text.value_or(""), ""};
}

ColorResult ScriptedDialogs::ChooseColor(std::uint32_t initial) {
  const auto step = Next(DialogKind::Color, "");
  if (!step || step->close != DialogClose::Ok) return ColorResult{};
  return ColorResult{true, step->selected ? static_cast<std::uint32_t>(*step->selected) : initial};
}

FontResult ScriptedDialogs::ChooseFont(const FontSpec& initial) {
  const auto step = Next(DialogKind::Font, initial.face);
  if (!step || step->close != DialogClose::Ok) return FontResult{};
  return FontResult{true, step->font.value_or(initial)};
}

ModalResult ScriptedDialogs::PlayForm(Form& form) {
  const auto step = Next(DialogKind::Form, form.Caption());
  if (step && step->act && form.GetModalResult() == ModalResult::None) step->act(form);
  if (form.GetModalResult() == ModalResult::None) form.Close();
  return form.GetModalResult() == ModalResult::None ? ModalResult::Cancel : form.GetModalResult();
}

void ScriptedDialogs::SetBusyCursor(bool busy) {
  if (busy != busy_) ++cursorChanges_;
  busy_ = busy;
}

}  // namespace platform::headless
