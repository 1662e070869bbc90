#include "tables/core/tzprogress.h"

#include <cstdint>
#include <memory>
#include <string>

#include "platform/system/clock.h"
#include "tables/core/bulkprogress.h"
#include "tables/core/tzmsg.h"

namespace dadav {

namespace {

constexpr std::uint32_t kIdlePumpMs = 100;

std::unique_ptr<TTzProgress100> openWindow;
std::uint32_t lastUpdateMs = 0;

void Open(const std::string& caption) {
  openWindow = TTzProgress100::CreateWithCaption(platform::ActiveFormHandle(), caption);
  lastUpdateMs = platform::TickCountMs();
}

void Step() {
  if (!openWindow) return;
  ProgressStep(*openWindow);
  lastUpdateMs = platform::TickCountMs();
}

void Idle() {
  if (!openWindow) return;
  const std::uint32_t now = platform::TickCountMs();
  if (now - lastUpdateMs < kIdlePumpMs) return;
  PumpMsgWindow(*openWindow);
  lastUpdateMs = now;
}

void Close() {
  openWindow.reset();
}

}  // namespace

void ConnectProgressWindow() {
  ProgressWindow = ProgressWindowHooks{&Open, &Step, &Idle, &Close};
}

}  // namespace dadav
