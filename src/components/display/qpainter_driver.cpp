#include "components/display/qpainter_driver.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

#include <QFont>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QPixmap>
#include <QPolygonF>
#include <QTransform>

#include "components/codec/gbk_text.h"
#include "components/display/drawing_cache.h"
#include "components/display/glyph_sprites.h"
#include "components/display/palette.h"
#include "components/display/styles.h"
#include "components/drawing/graphic_records.h"
#include "legendfile/byte_order.h"

// The resource initialiser is declared by the macro in the global namespace,
// so it cannot be called from inside ours.
static void registerDisplayResources() { Q_INIT_RESOURCE(display); }

namespace legend::display {

void initResources() { registerDisplayResources(); }

namespace {

// Records come from files; a size beyond this is damage, not intent, and
// would only make Qt allocate or rasterise for nothing.
constexpr double kMaxExtent = 10000;
// Coordinates beyond this are off any surface we draw on.
constexpr double kMaxCoordinate = 1e6;
constexpr std::size_t kMaxPoints = 1'000'000;
constexpr std::size_t kMaxRings = 100'000;
// Glyphs are rasterised at most this size and scaled beyond it.
constexpr int kMaxFontPixels = 128;
constexpr int kIconSize = 32;
constexpr const char* kIconPath = ":/legend/icons/icon157.png";

double clampSize(double value, double low = 0, double high = kMaxExtent) {
  if (std::isnan(value)) return low;
  return std::clamp(value, low, high);
}

double clampSigned(double value) { return std::isnan(value) ? 0 : std::clamp(value, -kMaxExtent, kMaxExtent); }

double clampAngle(double degrees) { return std::isfinite(degrees) ? std::fmod(degrees, 360.0) : 0; }

bool usable(double v) { return std::isfinite(v) && std::abs(v) <= kMaxCoordinate; }
bool usable(D_DOT p) { return usable(p.x) && usable(p.y); }

QColor recordColour(std::uint32_t number) {
  return paletteColour(number < static_cast<std::uint32_t>(kPaletteSize) ? static_cast<int>(number) : -1);
}

class SavedState {
 public:
  explicit SavedState(QPainter& painter) : painter_(painter) { painter_.save(); }
  ~SavedState() { painter_.restore(); }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;

 private:
  QPainter& painter_;
};

// One character of a GBK text as the layout sees it.
struct GbkChar {
  std::string_view bytes;
  bool wide = false;       // double-byte: a full character width
  bool lineBreak = false;  // '\n': no advance, starts a new line
};

// A double-byte character is a lead byte with the top bit set followed by
// another such byte; a lone high byte at the end counts as a single byte, so
// the layout never reads past the text.
template <typename Visit>
void forEachChar(std::string_view text, Visit&& visit) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead == '\r') {
      ++i;
      continue;
    }
    if (lead == '\n') {
      visit(GbkChar{text.substr(i, 1), false, true});
      ++i;
      continue;
    }
    const bool wide = lead >= 0x80 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80;
    const std::size_t length = wide ? 2 : 1;
    visit(GbkChar{text.substr(i, length), wide, false});
    i += length;
  }
}

double advanceUnits(const GbkChar& c) { return c.wide ? 1.0 : 0.5; }

QString glyphText(std::string_view bytes) {
  if (bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) < 0x80) return QString(QChar::fromLatin1(bytes[0]));
  return decodeGbk(bytes);
}

// Draws glyphs squeezed or stretched into cells: the record gives a
// character's height and width independently, which no font does. May set
// the font on the painter, whose state the caller saves. On a raster device
// with no rotation or scaling each glyph is blitted from the thread's
// sprites; elsewhere (vector output, turned texts) it is drawn scaled.
class GlyphCells {
 public:
  GlyphCells(QPainter& painter, double height)
      : painter_(painter),
        pixelSize_(std::clamp(static_cast<int>(std::lround(height)), 1, kMaxFontPixels)),
        font_(drawing_cache::font(pixelSize_)),
        base_(painter.worldTransform()),
        colour_(painter.pen().color()),
        sprites_(blittable(painter) ? &GlyphSprites::local() : nullptr) {}

