#include "components/areaedit/sample_preview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>

#include <QPainter>
#include <QRectF>
#include <QTransform>

#include "components/areaedit/crisp_painting.h"
#include "components/areaedit/graphic_editors.h"
#include "components/display/qpainter_driver.h"
#include "components/drawing/graphic_records.h"
#include "legendfile/byte_order.h"

namespace legend::areaedit {
namespace {

namespace point = records::point;
namespace line = records::line;
using records::PointType;

// The sample words of annotations and texts are three double-byte characters.
constexpr int kSampleChars = 3;
// Room left around a region sample, so its outline stays in view.
constexpr double kRegionMargin = 8;
// Room left around a point sample fitted to the preview, for antialiasing
// and the pixel the driver may move a symbol by to keep it crisp.
constexpr double kPointMargin = 4;

/// A scaled size as a record holds it; a stored value scaled beyond float
/// range saturates rather than being an undefined conversion.
float narrow(double value) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  if (std::isnan(value)) return 0;
  return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

template <std::size_t N>
double scaleFloat(std::array<std::uint8_t, N>& record, std::size_t offset, double factor) {
  const float scaled = narrow(static_cast<double>(load_le<float>(record, offset)) * factor);
  store_le<float>(record, offset, scaled);
  return scaled;
}

/// A size as the driver takes it: what is not a positive finite number
/// draws nothing, and nothing is drawn beyond kMaxSize.
double sizeOf(double stored) { return std::isfinite(stored) ? std::clamp(stored, 0.0, kMaxSize) : 0; }
double spacingOf(double stored) { return std::isfinite(stored) ? std::clamp(stored, -kMaxSize, kMaxSize) : 0; }
double angleOf(double degrees) { return std::isfinite(degrees) ? std::fmod(degrees, 360.0) : 0; }

/// What a point sample covers around its anchor, in the record's units and
/// screen orientation (y down): the box the driver lays the sample in,
/// turned by the sample's angle.
QRectF pointExtent(PointRecordBytes record) {
  const auto type = static_cast<PointType>(record[point::kType]);
  switch (type) {
    case PointType::Annotation:
    case PointType::Text: {
      const double height = sizeOf(load_le<float>(record, point::kTextHeight));
      const double width = sizeOf(load_le<float>(record, point::kTextWidth));
      const double spacing = spacingOf(load_le<float>(record, point::kTextSpacing));
      const bool annotation = type == PointType::Annotation;
      const bool inRow = record[annotation ? point::kAnnotationLayout : point::kTextLayout] == 0;
      // The sample words are double-byte characters, each a whole width
      // wide; spacing may be negative and pull them back over the first.
      const double last = (kSampleChars - 1) * ((inRow ? width : height) + spacing);
      QRectF box;
      if (inRow)  // a row annotation stands on its anchor, a row text hangs from it
        box = QRectF(QPointF(std::min(0.0, last), annotation ? -height : 0),
                     QPointF(std::max(width, last + width), annotation ? 0 : height));
      else
        box = QRectF(QPointF(0, std::min(0.0, last)), QPointF(width, std::max(height, last + height)));
      return QTransform().rotate(-angleOf(load_le<float>(record, point::kTextAngle))).mapRect(box);
    }
    case PointType::Symbol: {
      const double height = sizeOf(load_le<float>(record, point::kSymbolHeight));
      const double width = sizeOf(load_le<float>(record, point::kSymbolWidth));
      return QTransform()
          .rotate(-angleOf(load_le<float>(record, point::kSymbolAngle)))
          .mapRect(QRectF(-width / 2, -height / 2, width, height));
    }
    case PointType::Dot:
    case PointType::Ring: {
      const double diameter = sizeOf(load_le<double>(record, point::kMarkerSize));
      return QRectF(-diameter / 2, -diameter / 2, diameter, diameter);
    }
    case PointType::Image: break;
  }
  return {};
}

/// The factor from record units to preview pixels: that of a pad whose
/// largest size is kPreviewPointSize, so sizes compare, unless the sample
/// would then reach beyond the preview, in which case it is shrunk to fit.
double pointScale(QSizeF extent, QSize area) {
  const double nominal = 0.75 * std::min(area.width(), area.height()) / kPreviewPointSize;
  double scale = nominal;
  if (extent.width() > 0) scale = std::min(scale, std::max(0.0, area.width() - 2 * kPointMargin) / extent.width());
  if (extent.height() > 0) scale = std::min(scale, std::max(0.0, area.height() - 2 * kPointMargin) / extent.height());
  return scale;
}

}  // namespace

void drawPointPreview(KernelDriver& driver, PointRecordBytes record, QSize area) {
  std::array<std::uint8_t, layout::kPointRecordSize> copy;
  std::copy(record.begin(), record.end(), copy.begin());
  const QRectF extent = pointExtent(record);
  const double scale = pointScale(extent.size(), area);
  // The anchor that puts the middle of the scaled extent in the middle of
  // the area, turned into drawing coordinates (y up).
  const QPointF middle = extent.center() * scale;
  const D_DOT anchor{area.width() / 2.0 - middle.x(), area.height() / 2.0 + middle.y()};
  // Scaled from the value the driver would take, so the sample drawn is
  // the one measured.
  const auto scaleField = [&](std::size_t offset, double (*asDrawn)(double)) {
    store_le<float>(copy, offset, narrow(asDrawn(load_le<float>(copy, offset)) * scale));
  };
  std::string_view text;
  switch (const auto type = static_cast<PointType>(copy[point::kType])) {
    case PointType::Annotation:
    case PointType::Text:
      text = type == PointType::Annotation ? records::kAnnotationSample : records::kTextSample;
      scaleField(point::kTextHeight, sizeOf);
      scaleField(point::kTextWidth, sizeOf);
      scaleField(point::kTextSpacing, spacingOf);
      break;
    case PointType::Symbol:
      scaleField(point::kSymbolHeight, sizeOf);
      scaleField(point::kSymbolWidth, sizeOf);
      break;
    case PointType::Dot:
    case PointType::Ring:
      store_le<double>(copy, point::kMarkerSize, sizeOf(load_le<double>(copy, point::kMarkerSize)) * scale);
      break;
    case PointType::Image: driver.DispImageIcon(anchor); return;
    default:  // an unknown type draws nothing in the pad either
      return;
  }
  driver.ResetDrawState();
  driver.DispPnt(anchor, text, copy);
  driver.ResetDrawState();
}

void drawLinePreview(KernelDriver& driver, LineRecordBytes record, QSize area) {
  std::array<std::uint8_t, layout::kLineRecordSize> copy;
  std::copy(record.begin(), record.end(), copy.begin());
  const double y = area.height() / 2.0;
  const D_DOT points[2] = {{area.width() / 6.0, y}, {area.width() * 5.0 / 6.0, y}};
  scaleFloat(copy, line::kPatternLength, 2.0 * area.width() / kPreviewLineFactor);
  scaleFloat(copy, line::kPatternWidth, 2.0 * area.height() / kPreviewLineFactor);
  driver.ResetDrawState();
  driver.DispLin(points, copy);
  driver.ResetDrawState();
}

void drawRegionPreview(KernelDriver& driver, RegionRecordBytes record, QSize area) {
  const double left = kRegionMargin;
  const double right = area.width() - kRegionMargin;
  const double top = area.height() - kRegionMargin;
  const double bottom = kRegionMargin;
  const D_DOT corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  const std::int32_t ringSizes[1] = {4};
  driver.ResetDrawState();
  driver.BeginRegFill(records::regionFillOf(record));
  driver.FillPolygons(corners, ringSizes);
  driver.EndRegFill();
  driver.ResetDrawState();
}

SamplePreview::SamplePreview(Draw draw, QWidget* parent) : QWidget(parent), draw_(std::move(draw)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SamplePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // White, as the paper the map and the pad's cells are drawn on.
  painter.fillRect(rect(), Qt::white);
  fillFrame(painter, rect(), palette().color(QPalette::Mid));
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  std::unique_ptr<KernelDriver> driver = OpenWinDriver(painter, inside);
  if (!driver || !draw_) return;
  driver->SetDrawing(true);
  draw_(*driver, inside.size());
  driver->SetDrawing(false);
  driver->CloseWinDriver();
}

}  // namespace legend::areaedit
