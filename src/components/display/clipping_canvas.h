#pragma once
// A paint device that cuts what is drawn on it to its painter's clip before
// handing it on to another painter. QSvgGenerator writes no clipping at all,
// so drawing clipped to a tile or a glyph cell would show whole in the SVG:
// drawn through this canvas, it is cut to the clip geometrically instead.
// Text arrives as outlines, so the SVG needs no fonts to look the same.

#include <memory>

#include <QPaintDevice>
#include <QSize>

class QPainter;

namespace legend::display {

class ClippingEngine;

class ClippingCanvas final : public QPaintDevice {
 public:
  /// Draws on @p target, which must stay active while the canvas is painted
  /// on; the canvas is @p size pixels.
  ClippingCanvas(QPainter& target, QSize size);
  ~ClippingCanvas() override;

  ClippingCanvas(const ClippingCanvas&) = delete;
  ClippingCanvas& operator=(const ClippingCanvas&) = delete;

  QPaintEngine* paintEngine() const override;

 protected:
  int metric(PaintDeviceMetric metric) const override;

 private:
  std::unique_ptr<ClippingEngine> engine_;
  QSize size_;
};

}  // namespace legend::display