  void draw(const QRectF& cell, std::string_view bytes) {
    if (cell.width() <= 0 || cell.height() <= 0 || font_.height <= 0) return;
    if (sprites_ != nullptr) {
      if (const std::optional<SpritePlace> place =
              GlyphSprites::place(bytes, pixelSize_, base_.map(cell.topLeft()), cell.size(), colour_)) {
        const QImage* sprite = sprites_->find(place->key);
        if (sprite == nullptr) {
          const QString glyph = glyphText(bytes);
          const GlyphExtent extent = drawing_cache::glyph(pixelSize_, glyph);
          sprite = &sprites_->add(
              place->key, extent.advance > 0 ? glyph : QString(), cell.size(),
              {pixelSize_, font_.ascent, cell.width() / std::max(extent.advance, 1e-9), cell.height() / font_.height},
              colour_);
        }
        // The painter's transform is a translation: taking it off puts the
        // sprite on whole device pixels.
        if (!sprite->isNull()) painter_.drawImage(place->devicePixel - QPointF(base_.dx(), base_.dy()), *sprite);
        return;
      }
    }
    const QString glyph = glyphText(bytes);
    const GlyphExtent extent = drawing_cache::glyph(pixelSize_, glyph);
    if (extent.advance <= 0) return;
    if (!fontSet_) {
      painter_.setFont(font_.font);
      fontSet_ = true;
    }
    const double sx = cell.width() / extent.advance, sy = cell.height() / font_.height;
    const QTransform local = QTransform(sx, 0, 0, sy, cell.left(), cell.top()) * base_;
    // Each glyph keeps to its own cell, so what the layout promises about
    // widths holds even for glyphs that overhang their advance. A glyph
    // whose ink stays a pixel clear of its cell's edges needs no clip,
    // which spares a state save per glyph.
    const bool inside = extent.inkLeft * sx >= 1 && (extent.advance - extent.inkRight) * sx >= 1 &&
                        extent.inkTop * sy >= 1 && (font_.height - extent.inkBottom) * sy >= 1;
    if (inside && base_.type() <= QTransform::TxTranslate) {
      painter_.setWorldTransform(local);
      painter_.drawText(QPointF(0, font_.ascent), glyph);
      painter_.setWorldTransform(base_);
      return;
    }
    SavedState saved(painter_);
    painter_.setClipRect(cell, Qt::IntersectClip);
    painter_.setWorldTransform(local);
    painter_.drawText(QPointF(0, font_.ascent), glyph);
  }

 private:
  // Sprites are device pixels: only for raster devices at one pixel per
  // unit, with nothing but a translation between.
  static bool blittable(const QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    return engine != nullptr && engine->type() == QPaintEngine::Raster && painter.device() != nullptr &&
           painter.device()->devicePixelRatio() == 1 && painter.worldTransform().type() <= QTransform::TxTranslate;
  }

  QPainter& painter_;
  int pixelSize_;
  CachedFont font_;
  QTransform base_;
  QColor colour_;
  GlyphSprites* sprites_;
  bool fontSet_ = false;  // set on the painter when first drawn with
};

// The whole logical pixels a size in device pixels covers at a ratio. At a
// fractional ratio an image is made a little larger than its logical size
// (141 logical pixels at 1.25 take 177 device pixels, which are 141.6
// logical ones); counting the part pixel would move the bottom-left origin
// off the pixel grid and blur every line drawn from it.
QSizeF wholeLogicalPixels(QSizeF independent) {
  constexpr double kRounding = 1e-6;
  return {std::floor(independent.width() + kRounding), std::floor(independent.height() + kRounding)};
}

// The size painting coordinates span: images and pixmaps count physical
// pixels but are painted in device-independent ones, which a ratio above
// one makes finer than a logical pixel.
QSizeF logicalSize(const QPaintDevice& device) {
  if (const auto* image = dynamic_cast<const QImage*>(&device))
    return wholeLogicalPixels(image->deviceIndependentSize());
  if (const auto* pixmap = dynamic_cast<const QPixmap*>(&device))
    return wholeLogicalPixels(pixmap->deviceIndependentSize());
  return QSizeF(device.width(), device.height());
}

