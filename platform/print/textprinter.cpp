#include "platform/print/textprinter.h"

#include "platform/system/services.h"

namespace platform {

namespace {

// Without a printer a job prints nothing and cannot be completed.
class FailingJob final : public TextPrintJob {
 public:
  std::int32_t PageHeight() const override { return 1; }
  void SetFont(const TextFontSpec&) override {}
  void NewPage() override {}
  void DrawLine(std::int32_t, std::int32_t, const std::string&) override {}
  bool Finish() override { return false; }
};

class CommandLineTextPrinter final : public TextPrinterBackend {
 public:
  std::unique_ptr<TextPrintJob> Begin(PrintRangeRequest&) override {
    return std::make_unique<FailingJob>();
  }
};

}  // namespace

std::unique_ptr<TextPrinterBackend> MakeCommandLineTextPrinter() {
  return std::make_unique<CommandLineTextPrinter>();
}

TextPrinterBackend& TextPrinter() {
  auto& printer = Slot<TextPrinterBackend>();
  if (!printer) printer = MakeCommandLineTextPrinter();
  return *printer;
}

}  // namespace platform
