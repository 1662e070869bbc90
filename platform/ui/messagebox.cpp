#include "platform/ui/messagebox.h"

namespace platform {

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
