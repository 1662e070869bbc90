// Printing the drawing into a PDF file through Qt: the golden connection's A4 production drawing
// with the form's preset and with the shipped "A4 sheet portrait" values, from a 4:3 and a wide
// window, and the A3 sheet across the page. pdfinfo reads the page size and title; pdftoppm
// renders each page, the sheet's lines lie where the printout's mapping puts them, and the
// profile's outer circle measures its diameter on paper.
#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/cadvar.h"
#include "cad/print/printcon.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "platform/headless/dialogscript.h"
#include "platform/headless/recordingsurface.h"
#include "platform/print/currentprinter.h"
#include "platform/qt/qtcurrentprinter.h"
#include "platform/system/services.h"
#include "tests/support/command.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/tempfolder.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct WorldBox {
  long double x1, y1, x2, y2;
};

class drawprint_pdf : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  void SetUp() override {
    InitWbrelvar();
    InitBrelvar();
    InitGraphicsSettings();
    InitPrintSetup();
    InitCadDefaults();
    StartCalculationUnits();
    window_.FormCreate();
    HorizontalPixels = kWidth - 1;
    VerticalPixels = kHeight - 1;
    TempDir = dir_.Path("");
    const auto golden = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                        "calc" / "golden" / "p3g60.kv6";
    ASSERT_TRUE(LoadCalcFile(golden.string()));
    CurrentFile = "p3g60";  // as opening the file names it
    CadBatch = 1;
    WinPrintMode = 1;
    folder_ = KV6_DRAWING_PNG_DIR;
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    CadBatch = 0;
    window_.Clear();
  }

  // Draws the drawing, then prints it into name.pdf with what act sets in the form, and renders
  // the page as name.png at dpi.
  void Print(std::uint16_t drawing, const std::string& name,
             const std::function<void(platform::Form&)>& act, int dpi = 100) {
    OutputDrawing(3, drawing);
    ASSERT_EQ(AbortFlag, 0);
    pdf_ = (folder_ / (name + ".pdf")).string();
    std::filesystem::remove(pdf_);
    platform::CurrentPrinter().UsePdf(pdf_);
    TForm_printconf form;
    QTimer::singleShot(0, [&] {
      act(form);
      form.Get<platform::Button>("Button_ok").Click();
    });
    ASSERT_EQ(form.ShowModal(), platform::ModalResult::Ok);
    ASSERT_EQ(AbortFlag, 0);
    ASSERT_EQ(Boxes("PDF: "), ++printed_);
    const std::string png = (folder_ / name).string();
    const CommandResult render = RunCommand("pdftoppm -r " + std::to_string(dpi) +
                                            " -gray -png -singlefile '" + pdf_ + "' '" + png + "'");
    ASSERT_EQ(render.status, 0) << render.output;
    ASSERT_TRUE(page_.load(QString::fromStdString(png + ".png")));
    renderDpi_ = dpi;
    // The mapping the printout used: the drawing's window, unzoomed.
    window_.RestoreLimit();
    window_.ResetZoom();
    const platform::PrinterCaps caps = platform::CurrentPrinter().Caps();
    pw_ = *caps.widthPixels;
    ph_ = *caps.heightPixels;
    dpi_ = *caps.dpiX;
  }

  std::string PdfInfo() const { return RunCommand("pdfinfo '" + pdf_ + "'").output; }
  // The page size pdfinfo reads, in points.
  std::pair<double, double> PageSize() const {
    const CommandResult size =
        RunCommand("pdfinfo '" + pdf_ +
                   "' | sed -n 's/^Page size: *\\([0-9.]*\\) x \\([0-9.]*\\).*/\\1 \\2/p'");
    std::pair<double, double> points;
    const char* end = size.output.data() + size.output.size();
    const char* next = std::from_chars(size.output.data(), end, points.first).ptr;
    if (next != end) std::from_chars(next + 1, end, points.second);
    return points;
  }
  int Boxes(const std::string& text) const {
    int count = 0;
    for (const std::string& line : dialogs_->Transcript())
      count += line.find(text) != std::string::npos;
    return count;
  }

  // The rendered page's pixel of a point of the world.
  double PageX(long double x) const { return WorldToPrinterX(x, Page()) * renderDpi_ / dpi_; }
  double PageY(long double y) const { return WorldToPrinterY(y, Page()) * renderDpi_ / dpi_; }
  PageGeometry Page() const { return {{pw_, ph_}, {dpi_, dpi_}}; }
  double Pixels(double mm) const { return mm * renderDpi_ / 25.4; }
  bool Dark(int x, int y) const {
    return x >= 0 && y >= 0 && x < page_.width() && y < page_.height() &&
           qGray(page_.pixel(x, y)) < 128;
  }
  bool DarkNear(double x, double y) const {
    const int cx = static_cast<int>(std::lround(x));
    const int cy = static_cast<int>(std::lround(y));
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx)
        if (Dark(cx + dx, cy + dy)) return true;
    return false;
  }
  // Ten points along each edge of the rectangle have ink within 3 pixels.
  void ExpectRectangleDrawn(const WorldBox& b, const std::string& what) const {
    for (int i = 0; i < 10; ++i) {
      const long double t = (i + 0.5L) / 10;
      const long double x = b.x1 + t * (b.x2 - b.x1);
      const long double y = b.y1 + t * (b.y2 - b.y1);
      EXPECT_TRUE(DarkNear(PageX(x), PageY(b.y1))) << what << " bottom " << i;
      EXPECT_TRUE(DarkNear(PageX(x), PageY(b.y2))) << what << " top " << i;
      EXPECT_TRUE(DarkNear(PageX(b.x1), PageY(y))) << what << " left " << i;
      EXPECT_TRUE(DarkNear(PageX(b.x2), PageY(y))) << what << " right " << i;
    }
  }
  // The share of dark pixels inside the mapped box.
  double DarkShare(const WorldBox& b) const {
    int dark = 0, all = 0;
    for (int y = static_cast<int>(PageY(b.y2)); y <= static_cast<int>(PageY(b.y1)); ++y)
      for (int x = static_cast<int>(PageX(b.x1)); x <= static_cast<int>(PageX(b.x2)); ++x) {
        ++all;
        dark += Dark(x, y);
      }
    return all == 0 ? 0 : static_cast<double>(dark) / all;
  }
  // Dark pixels outside the mapped box, widened by 3 pixels.
  int DarkOutside(const WorldBox& b) const {
    const double left = PageX(b.x1) - 3, right = PageX(b.x2) + 3;
    const double top = PageY(b.y2) - 3, bottom = PageY(b.y1) + 3;
    int count = 0;
    for (int y = 0; y < page_.height(); ++y)
      for (int x = 0; x < page_.width(); ++x)
        if ((x < left || x > right || y < top || y > bottom) && Dark(x, y)) ++count;
    return count;
  }
  // The middle of the last dark run along a row (dx) or column (dy) from (x, y), from and to the
  // distances given in pixels; -1 when none.
  double LastRunMiddle(int x, int y, int dx, int dy, int from, int to) const {
    int first = -1, last = -1;
    for (int d = from; d <= to; ++d) {
      if (!Dark(x + d * dx, y + d * dy)) continue;
      if (last != d - 1) first = d;
      last = d;
    }
    return last < 0 ? -1 : (first + last) / 2.0;
  }
  // The diameters across and down of the circle about (x, y) on the page (millimetres) whose
  // radius lies between the two given: from the middles of the outermost dark runs.
  std::pair<double, double> MeasuredDiameters(double x, double y, double inner,
                                              double outer) const {
    const int cx = static_cast<int>(std::lround(Pixels(x)));
    const int cy = static_cast<int>(std::lround(Pixels(y)));
    const int from = static_cast<int>(Pixels(inner));
    const int to = static_cast<int>(Pixels(outer));
    const auto mm = [this](double pixels) { return pixels * 25.4 / renderDpi_; };
    return {mm(LastRunMiddle(cx, cy, 1, 0, from, to) + LastRunMiddle(cx, cy, -1, 0, from, to)),
            mm(LastRunMiddle(cx, cy, 0, 1, from, to) + LastRunMiddle(cx, cy, 0, -1, from, to))};
  }
  // The trim lies on the page's edges, where only half its line is on the paper; with trim it is
  // looked for too.
  void ExpectSheetOfDrawing8(bool trim) const {
    if (trim) ExpectRectangleDrawn({0, 0, 210, 297}, "trim");
    ExpectRectangleDrawn({20, 10, 200, 287}, "border");
    EXPECT_GE(DarkShare({20, 10, 200, 46}), 0.01);
    EXPECT_GE(DarkShare({80, 190, 140, 250}), 0.01);
    EXPECT_EQ(DarkOutside({-5, -5, 215, 307}), 0);
  }

  platform::headless::DialogScript dialogs_;
  TempFolder dir_;
  platform::RecordingDrawSurface surface_{{kWidth, kHeight}};
  TFbrelgra window_{surface_};
  TDrawer drawer_;
  std::filesystem::path folder_;
  std::string pdf_;
  QImage page_;
  int printed_ = 0;
  std::int32_t pw_ = 0, ph_ = 0, dpi_ = 600;
  int renderDpi_ = 100;
};

