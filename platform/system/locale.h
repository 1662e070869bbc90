#pragma once
// The user's locale as the environment names it, the same for every backend.

#include <string>

namespace platform {

// LC_ALL when set and not empty, else LANG, else "C"; for example "de_DE.UTF-8" or "fr_CA".
std::string UserLocaleName();

}  // namespace platform
