#pragma once
// The message list: the first 12 distinct texts added since the last clear, in order. Each text
// carries its kind as a 9-character prefix written by the caller: "Fatal  : ", "Error  : " or
// "Warning: ". AbortFlag and FatalFlag live in wbrelvar.h.

#include <array>
#include <cstdint>
#include <string>

#include "base/settings/wbrelvar.h"

inline constexpr int kMaxMessages = 12;
extern std::array<std::string, kMaxMessages + 1> Messages;  // [1..MessageCount] are valid
extern std::uint16_t MessageCount;

// Appends text unless an equal text (exact, case-sensitive) is already listed; with 12 texts
// listed the text is dropped silently.
void AddMessage(const std::string& text);

// Empties the list (the old texts stay in their slots) and clears AbortFlag and FatalFlag.
void ClearMessages();

// Empties the list and every slot.
void FreeMessages();
