// The printers of a run without a display: a list a test fills with names and capabilities, or
// none, and then the PDF writer. Print dialogs are answered by the dialog script as a list of the
// printers' names (a typed text chooses a PDF file); jobs are recorded on an A4 page at 600 dpi.
#pragma once

#include <string>
#include <vector>

#include "platform/headless/recordingprinter.h"
#include "platform/print/currentprinter.h"

namespace platform::headless {

// A recorded job whose Begin or End a test can make fail.
class ScriptedPrinterDocument final : public RecordingPrinterDocument {
 public:
  bool failBegin = false;
  bool failEnd = false;

 protected:
  bool DoBegin(PageOrientation orientation) override {
    return !failBegin && RecordingPrinterDocument::DoBegin(orientation);
  }
  bool DoEnd() override { return RecordingPrinterDocument::DoEnd() && !failEnd; }
};

class ScriptedPrinters final : public PrinterService {
 public:
  // The first printer added becomes current, as the system's default would.
  void AddPrinter(PrinterCaps caps);
  ScriptedPrinterDocument& Job() { return document_; }
  const std::string& JobTitle() const { return title_; }

  std::string CurrentName() override;
  std::string PdfFile() override;
  bool Choose() override;
  void SetOrientation(PageOrientation orientation) override { orientation_ = orientation; }
  PageOrientation Orientation() const override { return orientation_; }
  void SetJobTitle(const std::string& title) override { title_ = title; }
  PrinterCaps Caps() override;
  void UsePdf(const std::string& path) override;
  void ProposePdf(const std::string& path) override;
  PrinterDocument& Document() override { return document_; }

 private:
  std::vector<PrinterCaps> printers_;
  int current_ = -1;  // -1 the PDF writer
  bool pdfChosen_ = false;
  std::string pdfFile_;
  std::string title_;
  PageOrientation orientation_ = PageOrientation::Portrait;
  ScriptedPrinterDocument document_;
};

// The A4 page of the PDF writer at 600 dpi, 4961 x 7016 pixels upright.
PrinterCaps PdfWriterCaps(const std::string& file, PageOrientation orientation);

}  // namespace platform::headless
