// Output to a text printer port ("LPT" + n). When the environment variable KV6_LPT<n> names a
// device file, the printer's own bytes are written straight to it. Otherwise the port is the
// print system: a job is UTF-8 text for its text filter ("lp" reading it on its standard input),
// since the printers it serves take no raw code-page text; it goes to the queue "LPT<n>" when that
// exists, else to the default destination.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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

// The printer port service of the platform's kit (platform/services.h). Without one no port has
// a device file and every job fails.
RawPrinter& RawPrinterPort();

std::unique_ptr<RawPrinter> MakeSystemRawPrinter();
std::unique_ptr<RawPrinter> MakeCommandLineRawPrinter();

}  // namespace platform
