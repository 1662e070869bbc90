#include "platform/system/locale.h"

#include <cstdlib>

#include "platform/files/osfiles.h"

namespace platform {

std::string UserLocaleName() {
  for (const char* name : {"LC_ALL", "LANG"}) {
    if (std::string value = os::Variable(name); !value.empty()) return value;
  }
  return "C";
}

}  // namespace platform
