#include "base/text/messages.h"

std::array<std::string, kMaxMessages + 1> Messages;
std::uint16_t MessageCount = 0;

void AddMessage(const std::string& text) {
  for (int i = 1; i <= MessageCount; ++i) {
    if (Messages[i] == text) return;
  }
  if (MessageCount >= kMaxMessages) return;
  ++MessageCount;
  Messages[MessageCount] = text;
}

void ClearMessages() {
  MessageCount = 0;
  FatalFlag = 0;
  AbortFlag = 0;
}

void FreeMessages() {
  MessageCount = 0;
  for (std::string& slot : Messages) slot.clear();
}
