#include "platform/headless/scriptedprinters.h"

#include <utility>

#include "platform/ui/dialog.h"

namespace platform::headless {

PrinterCaps PdfWriterCaps(const std::string& file, PageOrientation orientation) {
  const bool landscape = orientation == PageOrientation::Landscape;
  PrinterCaps caps;
  caps.name = "PDF: " + file;
  caps.technology = kTechnologyMetafile;
  caps.widthMm = landscape ? 297 : 210;
  caps.heightMm = landscape ? 210 : 297;
  caps.widthPixels = landscape ? 7016 : 4961;
  caps.heightPixels = landscape ? 4961 : 7016;
  caps.offsetX = caps.offsetY = 0;
  caps.dpiX = caps.dpiY = 600;
  caps.colours = -1;
  return caps;
}

void ScriptedPrinters::AddPrinter(PrinterCaps caps) {
  printers_.push_back(std::move(caps));
  if (current_ < 0 && !pdfChosen_) current_ = 0;
}

std::string ScriptedPrinters::CurrentName() {
  return current_ < 0 ? "PDF: " + pdfFile_ : printers_[static_cast<std::size_t>(current_)].name;
}

std::string ScriptedPrinters::PdfFile() {
  return current_ < 0 ? pdfFile_ : std::string();
}

bool ScriptedPrinters::Choose() {
  DialogRequest request;
  request.kind = DialogKind::List;
  request.caption = "Print";
  for (const PrinterCaps& printer : printers_) request.items.push_back(printer.name);
  request.selected = current_;
  const DialogResult result = Dialogs().RunDialog(request);
  if (result.close != DialogClose::Ok) return false;
  if (!result.text.empty()) {
    UsePdf(result.text);
  } else if (result.selected >= 0 && result.selected < static_cast<int>(printers_.size())) {
    current_ = result.selected;
  }
  return true;
}

PrinterCaps ScriptedPrinters::Caps() {
  if (current_ < 0) return PdfWriterCaps(pdfFile_, orientation_);
  return printers_[static_cast<std::size_t>(current_)];
}

void ScriptedPrinters::UsePdf(const std::string& path) {
  current_ = -1;
  pdfChosen_ = true;
  pdfFile_ = path;
}

void ScriptedPrinters::ProposePdf(const std::string& path) {
  if (current_ < 0 && !pdfChosen_) pdfFile_ = path;
}

}  // namespace platform::headless
