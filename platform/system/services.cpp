#include "platform/system/services.h"

namespace platform {

Services& InstalledServices() {
  static auto* services = new Services;
  return *services;
}

void InstallServices(Services kit) {
  std::swap(InstalledServices(), kit);
}

}  // namespace platform
