#include "app/docs/formbuttons.h"

#include "base/help/helptext.h"

void AddOkCancelHelp(platform::Form& form, const std::string& helpCaption,
                     std::uint16_t helpNumber) {
  auto& ok = form.Add<platform::Button>("Button_ok");
  ok.SetCaption("OK");
  ok.SetDefault(true);
  ok.SetModalResult(platform::ModalResult::Ok);
  auto& cancel = form.Add<platform::Button>("Button_cancel");
  cancel.SetCaption("Cancel");
  cancel.SetCancel(true);
  cancel.SetModalResult(platform::ModalResult::Cancel);
  auto& help = form.Add<platform::Button>("Button_help");
  help.SetCaption(helpCaption);
  help.onClick = [helpNumber] { ShowHelpText(helpNumber, "", 1); };
}
