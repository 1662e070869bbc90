#include "base/dialogs/indialog.h"

#include <algorithm>

#include "base/dialogs/formplace.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "platform/ui/dialog.h"
#include "platform/ui/screen.h"

namespace {

using PlaceRule = void (*)(platform::FormHandle&);

// The dialog as the placement rule sets it up from its design size and border.
platform::RecordedFormHandle Placed(platform::Size design, PlaceRule rule,
                                    platform::FormBorder border = platform::FormBorder::Dialog) {
  platform::RecordedFormHandle handle(design);
  handle.SetBorder(border);
  rule(handle);
  return handle;
}

void ShowHelpOf(platform::HelpButton button) {
  ShowHelpText(HelpNumber, "", button == platform::HelpButton::Text ? 1 : 2);
  AbortFlag = 0;
}

platform::DialogRequest Request(platform::DialogKind kind, const std::string& caption,
                                const std::string& prompt,
                                const platform::RecordedFormHandle& placement) {
  platform::DialogRequest request;
  request.kind = kind;
  request.caption = caption;
  request.prompt = ToDisplayText(prompt);
  request.placement = placement;
  request.onHelp = ShowHelpOf;
  return request;
}

void AddChoiceItems(platform::DialogRequest& request, std::int32_t n, std::int32_t index) {
  for (std::int32_t i = 1; i <= std::min(n, kChoiceTextCount); ++i) {
    request.items.push_back(ToDisplayText(ChoiceTexts[i]));
  }
  request.selected = index - 1;
}

// The closing rule; an OK without a chosen item counts as no OK.
platform::DialogResult Run(const platform::DialogRequest& request, bool needsChoice) {
  const platform::DialogResult result = platform::Dialogs().RunDialog(request);
  const bool okPressed = result.close == platform::DialogClose::Ok &&
                         (!needsChoice || (result.selected >= 0 &&
                                           result.selected < std::int32_t(request.items.size())));
  AbortFlag = okPressed ? 0 : 1;
  return result;
}

}  // namespace

std::int32_t RadioGroupHeight(std::int32_t n) {
  return ScaleSize(25 * (n + 1));
}

std::int32_t RunCodeDialog(const std::string& title, std::int32_t n, std::int32_t index) {
  auto request =
      Request(platform::DialogKind::List, "Select", title, Placed({440, 316}, ScaleDialog));
  AddChoiceItems(request, n, index);
  return Run(request, true).selected + 1;
}

std::int32_t RunRadioDialog(const std::string& title, std::int32_t n, std::int32_t index) {
  auto request =
      Request(platform::DialogKind::Radio, "Select", title, Placed({444, 328}, ScaleDialog));
  AddChoiceItems(request, n, index);
  request.groupHeight = RadioGroupHeight(n);
  return Run(request, true).selected + 1;
}

std::string RunTextDialog(const std::string& prompt, const std::string& text,
                          std::size_t maxLength) {
  auto request = Request(platform::DialogKind::Text, "Input", prompt,
                         Placed({329, 185}, ScaleForm, platform::FormBorder::Sizeable));
  request.text = ToDisplayText(text);
  // A longer preset is shown whole, so the limit grows to its length.
  request.maxLength = std::max(maxLength, request.text.size());
  return FromDisplayText(Run(request, false).text);
}

char RunYesNoDialog(const std::string& question, char answer) {
  auto request =
      Request(platform::DialogKind::YesNo, "Input", question, Placed({309, 233}, ScaleDialog));
  request.items = {"&Yes", "&No"};
  request.selected = (answer == 'N' || answer == 'n') ? 1 : 0;
  return Run(request, true).selected == 1 ? 'N' : 'J';
}

void RunShowScreen() {
  platform::DialogRequest request;
  request.kind = platform::DialogKind::InfoScreen;
  request.caption = ToDisplayText(ProductCode);
  request.placement = Placed({544, 408}, CenterOnDrawWindow);
  for (std::int32_t i = 1; i <= 22; ++i) request.items.push_back(ToDisplayText(ChoiceTexts[i]));
  platform::Dialogs().RunDialog(request);
}
