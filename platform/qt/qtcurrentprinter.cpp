#include "platform/qt/qtcurrentprinter.h"

#include <QFontDatabase>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <cmath>

#include "platform/files/osfiles.h"
#include "platform/qt/qtprinter.h"
#include "platform/qt/qttext.h"
#include "platform/system/services.h"

namespace platform::qt {

namespace {

constexpr int kPdfResolution = 600;

std::int32_t HalfEven(qreal value) {
  return static_cast<std::int32_t>(std::lrint(value));
}

class QtCurrentPrinter final : public PrinterService {
 public:
  QtCurrentPrinter() : printer_(QPrinter::HighResolution) {
    QPrinterInfo system = QPrinterInfo::defaultPrinter();
    if (system.isNull() && !QPrinterInfo::availablePrinters().isEmpty()) {
      system = QPrinterInfo::availablePrinters().front();
    }
    if (system.isNull()) {
      MakePdfWriter("");
      pdfProposed_ = true;
    } else {
      printer_.setPrinterName(system.printerName());
    }
  }

  std::string CurrentName() override {
    return WritesFile() ? "PDF: " + PdfFile() : FromQString(printer_.printerName());
  }

  std::string PdfFile() override {
    return WritesFile() ? os::ProgramName(printer_.outputFileName().toStdString()) : std::string();
  }

  bool Choose() override {
    QPrintDialog dialog(&printer_);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) return false;
    pdfProposed_ = false;
    return true;
  }

  void SetOrientation(PageOrientation orientation) override {
    printer_.setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
  }

  PageOrientation Orientation() const override {
    return printer_.pageLayout().orientation() == QPageLayout::Landscape
               ? PageOrientation::Landscape
               : PageOrientation::Portrait;
  }

  void SetJobTitle(const std::string& title) override { printer_.setDocName(ToQString(title)); }

  PrinterCaps Caps() override {
    const QPageLayout layout = printer_.pageLayout();
    const int dpi = printer_.resolution();
    const QRectF mm = layout.paintRect(QPageLayout::Millimeter);
    const QRect pixels = layout.paintRectPixels(dpi);
    PrinterCaps caps;
    caps.name = CurrentName();
    caps.technology = WritesFile() ? kTechnologyMetafile : kTechnologyRasterPrinter;
    caps.widthMm = HalfEven(mm.width());
    caps.heightMm = HalfEven(mm.height());
    caps.widthPixels = pixels.width();
    caps.heightPixels = pixels.height();
    caps.offsetX = WritesFile() ? 0 : pixels.left();
    caps.offsetY = WritesFile() ? 0 : pixels.top();
    caps.dpiX = caps.dpiY = dpi;
    caps.colours =
        WritesFile() || QPrinterInfo(printer_).supportedColorModes().contains(QPrinter::Color) ? -1
                                                                                               : 2;
    for (const QString& family : QFontDatabase::families())
      caps.fonts.push_back(FromQString(family));
    return caps;
  }

  void UsePdf(const std::string& path) override {
    MakePdfWriter(path);
    pdfProposed_ = false;
  }

  void ProposePdf(const std::string& path) override {
    if (pdfProposed_) MakePdfWriter(path);
  }

  PrinterDocument& Document() override {
    document_ = MakePrinterDocument(printer_);
    return *document_;
  }

  QString SystemName() const { return WritesFile() ? QString() : printer_.printerName(); }

 private:
  bool WritesFile() const {
    return printer_.outputFormat() == QPrinter::PdfFormat || !printer_.outputFileName().isEmpty();
  }

  // A4 at 600 dpi without margins, the whole sheet printable.
  void MakePdfWriter(const std::string& path) {
    printer_.setOutputFormat(QPrinter::PdfFormat);
    printer_.setResolution(kPdfResolution);
    // Exactly 210 x 297 mm: Qt's own A4 is rounded to whole points.
    printer_.setPageSize(
        QPageSize(QSizeF(210, 297), QPageSize::Millimeter, "A4", QPageSize::ExactMatch));
    printer_.setFullPage(true);
    printer_.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer_.setOutputFileName(QString::fromStdString(os::HostName(path)));
  }

  QPrinter printer_;
  // The PDF writer stands in for a missing printer and takes the file the program proposes.
  bool pdfProposed_ = false;
  std::unique_ptr<PrinterDocument> document_;
};

}  // namespace

std::unique_ptr<PrinterService> MakeQtCurrentPrinter() {
  return std::make_unique<QtCurrentPrinter>();
}

QString CurrentQtPrinterName() {
  auto* printer = dynamic_cast<QtCurrentPrinter*>(&CurrentPrinter());
  return printer == nullptr ? QString() : printer->SystemName();
}

}  // namespace platform::qt
