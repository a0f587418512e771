// Line styles drawn into images and checked as a user would see them: ink of
// the style's colour along the line and nowhere else, gaps where a style is
// broken, ornaments on the side and at the spacing the record asks for, and
// nothing at all (rather than a hang) for garbage.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPathStroker>
#include <QPicture>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "components/display/styles.h"
#include "support/widget_driving.h"

namespace {

using legend::display::drawLineStyle;
using legend::display::lineStyleCount;
using legend::display::lineStyleName;
using legend::display::LineStyleParams;

constexpr int kWidth = 200, kHeight = 120;
const QColor kColour(0, 0, 255), kSecond(255, 200, 0);
const QPolygonF kStraight{{20, 60}, {180, 60}};
const QPolygonF kBent{{20, 100}, {100, 20}, {180, 100}};

LineStyleParams params(double length = 12, double width = 10, double pen = 2) {
  return {kColour, kSecond, pen, length, width};
}

QImage draw(const QPolygonF& line, int style, const LineStyleParams& p = params()) {
  QImage image(kWidth, kHeight, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  drawLineStyle(painter, line, style, p);
  return image;
}

int styleNamed(const char* name) {
  return testqt::indexNamed(0, lineStyleCount() - 1, lineStyleName, QString::fromLatin1(name));
}

bool isInk(QRgb pixel) { return pixel != qRgb(255, 255, 255); }
bool isColour(QRgb pixel, const QColor& colour) { return testqt::channelDistance(pixel, colour.rgb()) < 90; }

/// Everything within @p reach of @p line.
QPainterPath band(const QPolygonF& line, double reach) {
  QPainterPath path;
  path.addPolygon(line);
  QPainterPathStroker stroker(QPen(Qt::black, 2 * reach, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  return stroker.createStroke(path);
}

/// For each column, whether a pixel within one of row @p y passes @p test.
std::vector<bool> inkedColumns(const QImage& image, int y, bool (*test)(QRgb) = isInk) {
  std::vector<bool> inked(kWidth, false);
  for (int x = 0; x < kWidth; ++x) {
    for (int dy = -1; dy <= 1; ++dy) inked[std::size_t(x)] = inked[std::size_t(x)] || test(image.pixel(x, y + dy));
  }
  return inked;
}

int runsOfInk(const std::vector<bool>& inked) {
  int runs = 0;
  for (std::size_t x = 1; x < inked.size(); ++x) runs += inked[x] && !inked[x - 1] ? 1 : 0;
  return runs;
}

TEST(LineStyles, everyStyleIsNamedUniquelyAndInksTheWholeLineInItsColourAndNothingBeyondItsWidth) {
  ASSERT_GE(lineStyleCount(), 20);
  testqt::expectDistinctNames(0, lineStyleCount() - 1, lineStyleName);
  const LineStyleParams p = params();
  // At a right-angled bend a parallel's mitre stands out by the square root of two.
  const struct {
    const char* label;
    QPolygonF line;
    double reach;
  } cases[] = {{"straight", kStraight, p.patternWidth / 2 + p.penWidth + 1.5},
               {"bent", kBent, p.patternWidth / 2 * std::sqrt(2.0) + p.penWidth + 1.5}};
  for (const auto& c : cases) {
    for (int style = 0; style < lineStyleCount(); ++style) {
      SCOPED_TRACE(std::string(c.label) + " " + lineStyleName(style).toStdString());
      const QImage image = draw(c.line, style, p);
      const QPainterPath near = band(c.line, c.reach);
      int stray = 0;
      bool colourInThird[3] = {false, false, false};
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          if (!isInk(image.pixel(x, y))) continue;
          stray += near.contains(QPointF(x + 0.5, y + 0.5)) ? 0 : 1;
          if (isColour(image.pixel(x, y), kColour)) colourInThird[std::clamp((x - 20) * 3 / 160, 0, 2)] = true;
        }
      }
      EXPECT_EQ(stray, 0);
      EXPECT_TRUE(colourInThird[0] && colourInThird[1] && colourInThird[2]);
    }
  }
}

TEST(LineStyles, brokenStylesRepeatEveryPatternLengthAndSolidOnesHaveNoGaps) {
  const struct {
    const char* name;
    int runsPerRepeat;
  } broken[] = {{"dashed", 1}, {"dash-dot", 2}, {"dash-dot-dot", 3}};
  for (const auto& b : broken) {
    SCOPED_TRACE(b.name);
    // 160 pixels of line hold 8 repeats of 20 and 4 of 40.
    for (int repeat : {20, 40}) {
      const QImage image = draw(kStraight, styleNamed(b.name), params(repeat, 4));
      EXPECT_NEAR(runsOfInk(inkedColumns(image, 60)), 160 / repeat * b.runsPerRepeat, 1) << repeat;
    }
  }
  // The railway of new legends (width 1, repeat and width 10): a dark bar
  // every other repeat down the middle, light between them.
  const QImage railway = draw(kStraight, styleNamed("railway"), params(10, 10, 1));
  EXPECT_EQ(runsOfInk(inkedColumns(railway, 60, [](QRgb p) { return isColour(p, kColour); })), 8);
  EXPECT_EQ(runsOfInk(inkedColumns(railway, 60, [](QRgb p) { return isColour(p, kSecond); })), 8);
  for (const char* name : {"solid", "cased road", "pipeline"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(runsOfInk(inkedColumns(draw(kStraight, styleNamed(name)), 60)), 1);
  }
}

TEST(LineStyles, unusableLinesDrawNothingAndOddInputsOrParametersFallBack) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* label;
    QPolygonF line;
  } unusable[] = {{"empty", {}},
                  {"one-point-repeated", {{50, 50}, {50, 50}, {50, 50}}},
                  {"nan", {{20, 60}, {nan, 60}, {180, 60}}},
                  {"far-beyond-any-window", {{20, 60}, {1e300, 60}}}};
  QImage blank(kWidth, kHeight, QImage::Format_ARGB32);
  blank.fill(Qt::white);
  const QPolygonF repeatedPoints{{20, 100}, {20, 100}, {100, 20}, {100, 20}, {100, 20}, {180, 100}};
  for (int style = 0; style < lineStyleCount(); ++style) {
    SCOPED_TRACE(lineStyleName(style).toStdString());
    for (const auto& c : unusable) EXPECT_EQ(draw(c.line, style), blank) << c.label;
    EXPECT_EQ(draw(repeatedPoints, style), draw(kBent, style));
  }
  for (int unknown : {-1, lineStyleCount(), 1 << 30}) EXPECT_EQ(draw(kBent, unknown), draw(kBent, 0)) << unknown;
  // Absurd parameters finish and fall back to sane ones.
  const struct {
    const char* label;
    LineStyleParams params;
    bool fallsBack;
  } cases[] = {{"nan-everything", {kColour, kSecond, nan, nan, nan}, true},
               {"negative", {kColour, kSecond, -3, -10, -4}, true},
               {"invalid-colours", {QColor(), QColor(), 1, 10, 4}, true},
               {"tiny-repeat", {kColour, kSecond, 1, 1e-9, 4}, false},
               {"huge", {kColour, kSecond, 1e9, 1e30, 1e30}, false}};
  // A line far longer than the window. A picture records everything, so
  // there only the cap on repeats bounds the work.
  const QPolygonF longLine{{-5e7, 60}, {5e7, 60}};
  for (const auto& c : cases) {
    for (int style = 0; style < lineStyleCount(); ++style) {
      SCOPED_TRACE(std::string(c.label) + " " + lineStyleName(style).toStdString());
      draw(longLine, style, c.params);
      if (c.params.patternLength < 1) {
        QPicture picture;
        QPainter recorder(&picture);
        drawLineStyle(recorder, longLine, style, c.params);
      }
      if (c.fallsBack) {
        EXPECT_GT(runsOfInk(inkedColumns(draw(kStraight, style, c.params), 60)), 0);
      }
    }
  }
}

}  // namespace
