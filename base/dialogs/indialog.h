#pragma once
// The four small modal dialogs every question of the program goes through (a list choice, a
// text, yes or no, a radio choice) and the information screen. Each sets AbortFlag by the closing
// rule: clear after OK, set after Cancel, Esc or the close box. The help buttons show the help
// text or image of HelpNumber while the dialog stays open. Texts are in the DOS code page.

#include <cstdint>
#include <string>

// The list (Tin_codedialog) and radio (Tin_radiodialog) choice among ChoiceTexts[1..n], item
// index preselected; the chosen position, 1-based (read it only when AbortFlag is clear).
std::int32_t RunCodeDialog(const std::string& title, std::int32_t n, std::int32_t index);
std::int32_t RunRadioDialog(const std::string& title, std::int32_t n, std::int32_t index);
// Height of the radio group for n items.
std::int32_t RadioGroupHeight(std::int32_t n);
// The text dialog (Tin_textdialog): the typed text.
std::string RunTextDialog(const std::string& prompt, const std::string& text,
                          std::size_t maxLength);
// The yes/no dialog (Tin_janeindialog), preset to No by 'N' or 'n': 'J' or 'N'.
char RunYesNoDialog(const std::string& question, char answer);
// The information screen (TShowScreen) of ChoiceTexts[1..22].
void RunShowScreen();
