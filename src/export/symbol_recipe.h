#pragma once
// A legend's sample as symbol layers of the kinds other GIS draw: marks at a
// point, strokes and marks along a line, fills, hatches and dot grids over
// an area. Where such layers reproduce a sample faithfully they are used,
// since they stay sharp at any scale and can be edited there; where they
// cannot, the sample is embedded as a picture drawn by the display
// component: the whole point sample, one repeat of a line style, or a tile
// of a fill pattern. Sizes are pixels of the pad's drawing at one cell size.

#include <variant>
#include <vector>

#include <QByteArray>
#include <QColor>

#include "export/sample_capture.h"

namespace legend::exporter {

/// A mark drawn at a point, centred on it.
struct Mark {
  enum class Shape : std::uint8_t {
    Circle,
    Cross,    ///< a diagonal cross, like an x
    Picture,  ///< the SVG document in svg
  };
  Shape shape = Shape::Circle;
  double size = 0;  ///< the diameter, the cross's extent, the picture's width
  double pictureHeight = 0;
  QColor fill;    ///< not valid: not filled
  QColor stroke;  ///< not valid: no outline
  double strokeWidth = 0;
  QByteArray svg;
  /// For readers that cannot show a picture: the symbol's main colour.
  QColor fallbackColour;
};

/// A line drawn along the feature, dashed when dashes holds on and off
/// lengths, @p offset to the side (positive to the left of its direction).
struct Stroke {
  QColor colour;
  double width = 1;
  std::vector<double> dashes;
  double offset = 0;
};

/// @p mark every @p interval along the line, the first @p offsetAlong from
/// its start, turned with the line.
struct MarksAlong {
  Mark mark;
  double interval = 1;
  double offsetAlong = 0;
};

/// A plain fill with a one-pixel outline.
struct Fill {
  QColor colour;
  QColor outline;
  double outlineWidth = 1;
};

/// Parallel lines @p distance apart at @p angle degrees anticlockwise,
/// shifted @p offset across themselves.
struct Hatch {
  double angle = 0;
  double distance = 1;
  QColor colour;
  double width = 1;
  double offset = 0;
};

/// @p mark on a grid, the first at (@p offsetX, @p offsetY), every other
/// row shifted by @p shiftX.
struct DotGrid {
  Mark mark;
  double distanceX = 1;
  double distanceY = 1;
  double shiftX = 0;
  double offsetX = 0;
  double offsetY = 0;
};

/// A picture repeated over the area.
struct TileFill {
  QByteArray svg;
  double width = 1;
};

enum class SymbolKind : std::uint8_t { Marker, Line, Fill };

using LineLayer = std::variant<Stroke, MarksAlong>;
using FillLayer = std::variant<Fill, Hatch, DotGrid, TileFill>;

/// The layers of one symbol, bottom first. Exactly one of the lists is used,
/// the one of kind, and it is never empty.
struct SymbolRecipe {
  SymbolKind kind = SymbolKind::Marker;
  std::vector<Mark> marks;
  std::vector<LineLayer> lines;
  std::vector<FillLayer> fills;
};

/// Which layers a recipe may use.
enum class Vocabulary : std::uint8_t {
  QgisLayers,  ///< everything above
  /// What OGC Symbology Encoding documents say and their readers agree on:
  /// no hatches or dot grids, which it has no marks for, and no marks along
  /// a line beside other layers, since readers differ on where the first
  /// mark goes. Patterns and such lines become pictures of one repeat.
  SymbologyEncoding,
};

/// The recipe of @p sample, captured at @p cell, in @p vocabulary.
SymbolRecipe recipeFor(const CapturedSample& sample, CellSize cell, Vocabulary vocabulary);

}  // namespace legend::exporter
