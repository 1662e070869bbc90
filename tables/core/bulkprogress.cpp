#include "tables/core/bulkprogress.h"

#include <algorithm>

namespace dadav {
namespace {

constexpr std::uint32_t kSteps = 100;

}  // namespace

ProgressWindowHooks ProgressWindow;

AppendProgress::AppendProgress(bool show, std::uint64_t total)
    : show_(show), stepBytes_(std::max<std::uint64_t>(1, total / kSteps)) {
  if (show_ && ProgressWindow.open != nullptr) ProgressWindow.open("Appending...");
}

AppendProgress::~AppendProgress() {
  if (show_ && ProgressWindow.close != nullptr) ProgressWindow.close();
}

void AppendProgress::Reach(std::uint64_t done) {
  if (!show_) return;
  const auto due = static_cast<std::uint32_t>(std::min<std::uint64_t>(kSteps, done / stepBytes_));
  if (due == shown_) {
    if (ProgressWindow.idle != nullptr) ProgressWindow.idle();
    return;
  }
  for (; shown_ < due; ++shown_) {
    if (ProgressWindow.step != nullptr) ProgressWindow.step();
  }
}

}  // namespace dadav
