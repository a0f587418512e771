// Fill patterns drawn into images: the fill and the pattern inside the area
// and nothing outside it, the caller's clip kept, and huge areas at tiny
// cells finishing.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPicture>

#include <limits>
#include <string>

#include "components/display/styles.h"
#include "support/widget_driving.h"

namespace {

using legend::display::fillPatternCount;
using legend::display::fillPatternName;
using legend::display::fillRegion;

const QColor kFill(255, 255, 160), kInk(0, 0, 128);
// A triangle, so clipping to the area and not to its bounding box is seen.
const QPolygonF kTriangle{{10, 90}, {60, 10}, {110, 90}};

QPainterPath rect(double x, double y, double w, double h) {
  QPainterPath path;
  path.addRect(x, y, w, h);
  return path;
}

QImage fill(QSize size, const QPainterPath& area, int pattern, QSizeF cell, bool antialiased = true) {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, antialiased);
  fillRegion(painter, area, kFill, pattern, cell, kInk);
  return image;
}

bool anyNear(const QImage& image, const QColor& colour, int tolerance) {
  return testqt::countPixels(image, [&](QRgb p) { return testqt::channelDistance(p, colour.rgb()) <= tolerance; }) > 0;
}
/// Whether some pixel is visibly off the fill colour.
bool tinted(const QImage& image) {
  return testqt::countPixels(image, [](QRgb p) { return testqt::channelDistance(p, kFill.rgb()) > 60; }) > 0;
}
int patternNamed(const char* name) {
  return testqt::indexNamed(0, fillPatternCount() - 1, fillPatternName, QString::fromLatin1(name));
}

TEST(FillPatterns, everyPatternIsNamedUniquelyAndInksTheInsideAndNothingOutside) {
  ASSERT_GE(fillPatternCount(), 30);
  testqt::expectDistinctNames(0, fillPatternCount() - 1, fillPatternName);
  QPainterPath area;
  area.addPolygon(kTriangle);
  area.closeSubpath();
  // Antialiasing may tint the pixels the outline runs through, no others.
  const QPainterPath reach = area.united(QPainterPathStroker(QPen(Qt::black, 2)).createStroke(area));
  for (const QSizeF cell : {QSizeF(6, 6), QSizeF(5, 9)}) {
    for (int pattern = 0; pattern < fillPatternCount(); ++pattern) {
      SCOPED_TRACE(fillPatternName(pattern).toStdString() + " at " + std::to_string(cell.width()));
      const QImage image = fill(QSize(120, 100), area, pattern, cell);
      int outside = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          outside += !reach.contains(QPointF(x + 0.5, y + 0.5)) && image.pixel(x, y) != qRgb(255, 255, 255);
      EXPECT_EQ(outside, 0);
      EXPECT_TRUE(anyNear(image, kFill, 6));
      // Antialiased marks may not cover a whole pixel; half of one will do.
      EXPECT_EQ(anyNear(image, kInk, 250), pattern > 0);
    }
  }
}

TEST(FillPatterns, narrowTheCallersClipAndHandItBackUnchanged) {
  // The caller clips to a band across the triangle: the pattern keeps to
  // both, and whatever the caller draws next is still clipped to the band.
  const QRect band(0, 40, 120, 20);
  QImage image(120, 100, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setClipRect(band);
  QPainterPath area;
  area.addPolygon(kTriangle);
  area.closeSubpath();
  fillRegion(painter, area, kFill, patternNamed("grid"), QSizeF(6, 6), kInk);
  EXPECT_TRUE(painter.hasClipping());
  EXPECT_EQ(painter.clipBoundingRect(), QRectF(band));
  painter.fillRect(QRect(0, 95, 120, 5), Qt::red);  // below the band: clipped away
  painter.end();
  const auto notWhite = [](QRgb p) { return p != qRgb(255, 255, 255); };
  EXPECT_EQ(testqt::countPixels(image, notWhite, QRect(0, 0, 120, 40)), 0);
  EXPECT_EQ(testqt::countPixels(image, notWhite, QRect(0, 60, 120, 40)), 0);
  EXPECT_TRUE(anyNear(image.copy(band), kInk, 250));
}

TEST(FillPatterns, oddInputsFallBackToSaneOnes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // Large enough to show a line of the largest cell.
  auto grid = [](QSizeF cell) {
    return fill(QSize(600, 600), rect(0, 0, 600, 600), patternNamed("grid"), cell, false);
  };
  const struct {
    const char* label;
    QSizeF cell;
    QSizeF meant;
  } cells[] = {{"nan-means-default", {nan, nan}, {8, 8}},
               {"below-two", {0.01, -5}, {2, 2}},
               {"beyond-512", {1e9, 600}, {512, 512}}};
  for (const auto& c : cells) EXPECT_EQ(grid(c.cell), grid(c.meant)) << c.label;
  const QImage plain = fill(QSize(64, 64), rect(5, 5, 50, 50), 0, QSizeF(6, 6));
  for (int unknown : {-1, fillPatternCount(), 1 << 30}) {
    EXPECT_EQ(fill(QSize(64, 64), rect(5, 5, 50, 50), unknown, QSizeF(6, 6)), plain) << unknown;
  }
}

TEST(FillPatterns, hugeAreasAtTinyCellsFinishAndStillShowThePattern) {
  const QPainterPath huge = rect(-1e7, -1e7, 2e7, 2e7);
  // On an image only what shows is laid out. Two-pixel cells blur
  // most marks into a tint, so any change from the fill counts.
  for (int pattern = 0; pattern < fillPatternCount(); ++pattern) {
    EXPECT_EQ(tinted(fill(QSize(100, 100), huge, pattern, QSizeF(1, 1))), pattern > 0) << pattern;
  }
  // A picture records everything, so there the cap on cells has to hold;
  // patterns with much to draw per cell show it.
  for (const char* name : {"dots", "hexagons"}) {
    QPicture picture;
    QPainter recorder(&picture);
    fillRegion(recorder, huge, kFill, patternNamed(name), QSizeF(1, 1), kInk);
    recorder.end();
    EXPECT_GT(picture.size(), 0u) << name;
  }
}

}  // namespace
