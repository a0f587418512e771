// The point symbol library. Each symbol is drawn in a unit box from -1 to 1
// on both axes (y down, like the device), then mapped onto the caller's size,
// angle and centre. Building the paths in unit space and transforming them
// before stroking keeps the pen the caller's width whatever the aspect ratio.

#include "components/display/styles.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <numbers>

namespace legend::display {

namespace {

// A symbol larger than this covers any sheet; beyond it only the
// rasteriser's fixed-point coordinates would notice, and not kindly.
constexpr double kMaxSymbolExtent = 16384;
constexpr double kMaxPenWidth = 64;
constexpr double kDefaultPenWidth = 1;
// Right angles keep sharp corners; sharper corners are bevelled, since their
// miters would reach past the symbol's box by more than the pen.
constexpr double kMiterLimit = 1.5;
// A centre this far off any real surface cannot put ink on it.
constexpr double kMaxCentreOffset = 1e6;
// Pixel ratios beyond this are no screen's; symbols drawn so large need no snapping.
constexpr double kMaxGridScale = 16;

double twiceSignedArea(const QPainterPath& contour) {
  const QPolygonF outline = contour.toFillPolygon();
  double sum = 0;
  for (qsizetype i = 0; i < outline.size(); ++i) {
    const QPointF a = outline[i], b = outline[(i + 1) % outline.size()];
    sum += a.x() * b.y() - b.x() * a.y();
  }
  return sum;
}

// Solids are added clockwise and cut-outs anticlockwise into one path filled
// with the winding rule: overlapping solids merge, and a cut-out lying on one
// solid shows the background. Boolean path operations would do the same but
// flatten curves in unit space, which turns large circles into polygons.
class Shape {
 public:
  QPainterPath fill;
  QPainterPath line;  // stroked with the caller's pen

  void solid(const QPainterPath& contour) { add(contour, true); }
  void hole(const QPainterPath& contour) { add(contour, false); }

 private:
  void add(const QPainterPath& contour, bool clockwise) {
    fill.addPath((twiceSignedArea(contour) > 0) == clockwise ? contour : contour.toReversed());
  }
};

QPainterPath circle(double x, double y, double r) {
  QPainterPath p;
  p.addEllipse(QPointF(x, y), r, r);
  return p;
}

QPainterPath rect(double x0, double y0, double x1, double y1) {
  QPainterPath p;
  p.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
  return p;
}

QPainterPath roundedRect(double x0, double y0, double x1, double y1, double radius) {
  QPainterPath p;
  p.addRoundedRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)), radius, radius);
  return p;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
  QPainterPath p;
  p.addPolygon(QPolygonF(QList<QPointF>(points)));
  p.closeSubpath();
  return p;
}

// A left-right symmetric outline from its right half, listed top to bottom.
QPainterPath mirrored(std::initializer_list<QPointF> rightHalf) {
  QPolygonF outline{QList<QPointF>(rightHalf)};
  for (auto it = std::rbegin(rightHalf); it != std::rend(rightHalf); ++it) {
    if (it->x() != 0) outline << QPointF(-it->x(), it->y());
  }
  QPainterPath p;
  p.addPolygon(outline);
  p.closeSubpath();
  return p;
}

QPainterPath star(double cx, double cy, double outer, double inner, int tips) {
  QPolygonF outline;
  for (int i = 0; i < 2 * tips; ++i) {
    const double r = i % 2 ? inner : outer;
    const double a = std::numbers::pi * i / tips;  // from straight up, clockwise
    outline << QPointF(cx + r * std::sin(a), cy - r * std::cos(a));
  }
  QPainterPath p;
  p.addPolygon(outline);
  p.closeSubpath();
  return p;
}

// A straight bar of @p halfWidth from @p a to @p b, for heads set at an angle.
QPainterPath bar(QPointF a, QPointF b, double halfWidth) {
  const QPointF d = b - a;
  const double length = std::hypot(d.x(), d.y());
  const QPointF n(-d.y() / length * halfWidth, d.x() / length * halfWidth);
  return polygon({a + n, b + n, b - n, a - n});
}

// An arched top over straight sides down to @p bottom: doors, headstones.
QPainterPath arch(double x0, double x1, double shoulder, double bottom) {
  const double r = (x1 - x0) / 2;
  QPainterPath p;
  p.moveTo(x0, bottom);
  p.lineTo(x0, shoulder);
  p.arcTo(QRectF(x0, shoulder - r, 2 * r, 2 * r), 180, -180);
  p.lineTo(x1, bottom);
  p.closeSubpath();
  return p;
}

