#include "components/display/clipping_canvas.h"

#include <optional>

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

namespace legend::display {

class ClippingEngine final : public QPaintEngine {
 public:
  explicit ClippingEngine(QPainter& target) : QPaintEngine(QPaintEngine::AllFeatures), target_(target) {}

  bool begin(QPaintDevice*) override { return target_.isActive(); }
  bool end() override { return true; }
  Type type() const override { return QPaintEngine::User; }

  void updateState(const QPaintEngineState& changed) override {
    const DirtyFlags dirty = changed.state();
    if (dirty & DirtyPen) pen_ = changed.pen();
    if (dirty & DirtyBrush) brush_ = changed.brush();
    if (dirty & DirtyOpacity) opacity_ = changed.opacity();
    if (dirty & DirtyHints) hints_ = changed.renderHints();
    // The transform first: a clip comes in the coordinates it was set in.
    if (dirty & DirtyTransform) transform_ = changed.transform();
    if (dirty & DirtyClipEnabled) clipEnabled_ = changed.isClipEnabled();
    if (dirty & DirtyClipPath) clipTo(changed.clipPath(), changed.clipOperation());
    if (dirty & DirtyClipRegion) {
      QPainterPath region;
      region.addRegion(changed.clipRegion());
      clipTo(region, changed.clipOperation());
    }
  }

  void drawPath(const QPainterPath& path) override {
    if (brush_.style() != Qt::NoBrush) fill(transform_.map(path), brush_);
    if (pen_.style() == Qt::NoPen) return;
    QPainterPathStroker stroker(pen_);
    // A cosmetic pen keeps its width on the device, any other one scales.
    const QPainterPath outline =
        pen_.isCosmetic() ? stroker.createStroke(transform_.map(path)) : transform_.map(stroker.createStroke(path));
    if (!clipping() || clip_->contains(outline.boundingRect())) {
      // Wholly inside: the SVG keeps a stroke, which stays editable.
      target_.save();
      prepare();
      target_.setTransform(transform_);
      target_.setPen(pen_);
      target_.setBrush(Qt::NoBrush);
      target_.drawPath(path);
      target_.restore();
      return;
    }
    fill(outline, pen_.brush());
  }

  void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
    QPainterPath path;
    if (count <= 0) return;
    path.moveTo(points[0]);
    for (int i = 1; i < count; ++i) path.lineTo(points[i]);
    if (mode == PolylineMode) {
      const QBrush brush = brush_;
      brush_ = Qt::NoBrush;
      drawPath(path);
      brush_ = brush;
      return;
    }
    path.closeSubpath();
    path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
    drawPath(path);
  }

  void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override {
    if (clipping() && !clip_->intersects(transform_.mapRect(rect))) return;
    target_.save();
    prepare();
    target_.setTransform(transform_);
    target_.drawPixmap(rect, pixmap, source);
    target_.restore();
  }

  void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                 Qt::ImageConversionFlags flags) override {
    if (clipping() && !clip_->intersects(transform_.mapRect(rect))) return;
    target_.save();
    prepare();
    target_.setTransform(transform_);
    target_.drawImage(rect, image, source, flags);
    target_.restore();
  }

 private:
  bool clipping() const { return clipEnabled_ && clip_.has_value(); }

  void clipTo(const QPainterPath& path, Qt::ClipOperation operation) {
    if (operation == Qt::NoClip) {
      clip_.reset();
      return;
    }
    QPainterPath mapped = transform_.map(path);
    mapped.setFillRule(path.fillRule());
    clip_ = operation == Qt::IntersectClip && clip_ ? clip_->intersected(mapped) : mapped;
    clipEnabled_ = true;
  }

  void prepare() {
    target_.setOpacity(opacity_);
    target_.setRenderHints(hints_);
  }

  /// Fills @p area (device coordinates) cut to the clip.
  void fill(const QPainterPath& area, const QBrush& brush) {
    if (area.isEmpty()) return;
    QPainterPath shown = area;
    if (clipping()) {
      const QRectF bounds = area.boundingRect();
      if (!clip_->intersects(bounds)) return;
      if (!clip_->contains(bounds)) shown = area.intersected(*clip_);
    }
    target_.save();
    prepare();
    target_.resetTransform();
    target_.fillPath(shown, brush);
    target_.restore();
  }

  QPainter& target_;
  QPen pen_;
  QBrush brush_;
  QTransform transform_;
  qreal opacity_ = 1;
  QPainter::RenderHints hints_;
  bool clipEnabled_ = false;
  std::optional<QPainterPath> clip_;  // device coordinates
};

ClippingCanvas::ClippingCanvas(QPainter& target, QSize size)
    : engine_(std::make_unique<ClippingEngine>(target)), size_(size) {}

ClippingCanvas::~ClippingCanvas() = default;

QPaintEngine* ClippingCanvas::paintEngine() const { return engine_.get(); }

int ClippingCanvas::metric(PaintDeviceMetric metric) const {
  // Glyphs are sized in pixels, so a screen's resolution serves.
  constexpr int kDotsPerInch = 96;
  constexpr int kTenthsOfMillimetrePerInch = 254;
  switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return size_.width() * kTenthsOfMillimetrePerInch / (10 * kDotsPerInch);
    case PdmHeightMM: return size_.height() * kTenthsOfMillimetrePerInch / (10 * kDotsPerInch);
    case PdmNumColors: return 0x7fffffff;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return kDotsPerInch;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    default: return QPaintDevice::metric(metric);
  }
}

}  // namespace legend::display
