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

double contrast(int a, int b) {
  auto luminance = [](const QColor& c) {
    auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
  };
  const double la = luminance(paletteColour(a)), lb = luminance(paletteColour(b));
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(Palette, padColoursAndNewLegendDefaultsReadClearlyWhereTheyAreDrawn) {
  struct Case {
    const char* what;
    int fore, back;
    double atLeast;
  };
  const Case cases[] = {
      {"caption", 44, 1, 12},
      {"caption on the selection", 160, 11, 7},
      {"position number", 6, 1, 3},
      {"selection against white", 11, 1, 4.5},
      {"grid, quiet but visible", 0, 1, 1.4},
      {"default point", 5, 1, 4},
      {"default line", 3, 1, 2.5},
      {"default line, selected", 3, 11, 2.5},
      {"default pattern on default fill", 4, 3, 3},
      {"line's second colour", 2, 3, 4},
  };
  for (const Case& c : cases) EXPECT_GE(contrast(c.fore, c.back), c.atLeast) << c.what;
  EXPECT_EQ(paletteColour(1), QColor(Qt::white));
  EXPECT_EQ(paletteColour(160), QColor(Qt::white));
  EXPECT_GT(paletteColour(0).lightness(), paletteColour(9).lightness());
  EXPECT_EQ(paletteColour(0).hslSaturation(), 0);
  EXPECT_LT(paletteColour(5).hslHue(), 15);
  EXPECT_NEAR(paletteColour(3).hslHue(), 212, 15);
}

TEST(Palette, rampsRunDarkToLightInTheirHueAndStrayNumbersGiveOneColour) {
  for (int n = 17; n < 251; ++n) {
    if ((n - 17) % 9 != 0) {
      EXPECT_GT(paletteColour(n).lightness(), paletteColour(n - 1).lightness()) << n;
    }
  }
  for (int ramp = 0; ramp < 15; ++ramp) {  // round the wheel from cyan
    const int hue = paletteColour(17 + ramp * 9 + 4).hslHue(), expected = (168 + 24 * ramp) % 360;
    EXPECT_LE(std::min(std::abs(hue - expected), 360 - std::abs(hue - expected)), 3) << "ramp " << ramp;
  }
  EXPECT_EQ(paletteColour(152), QColor(Qt::black));
  EXPECT_EQ(paletteColour(156).hslSaturation(), 0);
  EXPECT_EQ(paletteColour(44).hslHue(), 240);
  EXPECT_LT(paletteColour(44).lightness(), 30);
  for (int n : {-1, 256, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()})
    EXPECT_EQ(paletteColour(n), QColor(Qt::black)) << n;
}

TEST(DisplayDriver, originIsBottomLeftAndRectanglesGrowFromTheirCorner) {
  Canvas c(40, 30);
  c->FillRect(0, 0, 10, 10, 5);
  c->FillRect(20, 20, 10, -10, 7);
  const QImage& img = c.done();
  EXPECT_EQ(countColour(img, QRect(0, 20, 10, 10), paletteColour(5), 0), 100);
  EXPECT_EQ(countColour(img, QRect(20, 10, 10, 10), paletteColour(7), 0), 100);
  EXPECT_EQ(countInk(img, img.rect()), 200);
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

TEST(DisplayDriver, textMeasuresGbkAsItIsLaidOutAndItsInkKeepsToThatExtent) {
  struct Case {
    const char* name;
    std::string text;
    double width;
    int chars;
  };
  const Case cases[] = {
      {"ascii", "ab1", 1.5, 3},
      {"mixed", kLegend + "ab", 3, 4},
      {"lone lead byte at end", "a\xcd", 1, 2},
      {"high byte before ascii",
       "\xcd"
       "a",
       1, 2},
      {"widest line", "abcd\n" + kLegend + "a", 2.5, 7},
      {"empty", "", 0, 0},
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
}

TEST(DisplayDriver, textIsClippedToItsBoxAndBreaksLinesLower) {
  const std::string text = kLegend + "Wg" + kAnnotation;
  Canvas clipped(200, 60);
  clipped->DispText(box({10, 50}, 30, 12, 16, 2), text);
  EXPECT_TRUE(QRect(10, 10, 30, 12).contains(inkBounds(clipped.done())));
  Canvas lines(200, 60);
  lines->DispText(box({10, 50}, 180, 60, 10, 1), kLegend + "\n" + kLegend);
  const QImage& img = lines.done();  // the second line starts 10 x 2 lower
  EXPECT_GT(countInk(img, QRect(0, 10, 200, 10)), 0);
  EXPECT_EQ(countInk(img, QRect(0, 20, 200, 10)), 0);
  EXPECT_GT(countInk(img, QRect(0, 30, 200, 10)), 0);
}

TEST(DisplayDriver, everyPointTypeDrawsInItsColourAtItsPosition) {
  struct Case {
    const char* name;
    Point record;
    const std::string& text;
    QColor colour;
  };
  const std::string none;
  const Case cases[] = {
      {"annotation", textPoint(0, 14, 7), kAnnotation, paletteColour(7)},
      {"symbol", defaultPoint().put(6, 20.f).put(10, 20.f), none, paletteColour(5)},
      {"dot", Point().put<std::uint8_t>(0, 2).put(2, 16.0).put<std::uint32_t>(44, 7), none, paletteColour(7)},
      {"ring", Point().put<std::uint8_t>(0, 3).put(2, 20.0).put(18, 2.f).put<std::uint32_t>(44, 7), none,
       paletteColour(7)},
      {"text", textPoint(5, 14, 7), kText, paletteColour(7)},
  };
  for (const Case& c : cases) {
    Canvas canvas(100, 80);
    canvas->DispPnt(D_DOT{40, 40}, c.text, c.record);
    const QImage& img = canvas.done();
    // Texts start at the position and run right; the rest centre on it.
    EXPECT_GT(countColour(img, QRect(15, 15, 70, 50), c.colour), 10) << c.name;
    EXPECT_TRUE(QRect(15, 15, 70, 50).contains(inkBounds(img))) << c.name;
    if (c.name == std::string("ring")) {  // hollow, with a dot at the centre
      EXPECT_TRUE(near(img.pixel(40, 40), c.colour));
      EXPECT_FALSE(ink(img.pixel(45, 40)));
    }
  }
  Canvas image(80, 80);
  image->DispPnt(D_DOT{40, 40}, "", Point().put<std::uint8_t>(0, 4).put(2, 1e9f));
  const QImage& icon = image.done();
  EXPECT_TRUE(QRect(24, 24, 32, 32).contains(inkBounds(icon)));
  EXPECT_GT(countInk(icon, QRect(24, 24, 32, 32)), 32 * 20);
}

TEST(DisplayDriver, pointTextHangsFromItsAnchorAsThePadPlacesIt) {
  auto bounds = [](std::uint8_t type, bool column) {
    const Point r = textPoint(type, 12, 2).put<std::uint8_t>(type == 0 ? 23 : 35, column ? 1 : 0);
    Canvas canvas(100, 100);
    canvas->DispPnt(D_DOT{20, 50}, type == 0 ? kAnnotation : kText, r);
    return inkBounds(canvas.done());
  };
  // A row annotation stands on its anchor; texts and columns hang below it.
  EXPECT_TRUE(QRect(20, 38, 36, 12).contains(bounds(0, false)));
  EXPECT_TRUE(QRect(20, 50, 36, 12).contains(bounds(5, false)));
  EXPECT_GT(bounds(5, false).width(), 2 * 12) << "three characters side by side";
  const QRect column = bounds(5, true);
  EXPECT_TRUE(QRect(20, 50, 12, 36).contains(column));
  EXPECT_GT(column.height(), 2 * 12) << "three characters one under another";
  EXPECT_EQ(bounds(0, true), column) << "a column annotation hangs like a text";
}

TEST(DisplayDriver, lineSampleRunsAlongItsPointsAndRegionFillsOnlyItsInside) {
  Canvas line(100, 60);
  const D_DOT ends[] = {{10, 30}, {90, 30}};
  // The factors as the pad stretches them for a 60-pixel cell.
  line->DispLin(ends, defaultLine().put(13, 120.f).put(17, 120.f));
  const QImage& l = line.done();
  const QRect along = inkBounds(l);
  EXPECT_TRUE(along.left() <= 12 && along.right() >= 88) << along.left() << " " << along.right();
  EXPECT_TRUE(QRect(0, 18, 100, 25).contains(along));
  EXPECT_GT(countColour(l, along, paletteColour(3)), 20);

  Canvas region(60, 60);
  const D_DOT points[] = {{10, 50}, {50, 50}, {50, 10}, {10, 10}, {20, 40}, {40, 40}, {40, 20}, {20, 20}};
  const std::int32_t counts[] = {4, 4}, negative[] = {4, -4}, huge[] = {4, std::numeric_limits<std::int32_t>::max()},
                     beyond[] = {4, 5};
  region->FillPolygons(points, counts);  // no fill begun
  region->BeginRegFill({.fillColour = 7, .pattern = 0, .patternSize = 6, .patternColour = 2});
  for (const std::span<const std::int32_t> wrong : {std::span<const std::int32_t>(negative), {huge}, {beyond}})
    region->FillPolygons(points, wrong);
  EXPECT_TRUE(inkBounds(region.image).isEmpty()) << "ring sizes the caller got wrong draw nothing";
  region->FillPolygons(points, counts);
  region->EndRegFill();
  const QImage& g = region.done();
  EXPECT_EQ(countColour(g, QRect(12, 12, 36, 6), paletteColour(7)), 36 * 6);
  EXPECT_EQ(countInk(g, QRect(22, 22, 16, 16)), 0) << "an inner ring is a hole";
  EXPECT_EQ(inkBounds(g), QRect(10, 10, 41, 41)) << "the outline is the only ink outside";
  EXPECT_GT(countColour(g, QRect(10, 10, 41, 1), Qt::black), 35);
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

TEST(DisplayDriver, defaultRecordsGiveClearlyDifferentSamples) {
  // Each in a 60 x 60 box, scaled as the pad scales a sample.
  Canvas point(60, 60), line(60, 60), region(60, 60);
  point->DispPnt(D_DOT{30, 30}, "", defaultPoint().put(6, 30.f).put(10, 30.f));
  const D_DOT ends[] = {{10, 30}, {50, 30}}, corners[] = {{5, 45}, {55, 45}, {55, 15}, {5, 15}};
  line->DispLin(ends, defaultLine().put(13, 120.f).put(17, 120.f));
  const std::int32_t four[] = {4};
  region->BeginRegFill({.fillColour = 3, .pattern = 5, .patternSize = 6, .patternColour = 4});
  region->FillPolygons(corners, four);
  region->EndRegFill();
  const QImage &p = point.done(), &l = line.done(), &g = region.done();
  const QRect all(0, 0, 60, 60), inside(7, 17, 46, 26);
  EXPECT_GT(countColour(p, all, paletteColour(5)), 30) << "a red symbol";
  EXPECT_EQ(countColour(p, all, paletteColour(3)), 0);
  EXPECT_GT(countColour(l, all, paletteColour(3)), 20) << "a blue line";
  EXPECT_EQ(countColour(l, all, paletteColour(5)), 0);
  EXPECT_GT(countColour(g, inside, paletteColour(3)), 46 * 26 / 3) << "a blue fill";
  EXPECT_GT(countColour(g, inside, paletteColour(4), 60), 20) << "with its pattern showing";
  EXPECT_GT(countInk(g, all), 2 * std::max(countInk(p, all), countInk(l, all)));
}

}  // namespace
