// What a message box asks and how it can be answered. Every box goes through the dialog policy
// (platform/dialog.h, DialogBackend::ShowBox). Texts are Windows-1252 display bytes, unless the
// request says UTF-8: a message that shows a name as the system spells it, in letters 1252 lacks.
#pragma once

#include <cstdint>
#include <string>

#include "platform/files/taggedtext.h"

namespace platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
  std::uint16_t codePage = kCodePage1252;  // of caption and text: 1252 or UTF-8
};

// The answer a box gives when nobody can answer it: Cancel where there is one, else No, else OK.
MessageAnswer CancelAnswer(MessageButtons buttons);

}  // namespace platform
