#pragma once
// Where a painter can still put ink, so patterns and line marks lay out only
// what can show.

#include <optional>

#include <QRectF>

class QPainter;

namespace legend::display {

/// The part of @p painter's surface that can show ink, in the painter's
/// coordinates: the raster surface it writes, narrowed by its clip. Unknown
/// (nullopt) when the surface records everything drawn (a picture, a PDF or
/// SVG file) and no clip narrows it.
std::optional<QRectF> paintableArea(const QPainter& painter);

}  // namespace legend::display