void segment(QPainterPath& p, double x0, double y0, double x1, double y1) {
  p.moveTo(x0, y0);
  p.lineTo(x1, y1);
}

void polyline(QPainterPath& p, std::initializer_list<QPointF> points) {
  p.moveTo(*points.begin());
  for (auto it = std::next(points.begin()); it != points.end(); ++it) p.lineTo(*it);
}

// Qt angles: degrees from three o'clock, positive anticlockwise on screen.
void arc(QPainterPath& p, double cx, double cy, double r, double startDegrees, double sweepDegrees) {
  const QRectF box(cx - r, cy - r, 2 * r, 2 * r);
  p.arcMoveTo(box, startDegrees);
  p.arcTo(box, startDegrees, sweepDegrees);
}

// A smooth wave of @p humps alternating up and down; the controls at 4/3 of
// the amplitude make each hump reach it exactly.
void wave(QPainterPath& p, double x0, double x1, double y, double amplitude, int humps) {
  const double step = (x1 - x0) / humps;
  p.moveTo(x0, y);
  for (int i = 0; i < humps; ++i) {
    const double start = x0 + step * i, control = y + (i % 2 ? amplitude : -amplitude) * 4 / 3;
    p.cubicTo(start + step / 3, control, start + 2 * step / 3, control, start + step, y);
  }
}

struct SymbolDef {
  const char* name;
  void (*build)(Shape&);
};

