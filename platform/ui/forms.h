// A form: a window of named controls that runs modally through the chosen backend.
// Derived form classes add their controls in the constructor and their behaviour as handlers.
#pragma once

#include <functional>
#include <string>

#include "platform/ui/controls.h"
#include "platform/ui/menus.h"
#include "platform/ui/screen.h"

namespace platform {

class Form : public Container {
 public:
  // designed: the outer size the form is designed for; without one the toolkit sizes it.
  explicit Form(std::string name, std::string caption = "", Size designed = {});
  const Control* AsControl() const override { return nullptr; }

  const std::string& Name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  // A form may have its own menu bar; an empty one shows none.
  MenuBar& Menus() { return menus_; }
  const MenuBar& Menus() const { return menus_; }

  // Where and how big the form shows: the core places and scales it here before ShowModal; a
  // toolkit applies it when the form shows and keeps the real position and client size here
  // while it shows, up to its close, before onClose.
  RecordedFormHandle& Placement() { return placement_; }
  const RecordedFormHandle& Placement() const { return placement_; }

  // Shows the form, runs until a modal result is set, and returns it. onShow runs first,
  // onClose after the form has closed by any means.
  ModalResult ShowModal();
  bool Showing() const { return showing_; }
  ModalResult GetModalResult() const { return modalResult_; }
  // A result other than None ends the modal run, unless onCloseQuery refuses; then the result
  // stays None and the form stays open.
  void SetModalResult(ModalResult result);
  // The close box: ends the run with Cancel.
  void Close() { SetModalResult(ModalResult::Cancel); }

  // Enter clicks the default button; Esc clicks the cancel button, or closes the form when it
  // has none.
  Button* DefaultButton() const;
  Button* CancelButton() const;
  void PressEnter();
  void PressEscape();

  // The control the program gave the keyboard focus last, or none.
  const Control* FocusedControl() const { return focused_; }
  void SetFocusedControl(const Control& control);

  std::function<void()> onShow;
  // Each time the form becomes the active window while it shows: every activation the toolkit
  // reports, or once at the start of a run without a toolkit.
  std::function<void()> onActivate;
  void Activate();
  std::function<bool()> onCloseQuery;
  std::function<void()> onClose;

  // For the backend that shows the form: called after a change of the caption or the result.
  void SetViewUpdate(std::function<void()> update) { viewUpdate_ = std::move(update); }
  // For the backend: called when the program moves the focus.
  void SetFocusView(std::function<void(const Control&)> view) { focusView_ = std::move(view); }

 private:
  std::string name_;
  std::string caption_;
  MenuBar menus_;
  RecordedFormHandle placement_;
  ModalResult modalResult_ = ModalResult::None;
  bool showing_ = false;
  std::function<void()> viewUpdate_;
  const Control* focused_ = nullptr;
  std::function<void(const Control&)> focusView_;
};

// The handle of the program's active form: the innermost form whose ShowModal runs, or none.
const FormHandle* ActiveFormHandle();

}  // namespace platform
