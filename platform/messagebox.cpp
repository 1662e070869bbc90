#include "platform/messagebox.h"

#include "platform/backend.h"

namespace platform {

MessageAnswer ShowMessageBox(const MessageBoxRequest& request) {
  return CurrentBackend().ShowMessageBox(request);
}

MessageAnswer CancelAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    case MessageButtons::OkCancel:
    case MessageButtons::YesNoCancel:
    case MessageButtons::RetryCancel:
      break;
  }
  return MessageAnswer::Cancel;
}

}  // namespace platform