// The first entry is the fallback for unknown numbers and the default of new
// legends, so it must stay legible at a few pixels.
// clang-format off
constexpr SymbolDef kSymbols[] = {
    {"settlement", [](Shape& s) { s.line.addPath(circle(0, 0, 1)); s.solid(circle(0, 0, 0.4)); }},
    {"circle", [](Shape& s) { s.line.addPath(circle(0, 0, 1)); }},
    {"filled circle", [](Shape& s) { s.solid(circle(0, 0, 1)); }},
    {"square", [](Shape& s) { s.line.addPath(rect(-1, -1, 1, 1)); }},
    {"filled square", [](Shape& s) { s.solid(rect(-1, -1, 1, 1)); }},
    {"triangle", [](Shape& s) { s.line.addPath(polygon({{0, -1}, {1, 0.8}, {-1, 0.8}})); }},
    {"filled triangle", [](Shape& s) { s.solid(polygon({{0, -1}, {1, 0.8}, {-1, 0.8}})); }},
    {"diamond", [](Shape& s) { s.line.addPath(polygon({{0, -1}, {1, 0}, {0, 1}, {-1, 0}})); }},
    {"filled diamond", [](Shape& s) { s.solid(polygon({{0, -1}, {1, 0}, {0, 1}, {-1, 0}})); }},
    {"star", [](Shape& s) { s.solid(star(0, 0.1, 1, 0.4, 5)); }},
    {"cross",
     [](Shape& s) {
       segment(s.line, 0, -1, 0, 1);
       segment(s.line, -1, 0, 1, 0);
     }},
    {"x mark",
     [](Shape& s) {
       segment(s.line, -0.85, -0.85, 0.85, 0.85);
       segment(s.line, -0.85, 0.85, 0.85, -0.85);
     }},
    {"crossed circle",
     [](Shape& s) {
       s.line.addPath(circle(0, 0, 1));
       segment(s.line, 0, -1, 0, 1);
       segment(s.line, -1, 0, 1, 0);
     }},
    {"triangulation point",
     [](Shape& s) {
       s.line.addPath(polygon({{0, -1}, {1, 0.8}, {-1, 0.8}}));
       s.solid(circle(0, 0.2, 0.2));
     }},
    {"benchmark",
     [](Shape& s) {
       segment(s.line, -1, -0.5, 1, -0.5);
       for (double foot : {-0.65, 0.0, 0.65}) segment(s.line, 0, -0.5, foot, 1);
     }},
    {"church",
     [](Shape& s) {
       s.solid(rect(-0.5, 0, 0.5, 1));
       segment(s.line, 0, -1, 0, 0);
       segment(s.line, -0.4, -0.62, 0.4, -0.62);
     }},
    {"hospital",
     [](Shape& s) {
       s.solid(rect(-0.9, -0.9, 0.9, 0.9));
       s.hole(polygon({{-0.2, -0.62}, {0.2, -0.62}, {0.2, -0.2}, {0.62, -0.2}, {0.62, 0.2}, {0.2, 0.2},
                       {0.2, 0.62}, {-0.2, 0.62}, {-0.2, 0.2}, {-0.62, 0.2}, {-0.62, -0.2}, {-0.2, -0.2}}));
     }},
    {"airport",
     [](Shape& s) {
       s.solid(mirrored({{0, -1}, {0.1, -0.88}, {0.12, -0.3}, {1, 0.12}, {1, 0.32}, {0.12, 0.1}, {0.1, 0.62},
                         {0.42, 0.85}, {0.42, 0.98}, {0, 0.9}}));
     }},
    {"harbour",
     [](Shape& s) {
       s.line.addPath(circle(0, -0.78, 0.2));
       segment(s.line, 0, -0.58, 0, 1);
       segment(s.line, -0.45, -0.32, 0.45, -0.32);
       arc(s.line, 0, 0.2, 0.8, 180, 180);
       s.solid(polygon({{-0.8, -0.05}, {-0.6, 0.3}, {-1, 0.3}}));
       s.solid(polygon({{0.8, -0.05}, {1, 0.3}, {0.6, 0.3}}));
     }},
    {"mine",
     [](Shape& s) {
       segment(s.line, -0.8, 0.85, 0.62, -0.62);
       segment(s.line, 0.8, 0.85, -0.62, -0.62);
       s.solid(bar({0.35, -0.88}, {0.88, -0.35}, 0.14));
       s.solid(bar({-0.35, -0.88}, {-0.88, -0.35}, 0.14));
     }},
    {"lighthouse",
     [](Shape& s) {
       s.solid(polygon({{-0.22, -0.45}, {0.22, -0.45}, {0.42, 1}, {-0.42, 1}}));
       s.solid(rect(-0.15, -0.75, 0.15, -0.5));
       s.solid(polygon({{0, -1}, {0.25, -0.75}, {-0.25, -0.75}}));
       for (double side : {-1.0, 1.0}) {
         segment(s.line, 0.35 * side, -0.75, 0.95 * side, -0.95);
         segment(s.line, 0.35 * side, -0.55, 0.95 * side, -0.4);
       }
     }},
    {"deciduous tree",
     [](Shape& s) {
       s.solid(circle(0, -0.3, 0.7));
       s.solid(rect(-0.12, 0.2, 0.12, 1));
     }},
    {"conifer",
     [](Shape& s) {
       s.solid(polygon({{0, -1}, {0.55, -0.2}, {-0.55, -0.2}}));
       s.solid(polygon({{0, -0.55}, {0.8, 0.6}, {-0.8, 0.6}}));
       s.solid(rect(-0.12, 0.5, 0.12, 1));
     }},
    {"well",
     [](Shape& s) {
       s.line.addPath(circle(0, 0.45, 0.5));
       segment(s.line, -0.8, 1, -0.8, -0.6);
       segment(s.line, 0.8, 1, 0.8, -0.6);
       polyline(s.line, {{-1, -0.5}, {0, -1}, {1, -0.5}});
     }},
    {"spring",
     [](Shape& s) {
       s.solid(circle(-0.65, 0, 0.33));
       wave(s.line, -0.32, 1, 0, 0.3, 2);
     }},
    {"windmill",
     [](Shape& s) {
       s.solid(polygon({{-0.22, -0.1}, {0.22, -0.1}, {0.42, 1}, {-0.42, 1}}));
       segment(s.line, -0.8, -1, 0.8, 0.6);
       segment(s.line, 0.8, -1, -0.8, 0.6);
     }},
    {"tower",
     [](Shape& s) {
       segment(s.line, -0.6, 1, -0.2, -0.65);
       segment(s.line, 0.6, 1, 0.2, -0.65);
       polyline(s.line, {{-0.6, 1}, {0.39, 0.15}, {-0.39, 0.15}, {0.6, 1}});
       s.solid(rect(-0.4, -1, 0.4, -0.65));
     }},
    {"antenna",
     [](Shape& s) {
       segment(s.line, 0, -0.45, 0, 1);
       s.solid(circle(0, -0.45, 0.13));
       for (double r : {0.35, 0.7}) {
         arc(s.line, 0, -0.45, r, -50, 100);
         arc(s.line, 0, -0.45, r, 130, 100);
       }
     }},
    {"bridge",
     [](Shape& s) {
       polyline(s.line, {{-0.95, -0.8}, {-0.6, -0.35}, {0.6, -0.35}, {0.95, -0.8}});
       polyline(s.line, {{-0.95, 0.8}, {-0.6, 0.35}, {0.6, 0.35}, {0.95, 0.8}});
     }},
    {"pass",
     [](Shape& s) {
       s.line.moveTo(-0.75, -1);
       s.line.quadTo(0.2, 0, -0.75, 1);
       s.line.moveTo(0.75, -1);
       s.line.quadTo(-0.2, 0, 0.75, 1);
     }},
    {"mountain", [](Shape& s) { s.solid(polygon({{-1, 0.8}, {-0.25, -0.9}, {0.2, 0.1}, {0.5, -0.35}, {1, 0.8}})); }},
    {"cave",
     [](Shape& s) {
       QPainterPath dome;
       dome.moveTo(-1, 0.8);
       dome.arcTo(QRectF(-1, -0.8, 2, 3.2), 180, -180);
       dome.closeSubpath();
       s.solid(dome);
       s.hole(arch(-0.4, 0.4, 0.3, 0.8));
     }},
    {"camp",
     [](Shape& s) {
       s.solid(polygon({{0, -0.85}, {1, 0.8}, {-1, 0.8}}));
       s.hole(polygon({{0, -0.05}, {0.38, 0.8}, {-0.38, 0.8}}));
     }},
    {"parking",
     [](Shape& s) {
       s.solid(roundedRect(-0.9, -0.9, 0.9, 0.9, 0.2));
       QPainterPath letter;  // the letter P, drawn as a path so no font is involved
       letter.moveTo(-0.4, 0.65);
       letter.lineTo(-0.4, -0.65);
       letter.lineTo(0.02, -0.65);
       letter.arcTo(QRectF(-0.38, -0.65, 0.8, 0.8), 90, -180);
       letter.lineTo(-0.14, 0.15);
       letter.lineTo(-0.14, 0.65);
       letter.closeSubpath();
       s.hole(letter);
       QPainterPath counter;
       counter.moveTo(-0.14, -0.4);
       counter.lineTo(0.02, -0.4);
       counter.arcTo(QRectF(-0.13, -0.4, 0.3, 0.3), 90, -180);
       counter.lineTo(-0.14, -0.1);
       counter.closeSubpath();
       s.solid(counter);
     }},
    {"fuel",
     [](Shape& s) {
       s.solid(rect(-0.65, -0.85, 0.25, 1));
       s.hole(rect(-0.5, -0.65, 0.1, -0.2));
       polyline(s.line, {{0.25, 0.3}, {0.7, 0.3}, {0.7, -0.5}, {0.45, -0.8}});
     }},
    {"flag",
     [](Shape& s) {
       segment(s.line, -0.7, 1, -0.7, -1);
       s.solid(polygon({{-0.7, -1}, {0.9, -0.55}, {-0.7, -0.1}}));
     }},
    {"post office",
     [](Shape& s) {
       s.line.addPath(rect(-1, -0.65, 1, 0.65));
       polyline(s.line, {{-1, -0.65}, {0, 0.15}, {1, -0.65}});
     }},
    {"school",
     [](Shape& s) {
       s.solid(polygon({{-0.85, 1}, {-0.85, 0.05}, {0, -0.4}, {0.85, 0.05}, {0.85, 1}}));
       s.hole(rect(-0.18, 0.45, 0.18, 1));
       segment(s.line, 0, -0.4, 0, -1);
       s.solid(polygon({{0, -1}, {0.6, -0.83}, {0, -0.66}}));
     }},
    {"monument",
     [](Shape& s) {
       s.solid(polygon({{0, -1}, {0.17, -0.75}, {0.27, 0.7}, {-0.27, 0.7}, {-0.17, -0.75}}));
       s.solid(rect(-0.5, 0.68, 0.5, 1));
     }},
    {"ruin",
     [](Shape& s) {
       for (double x : {-1.0, 1.0}) {
         for (double y : {-1.0, 1.0}) {
           polyline(s.line, {{0.85 * x, 0.45 * y}, {0.85 * x, 0.85 * y}, {0.45 * x, 0.85 * y}});
         }
       }
     }},
    {"cemetery",
     [](Shape& s) {
       s.solid(arch(-0.65, 0.65, -0.35, 1));
       s.hole(polygon({{-0.09, -0.6}, {0.09, -0.6}, {0.09, -0.3}, {0.32, -0.3}, {0.32, -0.12}, {0.09, -0.12},
                       {0.09, 0.6}, {-0.09, 0.6}, {-0.09, -0.12}, {-0.32, -0.12}, {-0.32, -0.3}, {-0.09, -0.3}}));
     }},
    {"dam",
     [](Shape& s) {
       s.solid(rect(-1, -0.45, 1, -0.15));
       for (double x : {-0.67, 0.0, 0.67}) s.solid(polygon({{x - 0.27, -0.2}, {x + 0.27, -0.2}, {x, 0.45}}));
     }},
    {"waterfall",
     [](Shape& s) {
       segment(s.line, -1, -0.7, 1, -0.7);
       for (double x : {-0.55, 0.0, 0.55}) {
         s.line.moveTo(x - 0.3, -0.7);
         s.line.quadTo(x, -0.7, x, -0.1);
         s.line.lineTo(x, 1);
       }
     }},
    {"ferry",
     [](Shape& s) {
       s.solid(polygon({{-1, 0.05}, {1, 0.05}, {0.7, 0.6}, {-0.7, 0.6}}));
       s.solid(rect(-0.45, -0.45, 0.35, 0.1));
       s.solid(rect(-0.15, -0.8, 0.1, -0.4));
       wave(s.line, -1, 1, 0.85, 0.1, 4);
     }},
    {"railway station",
     [](Shape& s) {
       s.line.addPath(rect(-1, -0.5, 1, 0.5));
       s.solid(rect(-1, -0.5, 0, 0.5));
     }},
    {"bus stop",
     [](Shape& s) {
       s.solid(roundedRect(-0.7, -1, 0.7, 0.72, 0.18));
       s.hole(rect(-0.52, -0.75, 0.52, -0.05));
       s.hole(circle(-0.38, 0.38, 0.12));
       s.hole(circle(0.38, 0.38, 0.12));
       s.solid(rect(-0.6, 0.6, -0.3, 1));
       s.solid(rect(0.3, 0.6, 0.6, 1));
     }},
    {"information",
     [](Shape& s) {
       s.line.addPath(circle(0, 0, 1));
       s.solid(circle(0, -0.48, 0.14));
       s.solid(rect(-0.12, -0.2, 0.12, 0.6));
     }},
    {"castle",
     [](Shape& s) {
       s.solid(polygon({{-0.8, 1}, {-0.8, -1}, {-0.45, -1}, {-0.45, -0.65}, {-0.175, -0.65}, {-0.175, -1}, {0.175, -1},
                        {0.175, -0.65}, {0.45, -0.65}, {0.45, -1}, {0.8, -1}, {0.8, 1}}));
       s.hole(arch(-0.25, 0.25, 0.5, 1));
     }},
    {"factory",
     [](Shape& s) {
       s.solid(polygon({{-1, 1}, {-1, -0.2}, {-0.55, -0.55}, {-0.55, -0.2}, {-0.1, -0.55}, {-0.1, -0.2}, {0.45, -0.2},
                        {0.45, -1}, {0.72, -1}, {0.72, -0.2}, {1, -0.2}, {1, 1}}));
     }},
    {"hut", [](Shape& s) { s.line.addPath(polygon({{-0.85, 1}, {-0.85, -0.1}, {0, -0.9}, {0.85, -0.1}, {0.85, 1}})); }},
    {"arrow",
     [](Shape& s) {
       s.solid(mirrored({{0, -1}, {0.7, -0.2}, {0.22, -0.2}, {0.22, 1}, {0, 1}}));
     }},
    {"capital",
     [](Shape& s) {
       s.line.addPath(circle(0, 0, 1));
       s.solid(star(0, 0.07, 0.75, 0.3, 5));
     }},
};
// clang-format on

