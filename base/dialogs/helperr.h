#pragma once
// The message help file: origin and remedy of each calculation message, in three-line records
// (message, origin, remedy) keyed by the message's first 15 characters; and the browser that
// offers the messages of a calculation with their help.

#include <cstdint>
#include <string>

// The one name of the message help file: PltDir + ShortName + ".err". Reading finds it in any
// letter case; saving writes back to the file found.
std::string MessageHelpFileName();
// Whether a file line is the record of the message: their first 15 characters agree.
bool MessageKeyMatches(const std::string& line, const std::string& message);

void ShowCalcMessages();
void ShowErrorHelp(std::int32_t index);
// Origin and remedy of Messages[index] for the report: never a box. No file gives empty texts;
// no record gives the no-help text as origin and an empty remedy.
void ErrorOrigin(std::int32_t index, std::string& text);
void ErrorRemedy(std::int32_t index, std::string& text);
void ShowErrorHelpForm(const std::string& message, const std::string& origin,
                       const std::string& remedy);
// Replaces origin and remedy of the message's record through a temporary file beside it; the
// other lines stay as they are. A line break in origin or remedy becomes a blank.
void SaveErrorHelp(const std::string& message, const std::string& origin,
                   const std::string& remedy);
