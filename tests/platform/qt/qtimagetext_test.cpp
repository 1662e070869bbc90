#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>

#include "platform/qt/qtcanvas.h"
#include "tests/support/qt/imagecompare.h"
#include "tests/support/qt/qtapp.h"

namespace {

using platform::qt::DirectPixels;

// The canvas writes texts itself where direct pixels are allowed and leaves them to the painter
// otherwise.
QImage Write(DirectPixels direct, const platform::Font& font, platform::Point at,
             const std::string& text, const platform::Rect* clip = nullptr) {
  QImage image(160, 120, QImage::Format_RGB32);
  image.fill(QColor(250, 250, 240));
  {
    QPainter painter(&image);
    platform::qt::PainterCanvas canvas(painter, {160, 120}, direct);
    canvas.SetFont(font);
    if (clip != nullptr) canvas.SetClip(*clip);
    canvas.TextOut(at, text);
  }
  return image;
}

TEST(QtImageText, TextsLookAsThePainterDrawsThem) {
  StartQtApplication();
  struct Case {
    const char* name;
    int height, escapement;
    bool italic, underline;
    platform::Point at;
  };
  const Case cases[] = {
      {"small upright", 12, 0, false, false, {10, 10}},
      {"large upright", 70, 0, false, false, {5, 20}},
      {"turned up", 20, 900, false, false, {60, 110}},
      {"slanted", 24, 300, false, false, {20, 90}},
      {"italic underlined", 30, 0, true, true, {10, 40}},
      {"reaching in from the left", 40, 0, false, false, {-50, 30}},
      {"reaching out at the bottom right", 40, 0, false, false, {120, 100}},
  };
  for (const Case& c : cases) {
    platform::Font font;
    font.face = "Arial";
    font.height = c.height;
    font.escapement = c.escapement;
    font.italic = c.italic;
    font.underline = c.underline;
    font.color = {200, 20, 40};
    const QImage fast = Write(DirectPixels::Allowed, font, c.at, "P3G Hg");
    const QImage painted = Write(DirectPixels::Forbidden, font, c.at, "P3G Hg");
    ASSERT_NE(fast, Write(DirectPixels::Allowed, {}, {500, 500}, "")) << c.name << ": no ink";
    // Glyphs that overlap add up in the kept text before it is blended, where the painter
    // blends one after the other.
    EXPECT_LE(LargestChannelDifference(fast, painted).largest, 2) << c.name;
    EXPECT_EQ(fast, Write(DirectPixels::Allowed, font, c.at, "P3G Hg")) << c.name << ", again";
  }
}

TEST(QtImageText, OneKeptTextServesEveryColourAndClip) {
  StartQtApplication();
  platform::Font font;
  font.face = "Liberation Mono";
  font.height = 30;
  const platform::Rect clip{30, 0, 70, 120};
  for (const platform::Color colour : {platform::Color{0, 0, 0}, platform::Color{0, 160, 255}}) {
    font.color = colour;
    EXPECT_LE(
        LargestChannelDifference(Write(DirectPixels::Allowed, font, {10, 40}, "WWWW", &clip),
                                 Write(DirectPixels::Forbidden, font, {10, 40}, "WWWW", &clip))
            .largest,
        2);
  }
}

TEST(QtImageText, TextsTooLargeToKeepAreLeftToThePainter) {
  StartQtApplication();
  platform::Font font;
  font.face = "Arial";
  font.height = 5000;
  font.color = {0, 0, 0};
  EXPECT_EQ(Write(DirectPixels::Allowed, font, {-200, -1000}, "H"),
            Write(DirectPixels::Forbidden, font, {-200, -1000}, "H"));
}

}  // namespace
