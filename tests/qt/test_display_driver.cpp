// The QPainter driver and the palette, checked as pixels of a QImage: where
// drawing coordinates land, which colours are used, what texts, points,
// lines and regions put on the page, and that damaged records draw safely.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include <QImage>
#include <QPainter>

#include "components/display/palette.h"
#include "components/display/qpainter_driver.h"
#include "support/widget_driving.h"

namespace {

using legend::display::paletteColour;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN(), kInf = std::numeric_limits<float>::infinity();

// Records spelt out with literal offsets and their own little-endian writer,
// so the driver's field table is checked, not echoed.
template <std::size_t N>
struct Record {
  std::array<std::uint8_t, N> bytes{};
  template <typename T>
  Record& put(std::size_t at, T value) {
    std::uint64_t raw = 0;
    std::memcpy(&raw, &value, sizeof value);
    for (std::size_t i = 0; i < sizeof value; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(raw >> (8 * i));
    return *this;
  }
  operator std::span<const std::uint8_t, N>() const { return bytes; }
};
using Point = Record<94>;
using Line = Record<67>;

// The records a new legend starts with (a region's reaches the driver as
// the fill 3, pattern 5 of size 6 in 4).
Point defaultPoint() {
  return Point()
      .put<std::uint8_t>(0, 1)
      .put<std::uint32_t>(2, 1)
      .put(6, 6.f)
      .put(10, 6.f)
      .put(18, 1.f)
      .put<std::uint32_t>(44, 5);
}
Line defaultLine() {
  return Line()
      .put<std::uint16_t>(0, 14)
      .put<std::uint32_t>(4, 3)
      .put(8, 1.f)
      .put(13, 10.f)
      .put(17, 10.f)
      .put<std::uint32_t>(21, 2);
}
Point textPoint(std::uint8_t type, float size, std::uint32_t colour) {
  return Point().put(0, type).put(2, size).put(6, size).put(44, colour);
}

// 注释类, 文本类 and 图例 in GBK.
const std::string kAnnotation = "\xd7\xa2\xca\xcd\xc0\xe0", kText = "\xce\xc4\xb1\xbe\xc0\xe0",
                  kLegend = "\xcd\xbc\xc0\xfd";

// A white image with a driver in a drawing pass over it.
struct Canvas {
  QImage image;
  std::unique_ptr<KernelDriver> driver;
  Canvas(int width, int height) : image(width, height, QImage::Format_ARGB32) {
    image.fill(Qt::white);
    driver = OpenWinDriver(&image);
    driver->SetDrawing(true);
  }
  KernelDriver* operator->() { return driver.get(); }
  const QImage& done() {
    driver->SetDrawing(false);
    driver->CloseWinDriver();
    return image;
  }
};

// Character cells @p size pixels square in colour 2, @p spacing apart, lines two characters apart.
TextBox box(D_DOT topLeft, double width, double height, double size, double spacing) {
  return {.topLeft = topLeft,
          .width = width,
          .height = height,
          .charHeight = size,
          .charWidth = size,
          .charSpacing = spacing,
          .lineSpacing = 2,
          .colour = 2};
}

bool near(QRgb p, const QColor& c, int tolerance = 40) {
  return std::abs(qRed(p) - c.red()) <= tolerance && std::abs(qGreen(p) - c.green()) <= tolerance &&
         std::abs(qBlue(p) - c.blue()) <= tolerance;
}
bool ink(QRgb p) { return !near(p, Qt::white, 8); }
int countColour(const QImage& img, const QRect& region, const QColor& c, int tolerance = 40) {
  return testqt::countPixels(
      img, [&](QRgb p) { return near(p, c, tolerance); }, region);
}
int countInk(const QImage& img, const QRect& region) { return testqt::countPixels(img, ink, region); }
QRect inkBounds(const QImage& img) {
  QRect bounds;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (ink(img.pixel(x, y))) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

TEST(DisplayDriver, linesAreSharpStopBeforeTheirLastPixelAndTakeLockedOrPenColour) {
  Canvas c(30, 30);
  c->Line(2, 25, 12, 25);   // row 5, columns 2 ... 11
  c->Line(25, 21, 25, 29);  // column 25, rows 9 down to 2
  c->LockColor(0);
  c->Line(0, 20, 30, 20);
  c->UnlockColor();
  c->SelectPen(11);
  c->Line(0, 15, 20, 15);
  c->FillRect(0, 10, 10, -5, 5);  // the pen's colour, not 5
  c->RestorePen();
  c->FillRect(10, 10, 10, -5, 5);
  c->SelectPen(7);
  c->ResetDrawState();
  c->Line(0, 2, 20, 2);
  const QImage& img = c.done();
  EXPECT_EQ(countColour(img, QRect(2, 5, 10, 1), Qt::black, 0), 10);
  EXPECT_EQ(countColour(img, QRect(25, 2, 1, 8), Qt::black, 0), 8);
  EXPECT_EQ(countInk(img, QRect(0, 0, 30, 10)), 18) << "no blur beside a line, no end pixel";
  EXPECT_EQ(countColour(img, QRect(0, 10, 30, 1), paletteColour(0), 0), 30);
  EXPECT_EQ(countColour(img, QRect(0, 15, 20, 1), paletteColour(11), 0), 20);
  EXPECT_EQ(countColour(img, QRect(0, 20, 10, 5), paletteColour(11), 0), 50);
  EXPECT_EQ(countColour(img, QRect(10, 20, 10, 5), paletteColour(5), 0), 50);
  EXPECT_EQ(countColour(img, QRect(0, 28, 20, 1), Qt::black, 0), 20) << "reset drops the selected pen";
}

TEST(DisplayDriver, borrowedPainterDrawsOnlyInItsAreaAndGetsItsStateBack) {
  QImage img(60, 60, QImage::Format_ARGB32);
  img.fill(Qt::white);
  QPainter painter(&img);
  painter.setPen(QPen(Qt::green, 3));
  auto driver = OpenWinDriver(painter, QRect(10, 20, 30, 30));
  ASSERT_TRUE(driver);
  driver->SetDrawing(true);
  driver->FillRect(-100, 100, 500, -500, 6);
  driver->FillRect(0, 0, 5, 5, 5);  // the area's bottom-left corner
  driver->SetDrawing(false);
  driver->CloseWinDriver();
  EXPECT_FALSE(painter.hasClipping());
  EXPECT_EQ(painter.pen(), QPen(Qt::green, 3));
  painter.end();
  EXPECT_EQ(countColour(img, QRect(10, 45, 5, 5), paletteColour(5), 0), 25);
  EXPECT_EQ(inkBounds(img), QRect(10, 20, 30, 30));
  QPainter idle;
  EXPECT_EQ(OpenWinDriver(idle, QRect(0, 0, 10, 10)), nullptr);
  EXPECT_EQ(OpenWinDriver(nullptr), nullptr);
}

TEST(DisplayDriver, textMeasuresGbkAsItIsLaidOutKeepsToThatExtentAndItsBoxAndBreaksLinesLower) {
  struct Case {
    const char* name;
    std::string text;
    double width;
    int chars;
  };
  const Case cases[] = {
      {"mixed", kLegend + "ab", 3, 4},
      {"lone lead byte at end", "a\xcd", 1, 2},
      {"widest line", "abcd\n" + kLegend + "a", 2.5, 7},
  };
  Canvas measure(1, 1);
  for (const Case& c : cases) {
    EXPECT_EQ(measure->TextWidth(c.text), c.width) << c.name;
    EXPECT_EQ(measure->CharCount(c.text), c.chars) << c.name;
  }
  const std::string text = kLegend + "Wg" + kAnnotation;
  Canvas c(200, 60);
  c->DispText(box({10, 50}, 180, 40, 16, 2), text);
  const double right = 10 + measure->TextWidth(text) * 16 + measure->CharCount(text) * 2;
  const QImage& img = c.done();
  const QRect bounds = inkBounds(img);
  EXPECT_TRUE(QRect(10, 10, static_cast<int>(right) - 10, 16).contains(bounds)) << bounds.right() << " " << right;
  EXPECT_GT(bounds.right(), right - 2 * 16) << "the last character is drawn";
  EXPECT_GT(countColour(img, bounds, Qt::black, 60), 20);
  Canvas clipped(200, 60);
  clipped->DispText(box({10, 50}, 30, 12, 16, 2), text);
  EXPECT_TRUE(QRect(10, 10, 30, 12).contains(inkBounds(clipped.done())));
  Canvas lines(200, 60);
  lines->DispText(box({10, 50}, 180, 60, 10, 1), kLegend + "\n" + kLegend);
  const QImage& twoLines = lines.done();  // the second line starts 10 x 2 lower
  EXPECT_GT(countInk(twoLines, QRect(0, 10, 200, 10)), 0);
  EXPECT_EQ(countInk(twoLines, QRect(0, 20, 200, 10)), 0);
  EXPECT_GT(countInk(twoLines, QRect(0, 30, 200, 10)), 0);
}

TEST(DisplayDriver, damagedRecordsAndCoordinatesDrawWithoutHarm) {
  Canvas c(60, 60);
  Point garbage;
  garbage.bytes.fill(0xFF);
  for (int type : {0, 1, 2, 3, 4, 5, 6, 255}) {
    garbage.put(0, static_cast<std::uint8_t>(type));
    c->DispPnt(D_DOT{30, 30}, kText, garbage);
    c->DispPnt(D_DOT{30, 30}, std::string(3, '\0') + kText, garbage);
  }
  c->DispPnt(D_DOT{30, 30}, kText, textPoint(5, kInf, 2).put(6, 1e30f));
  c->DispPnt(D_DOT{30, 30}, "", defaultPoint().put(6, 1e30f).put(10, kNaN).put(18, kInf));
  c->DispPnt(D_DOT{kNaN, 30}, "", defaultPoint());
  Line badLine;
  badLine.bytes.fill(0xFF);
  const D_DOT ends[] = {{5, 5}, {55, 55}}, nanEnds[] = {{5, 5}, {kNaN, 1e300}};
  c->DispLin(ends, badLine);
  c->DispLin(ends, Line().put(8, kInf).put(13, 0.f).put(17, -5.f));
  c->DispLin(std::span<const D_DOT>(ends, 1), defaultLine());
  c->DispLin(nanEnds, defaultLine());
  const D_DOT square[] = {{5, 5}, {55, 5}, {55, 55}, {5, 55}};
  const std::int32_t four[] = {4};
  c->BeginRegFill({.fillColour = -1,
                   .pattern = 0xFFFF,
                   .patternSize = std::nan(""),
                   .patternColour = std::numeric_limits<std::int32_t>::min()});
  c->FillPolygons(square, four);
  c->EndRegFill();
  c->DispText({.topLeft = {5, 55},
               .width = kNaN,
               .height = kInf,
               .charHeight = kInf,
               .charWidth = kNaN,
               .charSpacing = kNaN,
               .lineSpacing = kInf,
               .colour = 99999},
              "ab");
  c->FillRect(0, 0, kInf, 10, 3);
  c->Line(0, 0, 1e300, 5);
  c.done();
}

}  // namespace
