#include "platform/qt/qtprinter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <optional>

#include "platform/files/osfiles.h"
#include "platform/qt/qtcanvas.h"
#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

class QtPrinterDocument : public PrinterDocument {
 public:
  explicit QtPrinterDocument(const std::string& pdfPath)
      : owned_(std::make_unique<QPrinter>(QPrinter::HighResolution)), printer_(*owned_) {
    if (!pdfPath.empty()) {
      printer_.setOutputFormat(QPrinter::PdfFormat);
      printer_.setOutputFileName(QString::fromStdString(os::HostName(pdfPath)));
    }
  }
  explicit QtPrinterDocument(QPrinter& printer) : printer_(printer) {}

  Canvas& PageCanvas() override { return *canvas_; }
  Resolution PageResolution() const override {
    return {printer_.resolution(), printer_.resolution()};
  }

 protected:
  bool DoBegin(PageOrientation orientation) override {
    printer_.setPageOrientation(orientation == PageOrientation::Landscape ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
    if (!painter_.begin(&printer_)) return false;
    const QRect page = printer_.pageLayout().paintRectPixels(printer_.resolution());
    canvas_.emplace(painter_, Size{page.width(), page.height()});
    return true;
  }

  bool DoEnd() override {
    canvas_.reset();
    return painter_.end();
  }

 private:
  std::unique_ptr<QPrinter> owned_;
  QPrinter& printer_;
  QPainter painter_;
  std::optional<PainterCanvas> canvas_;
};

}  // namespace

std::unique_ptr<PrinterDocument> MakePrinterDocument(const std::string& pdfPath) {
  return std::make_unique<QtPrinterDocument>(pdfPath);
}

std::unique_ptr<PrinterDocument> MakePrinterDocument(QPrinter& printer) {
  return std::make_unique<QtPrinterDocument>(printer);
}

}  // namespace platform::qt
