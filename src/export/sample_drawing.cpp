#include "export/sample_drawing.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

#include "components/display/clipped_svg.h"
#include "components/display/palette.h"
#include "components/display/qpainter_driver.h"
#include "components/display/styles.h"
#include "components/drawing/graphic_records.h"
#include "export/svg_document.h"

namespace legend::exporter {
namespace {

using records::PointType;

/// Annotations and texts are anchored by a corner of their text; the pad
/// puts that corner where the text comes out centred, so its offset from
/// the middle is kept. Every other point is centred on the middle.
bool anchoredByCorner(const CapturedSample& sample) {
  const auto type = static_cast<PointType>(sample.point[records::point::kType]);
  return type == PointType::Annotation || type == PointType::Text;
}

}  // namespace

void drawIcon(QPainter& painter, const QRect& canvas, const CapturedSample& sample) {
  const auto driver = OpenWinDriver(painter, canvas);
  if (!driver) return;
  driver->SetDrawing(true);
  const double w = canvas.width(), h = canvas.height();
  // The display centres marks on the middle of the pixel a coordinate
  // names, so this puts a symbol's centre on the canvas's centre.
  const D_DOT middle{w / 2 - 0.5, h / 2 + 0.5};
  switch (sample.kind) {
    case CapturedSample::Kind::Point: {
      const D_DOT at =
          anchoredByCorner(sample) ? D_DOT{middle.x + sample.offset.x, middle.y + sample.offset.y} : middle;
      driver->DispPnt(at, sample.text, sample.point);
      break;
    }
    case CapturedSample::Kind::Image: driver->DispImageIcon({w / 2, h / 2}); break;
    case CapturedSample::Kind::Line: {
      // Across the whole canvas, centred on its middle: the display draws a
      // line through the middle of the pixels a coordinate names, half a
      // pixel down.
      const D_DOT ends[2] = {{-0.5, h / 2 + 0.5}, {w - 0.5, h / 2 + 0.5}};
      driver->DispLin(ends, sample.line);
      break;
    }
    case CapturedSample::Kind::Region: {
      // The outline is drawn on the pixels along the edges, the last row
      // and column included.
      const D_DOT corners[4] = {{0, h}, {w - 1, h}, {w - 1, 1}, {0, 1}};
      const std::int32_t ringSizes[1] = {4};
      driver->BeginRegFill(sample.region);
      driver->FillPolygons(corners, ringSizes);
      driver->EndRegFill();
      break;
    }
    case CapturedSample::Kind::None: break;
  }
  driver->SetDrawing(false);
  driver->CloseWinDriver();
}

QImage iconImage(const CapturedSample& sample, QSize size) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  drawIcon(painter, image.rect(), sample);
  return image;
}

QRectF inkedSquareAroundMiddle(const QImage& icon) {
  int left = icon.width(), right = -1, top = icon.height(), bottom = -1;
  for (int y = 0; y < icon.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(icon.constScanLine(y));
    for (int x = 0; x < icon.width(); ++x) {
      if (qAlpha(row[x]) == 0) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {};
  const QPointF middle(icon.width() / 2.0, icon.height() / 2.0);
  // A pixel of room on every side keeps antialiased edges whole.
  const double half =
      1 + std::max({middle.x() - left, right + 1 - middle.x(), middle.y() - top, bottom + 1 - middle.y()});
  return {middle.x() - half, middle.y() - half, 2 * half, 2 * half};
}

QByteArray iconSvg(const CapturedSample& sample, QSize size, const QRectF& viewBox, const QString& title,
                   const QString& description) {
  const QRectF shown = viewBox.isNull() ? QRectF(QPointF(0, 0), QSizeF(size)) : viewBox;
  const QByteArray generated = display::generateClippedSvg(
      shown.size(), shown, [&](QPainter& painter) { drawIcon(painter, QRect(QPoint(0, 0), size), sample); });
  return normaliseSvg(generated, shown.size(), title, description);
}

QByteArray lineTileSvg(const CapturedSample& sample, double length, double side) {
  const QRectF tile(-side / 2, -side / 2, side, side);
  const QByteArray generated = display::generateClippedSvg(tile.size(), tile, [&](QPainter& painter) {
    // Two repeats from one repeat before the middle, so the middle repeat
    // has the phase a line starting a repeat before it would have, cut to
    // the repeat around the middle.
    painter.setClipRect(QRectF(-length / 2, -side / 2, length, side));
    display::drawLineStyle(painter, QPolygonF({QPointF(-length, 0), QPointF(length, 0)}),
                           display::lineStyleOf(sample.line), display::lineStyleParams(sample.line));
  });
  return normaliseSvg(generated, tile.size(), {});
}

QByteArray patternTileSvg(const CapturedSample& sample, double cell, int columns, int rows) {
  const QRectF tile(0, 0, cell * columns, cell * rows);
  const QByteArray generated = display::generateClippedSvg(tile.size(), tile, [&](QPainter& painter) {
    QPainterPath area;
    area.addRect(tile);
    const RegionFill& fill = sample.region;
    display::fillRegion(painter, area, QColor(), fill.pattern, QSizeF(cell, cell),
                        display::paletteColour(fill.patternColour));
  });
  return normaliseSvg(generated, tile.size(), {});
}

}  // namespace legend::exporter
