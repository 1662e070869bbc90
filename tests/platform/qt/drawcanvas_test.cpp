#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "platform/headless/recordingsurface.h"
#include "platform/qt/qtcanvas.h"
#include "platform/qt/qtmainwindow.h"
#include "platform/qt/qtprinter.h"
#include "platform/qt/renderpng.h"
#include "platform/ui/windowsurface.h"
#include "tests/support/command.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/tempfolder.h"

namespace {

class DrawCanvasTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartQtBackend(); }
  DrawCanvasTest() {
    InitWbrelvar();
    InitBrelvar();
    HorizontalPixels = 640;
    VerticalPixels = 480;
    ColourGraphics = 1;
    InitGraphicsSettings();
    window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  }
  QImage Render() {
    const std::string path = dir_.Path("out.png");
    EXPECT_TRUE(platform::qt::RenderPng(path, {640, 480},
                                        [this](platform::Canvas& c) { window_.OnPaint(c); }));
    const CommandResult check = RunCommand("pngcheck -q " + path);
    EXPECT_EQ(check.status, 0) << check.output;
    return QImage(QString::fromStdString(path));
  }
  TempFolder dir_;
  platform::RecordingDrawSurface surface_;
  TFbrelgra window_{surface_};
  TDrawer drawer_;
};

TEST_F(DrawCanvasTest, LineArcCircleAndSolidInTheirColours) {
  window_.SetColor(12);
  window_.line(10, 240, 300, 240);  // red across y = 240
  window_.SetColor(10);
  window_.circle(400, 300, 50);  // green, hollow
  window_.SetColor(9);
  window_.Arc(400, 100, 0, 90, 40, 90);  // blue first quadrant only
  window_.SetColor(14);
  window_.Solid(20, 20, 60, 20, 60, 60, 20, 60);
  const QImage image = Render();
  EXPECT_EQ(image.pixelColor(150, 240), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(400, 130), QColor(0, 255, 0));
  EXPECT_NE(image.pixelColor(400, 180), QColor(0, 255, 0)) << "the circle stays hollow";
  EXPECT_EQ(image.pixelColor(400, 180), QColor(1, 0, 0)) << "background colour";
  bool quadrantInk = false, otherInk = false;
  for (int a = 5; a < 85; a += 5) {
    const double r = a * 3.14159265 / 180;
    quadrantInk |= image.pixelColor(400 + static_cast<int>(40 * std::cos(r)),
                                    380 - static_cast<int>(40 * std::sin(r))) == QColor(0, 0, 255);
    otherInk |= image.pixelColor(400 - static_cast<int>(40 * std::cos(r)),
                                 380 + static_cast<int>(40 * std::sin(r))) == QColor(0, 0, 255);
  }
  EXPECT_TRUE(quadrantInk);
  EXPECT_FALSE(otherInk);
  EXPECT_EQ(image.pixelColor(40, 440), QColor(255, 255, 0));
}

TEST_F(DrawCanvasTest, WideDashedLinesKeepTheirGaps) {
  window_.SetColor(12);
  window_.SetLineWidth(4);
  window_.SetLineStyle(3);
  window_.line(0, 240, 640, 240);
  const QImage image = Render();
  int ink = 0, gap = 0;
  for (int x = 0; x < 600; ++x) (image.pixelColor(x, 240) == QColor(255, 0, 0) ? ink : gap)++;
  EXPECT_GT(ink, 300);
  EXPECT_GT(gap, 60);
}

