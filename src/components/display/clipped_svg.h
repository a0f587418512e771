#pragma once
// SVG generated through the clipping canvas, for the programs that write
// SVG files (sheets and exports); the display library itself stays free of
// Qt's SVG module, so this is a header of its own.

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <QSvgGenerator>

#include "components/display/clipping_canvas.h"

namespace legend::display {

/// Runs @p draw on an SVG generator of @p size showing @p viewBox, through a
/// canvas that does the clipping the generator leaves out; empty when the
/// generator could not be painted on.
template <typename Draw>
QByteArray generateClippedSvg(QSizeF size, const QRectF& viewBox, Draw draw) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size.toSize().expandedTo(QSize(1, 1)));
  svg.setViewBox(viewBox);
  QPainter target;
  if (!target.begin(&svg)) return {};
  {
    ClippingCanvas canvas(target, size.toSize().expandedTo(QSize(1, 1)));
    QPainter painter;
    if (!painter.begin(&canvas)) return {};
    painter.setRenderHint(QPainter::Antialiasing, true);
    draw(painter);
    painter.end();
  }
  if (!target.end()) return {};
  return buffer.data();
}

}  // namespace legend::display
