// Output to a text printer port ("LPT" + n). When the environment variable KV6_LPT<n> names a
// device file, the printer's own bytes are written straight to it. Otherwise the port is the
// print system: a job is UTF-8 text for its text filter ("lp" reading it on its standard input),
// since the printers it serves take no raw code-page text; it goes to the queue "LPT<n>" when that
// exists, else to the default destination.
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
  // True when the port is a device file that takes the printer's own bytes.
  virtual bool HasDeviceFile(std::int32_t port) = 0;
  // Writes the file's bytes unchanged to the port's device file as one job; false when they could
  // not be handed over.
  virtual bool SendRaw(std::int32_t port, const std::string& fileName) = 0;
  // Prints a UTF-8 text file as one job through the print system; false when it was refused.
  virtual bool SendText(std::int32_t port, const std::string& fileName) = 0;
};

// Without an installed one the system's printing serves.
void InstallRawPrinter(std::unique_ptr<RawPrinter> printer);
RawPrinter& RawPrinterPort();

// Keeps each job's bytes, raw ones in `jobs` and text ones in `textJobs`; every port is a device
// file while `deviceFile` is set; fails every job while `fail` is set.
class RecordingRawPrinter final : public RawPrinter {
 public:
  bool HasDeviceFile(std::int32_t) override { return deviceFile; }
  bool SendRaw(std::int32_t port, const std::string& fileName) override;
  bool SendText(std::int32_t port, const std::string& fileName) override;
  std::vector<std::pair<std::int32_t, std::string>> jobs;
  std::vector<std::pair<std::int32_t, std::string>> textJobs;
  bool deviceFile = true;
  bool fail = false;
};
RecordingRawPrinter& UseRecordingRawPrinter();

}  // namespace platform