void SetA4SheetPortrait(platform::Form& form) {
  form.Get<platform::Edit>("Edit_scalex").TypeText("1.0000");
  form.Get<platform::Edit>("Edit_scaley").TypeText("1.0000");
  form.Get<platform::Edit>("Edit_xorigin").TypeText("-5");
  form.Get<platform::Edit>("Edit_yorigin").TypeText("-10");
  form.Get<platform::RadioGroup>("RadioGroup_hochquer").Choose(0);
  form.Get<platform::RadioGroup>("RadioGroup_printmono").Choose(0);
  form.Get<platform::CheckBox>("CheckBox_anpassen").Click();
}

// The preset prints the "M 1:1" sheet true to scale, its trim on the page's edges: the view's
// centre (110, 220) lies 115 mm right of the window's left edge (-5) and 87 mm below its top
// (307), less the origin's 5 and 10 mm; its outer circle, d2 = 64.5 mm, measures that on paper.
TEST_F(drawprint_pdf, Drawing8WithThePresetPrintsTheSheetTrueToScale) {
  Print(
      8, "drawing8_preset",
      [](platform::Form& form) {
        EXPECT_EQ(form.Get<platform::Edit>("Edit_scalex").Text(), "1");
        EXPECT_EQ(form.Get<platform::Edit>("Edit_scaley").Text(), "1");
      },
      300);
  const std::string info = PdfInfo();
  EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
  EXPECT_NEAR(PageSize().first, 595.3, 1) << info;
  EXPECT_NEAR(PageSize().second, 841.9, 1) << info;
  EXPECT_NE(info.find("Title:           p3g60\n"), std::string::npos) << info;
  ExpectSheetOfDrawing8(false);
  const auto [across, down] = MeasuredDiameters(110, 77, 29, 36);
  EXPECT_NEAR(across, 64.5, 0.645);
  EXPECT_NEAR(down, 64.5, 0.645);
}