constexpr int kSymbolCount = static_cast<int>(std::size(kSymbols));

const SymbolDef& symbolFor(int number) { return kSymbols[number >= 1 && number <= kSymbolCount ? number - 1 : 0]; }

double clampExtent(double extent) { return std::isfinite(extent) ? std::clamp(extent, 0.0, kMaxSymbolExtent) : 0; }

// On a pixel surface, lines of an odd pen are crisp along pixel centres and
// those of an even pen along pixel boundaries, counted in device pixels.
// That holds only while the symbol stays axis-aligned and each of the
// painter's pixels is a whole number of device pixels: one on most screens,
// two or more on a high-density one. Returns that number, or 0 when the
// symbol cannot be kept on the grid.
int pixelGridScale(const QPainter& painter, double angle) {
  const double quarterTurns = angle / 90;
  if (quarterTurns != std::round(quarterTurns)) return 0;
  const QTransform device = painter.deviceTransform();
  if (device.type() <= QTransform::TxTranslate) return 1;
  // Only raster surfaces are scaled onto the grid: a file (PDF, SVG) keeps
  // the geometry it was given.
  const QPaintEngine* engine = painter.paintEngine();
  if (device.type() != QTransform::TxScale || engine == nullptr || engine->type() != QPaintEngine::Raster) return 0;
  const double scale = device.m11();
  if (scale != device.m22() || scale < 1 || scale > kMaxGridScale || scale != std::round(scale)) return 0;
  return static_cast<int>(scale);
}

}  // namespace

