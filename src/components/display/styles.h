#pragma once
// The drawn vocabulary of legend samples: point symbols, line styles and
// fill patterns, each addressed by the number a graphic parameter record
// stores. Numbers outside a library fall back to its first entry, so a
// record from anywhere still draws something sensible.

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QPolygonF>
#include <QSizeF>

class QPainter;

namespace legend::display {

/// Symbols are numbered 1 ... pointSymbolCount().
int pointSymbolCount();
/// Draws symbol @p number centred on @p centre (device coordinates, y down),
/// scaled to @p size, turned by @p angleDegrees anticlockwise, in @p colour
/// with outlines @p penWidth wide.
void drawPointSymbol(QPainter& painter, int number, QPointF centre, QSizeF size, double angleDegrees,
                     const QColor& colour, double penWidth);

struct LineStyleParams {
  QColor colour;
  QColor secondColour;
  double penWidth = 1;
  double patternLength = 10;  ///< one repeat along the line
  double patternWidth = 4;    ///< extent across the line
};
/// Styles are numbered 0 ... lineStyleCount() - 1.
int lineStyleCount();
void drawLineStyle(QPainter& painter, const QPolygonF& polyline, int style, const LineStyleParams& params);
/// What drawLineStyle draws @p params as: missing colours and unusable sizes
/// replaced by defaults, the other sizes clamped to what a line can mean.
LineStyleParams drawnLineStyle(const LineStyleParams& params);

/// Patterns are numbered 0 ... fillPatternCount() - 1; 0 is a plain fill.
int fillPatternCount();
/// Fills @p area with @p fill and draws pattern @p pattern over it in
/// @p patternColour, one pattern cell being @p cellSize.
void fillRegion(QPainter& painter, const QPainterPath& area, const QColor& fill, int pattern, QSizeF cellSize,
                const QColor& patternColour);
/// The cell fillRegion lays a pattern out in when asked for @p cellSize, and
/// the width of the pen it draws the pattern's lines with.
struct PatternCell {
  QSizeF size;
  double pen = 1;
};
PatternCell patternCell(QSizeF cellSize);

/// A short name for the editors' pickers, e.g. "railway".
QString pointSymbolName(int number);
QString lineStyleName(int style);
QString fillPatternName(int pattern);

}  // namespace legend::display