// A wide window (1600 x 1000) prints the same sheet as a 4:3 one: the shipped A4 setup, "fit
// limits" on, keeps the circle round and true to scale.
TEST_F(drawprint_pdf, Drawing8WithTheA4SheetSetupPrintsTrueToScaleFromAWideWindow) {
  HorizontalPixels = 1599;
  VerticalPixels = 999;
  surface_.SetClientSize({1600, 1000});
  Print(8, "drawing8_a4", SetA4SheetPortrait, 300);
  ExpectSheetOfDrawing8(false);
  const auto [across, down] = MeasuredDiameters(110, 77, 29, 36);
  EXPECT_NEAR(across, 64.5, 0.645);
  EXPECT_NEAR(down, 64.5, 0.645);
  EXPECT_NEAR(PageX(210) - PageX(0), Pixels(210), 2);
  EXPECT_NEAR(PageY(0) - PageY(297), Pixels(297), 2);
}

TEST_F(drawprint_pdf, Drawing12WithTheA3SheetSetupPrintsAcrossThePage) {
  Print(12, "drawing12_a3", [](platform::Form& form) {
    form.Get<platform::Edit>("Edit_scalex").TypeText("0.7");
    form.Get<platform::Edit>("Edit_scaley").TypeText("0.7");
    form.Get<platform::Edit>("Edit_xorigin").TypeText("-1");
    form.Get<platform::Edit>("Edit_yorigin").TypeText("-5");
    form.Get<platform::RadioGroup>("RadioGroup_hochquer").Choose(1);
    form.Get<platform::CheckBox>("CheckBox_anpassen").Click();
  });
  EXPECT_NEAR(PageSize().first, 841.9, 1) << PdfInfo();
  EXPECT_NEAR(PageSize().second, 595.3, 1);
  ExpectRectangleDrawn({0, 0, 420, 297}, "A3 trim");
}

// Without a printer the drawing goes into a PDF file beside the calculation file, named after it.
TEST_F(drawprint_pdf, WithoutAPrinterThePrintoutIsAPdfInTheDataFolder) {
  platform::Substitute<platform::PrinterService, platform::PrinterService> fresh(
      platform::qt::MakeQtCurrentPrinter());
  if (!platform::qt::CurrentQtPrinterName().isEmpty()) GTEST_SKIP() << "a printer is installed";
  DataDir = dir_.Dir();
  OutputDrawing(3, 11);
  TForm_printconf form;
  QTimer::singleShot(0, [&] { form.Get<platform::Button>("Button_ok").Click(); });
  ASSERT_EQ(form.ShowModal(), platform::ModalResult::Ok);
  EXPECT_EQ(AbortFlag, 0);
  pdf_ = dir_.Path("p3g60_drawing.pdf");
  EXPECT_NE(PdfInfo().find("Pages:           1\n"), std::string::npos);
  EXPECT_EQ(Boxes("PDF: " + pdf_), 1);
}

TEST_F(drawprint_pdf, ThePdfWritersInformation) {
  platform::CurrentPrinter().UsePdf(dir_.Path("x.pdf"));
  platform::CurrentPrinter().SetOrientation(platform::PageOrientation::Portrait);
  const auto rows = PrinterInfoRows(platform::CurrentPrinter().Caps());
  ASSERT_GE(rows.size(), 16u);
  EXPECT_EQ(rows[0].second, "PDF: " + dir_.Path("x.pdf"));
  EXPECT_EQ(rows[2].second, "Metafile");
  EXPECT_EQ(rows[3].second, "210");
  EXPECT_EQ(rows[4].second, "297");
  // The whole sheet at 600 dpi, as Qt counts it in whole points.
  EXPECT_NEAR(std::stoi(rows[5].second), 4961, 5);
  EXPECT_NEAR(std::stoi(rows[6].second), 7016, 5);
  EXPECT_EQ(rows[7].second, "0");
  EXPECT_EQ(rows[8].second, "0");
  EXPECT_EQ(rows[9].second, "600");
  EXPECT_EQ(rows[10].second, "600");
  EXPECT_EQ(rows[14].second, "-1");
}

}  // namespace
