// Shows a form as a QDialog of real widgets, one per control with the control's name as its
// objectName, and keeps widgets and model in step both ways while the view exists.
#pragma once

#include <QDialog>
#include <memory>

#include "platform/ui/forms.h"

namespace platform::qt {

class FormView {
 public:
  explicit FormView(Form& form);
  ~FormView();
  FormView(const FormView&) = delete;
  FormView& operator=(const FormView&) = delete;

  QDialog& Dialog() { return *dialog_; }
  // Runs the dialog modally until the form has a modal result.
  ModalResult Run();

 private:
  void Unbind(Container& container);

  Form& form_;
  std::unique_ptr<QDialog> dialog_;
};

}  // namespace platform::qt
