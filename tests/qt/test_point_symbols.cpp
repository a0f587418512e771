// The point symbol library, checked as pixels: what lands where, in which
// colour, and that odd inputs neither crash nor draw something unexpected.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <climits>
#include <limits>

#include "components/display/styles.h"
#include "support/widget_driving.h"

namespace {

using namespace Qt::StringLiterals;
using legend::display::drawPointSymbol;
using legend::display::pointSymbolCount;
using legend::display::pointSymbolName;

constexpr int kImageSide = 64;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
const QColor kInk(0, 0, 255);

struct Draw {
  int number = 1;
  QSizeF size{24, 24};
  double angle = 0;
  double pen = 2;
  QPointF centre{32, 32};
};

QImage render(const Draw& d) {
  QImage image(kImageSide, kImageSide, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  drawPointSymbol(painter, d.number, d.centre, d.size, d.angle, kInk, d.pen);
  painter.end();
  return image;
}

struct Ink {
  int pixels = 0;
  int solidPixels = 0;  // at least half covered
  bool onlyInkColour = true;
  QRect bounds;
  QPointF centroid;
};

// Blue over white blends to (v, v, 255); anything else is a stray colour.
Ink inkOf(const QImage& image) {
  Ink ink;
  double weights = 0, sumX = 0, sumY = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb p = image.pixel(x, y);
      if (p == qRgb(255, 255, 255)) continue;
      ++ink.pixels;
      if (qRed(p) < 128) ++ink.solidPixels;
      if (qRed(p) != qGreen(p) || qBlue(p) != 255) ink.onlyInkColour = false;
      ink.bounds |= QRect(x, y, 1, 1);
      const double weight = 255 - qRed(p);
      weights += weight;
      sumX += weight * (x + 0.5);
      sumY += weight * (y + 0.5);
    }
  }
  if (weights > 0) ink.centroid = QPointF(sumX / weights, sumY / weights);
  return ink;
}

int numberOf(const QString& name) { return testqt::indexNamed(1, pointSymbolCount(), pointSymbolName, name); }

// 1 px of slack around the box covers antialiasing and the miter tips of
// sharp corners.
TEST(PointSymbols, fortyOrMoreNamedSymbolsInkOnlyInsideTheirBoxAndOnlyInTheirColour) {
  ASSERT_GE(pointSymbolCount(), 40);
  testqt::expectDistinctNames(1, pointSymbolCount(), pointSymbolName);
  struct Case {
    const char* label;
    QSizeF size;
    double pen;
  };
  const Case cases[] = {{"square-pen-2", {24, 24}, 2}, {"wide-hairline", {40, 12}, 0}, {"tall-pen-1", {12, 40}, 1}};
  for (const Case& c : cases) {
    const QRectF box(QPointF(32 - c.size.width() / 2, 32 - c.size.height() / 2), c.size);
    const QRect allowed = box.toAlignedRect().adjusted(-1, -1, 1, 1);
    for (int n = 1; n <= pointSymbolCount(); ++n) {
      SCOPED_TRACE(testing::Message() << c.label << " symbol " << n << " " << pointSymbolName(n).toStdString());
      const Ink ink = inkOf(render({.number = n, .size = c.size, .pen = c.pen}));
      EXPECT_GT(ink.solidPixels, 0);
      EXPECT_TRUE(ink.onlyInkColour);
      EXPECT_TRUE(allowed.contains(ink.bounds))
          << ink.bounds.x() << "," << ink.bounds.y() << " " << ink.bounds.width() << "x" << ink.bounds.height();
      // Drawn at the size asked for, not shrunk into a corner of it.
      EXPECT_GE(std::max(ink.bounds.width() / box.width(), ink.bounds.height() / box.height()), 0.75);
    }
  }
}

TEST(PointSymbols, positiveAnglesTurnAnticlockwiseOnScreenAfterSizing) {
  const int arrow = numberOf(u"arrow"_s);
  EXPECT_LT(inkOf(render({.number = arrow})).centroid.y(), 31.5);  // the head is the heavy end and points up
  const Ink turned = inkOf(render({.number = arrow, .angle = 90}));
  EXPECT_LT(turned.centroid.x(), 31.5);  // up turned a quarter anticlockwise is left
  EXPECT_NEAR(turned.centroid.y(), 32, 0.5);
  const int square = numberOf(u"filled square"_s);
  const QRect wide = inkOf(render({.number = square, .size = {40, 12}})).bounds;
  EXPECT_GT(wide.width(), 3 * wide.height());
  const QRect upright = inkOf(render({.number = square, .size = {40, 12}, .angle = -90})).bounds;
  EXPECT_GT(upright.height(), 3 * upright.width());
}

TEST(PointSymbols, unusableValuesAreClampedNotObeyed) {
  for (int n : {0, pointSymbolCount() + 1, INT_MIN}) {
    EXPECT_EQ(render({.number = n}), render({.number = 1})) << n;
    EXPECT_EQ(pointSymbolName(n), pointSymbolName(1)) << n;
  }
  const QImage blank = render({.size = {0, 0}});
  EXPECT_EQ(inkOf(blank).pixels, 0);
  for (QSizeF size : {QSizeF(kNaN, 24), QSizeF(24, -5), QSizeF(-kInf, kInf)}) EXPECT_EQ(render({.size = size}), blank);
  for (QPointF at : {QPointF(kNaN, 32), QPointF(1e300, -1e300)}) EXPECT_EQ(render({.centre = at}), blank);
  const int arrow = numberOf(u"arrow"_s);
  EXPECT_EQ(render({.number = arrow, .angle = kNaN}), render({.number = arrow}));
  EXPECT_EQ(render({.number = arrow, .angle = 90 + 360.0 * 1e6}), render({.number = arrow, .angle = 90}));
  // Huge sizes and pens are cut down to what a surface draws at once.
  for (int n = 1; n <= pointSymbolCount(); ++n) {
    render({.number = n, .size = {1e300, 1e300}, .angle = 1e300, .pen = 1e300});
    render({.number = n, .size = {1e-300, 5}, .pen = -kInf});
  }
  EXPECT_EQ(inkOf(render({.number = numberOf(u"filled circle"_s), .size = {1e300, 1e300}})).pixels,
            kImageSide * kImageSide);
  QPainter inactive;
  drawPointSymbol(inactive, 1, {0, 0}, {10, 10}, 0, kInk, 1);
}

}  // namespace