// At a fractional pixel ratio (1.25, 1.5) the edges of logical pixels fall
// inside device pixels, and a line or rectangle drawn as given blurs into
// the pixels it half covers. Axis-aligned shapes on a raster surface are
// moved to the nearest device pixel edges instead, as widgets are laid out
// at such ratios. At whole-number ratios they are sharp as they are, and
// files keep the geometry they were given: both get nothing.
std::optional<QRectF> onDevicePixels(const QPainter& painter, const QRectF& rect) {
  const QTransform device = painter.deviceTransform();
  if (device.type() != QTransform::TxScale) return std::nullopt;
  const QPaintEngine* engine = painter.paintEngine();
  if (engine == nullptr || engine->type() != QPaintEngine::Raster) return std::nullopt;
  if (device.m11() == std::round(device.m11()) && device.m22() == std::round(device.m22())) return std::nullopt;
  const QRectF exact = device.mapRect(rect);
  QRectF snapped(QPointF(std::round(exact.left()), std::round(exact.top())),
                 QPointF(std::round(exact.right()), std::round(exact.bottom())));
  // However thin, what was drawn stays visible.
  if (snapped.width() < 1) snapped.setWidth(1);
  if (snapped.height() < 1) snapped.setHeight(1);
  return device.inverted().mapRect(snapped);
}

}  // namespace

QPainterDriver::QPainterDriver(QPaintDevice& device)
    : device_(&device),
      ownPainter_(std::make_unique<QPainter>()),
      painter_(ownPainter_.get()),
      area_(QPointF(0, 0), logicalSize(device)) {}

QPainterDriver::QPainterDriver(QPainter& painter, const QRect& area)
    : painter_(&painter), area_(area), clipToArea_(true) {}

QPainterDriver::~QPainterDriver() { CloseWinDriver(); }

QPointF QPainterDriver::edge(double x, double y) const { return {area_.left() + x, area_.top() + area_.height() - y}; }

QPointF QPainterDriver::centre(double x, double y) const { return edge(x, y) + QPointF(0.5, 0.5); }

void QPainterDriver::SetDrawing(bool on) {
  if (painter_ == nullptr) return;
  if (on) {
    if (drawing_) return;
    if (ownPainter_ && !ownPainter_->isActive() && !ownPainter_->begin(device_)) return;
    if (!painter_->isActive()) return;
    if (device_ != nullptr) area_ = QRectF(QPointF(0, 0), logicalSize(*device_));  // it may have been resized
    painter_->save();  // the state a borrowed painter is handed back in
    painter_->setRenderHint(QPainter::Antialiasing, true);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (clipToArea_) painter_->setClipRect(area_, Qt::IntersectClip);
    painter_->setPen(QPen(Qt::black, 1));
    painter_->setBrush(Qt::NoBrush);
    painter_->save();  // the pass's default state, for ResetDrawState
    drawing_ = true;
    return;
  }
  if (!drawing_) return;
  Unclip();
  drawing_ = false;
  lockedColour_.reset();
  penColour_.reset();
  region_.reset();
  if (painter_->isActive()) {
    painter_->restore();
    painter_->restore();
  }
  if (ownPainter_ && ownPainter_->isActive()) ownPainter_->end();
}

void QPainterDriver::CloseWinDriver() {
  SetDrawing(false);
  if (ownPainter_ && ownPainter_->isActive()) ownPainter_->end();
  painter_ = nullptr;
}

void QPainterDriver::LockColor(int colour) { lockedColour_ = paletteColour(colour); }

void QPainterDriver::UnlockColor() { lockedColour_.reset(); }

void QPainterDriver::SelectPen(int colour) { penColour_ = paletteColour(colour); }

void QPainterDriver::RestorePen() { penColour_.reset(); }

void QPainterDriver::Line(double x1, double y1, double x2, double y2) {
  if (!drawing() || !usable(x1) || !usable(y1) || !usable(x2) || !usable(y2)) return;
  QPointF from = centre(x1, y1);
  QPointF to = centre(x2, y2);
  const QPointF delta = to - from;
  const double length = std::hypot(delta.x(), delta.y());
  if (length <= 0) return;
  // Like a raster line, it covers its first pixel and stops before its last,
  // so frames drawn corner to corner do not paint over their neighbours.
  const QPointF halfStep = delta / length * 0.5;
  from -= halfStep;
  to -= halfStep;
  const QColor colour = lockedColour_ ? *lockedColour_ : penColour_.value_or(QColor(Qt::black));
  if (delta.x() == 0 || delta.y() == 0) {
    // The band of pixels the line covers, a pixel wide across it.
    const QPointF half = delta.y() == 0 ? QPointF(0, 0.5) : QPointF(0.5, 0);
    const QRectF band(QPointF(std::min(from.x(), to.x()), std::min(from.y(), to.y())) - half,
                      QPointF(std::max(from.x(), to.x()), std::max(from.y(), to.y())) + half);
    if (const std::optional<QRectF> aligned = onDevicePixels(*painter_, band)) return fillAligned(*aligned, colour);
  }
  SavedState saved(*painter_);
  QPen pen(colour, 1);
  pen.setCapStyle(Qt::FlatCap);
  painter_->setPen(pen);
  painter_->drawLine(from, to);
}

