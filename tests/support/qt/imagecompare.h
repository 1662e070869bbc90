// Comparing drawings that the canvas writes itself with the painter's own.
#pragma once

#include <QImage>
#include <QPoint>

// Every pixel that differs from the background in either image lies within one pixel of such a
// pixel in the other (the two may set neighbouring pixels).
bool InkNearInk(const QImage& a, const QImage& b, QRgb background);

// The largest difference of one colour channel between two images of one size, and the first
// pixel where it occurs.
struct ChannelDifference {
  int largest = 0;
  QPoint at;
};
ChannelDifference LargestChannelDifference(const QImage& a, const QImage& b);
