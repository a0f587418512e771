// Fill patterns. A pattern is a small builder that inks one cell of a grid
// anchored at the painter's origin, so regions filled one by one line up
// where they meet. The cells are drawn as vector paths clipped to the area:
// a texture brush would come out as a bitmap in PDF and SVG output.

#include "components/display/styles.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <optional>

#include "components/display/paintable_area.h"

namespace legend::display {
namespace {

constexpr double kMinCell = 2, kMaxCell = 512, kDefaultCell = 8;
/// Beyond this many cells per call the cells grow: a huge area at a tiny cell
/// would otherwise hang the painter and bloat vector output. A raster surface
/// only lays out the cells it shows, so this bites on pictures and vector
/// files, where it still allows a region of some two thousand pixels square
/// at six-pixel cells.
constexpr double kMaxCells = 100000;
/// Cells are only laid out within this many pixels of the origin.
constexpr double kMaxCoordinate = 1e9;

double sanitiseCell(double value) {
  if (std::isnan(value)) return kDefaultCell;
  return std::clamp(value, kMinCell, kMaxCell);
}

/// One cell of the grid: top-left corner, size, and its column and row
/// counted from the origin.
struct Cell {
  double x;
  double y;
  double w;
  double h;
  std::int64_t column;
  std::int64_t row;

  /// The point at fractions @p fx across and @p fy down the cell.
  QPointF at(double fx, double fy) const { return {x + fx * w, y + fy * h}; }
  /// The same, half a cell further right on odd rows, for staggered marks.
  QPointF staggered(double fx, double fy) const { return at(fx + (oddRow() ? 0.5 : 0), fy); }
  bool oddRow() const { return (row & 1) != 0; }
  /// Every other cell, like the dark squares of a chessboard; marks too big
  /// for every cell go there.
  bool chequer() const { return ((column + row) & 1) == 0; }
  double size() const { return std::min(w, h); }
  /// A number in [0, 1) fixed for this cell and @p salt, so stipples look
  /// random yet repeat exactly in every drawing.
  double noise(std::uint64_t salt) const {
    std::uint64_t z = static_cast<std::uint64_t>(column) * 0x9E3779B97F4A7C15ULL ^
                      static_cast<std::uint64_t>(row) * 0xC2B2AE3D27D4EB4FULL ^ salt * 0x165667B19E3779F9ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * 0x1.0p-53;
  }
};

/// What the cells of one call add up to; drawn in one go at the end.
struct Ink {
  QPainterPath strokes;
  QPainterPath heavy;  ///< strokes at twice the pen
  QPainterPath fills;
  double pen = 1;

