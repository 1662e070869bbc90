// Message boxes. Texts are Windows-1252 display bytes.
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

// Shows the box modally through the chosen backend and returns the button pressed; closing
// the box counts as its Cancel answer (No for Yes/No, OK for an OK box).
MessageAnswer ShowMessageBox(const MessageBoxRequest& request);

// The answer a box gives when nobody can answer it: Cancel where there is one, else No, else OK.
MessageAnswer CancelAnswer(MessageButtons buttons);

}  // namespace platform
