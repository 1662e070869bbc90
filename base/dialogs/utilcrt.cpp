#include "base/dialogs/utilcrt.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "base/dialogs/indialog.h"
#include "base/help/helptext.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/text/displaytext.h"
#include "base/text/numbertext.h"
#include "platform/ui/dialog.h"

namespace {

platform::MessageAnswer Box(const std::string& caption, const std::string& text,
                            platform::MessageButtons buttons = platform::MessageButtons::Ok,
                            platform::MessageIcon icon = platform::MessageIcon::None) {
  platform::MessageBoxRequest box;
  box.caption = caption;
  box.text = text;
  box.buttons = buttons;
  box.icon = icon;
  return platform::Dialogs().ShowBox(box);
}

// A number typed into a number dialog; an empty text is refused there, not taken as 0.
template <class Number>
std::optional<Number> Typed(const std::string& text,
                            std::optional<Number> (*read)(std::string_view)) {
  if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
  return read(text);
}

void RefuseInput(const std::string& text) {
  platform::Dialogs().Beep();
  ShowErrorBox("Invalid Input \"" + text + "\" !");
}

template <class Real>
void InputReal(const std::string& prompt, Real& x, Real lo, Real hi) {
  Real candidate = x;
  std::string shown = RealText(candidate);
  std::string text = shown;
  for (;;) {
    InputText(prompt, 30, text);
    if (AbortFlag != 0) return;
    if (text != shown) {
      const std::optional<long double> value = Typed(text, TypedReal);
      if (!value) {
        RefuseInput(text);
        continue;
      }
      candidate = static_cast<Real>(*value);
    }
    if (lo > candidate || candidate > hi) {
      ShowRangeError(RealText(lo), RealText(hi));
      shown = RealText(candidate);
      text = shown;
      continue;
    }
    x = candidate;
    return;
  }
}

}  // namespace

void ShowMessageBox(const std::string& text, std::uint16_t kind) {
  const char* caption = kind == 12 ? "Error  : " : kind == 3 ? "Help" : "Message:";
  Box(caption, ToDisplayText(text));
}

void ShowError(const std::string& text) {
  if (ErrorBoxOn != 0) ShowMessageBox(text, 12);
}

void ShowErrorBox(const std::string& text) {
  ShowMessageBox(text, 12);
}

void ShowRangeError(const std::string& lo, const std::string& hi) {
  platform::Dialogs().Beep();
  ShowErrorBox("Valid Data are: " + lo + " .. " + hi + " !");
}

void ShowInt32RangeError() {
  ShowRangeError(IntText(std::numeric_limits<std::int32_t>::min()),
                 IntText(std::numeric_limits<std::int32_t>::max()));
}

void ShowInfo(const std::string& text) {
  ShowMessageBox(text, 0);
}
void ShowNote(const std::string& text) {
  ShowMessageBox(text, 11);
}

void ShowMessageTitled(const std::string& title, const std::string& text) {
  Box(ToDisplayText(title), ToDisplayText(text));
}

void ShowPlainText(const std::string& text) {
  Box(platform::ApplicationTitle(), ToDisplayText(text));
}

void ShowArchiveNote() {
  ShowError("Option is not available in archive mode.");
}

void StatusText(const std::string&) {}

bool AskYesNo(const std::string& question) {
  switch (Box(ToDisplayText(LongTitle), ToDisplayText(question),
              platform::MessageButtons::YesNoCancel, platform::MessageIcon::Question)) {
    case platform::MessageAnswer::Yes:
      return true;
    case platform::MessageAnswer::No:
      return false;
    default:
      AbortFlag = 1;
      return false;
  }
}

void SetHelpNumber(std::uint16_t n) {
  HelpNumber = n;
}

void ChooseItem(const std::string& title, std::int32_t n, std::uint16_t& index) {
  if (index > n || index == 0) index = 1;
  const std::int32_t chosen =
      n >= 8 ? RunCodeDialog(title, n, index) : RunRadioDialog(title, n, index);
  if (AbortFlag == 0) index = static_cast<std::uint16_t>(chosen);
}

void AskYesNoDialog(const std::string& question, char& answer) {
  const char chosen = RunYesNoDialog(question, answer);
  if (AbortFlag == 0) answer = chosen;
}

void AskYesNoFlag(const std::string& question, bool& flag) {
  char answer = flag ? 'J' : 'N';
  AskYesNoDialog(question, answer);
  flag = answer != 'N';
}

void InputText(const std::string& prompt, std::size_t maxLength, std::string& text) {
  const std::string typed = RunTextDialog(prompt, text, maxLength);
  if (AbortFlag == 0) text = typed;
}

void InputExtended(const std::string& prompt, long double& x, long double lo, long double hi) {
  InputReal<long double>(prompt, x, lo, hi);
}

void InputDouble(const std::string& prompt, double& x, double lo, double hi) {
  InputReal<double>(prompt, x, lo, hi);
}

void InputLength(const std::string& prompt, long double& x, long double lo, long double hi) {
  if (UnitSystem != 1) {
    InputExtended(prompt + " [mm]", x, lo, hi);
    return;
  }
  const long double inch = x / 25.4L;
  long double typed = inch;
  InputExtended(prompt + " [inch]", typed, lo / 25.4L, hi / 25.4L);
  // Cancel and an unchanged entry keep x exactly, without a round trip through inches.
  if (AbortFlag == 0 && typed != inch) x = typed * 25.4L;
}

void InputInteger(const std::string& prompt, std::int32_t& n, std::int32_t a, std::int32_t b) {
  const std::int32_t lo = std::min(a, b);
  const std::int32_t hi = std::max(a, b);
  std::string text = IntText(n);
  for (;;) {
    InputText(prompt, 12, text);
    if (AbortFlag != 0) return;
    const std::optional<std::int32_t> typed = Typed(text, TypedInt);
    if (!typed) {
      RefuseInput(text);
      continue;
    }
    const std::int32_t value = *typed;
    if (value < lo || value > hi) {
      ShowRangeError(IntText(lo), IntText(hi));
      text = IntText(value);
      continue;
    }
    n = value;
    return;
  }
}

void InputWord(const std::string& prompt, std::uint16_t& n, std::int32_t a, std::int32_t b) {
  std::int32_t value = n;
  InputInteger(prompt, value, a, b);
  n = static_cast<std::uint16_t>(value);
}

void ShowInfoScreen() {
  RunShowScreen();
}

void SetWindowTitle(std::string& title) {
  if (CurrentFile.empty()) {
    title = ToDisplayText(LongTitle + "   V " + ProgVersion);
  } else {
    title = ToDisplayText(LongTitle) + "  -  " + CurrentFile;
    if (CurrentFile.find('.') == std::string::npos) title += "." + FileExt;
  }
  platform::SetApplicationTitle(title);
  HourglassOff();
}

void HourglassOn() {
  platform::Dialogs().SetBusyCursor(true);
}
void HourglassOff() {
  platform::Dialogs().SetBusyCursor(false);
}