int pointSymbolCount() { return kSymbolCount; }

QString pointSymbolName(int number) { return QString::fromLatin1(symbolFor(number).name); }

void drawPointSymbol(QPainter& painter, int number, QPointF centre, QSizeF size, double angleDegrees,
                     const QColor& colour, double penWidth) {
  const double width = clampExtent(size.width()), height = clampExtent(size.height());
  const bool centreUsable = std::isfinite(centre.x()) && std::isfinite(centre.y()) &&
                            std::abs(centre.x()) < kMaxCentreOffset && std::abs(centre.y()) < kMaxCentreOffset;
  if (!painter.isActive() || width <= 0 || height <= 0 || !centreUsable) return;
  const double pen = std::isfinite(penWidth) ? std::clamp(penWidth, 0.0, kMaxPenWidth) : kDefaultPenWidth;
  const double angle = std::isfinite(angleDegrees) ? std::remainder(angleDegrees, 360.0) : 0;

  Shape shape;
  symbolFor(number).build(shape);

  // Outlines straddle their path, so the unit box is pulled in by the pen
  // (a zero pen still draws one pixel) to keep them inside the given size; a
  // pen too heavy for the symbol takes at most half of it.
  const double inset = std::min(std::max(pen, 1.0), 0.5 * std::min(width, height));
  double halfWidth = (width - inset) / 2, halfHeight = (height - inset) / 2;
  QPointF at = centre;
  if (const int scale = pixelGridScale(painter, angle); scale > 0) {
    // A centre on a crisp line and whole-pixel half extents put the centre
    // lines and the box outline on crisp lines, and keep symmetric symbols
    // symmetric pixel for pixel; all in device pixels.
    const QTransform device = painter.deviceTransform();
    const double phase = std::fmod(std::max(std::round(pen * scale), 1.0), 2) == 1 ? 0.5 : 0;
    const auto snap = [phase, scale](double c, double offset) {
      return (std::floor(c * scale + offset - phase + 0.5) + phase - offset) / scale;
    };
    at = QPointF(snap(centre.x(), device.dx()), snap(centre.y(), device.dy()));
    if (halfWidth * scale >= 1) halfWidth = std::floor(halfWidth * scale) / scale;
    if (halfHeight * scale >= 1) halfHeight = std::floor(halfHeight * scale) / scale;
  }
  QTransform toDevice;
  toDevice.translate(at.x(), at.y());
  toDevice.rotate(-angle);  // device y points down, so anticlockwise on screen is negative
  toDevice.scale(halfWidth, halfHeight);

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  if (!shape.fill.isEmpty()) {
    QPainterPath fill = toDevice.map(shape.fill);
    fill.setFillRule(Qt::WindingFill);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(fill);
  }
  if (!shape.line.isEmpty()) {
    QPen outline(colour, pen, Qt::SolidLine, Qt::FlatCap, Qt::SvgMiterJoin);
    outline.setMiterLimit(kMiterLimit);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(toDevice.map(shape.line));
  }
  painter.restore();
}

}  // namespace legend::display
