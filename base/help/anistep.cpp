#include "base/help/anistep.h"

TForm_anistep::TForm_anistep() : Form("TForm_anistep", "Animation") {
  platform::Button& next = Add<platform::Button>("Button_nextstep");
  next.SetCaption("+");
  next.SetDefault(true);
  next.SetModalResult(platform::ModalResult::Ok);
  platform::Button& end = Add<platform::Button>("Button_endstep");
  end.SetCaption("+++++++");
  end.SetCancel(true);
  end.onClick = [this] { endMark_ = true; };
  end.SetModalResult(platform::ModalResult::Cancel);
}

platform::StepAnswer RunAnimationStep() {
  TForm_anistep form;
  const platform::ModalResult result = form.ShowModal();
  return result == platform::ModalResult::Ok && !form.EndMark() ? platform::StepAnswer::Next
                                                                : platform::StepAnswer::End;
}
