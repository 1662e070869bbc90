// Raw output to a text printer port ("LPT" + n): the bytes go unchanged to the printer. When the
// environment variable KV6_LPT<n> names a device file they are written straight to it; otherwise
// they go through "lp -o raw" to the CUPS queue "LPT<n>" when it exists, else to the default
// destination.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

class RawPrinter {
 public:
  virtual ~RawPrinter() = default;
  // Sends the file's bytes as one job; false when they could not be handed over.
  virtual bool SendRaw(std::int32_t port, const std::string& fileName) = 0;
};

// Without an installed one the system's printing serves.
void InstallRawPrinter(std::unique_ptr<RawPrinter> printer);
RawPrinter& RawPrinterPort();
bool SendRaw(std::int32_t port, const std::string& fileName);

// Keeps each job's bytes; fails every job while `fail` is set.
class RecordingRawPrinter final : public RawPrinter {
 public:
  bool SendRaw(std::int32_t port, const std::string& fileName) override;
  std::vector<std::pair<std::int32_t, std::string>> jobs;
  bool fail = false;
};
RecordingRawPrinter& UseRecordingRawPrinter();

}  // namespace platform