void QPainterDriver::fillAligned(const QRectF& rect, const QColor& colour) {
  // Its edges are device pixel edges but for rounding in the inverse
  // transform, which antialiasing would show as a faint seam.
  SavedState saved(*painter_);
  painter_->setRenderHint(QPainter::Antialiasing, false);
  painter_->fillRect(rect, colour);
}

void QPainterDriver::FillRect(double x, double y, double width, double height, int colour) {
  if (!drawing() || !usable(x) || !usable(y) || !usable(width) || !usable(height)) return;
  const QRectF rect = QRectF(edge(x, y), edge(x + width, y + height)).normalized();
  if (rect.isEmpty()) return;
  const QColor fill = penColour_.value_or(paletteColour(colour));
  if (const std::optional<QRectF> aligned = onDevicePixels(*painter_, rect)) return fillAligned(*aligned, fill);
  painter_->fillRect(rect, fill);
}

void QPainterDriver::DispText(const TextBox& textBox, std::string_view text) {
  if (!drawing() || !usable(textBox.topLeft)) return;
  const QRectF box(edge(textBox.topLeft.x, textBox.topLeft.y),
                   QSizeF(clampSize(textBox.width), clampSize(textBox.height)));
  const double height = clampSize(textBox.charHeight);
  const double width = clampSize(textBox.charWidth);
  const double spacing = clampSigned(textBox.charSpacing);
  const double lineStep = height * clampSize(textBox.lineSpacing, 0, 100);
  if (box.isEmpty() || height <= 0 || width <= 0) return;

  SavedState saved(*painter_);
  painter_->setClipRect(box, Qt::IntersectClip);
  painter_->setPen(paletteColour(textBox.colour));
  GlyphCells glyphs(*painter_, height);
  double left = box.left();
  double top = box.top();
  forEachChar(text, [&](const GbkChar& c) {
    if (c.lineBreak) {
      left = box.left();
      top += lineStep;
      return;
    }
    const QRectF cell(left, top, width * advanceUnits(c), height);
    if (cell.intersects(box)) glyphs.draw(cell, c.bytes);
    left += cell.width() + spacing;
  });
}

double QPainterDriver::TextWidth(std::string_view text) {
  double widest = 0;
  double line = 0;
  forEachChar(text, [&](const GbkChar& c) {
    line = c.lineBreak ? 0 : line + advanceUnits(c);
    widest = std::max(widest, line);
  });
  return widest;
}

int QPainterDriver::CharCount(std::string_view text) {
  int count = 0;
  forEachChar(text, [&](const GbkChar& c) { count += c.lineBreak ? 0 : 1; });
  return count;
}

void QPainterDriver::ResetDrawState() {
  Unclip();
  lockedColour_.reset();
  penColour_.reset();
  if (!drawing()) return;
  painter_->restore();
  painter_->save();
}

void QPainterDriver::ClipRect(double x, double y, double width, double height) {
  Unclip();
  if (!drawing() || !usable(x) || !usable(y) || !usable(width) || !usable(height)) return;
  // Its own saved state, so that ending the clip leaves the rest as it is.
  painter_->save();
  clipped_ = true;
  painter_->setClipRect(QRectF(edge(x, y), QSizeF(std::max(width, 0.0), std::max(height, 0.0))), Qt::IntersectClip);
}

void QPainterDriver::Unclip() {
  if (!clipped_) return;
  clipped_ = false;
  if (painter_ != nullptr && painter_->isActive()) painter_->restore();
}

