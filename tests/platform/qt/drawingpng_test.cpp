// The twelve drawings of the golden connection painted by Qt offscreen at 1280 x 1024 and written
// as PNG files into the build tree: each shows a drawing, and pngcheck accepts each file.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <filesystem>
#include <map>
#include <string>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "base/draw/hgvar.h"
#include "base/settings/brelvar.h"
#include "base/settings/wbrelvar.h"
#include "base/settings/wprinvar.h"
#include "cad/drawings/outputdrawing.h"
#include "cad/layer/cadvar.h"
#include "calc/calcfile.h"
#include "calc/calcstart.h"
#include "platform/headless/recordingsurface.h"
#include "platform/qt/renderpng.h"
#include "tests/support/command.h"
#include "tests/support/qt/qtapp.h"
#include "tests/support/tempfolder.h"

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

// The pixels whose colour differs from the most frequent one, the background.
int InkPixels(const QImage& image) {
  std::map<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
  int background = 0;
  for (const auto& [colour, count] : counts) background = std::max(background, count);
  return image.width() * image.height() - background;
}

class DrawingPng : public ::testing::Test {
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
    CadBatch = 1;  // the contour drawings take their settings without the form
  }
  void TearDown() override {
    CadBatch = 0;
    window_.Clear();
  }

  TempFolder dir_;
  platform::RecordingDrawSurface surface_{{kWidth, kHeight}};
  TFbrelgra window_{surface_};
  TDrawer drawer_;
};

TEST_F(DrawingPng, EveryDrawingPaintsAValidPng) {
  const std::filesystem::path folder = KV6_DRAWING_PNG_DIR;
  std::filesystem::create_directories(folder);
  for (std::uint16_t drawing = 1; drawing <= 12; ++drawing) {
    OutputDrawing(3, drawing);
    ASSERT_EQ(AbortFlag, 0) << drawing;
    const std::string path = (folder / ("drawing" + std::to_string(drawing) + ".png")).string();
    ASSERT_TRUE(platform::qt::RenderPng(path, {kWidth, kHeight},
                                        [this](platform::Canvas& c) { window_.OnPaint(c); }));
    const CommandResult check = RunCommand("pngcheck -q " + path);
    EXPECT_EQ(check.status, 0) << drawing << ": " << check.output;
    EXPECT_GE(InkPixels(QImage(QString::fromStdString(path))), 1000) << drawing;
  }
}

}  // namespace
