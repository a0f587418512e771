#include "export/symbol_recipe.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>
#include <string_view>

#include "components/display/palette.h"
#include "components/display/qpainter_driver.h"
#include "components/display/styles.h"
#include "components/drawing/graphic_records.h"
#include "export/sample_drawing.h"
#include "legendfile/byte_order.h"

namespace legend::exporter {
namespace {

namespace point = records::point;
using records::PointType;

// The display draws sizes within these bounds; a record beyond them is
// damage, and the symbol must not carry it into another program either.
constexpr double kMaxExtent = 10000;

double clampSize(double value, double low = 0, double high = kMaxExtent) {
  return std::isnan(value) ? low : std::clamp(value, low, high);
}

QColor colourNumber(std::int64_t number) {
  return display::paletteColour(number >= 0 && number < display::kPaletteSize ? static_cast<int>(number) : -1);
}

Mark circle(double diameter, const QColor& fill) {
  Mark mark;
  mark.size = diameter;
  mark.fill = fill;
  return mark;
}

Mark ring(double diameter, const QColor& stroke, double width) {
  Mark mark;
  mark.size = diameter;
  mark.stroke = stroke;
  mark.strokeWidth = width;
  return mark;
}

Mark cross(double extent, const QColor& stroke, double width) {
  Mark mark;
  mark.shape = Mark::Shape::Cross;
  mark.size = extent;
  mark.stroke = stroke;
  mark.strokeWidth = width;
  return mark;
}

Mark picture(QByteArray svg, double width, double height, const QColor& mainColour) {
  Mark mark;
  mark.shape = Mark::Shape::Picture;
  mark.svg = std::move(svg);
  mark.size = width;
  mark.pictureHeight = height;
  mark.fallbackColour = mainColour;
  return mark;
}

/// A mark that draws nothing, for samples the display draws nothing of: a
/// symbol needs a layer to exist at all.
Mark nothing() { return circle(0, QColor()); }

// --- points -----------------------------------------------------------

std::vector<Mark> pointMarks(const CapturedSample& sample, CellSize cell) {
  const std::span<const std::uint8_t> record(sample.point);
  const QColor colour = colourNumber(load_le<std::uint32_t>(record, point::kColour));
  if (sample.kind == CapturedSample::Kind::Point) {
    const auto type = static_cast<PointType>(record[point::kType]);
    const double diameter = clampSize(load_le<double>(record, point::kMarkerSize));
    if (type == PointType::Dot) return {diameter > 0 ? circle(diameter, colour) : nothing()};
    if (type == PointType::Ring) {
      if (!(diameter > 0)) return {nothing()};
      const display::RingShape shape =
          display::ringShape(diameter, clampSize(load_le<float>(record, point::kPenWidth), 1));
      return {ring(2 * shape.radius, colour, shape.strokeWidth), circle(shape.dotDiameter, colour)};
    }
  }
  // Symbols, texts and the image: the display's own drawing, cut to the ink
  // around the middle so the picture stays centred on the point.
  const QSize size(cell.width, cell.height);
  const QRectF inked = inkedSquareAroundMiddle(iconImage(sample, size));
  if (inked.isNull()) return {nothing()};
  return {picture(iconSvg(sample, size, inked, {}), inked.width(), inked.height(), colour)};
}

// --- lines ------------------------------------------------------------

/// The sizes a line style is drawn with.
struct LineMetrics {
  QColor colour;
  QColor second;
  double pen = 1;
  double length = 1;  ///< one repeat
  double width = 1;   ///< across the line
  double heavy() const { return std::max(2 * pen, pen + 1); }
  double dotRadius() const { return std::max(0.75 * pen, 1.0); }
};

Stroke solid(const QColor& colour, double width, double offset = 0) { return {colour, width, {}, offset}; }

Stroke dashed(const QColor& colour, double width, double on, double off, double offset = 0) {
  return {colour, width, {on, off}, offset};
}

MarksAlong along(Mark mark, double interval, double first) { return {std::move(mark), interval, first}; }

/// Dots between dashes, no larger than @p gap (a fraction of the repeat)
/// allows, at @p at fractions of each repeat.
void dots(std::vector<LineLayer>& layers, const LineMetrics& m, double radius, double gap,
          std::initializer_list<double> at) {
  radius = std::max(std::min(radius, 0.35 * gap * m.length), 0.5);
  for (double f : at) layers.push_back(along(circle(2 * radius, m.colour), m.length, f * m.length));
}

void edges(std::vector<LineLayer>& layers, const LineMetrics& m) {
  layers.push_back(solid(m.colour, m.pen, m.width / 2));
  layers.push_back(solid(m.colour, m.pen, -m.width / 2));
}

/// The style as the display draws it, a picture on every repeat from the
/// line's start. Readers differ on where along a line the first picture
/// goes (QGIS ignores an initial gap), so the pictures are centred on the
/// repeats' starts and need none. They are square: readers also disagree
/// whether a picture's size is its width or its height.
void tiles(std::vector<LineLayer>& layers, const CapturedSample& sample, const LineMetrics& m) {
  const double side = std::max(m.length, m.width + 2 * m.pen + 2);
  layers.push_back(along(picture(lineTileSvg(sample, m.length, side), side, side, m.colour), m.length, 0));
}

std::vector<LineLayer> lineLayers(const CapturedSample& sample, Vocabulary vocabulary) {
  const display::LineStyleParams drawn = display::drawnLineStyle(display::lineStyleParams(sample.line));
  const LineMetrics m{drawn.colour, drawn.secondColour, drawn.penWidth, drawn.patternLength, drawn.patternWidth};
  // Styles are told apart by name, so a style added to the display's list
  // or moved within it falls back to pictures instead of a wrong look.
  const QString name = display::lineStyleName(display::lineStyleOf(sample.line));
  const auto is = [&](const char* style) { return name == QLatin1String(style); };
  std::vector<LineLayer> layers;
  if (is("solid") || is("contour")) {
    layers.push_back(solid(m.colour, m.pen));
  } else if (is("index contour")) {
    layers.push_back(solid(m.colour, m.heavy()));
  } else if (is("dashed")) {
    layers.push_back(dashed(m.colour, m.pen, 0.55 * m.length, 0.45 * m.length));
  } else if (is("long dash")) {
    layers.push_back(dashed(m.colour, m.pen, 0.82 * m.length, 0.18 * m.length));
  } else if (is("dotted")) {
    layers.push_back(along(circle(2 * m.dotRadius(), m.colour), m.length / 2, 0));
  } else if (is("dash-dot") || is("boundary")) {
    const double pen = is("boundary") ? m.heavy() : m.pen;
    layers.push_back(dashed(m.colour, pen, 0.55 * m.length, 0.45 * m.length));
    dots(layers, m, is("boundary") ? 0.6 * pen : 0.8 * m.dotRadius(), 0.225, {0.775});
  } else if (is("dash-dot-dot") || is("state boundary")) {
    const double pen = is("state boundary") ? m.heavy() : m.pen;
    layers.push_back(dashed(m.colour, pen, 0.45 * m.length, 0.55 * m.length));
    dots(layers, m, is("state boundary") ? 0.6 * pen : 0.8 * m.dotRadius(), 0.18, {0.63, 0.815});
  } else if (is("double line")) {
    edges(layers, m);
  } else if (is("cased road") || is("road with centre line")) {
    layers.push_back(solid(m.second, m.width));
    edges(layers, m);
    if (is("road with centre line")) layers.push_back(dashed(m.colour, m.pen, 0.5 * m.length, 0.5 * m.length));
  } else if (is("double dashed")) {
    for (double side : {1.0, -1.0})
      layers.push_back(dashed(m.colour, m.pen, 0.55 * m.length, 0.45 * m.length, side * m.width / 2));
  } else if (is("railway")) {
    // A light band, dark bars on every other repeat, and the edges.
    const double inner = std::max(m.width - m.pen, m.pen);
    layers.push_back(solid(m.second, inner));
    layers.push_back(dashed(m.colour, inner, m.length, m.length));
    if (m.width > 2 * m.pen)
      for (double side : {1.0, -1.0}) layers.push_back(solid(m.colour, m.pen, side * (m.width - m.pen) / 2));
  } else if (is("pipeline")) {
    layers.push_back(solid(m.colour, m.pen));
    const double radius = std::max(std::min(m.width / 2, 0.2 * m.length), m.pen);
    layers.push_back(along(circle(2 * radius, m.colour), m.length, m.length / 2));
  } else if (is("fence") || is("crosses")) {
    if (is("fence")) layers.push_back(solid(m.colour, m.pen));
    const double half = std::min(m.width / 2, (is("fence") ? 0.3 : 0.35) * m.length);
    layers.push_back(along(cross(2 * half, m.colour, m.pen), m.length, m.length / 2));
  } else {
    tiles(layers, sample, m);
  }
  // Marks beside other layers, or not starting on the line's start, rely on
  // where the first mark goes.
  const auto placed = [&](const LineLayer& layer) {
    const auto* marks = std::get_if<MarksAlong>(&layer);
    return marks != nullptr && (layers.size() > 1 || marks->offsetAlong != 0);
  };
  if (vocabulary == Vocabulary::SymbologyEncoding && std::any_of(layers.begin(), layers.end(), placed)) {
    layers.clear();
    tiles(layers, sample, m);
  }
  return layers;
}

// --- regions ----------------------------------------------------------

std::vector<FillLayer> fillLayers(const CapturedSample& sample, Vocabulary vocabulary) {
  const RegionFill& region = sample.region;
  const QColor pattern = colourNumber(region.patternColour);
  // The display takes a pattern cell under a pixel as one pixel.
  const display::PatternCell cell =
      display::patternCell(QSizeF(clampSize(region.patternSize, 1), clampSize(region.patternSize, 1)));
  const double c = cell.size.width();
  std::vector<FillLayer> layers{Fill{colourNumber(region.fillColour), pattern, 1}};
  const QString name = display::fillPatternName(region.pattern);
  const auto is = [&](const char* kind) { return name == QLatin1String(kind); };
  const auto hatch = [&](double angle, double distance, double width) {
    // Level and upright lines run through the middles between the grid's
    // corners, where QGIS puts its first line, and lines of an odd pen width
    // on the middle of a pixel row, so they stay sharp where lines between
    // rows would come out as two grey ones. Slanting lines cross the
    // corners, as QGIS's do.
    const bool upright = angle == 0 || angle == 90;
    const double offset = upright ? distance / 2 + (std::fmod(std::round(width), 2.0) == 1 ? 0.5 : 0) : 0;
    layers.push_back(Hatch{angle, distance, pattern, width, offset});
  };
  const double diagonal = c / std::numbers::sqrt2;
  // Two cells each way hold every pattern's period: chequers, staggered
  // rows and hexagons repeat every second cell. Scattered marks never
  // repeat; a larger tile hides that it does.
  const int tileCells = is("sand") || is("rock") ? 8 : 2;
  if (is("plain")) {
  } else if (vocabulary == Vocabulary::SymbologyEncoding) {
    layers.push_back(TileFill{patternTileSvg(sample, c, tileCells, tileCells), tileCells * c});
  } else if (is("horizontal hatch") || is("vertical hatch") || is("grid")) {
    if (!is("vertical hatch")) hatch(0, c, cell.pen);
    if (!is("horizontal hatch")) hatch(90, c, cell.pen);
  } else if (is("hatch 45") || is("hatch 135") || is("diagonal grid")) {
    if (!is("hatch 135")) hatch(45, diagonal, cell.pen);
    if (!is("hatch 45")) hatch(135, diagonal, cell.pen);
  } else if (is("fine horizontal")) {
    hatch(0, c / 2, cell.pen);
  } else if (is("fine vertical")) {
    hatch(90, c / 2, cell.pen);
  } else if (is("fine 45")) {
    hatch(45, diagonal / 2, cell.pen);
  } else if (is("fine 135")) {
    hatch(135, diagonal / 2, cell.pen);
  } else if (is("coarse 45")) {
    hatch(45, diagonal, 2 * cell.pen);
  } else if (is("dots")) {
    layers.push_back(DotGrid{circle(2 * std::max(0.16 * c, 1.0), pattern), c, c, 0, c / 2, c / 2});
  } else if (is("staggered dots")) {
    layers.push_back(DotGrid{circle(2 * std::max(0.16 * c, 1.0), pattern), c, c, c / 2, c / 4, c / 2});
  } else if (is("circles")) {
    layers.push_back(DotGrid{ring(0.6 * c, pattern, cell.pen), c, c, 0, c / 2, c / 2});
  } else {
    layers.push_back(TileFill{patternTileSvg(sample, c, tileCells, tileCells), tileCells * c});
  }
  return layers;
}

}  // namespace

SymbolRecipe recipeFor(const CapturedSample& sample, CellSize cell, Vocabulary vocabulary) {
  SymbolRecipe recipe;
  switch (sample.kind) {
    case CapturedSample::Kind::Line:
      recipe.kind = SymbolKind::Line;
      recipe.lines = lineLayers(sample, vocabulary);
      break;
    case CapturedSample::Kind::Region:
      recipe.kind = SymbolKind::Fill;
      recipe.fills = fillLayers(sample, vocabulary);
      break;
    case CapturedSample::Kind::Point:
    case CapturedSample::Kind::Image: recipe.marks = pointMarks(sample, cell); break;
    case CapturedSample::Kind::None: recipe.marks = {nothing()}; break;
  }
  return recipe;
}

}  // namespace legend::exporter