TEST_F(DrawCanvasTest, TextInkAtZeroAndNinetyDegrees) {
  window_.SetColor(12);
  window_.SetTextStyle(0, 20, 12, 2);
  window_.OutTextXY(100, 300, "HHHH");
  window_.SetTextStyle(90, 20, 12, 2);
  window_.OutTextXY(400, 100, "HHHH");
  const QImage image = Render();
  auto inkIn = [&image](int x1, int y1, int x2, int y2) {
    for (int x = x1; x < x2; ++x) {
      for (int y = y1; y < y2; ++y) {
        if (image.pixelColor(x, y) == QColor(255, 0, 0)) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(inkIn(100, 148, 200, 180)) << "horizontal text right of its point";
  EXPECT_TRUE(inkIn(368, 290, 400, 380)) << "vertical text runs upwards";
}

TEST_F(DrawCanvasTest, RedrawAfterClearWithTheSameColourShowsTheDrawing) {
  window_.SetColor(12);
  window_.line(10, 240, 300, 240);
  window_.Clear();
  window_.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  window_.SetColor(12);
  window_.line(10, 240, 300, 240);
  EXPECT_EQ(Render().pixelColor(150, 240), QColor(255, 0, 0));
}

TEST_F(DrawCanvasTest, TheWindowShowsWhatThePngShows) {
  platform::MainWindow main;
  platform::WindowDrawSurface surface(main, nullptr);
  TFbrelgra shown(surface);
  main.SetClientSize({640, 480});
  shown.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  shown.SetColor(12);
  shown.line(10, 240, 300, 200);
  shown.SetLineStyle(3);
  shown.circle(400, 300, 50);
  shown.SetColor(9);
  shown.Arc(400, 100, 30, 250, 40, 220);
  shown.SetTextStyle(0, 20, 12, 2);
  shown.OutTextXY(100, 300, "P3G");
  shown.Solid(20, 20, 60, 20, 60, 60, 20, 60);
  main.Show();
  QApplication::processEvents();
  const QImage grabbed = platform::qt::QtWindowOf(main).centralWidget()->grab().toImage();
  EXPECT_EQ(grabbed.convertToFormat(QImage::Format_RGB32),
            Render().convertToFormat(QImage::Format_RGB32));
  EXPECT_TRUE(main.Close());
}

// The window on a screen of pixel ratio 2, which needs an application started at that scale:
// run in a child process of its own, it exits with 0 when the window shows exactly what a
// painter at that ratio draws, every one-pixel line one screen pixel wide.
void ExitWithSharpnessAtRatioTwo() {
  setenv("QT_SCALE_FACTOR", "2", 1);
  StartQtBackend();
  HorizontalPixels = 640;
  VerticalPixels = 480;
  InitGraphicsSettings();
  platform::MainWindow main;
  platform::WindowDrawSurface surface(main, nullptr);
  TFbrelgra shown(surface);
  TDrawer drawer;
  main.SetClientSize({640, 480});
  shown.SetWindow(false, false, 0, 0, 1, 1, 0, 0, 640, 480);
  shown.SetColor(12);
  shown.line(10, 240, 300, 200);
  shown.line(320, 10, 330, 470);
  shown.SetLineStyle(3);
  shown.circle(400, 300, 50);
  main.Show();
  QApplication::processEvents();
  QWidget& drawing = *platform::qt::QtWindowOf(main).centralWidget();
  const QImage grabbed = drawing.grab().toImage().convertToFormat(QImage::Format_RGB32);
  QImage painted(grabbed.size(), QImage::Format_RGB32);
  painted.setDevicePixelRatio(2);
  painted.fill(Qt::white);
  {
    QPainter painter(&painted);
    platform::qt::PainterCanvas canvas(painter, {drawing.width(), drawing.height()});
    shown.OnPaint(canvas);
  }
  const bool sharp = drawing.devicePixelRatioF() == 2 && grabbed.size() == drawing.size() * 2 &&
                     grabbed == painted;
  main.Close();
  std::fprintf(stderr, "ratio %g, %dx%d pixels for %dx%d, %s\n", drawing.devicePixelRatioF(),
               grabbed.width(), grabbed.height(), drawing.width(), drawing.height(),
               grabbed == painted ? "as painted" : "not as painted");
  std::exit(sharp ? 0 : 1);
}

TEST(DrawingWindowRatioTwo, TheWindowDrawsOnTheScreensOwnPixels) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ExitWithSharpnessAtRatioTwo(), ::testing::ExitedWithCode(0), "");
}

// The printout is true to scale: the world's millimetres from its top (480) are the page's, so
// the line 80 mm below it crosses the 210 mm high page.
TEST_F(DrawCanvasTest, PrintingReplaysOntoOneLandscapePdfPage) {
  window_.SetColor(12);
  window_.line(0, 400, 640, 400);
  const std::string pdf = dir_.Path("print.pdf");
  auto document = platform::qt::MakePrinterDocument(pdf);
  ASSERT_TRUE(document->Begin(platform::PageOrientation::Landscape));
  Printing = 1;
  window_.FormPaint();
  Printing = 0;
  ASSERT_TRUE(document->End());
  const std::string info = RunCommand("pdfinfo " + pdf).output;
  EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
  const auto size = info.find("Page size:");
  ASSERT_NE(size, std::string::npos);
  double w = 0, h = 0;
  std::sscanf(info.c_str() + size, "Page size: %lf x %lf", &w, &h);
  EXPECT_GT(w, h) << "landscape";
  const std::string png = dir_.Path("page");
  RunCommand("pdftoppm -r 30 -png -singlefile " + pdf + " " + png);
  const QImage page(QString::fromStdString(png + ".png"));
  ASSERT_FALSE(page.isNull());
  int black = 0;
  for (int y = 0; y < page.height(); ++y) {
    if (page.pixelColor(page.width() / 2, y).lightness() < 100) ++black;
  }
  EXPECT_GT(black, 0) << "the line is on the page";
}

}  // namespace
