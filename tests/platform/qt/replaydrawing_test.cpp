#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "base/draw/breldraw.h"
#include "base/draw/brelgraf.h"
#include "bench/replaydrawing.h"
#include "platform/headless/recordingsurface.h"
#include "platform/qt/qtcanvas.h"
#include "tests/support/qt/imagecompare.h"
#include "tests/support/qt/qtapp.h"

namespace {

using platform::qt::DirectPixels;

// The drawing of the replay benchmark painted with direct pixels allowed and by the painter
// alone: what the canvas writes into the image itself has to look as the painter's own, and a
// Qt upgrade that moves the painter's pixels shows here. Texts may differ by two levels of a
// colour channel where the painter rounds its blending otherwise; a line pixel set or missed
// differs by a whole colour.
class ReplayDrawingTest : public ::testing::Test {
 protected:
  struct Drawing {
    Drawing() { replaydrawing::Build(window, 100000); }
    ~Drawing() { window.Clear(); }
    platform::RecordingDrawSurface surface{{replaydrawing::kWidth, replaydrawing::kHeight}};
    TFbrelgra window{surface};
    TDrawer drawer;
  };

  static void SetUpTestSuite() {
    StartQtApplication();
    drawing_ = new Drawing;
  }
  static void TearDownTestSuite() {
    delete drawing_;
    drawing_ = nullptr;
  }

  static QImage Paint(DirectPixels direct, int zoom, int ratio) {
    replaydrawing::Zoom(drawing_->window, zoom);
    QImage image(replaydrawing::kWidth * ratio, replaydrawing::kHeight * ratio,
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      platform::qt::PainterCanvas canvas(painter, {replaydrawing::kWidth, replaydrawing::kHeight},
                                         direct);
      drawing_->window.OnPaint(canvas);
    }
    return image;
  }

  static inline Drawing* drawing_ = nullptr;
};

TEST_F(ReplayDrawingTest, DirectPixelsLookAsThePaintersAtEveryZoomAndPixelRatio) {
  for (const int ratio : {1, 2}) {
    for (const int zoom : {1, 4}) {
      const QImage direct = Paint(DirectPixels::Allowed, zoom, ratio);
      const QImage painted = Paint(DirectPixels::Forbidden, zoom, ratio);
      ASSERT_EQ(direct.size(), painted.size());
      const ChannelDifference d = LargestChannelDifference(direct, painted);
      EXPECT_LE(d.largest, 2) << "zoom " << zoom << ", ratio " << ratio << ", at " << d.at.x()
                              << "," << d.at.y();
    }
  }
}

}  // namespace
