// What a message box asks and how it can be answered. Every box goes through the dialog policy
// (platform/dialog.h, DialogBackend::ShowBox). Texts are Windows-1252 display bytes.
#pragma once

#include <string>

namespace platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageAnswer { Ok, Cancel, Yes, No, Retry };

struct MessageBoxRequest {
  std::string caption;
  std::string text;
  MessageButtons buttons = MessageButtons::Ok;
  MessageIcon icon = MessageIcon::None;
};

// The answer a box gives when nobody can answer it: Cancel where there is one, else No, else OK.
MessageAnswer CancelAnswer(MessageButtons buttons);

}  // namespace platform
