// The printer service without a printer: nothing to choose, and every job fails to begin.
#include "platform/print/currentprinter.h"

#include "platform/system/services.h"
#include "platform/ui/discardingcanvas.h"

namespace platform {

namespace {

class NoPrinterDocument final : public PrinterDocument {
 public:
  Canvas& PageCanvas() override { return canvas_; }
  // Never used: no job begins.
  Resolution PageResolution() const override { return {1, 1}; }

 protected:
  bool DoBegin(PageOrientation) override { return false; }
  bool DoEnd() override { return false; }

 private:
  DiscardingCanvas canvas_;
};

class CommandLinePrinter final : public PrinterService {
 public:
  std::string CurrentName() override { return {}; }
  std::string PdfFile() override { return {}; }
  bool Choose() override { return false; }
  void SetOrientation(PageOrientation orientation) override { orientation_ = orientation; }
  PageOrientation Orientation() const override { return orientation_; }
  void SetJobTitle(const std::string&) override {}
  PrinterCaps Caps() override { return {}; }
  void UsePdf(const std::string&) override {}
  void ProposePdf(const std::string&) override {}
  PrinterDocument& Document() override { return document_; }

 private:
  PageOrientation orientation_ = PageOrientation::Portrait;
  NoPrinterDocument document_;
};

}  // namespace

std::unique_ptr<PrinterService> MakeCommandLinePrinter() {
  return std::make_unique<CommandLinePrinter>();
}

PrinterService& CurrentPrinter() {
  auto& printer = Slot<PrinterService>();
  if (!printer) printer = MakeCommandLinePrinter();
  return *printer;
}

}  // namespace platform