  /// A coordinate moved to where a line of the pen covers whole pixels.
  double snap(double v) const { return std::fmod(std::round(pen), 2.0) == 1 ? std::floor(v) + 0.5 : std::round(v); }
  void line(QPointF a, QPointF b) {
    strokes.moveTo(a);
    strokes.lineTo(b);
  }
  void horizontal(double x0, double x1, double y) { line({x0, snap(y)}, {x1, snap(y)}); }
  void vertical(double x, double y0, double y1) { line({snap(x), y0}, {snap(x), y1}); }
  void dot(QPointF centre, double radius) { fills.addEllipse(centre, radius, radius); }
  void ring(QPointF centre, double radius) { strokes.addEllipse(centre, radius, radius); }
};

void polyline(QPainterPath& path, std::initializer_list<QPointF> points) {
  path.moveTo(*points.begin());
  for (auto it = points.begin() + 1; it != points.end(); ++it) path.lineTo(*it);
}

void polygon(QPainterPath& path, std::initializer_list<QPointF> points) {
  polyline(path, points);
  path.closeSubpath();
}

double dotRadius(const Cell& c) { return std::max(0.16 * c.size(), 1.0); }

/// A tuft of three blades rising from @p base, @p height tall.
void tuft(Ink& ink, QPointF base, double width, double height) {
  ink.line(base, base + QPointF(-width / 2, -height * 0.8));
  ink.line(base, base + QPointF(0, -height));
  ink.line(base, base + QPointF(width / 2, -height * 0.8));
}

void riceStroke(const Cell& c, Ink& ink) {
  // Short strokes on staggered rows read as a planted field even at six
  // pixels, where vertical hatching would merge into a grey.
  const double x = c.x + c.w * (c.oddRow() ? 0.75 : 0.25);
  ink.vertical(x, std::round(c.y + 0.25 * c.h), std::round(c.y + 0.75 * c.h));
}

void diagonalUp(const Cell& c, QPainterPath& path) {
  path.moveTo(c.at(0, 1));
  path.lineTo(c.at(1, 0));
}

void diagonalDown(const Cell& c, QPainterPath& path) {
  path.moveTo(c.at(0, 0));
  path.lineTo(c.at(1, 1));
}

void hexagonTile(const Cell& c, Ink& ink) {
  // Flat-topped hexagons repeat every two columns; the even column draws the
  // whole tile and the clip or the next tile takes care of the overhang.
  if ((c.column & 1) != 0) return;
  const Cell tile{c.x, c.y, 2 * c.w, c.h, c.column, c.row};
  polyline(ink.strokes, {tile.at(1.0 / 6, 0), tile.at(1.0 / 3, 0.5), tile.at(1.0 / 6, 1)});
  ink.line(tile.at(1.0 / 3, 0.5), tile.at(2.0 / 3, 0.5));
  polyline(ink.strokes, {tile.at(5.0 / 6, 0), tile.at(2.0 / 3, 0.5), tile.at(5.0 / 6, 1)});
  ink.line(tile.at(0, 0), tile.at(1.0 / 6, 0));
  ink.line(tile.at(5.0 / 6, 0), tile.at(1, 0));
}

using DrawCell = void (*)(const Cell&, Ink&);

struct Pattern {
  const char* name;
  DrawCell draw;  ///< null for the plain fill
};

const std::array kPatterns = {
    Pattern{"plain", nullptr},
    Pattern{"horizontal hatch", [](const Cell& c, Ink& ink) { ink.horizontal(c.x, c.x + c.w, c.y + c.h / 2); }},
    Pattern{"vertical hatch", [](const Cell& c, Ink& ink) { ink.vertical(c.x + c.w / 2, c.y, c.y + c.h); }},
    Pattern{"hatch 45", [](const Cell& c, Ink& ink) { diagonalUp(c, ink.strokes); }},
    Pattern{"hatch 135", [](const Cell& c, Ink& ink) { diagonalDown(c, ink.strokes); }},
    // 5, the pattern of new legends.
    Pattern{"rice paddy", riceStroke},
    Pattern{"grid",
            [](const Cell& c, Ink& ink) {
              ink.horizontal(c.x, c.x + c.w, c.y + c.h / 2);
              ink.vertical(c.x + c.w / 2, c.y, c.y + c.h);
            }},
    Pattern{"diagonal grid",
            [](const Cell& c, Ink& ink) {
              diagonalUp(c, ink.strokes);
              diagonalDown(c, ink.strokes);
            }},
    Pattern{"fine horizontal",
            [](const Cell& c, Ink& ink) {
              ink.horizontal(c.x, c.x + c.w, c.y + c.h / 4);
              ink.horizontal(c.x, c.x + c.w, c.y + 3 * c.h / 4);
            }},
    Pattern{"fine vertical",
            [](const Cell& c, Ink& ink) {
              ink.vertical(c.x + c.w / 4, c.y, c.y + c.h);
              ink.vertical(c.x + 3 * c.w / 4, c.y, c.y + c.h);
            }},
    Pattern{"fine 45",
            [](const Cell& c, Ink& ink) {
              diagonalUp(c, ink.strokes);
              ink.line(c.at(0, 0.5), c.at(0.5, 0));
              ink.line(c.at(0.5, 1), c.at(1, 0.5));
            }},
    Pattern{"fine 135",
            [](const Cell& c, Ink& ink) {
              diagonalDown(c, ink.strokes);
              ink.line(c.at(0.5, 0), c.at(1, 0.5));
              ink.line(c.at(0, 0.5), c.at(0.5, 1));
            }},
    Pattern{"coarse 45", [](const Cell& c, Ink& ink) { diagonalUp(c, ink.heavy); }},
    Pattern{"dots", [](const Cell& c, Ink& ink) { ink.dot(c.at(0.5, 0.5), dotRadius(c)); }},
    Pattern{"staggered dots", [](const Cell& c, Ink& ink) { ink.dot(c.staggered(0.25, 0.5), dotRadius(c)); }},
    Pattern{"circles", [](const Cell& c, Ink& ink) { ink.ring(c.at(0.5, 0.5), 0.3 * c.size()); }},
    Pattern{"bricks",
            [](const Cell& c, Ink& ink) {
              // A cell is two courses, the upper one's joints offset by half a brick.
              ink.horizontal(c.x, c.x + c.w, c.y);
              ink.horizontal(c.x, c.x + c.w, c.y + c.h / 2);
              ink.vertical(c.x + c.w / 2, c.y, c.y + c.h / 2);
              ink.vertical(c.x, c.y + c.h / 2, c.y + c.h);
            }},
    Pattern{"chequerboard",
            [](const Cell& c, Ink& ink) {
              if (c.chequer()) ink.fills.addRect(QRectF(c.x, c.y, c.w, c.h));
            }},
    Pattern{"grass",
            [](const Cell& c, Ink& ink) {
              if (c.chequer()) tuft(ink, c.at(0.5, 0.85), 0.8 * c.w, 0.7 * c.h);
            }},
    Pattern{"marsh",
            [](const Cell& c, Ink& ink) {
              // Water lines on every row, tufts rising from every other one.
              ink.horizontal(c.x + 0.1 * c.w, c.x + 0.9 * c.w, c.y + 0.8 * c.h);
              if (c.chequer()) tuft(ink, QPointF(c.x + 0.5 * c.w, ink.snap(c.y + 0.8 * c.h)), 0.6 * c.w, 0.6 * c.h);
            }},
    Pattern{"orchard",
            [](const Cell& c, Ink& ink) {
              ink.ring(c.at(0.5, 0.35), 0.22 * c.size());
              ink.vertical(c.x + c.w / 2, c.y + 0.35 * c.h + 0.22 * c.size(), c.y + 0.85 * c.h);
            }},
    Pattern{"forest",
            [](const Cell& c, Ink& ink) {
              if (!c.chequer()) return;
              polygon(ink.fills, {c.at(0.5, 0.05), c.at(0.85, 0.7), c.at(0.15, 0.7)});
              ink.vertical(c.x + c.w / 2, c.y + 0.7 * c.h, c.y + 0.95 * c.h);
            }},
    Pattern{"vineyard",
            [](const Cell& c, Ink& ink) {
              polyline(ink.strokes, {c.at(0.2, 0.15), c.at(0.5, 0.5), c.at(0.8, 0.15)});
              ink.vertical(c.x + c.w / 2, c.y + 0.5 * c.h, c.y + 0.9 * c.h);
            }},
    Pattern{"sand",
            [](const Cell& c, Ink& ink) {
              for (std::uint64_t i = 0; i < 2; ++i) {
                ink.dot(c.at(0.1 + 0.8 * c.noise(2 * i), 0.1 + 0.8 * c.noise(2 * i + 1)),
                        std::max(0.6 * ink.pen, 0.08 * c.size()));
              }
            }},
    Pattern{"rock",
            [](const Cell& c, Ink& ink) {
              if (!c.chequer()) return;
              auto jitter = [&](std::uint64_t salt) { return 0.15 * (c.noise(salt) - 0.5); };
              polygon(ink.strokes, {c.at(0.2 + jitter(1), 0.8 + jitter(2)), c.at(0.45 + jitter(3), 0.15 + jitter(4)),
                           c.at(0.85 + jitter(5), 0.75 + jitter(6))});
            }},
    Pattern{"swamp",
            [](const Cell& c, Ink& ink) {
              const double y = c.y + 0.5 * c.h, shift = c.oddRow() ? 0.5 : 0;
              ink.horizontal(c.x + (shift + 0.05) * c.w, c.x + (shift + 0.55) * c.w, y);
              ink.horizontal(c.x + (shift + 0.7) * c.w, c.x + (shift + 0.85) * c.w, y);
            }},
    Pattern{"triangles",
            [](const Cell& c, Ink& ink) {
              polygon(ink.fills, {c.at(0.5, 0.2), c.at(0.8, 0.75), c.at(0.2, 0.75)});
            }},
    Pattern{"zigzag",
            [](const Cell& c, Ink& ink) {
              // Cut mid-slope so neighbouring cells join without a notch.
              polyline(ink.strokes, {c.at(0, 0.5), c.at(0.25, 0.25), c.at(0.75, 0.75), c.at(1, 0.5)});
            }},
    Pattern{"waves",
            [](const Cell& c, Ink& ink) {
              constexpr int kSteps = 8;
              ink.strokes.moveTo(c.at(0, 0.5));
              for (int i = 1; i <= kSteps; ++i) {
                const double f = double(i) / kSteps;
                ink.strokes.lineTo(c.at(f, 0.5 - 0.2 * std::sin(2 * std::numbers::pi * f)));
              }
            }},
    Pattern{"plus signs",
            [](const Cell& c, Ink& ink) {
              ink.horizontal(c.x + 0.25 * c.w, c.x + 0.75 * c.w, c.y + c.h / 2);
              ink.vertical(c.x + c.w / 2, c.y + 0.25 * c.h, c.y + 0.75 * c.h);
            }},
    Pattern{"crosses",
            [](const Cell& c, Ink& ink) {
              ink.line(c.at(0.3, 0.3), c.at(0.7, 0.7));
              ink.line(c.at(0.3, 0.7), c.at(0.7, 0.3));
            }},
    Pattern{"hexagons", hexagonTile},
    Pattern{"dashes",
            [](const Cell& c, Ink& ink) {
              const double shift = c.oddRow() ? 0.5 : 0;
              ink.horizontal(c.x + (shift + 0.25) * c.w, c.x + (shift + 0.75) * c.w, c.y + c.h / 2);
            }},
    Pattern{"diamonds",
            [](const Cell& c, Ink& ink) {
              polygon(ink.strokes, {c.at(0.5, 0.1), c.at(0.9, 0.5), c.at(0.5, 0.9), c.at(0.1, 0.5)});
            }},
    Pattern{"stripes", [](const Cell& c, Ink& ink) { ink.fills.addRect(QRectF(c.x, c.y, c.w, c.h / 2)); }},
    Pattern{"tiles",
            [](const Cell& c, Ink& ink) {
              ink.fills.addRect(QRectF(c.x + 0.15 * c.w, c.y + 0.15 * c.h, 0.7 * c.w, 0.7 * c.h));
            }},
};

const Pattern& patternFor(int pattern) {
  // Out of range falls back to the plain fill.
  if (pattern < 0 || pattern >= int(kPatterns.size())) return kPatterns[0];
  return kPatterns[std::size_t(pattern)];
}

/// The region of @p area the painter can show, in the painter's coordinates.
QRectF visiblePart(const QPainter& painter, const QPainterPath& area) {
  QRectF visible = area.boundingRect();
  if (const std::optional<QRectF> paintable = paintableArea(painter)) visible &= *paintable;
  return visible & QRectF(-kMaxCoordinate, -kMaxCoordinate, 2 * kMaxCoordinate, 2 * kMaxCoordinate);
}

/// Marks are drawn with a pen that grows with the cell, a pixel per nine.
double patternPen(double w, double h) { return std::clamp(std::round(std::min(w, h) / 9), 1.0, 4.0); }

}  // namespace

PatternCell patternCell(QSizeF cellSize) {
  const double w = sanitiseCell(cellSize.width()), h = sanitiseCell(cellSize.height());
  return {QSizeF(w, h), patternPen(w, h)};
}

int fillPatternCount() { return int(kPatterns.size()); }

QString fillPatternName(int pattern) { return QString::fromLatin1(patternFor(pattern).name); }

void fillRegion(QPainter& painter, const QPainterPath& area, const QColor& fill, int pattern, QSizeF cellSize,
                const QColor& patternColour) {
  if (area.isEmpty()) return;
  if (fill.isValid()) painter.fillPath(area, fill);
  const DrawCell draw = patternFor(pattern).draw;
  if (!draw) return;

  const QRectF visible = visiblePart(painter, area);
  if (!visible.isValid() || !std::isfinite(visible.width()) || !std::isfinite(visible.height())) return;
  const QSizeF cell = patternCell(cellSize).size;
  double w = cell.width(), h = cell.height();
  // One extra cell on each side, for marks that reach over from a neighbour.
  auto cellCount = [&] { return (visible.width() / w + 3) * (visible.height() / h + 3); };
  if (const double count = cellCount(); count > kMaxCells) {
    const double grow = std::sqrt(count / kMaxCells) * 1.01;
    w *= grow;
    h *= grow;
  }
  // Columns and rows keep to the origin so neighbouring regions line up.
  const auto first = [](double from, double step) { return static_cast<std::int64_t>(std::floor(from / step)) - 1; };
  const std::int64_t left = first(visible.left(), w), top = first(visible.top(), h);
  const std::int64_t right = first(visible.right(), w) + 2, bottom = first(visible.bottom(), h) + 2;

  Ink ink;
  ink.pen = patternPen(w, h);
  ink.fills.setFillRule(Qt::WindingFill);
  for (std::int64_t row = top; row <= bottom; ++row) {
    for (std::int64_t column = left; column <= right; ++column) {
      draw(Cell{double(column) * w, double(row) * h, w, h, column, row}, ink);
    }
  }

  const QColor colour = patternColour.isValid() ? patternColour : QColor(Qt::black);
  painter.save();
  painter.setClipPath(area, Qt::IntersectClip);
  painter.setBrush(Qt::NoBrush);
  if (!ink.strokes.isEmpty())
    painter.strokePath(ink.strokes, QPen(colour, ink.pen, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  if (!ink.heavy.isEmpty())
    painter.strokePath(ink.heavy, QPen(colour, 2 * ink.pen, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  if (!ink.fills.isEmpty()) painter.fillPath(ink.fills, colour);
  painter.restore();
}

}  // namespace legend::display
