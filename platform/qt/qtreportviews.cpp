#include "platform/qt/qtreportviews.h"

#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QMenuBar>
#include <QPageLayout>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include "platform/qt/qtcurrentprinter.h"
#include "platform/qt/qttext.h"

namespace platform::qt {

namespace {

QString Caption(const TaggedText& text) {
  return MenuTextToQString(text.bytes, text.codePage);
}

QFont ToQFont(const TextFontSpec& fontSpec) {
  QFont font(ToQString(fontSpec.face));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSize(fontSpec.pointSize > 0 ? fontSpec.pointSize : 10);
  font.setBold(fontSpec.bold);
  font.setItalic(fontSpec.italic);
  font.setUnderline(fontSpec.underline);
  font.setStrikeOut(fontSpec.strikeout);
  return font;
}

class QtTextViewer final : public TextViewerBackend {
 public:
  WindowRect Show(const TextViewerRequest& request) override {
    QDialog dialog;
    dialog.setObjectName("TForm_showtextfile");
    dialog.setWindowTitle(ToQString(request.caption));
    auto* layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(&dialog);
    layout->setMenuBar(bar);
    auto* memo = new QPlainTextEdit(&dialog);
    memo->setObjectName("Memo1");
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setFont(ToQFont(request.font));
    memo->setPlainText(QString::fromUtf8(request.textUtf8.data(),
                                         static_cast<qsizetype>(request.textUtf8.size())));
    layout->addWidget(memo);

    const ViewerMenuCaptions& m = request.menus;
    QMenu* file = bar->addMenu(Caption(m.file));
    QObject::connect(file->addAction(Caption(m.exportEditor)), &QAction::triggered, [&request] {
      if (request.onExport) request.onExport();
    });
    file->addAction(Caption(m.exportWordpad))->setVisible(false);
    file->addSeparator();
    QObject::connect(file->addAction(Caption(m.print)), &QAction::triggered, [&request] {
      if (request.onPrint) request.onPrint();
    });
    file->addSeparator();
    QObject::connect(file->addAction(Caption(m.exit)), &QAction::triggered, &dialog,
                     &QDialog::accept);
    QMenu* edit = bar->addMenu(Caption(m.edit));
    QObject::connect(edit->addAction(Caption(m.selectAll)), &QAction::triggered, memo,
                     &QPlainTextEdit::selectAll);
    QObject::connect(edit->addAction(Caption(m.copy)), &QAction::triggered, memo,
                     &QPlainTextEdit::copy);

    if (request.rect.width > 0 && request.rect.height > 0) {
      dialog.setGeometry(request.rect.left, request.rect.top, request.rect.width,
                         request.rect.height);
    } else {
      dialog.resize(630, 520);
    }
    dialog.exec();
    const QRect closed = dialog.geometry();
    return {closed.left(), closed.top(), closed.width(), closed.height()};
  }
};

class QtPrintJob final : public TextPrintJob {
 public:
  explicit QtPrintJob(std::unique_ptr<QPrinter> printer) : printer_(std::move(printer)) {
    painter_.begin(printer_.get());
  }
  std::int32_t PageHeight() const override {
    return printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
  }
  void SetFont(const TextFontSpec& font) override { painter_.setFont(ToQFont(font)); }
  void NewPage() override { printer_->newPage(); }
  void DrawLine(std::int32_t x, std::int32_t y, const std::string& text) override {
    painter_.drawText(x, y + painter_.fontMetrics().ascent(), ToQString(text));
  }
  bool Finish() override { return painter_.end(); }

 private:
  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
};

class QtTextPrinter final : public TextPrinterBackend {
 public:
  std::unique_ptr<TextPrintJob> Begin(PrintRangeRequest& request) override {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setDocName(ToQString(request.title));
    printer->setPageOrientation(QPageLayout::Portrait);
    // The run's current printer, unless it writes a PDF file: the report's file is its own.
    const QString current = CurrentQtPrinterName();
    const bool noPrinter = current.isEmpty();
    if (!noPrinter) printer->setPrinterName(current);
    if (noPrinter) {
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(ToQString(request.pdfFileName));
    }
    printer->setFromTo(request.fromPage, request.toPage);
    QPrintDialog dialog(printer.get());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(request.minPage, request.maxPage);
    dialog.setFromTo(request.fromPage, request.toPage);
    dialog.setPrintRange(QAbstractPrintDialog::PageRange);
    if (dialog.exec() != QDialog::Accepted) return nullptr;
    // Without a printer the dialog can only print to a file; keep the proposed one when the
    // dialog gave none.
    if (noPrinter && printer->outputFileName().isEmpty()) {
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(ToQString(request.pdfFileName));
    }
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
      request.fromPage = printer->fromPage();
      request.toPage = printer->toPage();
    } else {
      request.fromPage = request.minPage;
      request.toPage = request.maxPage;
    }
    return std::make_unique<QtPrintJob>(std::move(printer));
  }
};

}  // namespace

std::unique_ptr<TextViewerBackend> MakeQtTextViewer() {
  return std::make_unique<QtTextViewer>();
}
std::unique_ptr<TextPrinterBackend> MakeQtTextPrinter() {
  return std::make_unique<QtTextPrinter>();
}

}  // namespace platform::qt
