#include "components/display/paintable_area.h"

#include <algorithm>

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTransform>

namespace legend::display {

std::optional<QRectF> paintableArea(const QPainter& painter) {
  std::optional<QRectF> area;
  if (painter.hasClipping()) area = painter.clipBoundingRect();
  const QPaintEngine* engine = painter.paintEngine();
  if (engine == nullptr || engine->type() != QPaintEngine::Raster) return area;
  // The surface is what the engine writes, not the painter's device: a
  // widget paints into its window's backing store, and the device transform
  // maps into that store, the widget's offset in its window included.
  // Measuring the widget instead puts the surface off by that offset, and
  // a widget lying further into its window than its own size would find
  // nothing of itself paintable.
  const QPaintDevice* surface = engine->paintDevice();
  if (surface == nullptr) surface = painter.device();
  if (surface == nullptr) return area;
  bool invertible = false;
  const QTransform toLogical = painter.deviceTransform().inverted(&invertible);
  if (!invertible) return area;
  // Scaled by the pixel ratio, which can only widen the rectangle: some
  // devices give their size in logical pixels, some in device pixels.
  const double ratio = std::max(1.0, surface->devicePixelRatio());
  const QRectF shown = toLogical.mapRect(QRectF(0, 0, surface->width() * ratio, surface->height() * ratio));
  return area ? *area & shown : shown;
}

}  // namespace legend::display
