#include "platform/locale.h"

#include <cstdlib>

namespace platform {

std::string UserLocaleName() {
  for (const char* name : {"LC_ALL", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

}  // namespace platform