void QPainterDriver::drawPointText(QPointF anchor, std::string_view text, PointRecordBytes record, bool annotation) {
  namespace point = legend::records::point;
  const std::string_view str = text.substr(0, text.find('\0'));
  if (str.empty()) return;
  const double height = clampSize(load_le<float>(record, point::kTextHeight));
  const double width = clampSize(load_le<float>(record, point::kTextWidth));
  const double angle = clampAngle(load_le<float>(record, point::kTextAngle));
  const double spacing = clampSigned(load_le<float>(record, point::kTextSpacing));
  const bool column = load_le<std::uint8_t>(record, annotation ? point::kAnnotationLayout : point::kTextLayout) != 0;
  if (height <= 0 || width <= 0) return;

  SavedState saved(*painter_);
  painter_->translate(anchor);
  painter_->rotate(-angle);  // anticlockwise on a y-down device
  painter_->setPen(recordColour(load_le<std::uint32_t>(record, point::kColour)));
  GlyphCells glyphs(*painter_, height);
  // A row annotation stands on its anchor like lettering on a map; the pad
  // places every other layout by its top-left corner.
  const double firstTop = annotation && !column ? -height : 0;
  double across = 0;  // along the row, or down the column
  double lineStart = 0;
  forEachChar(str, [&](const GbkChar& c) {
    if (c.lineBreak) {
      // A new row below, or a new column to the right.
      lineStart += column ? width + spacing : height + spacing;
      across = 0;
      return;
    }
    const double advance = width * advanceUnits(c);
    if (column) {
      glyphs.draw(QRectF(lineStart + (width - advance) / 2, firstTop + across, advance, height), c.bytes);
      across += height + spacing;
    } else {
      glyphs.draw(QRectF(across, firstTop + lineStart, advance, height), c.bytes);
      across += advance + spacing;
    }
  });
}

void QPainterDriver::DispPnt(D_DOT position, std::string_view text, PointRecordBytes record) {
  namespace point = legend::records::point;
  using legend::records::PointType;
  if (!drawing() || !usable(position)) return;
  const QColor colour = recordColour(load_le<std::uint32_t>(record, point::kColour));
  const double penWidth = clampSize(load_le<float>(record, point::kPenWidth), 1);

  switch (static_cast<PointType>(load_le<std::uint8_t>(record, point::kType))) {
    case PointType::Annotation:
    case PointType::Text:
      drawPointText(edge(position.x, position.y), text, record,
                    load_le<std::uint8_t>(record, point::kType) == static_cast<std::uint8_t>(PointType::Annotation));
      return;
    case PointType::Symbol: {
      const std::uint32_t number = load_le<std::uint32_t>(record, point::kSymbolNumber);
      const QSizeF size(clampSize(load_le<float>(record, point::kSymbolWidth)),
                        clampSize(load_le<float>(record, point::kSymbolHeight)));
      const double angle = clampAngle(load_le<float>(record, point::kSymbolAngle));
      SavedState saved(*painter_);
      drawPointSymbol(*painter_, static_cast<int>(std::min<std::uint32_t>(number, 0x7fffffff)),
                      centre(position.x, position.y), size, angle, colour, penWidth);
      return;
    }
    case PointType::Dot: {
      const double diameter = clampSize(load_le<double>(record, point::kMarkerSize));
      if (diameter <= 0) return;
      SavedState saved(*painter_);
      painter_->setPen(Qt::NoPen);
      painter_->setBrush(colour);
      painter_->drawEllipse(centre(position.x, position.y), diameter / 2, diameter / 2);
      return;
    }
    case PointType::Ring: {
      const double diameter = clampSize(load_le<double>(record, point::kMarkerSize));
      if (diameter <= 0) return;
      const QPointF at = centre(position.x, position.y);
      SavedState saved(*painter_);
      const RingShape ring = ringShape(diameter, penWidth);
      painter_->setPen(QPen(colour, ring.strokeWidth));
      painter_->setBrush(Qt::NoBrush);
      painter_->drawEllipse(at, ring.radius, ring.radius);
      painter_->setPen(Qt::NoPen);
      painter_->setBrush(colour);
      painter_->drawEllipse(at, ring.dotDiameter / 2, ring.dotDiameter / 2);
      return;
    }
    case PointType::Image: DispImageIcon(position); return;
  }
}

void QPainterDriver::DispLin(std::span<const D_DOT> points, LineRecordBytes record) {
  if (!drawing() || points.size() < 2 || points.size() > kMaxPoints) return;
  QPolygonF polyline;
  polyline.reserve(static_cast<qsizetype>(points.size()));
  for (const D_DOT& point : points) {
    if (!usable(point)) return;
    polyline << centre(point.x, point.y);
  }
  SavedState saved(*painter_);
  drawLineStyle(*painter_, polyline, lineStyleOf(record), lineStyleParams(record));
}

