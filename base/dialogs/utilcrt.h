#pragma once
// How the program asks and tells the user: message boxes, a yes/no question, the choice among
// ChoiceTexts, text and number input with range checks, the window title and the hourglass.
// Every wrapper reports how its dialog ended through AbortFlag: clear after OK, set otherwise.
// Texts are in the DOS code page; they are converted for display here.

#include <cstdint>
#include <string>

// Kinds of ShowMessageBox: 12 error, 3 help, any other a plain message.
void ShowMessageBox(const std::string& text, std::uint16_t kind);
// An error box only while ErrorBoxOn is set.
void ShowError(const std::string& text);
void ShowErrorBox(const std::string& text);
// The refusal of a number outside lo .. hi (the bounds as shown): a beep and the valid-data box.
void ShowRangeError(const std::string& lo, const std::string& hi);
// The refusal of a typed whole number where every value of 32 bits is taken.
void ShowInt32RangeError();
void ShowInfo(const std::string& text);
void ShowNote(const std::string& text);
void ShowMessageTitled(const std::string& title, const std::string& text);
// A plain message under the application's title.
void ShowPlainText(const std::string& text);
void ShowArchiveNote();
void StatusText(const std::string& text);
// Yes, No or Cancel; Cancel answers false and sets AbortFlag.
bool AskYesNo(const std::string& question);

void SetHelpNumber(std::uint16_t n);
// index: 1-based, 0 or beyond n starts at 1; unchanged on Cancel. A list for 8 items or more,
// radio buttons below.
void ChooseItem(const std::string& title, std::int32_t n, std::uint16_t& index);
void AskYesNoDialog(const std::string& question, char& answer);
void AskYesNoFlag(const std::string& question, bool& flag);
void InputText(const std::string& prompt, std::size_t maxLength, std::string& text);
// Number input until the text is a number within lo..hi, or Cancel. An unchanged text keeps x
// at its full precision.
void InputExtended(const std::string& prompt, long double& x, long double lo, long double hi);
void InputDouble(const std::string& prompt, double& x, double lo, double hi);
// x and the bounds in mm; shown in inch in the imperial unit system.
void InputLength(const std::string& prompt, long double& x, long double lo, long double hi);
// Bounds in either order.
void InputInteger(const std::string& prompt, std::int32_t& n, std::int32_t a, std::int32_t b);
void InputWord(const std::string& prompt, std::uint16_t& n, std::int32_t a, std::int32_t b);
void ShowInfoScreen();

// The window title of the current file, which also becomes the application's title.
void SetWindowTitle(std::string& title);
void HourglassOn();
void HourglassOff();
