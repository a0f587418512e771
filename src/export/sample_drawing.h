#pragma once
// Captured samples drawn by the display component, the way an icon of the
// legend shows them: a point on the middle of the canvas, a line across its
// middle, a region over all of it. The same drawing gives the per-legend SVG
// files, the pictures embedded where another GIS has no equivalent of a
// symbol, and the tiles that repeat a line style or a fill pattern.

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include "export/sample_capture.h"

class QPainter;

namespace legend::exporter {

/// Draws @p sample on @p painter within @p canvas (device coordinates).
void drawIcon(QPainter& painter, const QRect& canvas, const CapturedSample& sample);

/// @p sample drawn on a transparent canvas of @p size.
QImage iconImage(const CapturedSample& sample, QSize size);

/// The part of a point sample's icon that holds ink, as a rectangle centred
/// on the canvas middle, so the symbol stays anchored on its centre; null
/// when nothing is inked.
QRectF inkedSquareAroundMiddle(const QImage& icon);

/// The SVG document of @p sample's icon on a canvas of @p size, showing
/// @p viewBox of it (the whole canvas when null), with @p title and
/// @p description.
QByteArray iconSvg(const CapturedSample& sample, QSize size, const QRectF& viewBox, const QString& title,
                   const QString& description = {});

/// @p sample's line style around a point of a line, in a square of @p side
/// centred on it, as an SVG document: placed every @p length along a line,
/// the first on its start, such tiles draw the style with the phase it has
/// from the line's start.
QByteArray lineTileSvg(const CapturedSample& sample, double length, double side);

/// A @p columns x @p rows block of @p sample's fill pattern cells of
/// @p cell pixels, in the pattern colour on no background, as an SVG
/// document. Patterns keep to a grid anchored at the origin, so the block
/// repeats seamlessly when the pattern's period divides it.
QByteArray patternTileSvg(const CapturedSample& sample, double cell, int columns, int rows);

}  // namespace legend::exporter