void QPainterDriver::BeginRegFill(const RegionFill& fill) {
  // Pattern cells under a pixel would make the pattern a flood of tiny marks.
  region_ = RegionStyle{paletteColour(fill.fillColour), fill.pattern, clampSize(fill.patternSize, 1),
                        paletteColour(fill.patternColour)};
}

void QPainterDriver::FillPolygons(std::span<const D_DOT> points, std::span<const std::int32_t> ringSizes) {
  if (!drawing() || !region_ || ringSizes.empty() || ringSizes.size() > kMaxRings) return;
  std::uint64_t total = 0;
  for (const std::int32_t size : ringSizes) {
    if (size < 0) return;
    total += static_cast<std::uint64_t>(size);
    if (total > points.size() || total > kMaxPoints) return;
  }
  QPainterPath area;
  area.setFillRule(Qt::OddEvenFill);
  auto next = points.begin();
  for (const std::int32_t size : ringSizes) {
    QPolygonF ring;
    ring.reserve(size);
    for (std::int32_t j = 0; j < size; ++j, ++next) {
      if (!usable(*next)) return;
      ring << edge(next->x, next->y);
    }
    if (ring.size() < 3) continue;
    area.addPolygon(ring);
    area.closeSubpath();
  }
  if (area.isEmpty()) return;
  {
    SavedState saved(*painter_);
    fillRegion(*painter_, area, region_->fill, region_->pattern, QSizeF(region_->size, region_->size),
               region_->patternColour);
  }
  SavedState saved(*painter_);
  painter_->setPen(QPen(region_->patternColour, 1));
  painter_->setBrush(Qt::NoBrush);
  // On the pixels along the edge rather than between them, so the outline
  // stays one sharp pixel wide.
  painter_->drawPath(area.translated(0.5, 0.5));
}

void QPainterDriver::EndRegFill() { region_.reset(); }

bool QPainterDriver::DispImageIcon(D_DOT at) {
  if (!drawing() || !usable(at)) return false;
  if (!icon_) {
    initResources();
    icon_ = drawing_cache::icon(QString::fromLatin1(kIconPath));
  }
  if (icon_->isNull()) return false;
  const QPointF middle = edge(at.x, at.y);
  const QRectF target(std::floor(middle.x() - kIconSize / 2), std::floor(middle.y() - kIconSize / 2), kIconSize,
                      kIconSize);
  painter_->drawImage(target, *icon_);
  return true;
}

int lineStyleOf(LineRecordBytes record) { return load_le<std::uint16_t>(record, legend::records::line::kStyle); }

LineStyleParams lineStyleParams(LineRecordBytes record) {
  namespace line = legend::records::line;
  LineStyleParams params;
  params.colour = recordColour(load_le<std::uint32_t>(record, line::kColour));
  params.secondColour = recordColour(load_le<std::uint32_t>(record, line::kSecondColour));
  params.penWidth = clampSize(load_le<float>(record, line::kPenWidth), 1);
  // The factors are fine units (line::kPatternLengthUnits per pixel along,
  // line::kPatternWidthUnits across): the pad stretches its sample copies so
  // the largest factor of a file spans two cells, which in pixels would put
  // a whole repeat beyond the end of the sample. A pattern shorter than a
  // pixel would repeat without end along the line.
  params.patternLength = clampSize(load_le<float>(record, line::kPatternLength) / line::kPatternLengthUnits, 1);
  params.patternWidth = clampSize(load_le<float>(record, line::kPatternWidth) / line::kPatternWidthUnits);
  return params;
}

RingShape ringShape(double diameter, double penWidth) {
  // The stroke stays inside the diameter, so a ring is as large as a dot of
  // the same size.
  return {std::max(0.0, diameter - penWidth) / 2, std::min(penWidth, diameter),
          std::min(diameter, std::max(penWidth, diameter / 4))};
}

}  // namespace legend::display

std::unique_ptr<KernelDriver> OpenWinDriver(QPaintDevice* device) {
  legend::display::initResources();
  if (device == nullptr) return nullptr;
  return std::make_unique<legend::display::QPainterDriver>(*device);
}

std::unique_ptr<KernelDriver> OpenWinDriver(QPainter& painter, QRect area) {
  legend::display::initResources();
  if (!painter.isActive()) return nullptr;
  return std::make_unique<legend::display::QPainterDriver>(painter, area);
}
