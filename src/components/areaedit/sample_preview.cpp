#include "components/areaedit/sample_preview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string_view>

#include <QPainter>

#include "components/display/graphic_records.h"
#include "components/display/qpainter_driver.h"
#include "legendfile/byte_order.h"

namespace legend::areaedit {
namespace {

namespace point = records::point;
namespace line = records::line;
namespace region = records::region;
using records::PointType;

// The words the pad's cells show for annotation and text legends (GBK).
constexpr std::string_view kAnnotationSample = "\xd7\xa2\xca\xcd\xc0\xe0";  // 注释类
constexpr std::string_view kTextSample = "\xce\xc4\xb1\xbe\xc0\xe0";        // 文本类
constexpr int kSampleChars = 3;
// Room left around a region sample, so its outline stays in view.
constexpr double kRegionMargin = 8;

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

/// Where an annotation or text sample is anchored so it sits centred.
D_DOT placeText(std::array<std::uint8_t, kPntInfoBytes>& copy, PointType type, double scale, D_DOT centre) {
  const double height = std::max(0.0, scaleFloat(copy, point::kTextHeight, scale));
  const double width = std::max(0.0, scaleFloat(copy, point::kTextWidth, scale));
  const double spacing = scaleFloat(copy, point::kTextSpacing, scale);
  const bool annotation = type == PointType::Annotation;
  const bool inRow = copy[annotation ? point::kAnnotationLayout : point::kTextLayout] == 0;
  if (inRow) {
    const double across = kSampleChars * width + (kSampleChars - 1) * spacing;
    // A row annotation stands on its anchor; a text hangs from it.
    return {centre.x - across / 2, annotation ? centre.y - height / 2 : centre.y + height / 2};
  }
  const double down = kSampleChars * height + (kSampleChars - 1) * spacing;
  return {centre.x - width / 2, centre.y + down / 2};
}

}  // namespace

void drawPointPreview(KernelDriver& driver, std::span<const std::uint8_t, kPntInfoBytes> record, QSize area) {
  std::array<std::uint8_t, kPntInfoBytes> copy;
  std::copy(record.begin(), record.end(), copy.begin());
  const double scale = 0.75 * std::min(area.width(), area.height()) / kPreviewPointSize;
  const D_DOT centre{area.width() / 2.0, area.height() / 2.0};
  std::string_view text;
  D_DOT position = centre;
  switch (const auto type = static_cast<PointType>(copy[point::kType])) {
    case PointType::Annotation:
    case PointType::Text:
      text = type == PointType::Annotation ? kAnnotationSample : kTextSample;
      position = placeText(copy, type, scale, centre);
      break;
    case PointType::Symbol:
      scaleFloat(copy, point::kSymbolHeight, scale);
      scaleFloat(copy, point::kSymbolWidth, scale);
      break;
    case PointType::Dot:
    case PointType::Ring:
      store_le<double>(copy, point::kMarkerSize, load_le<double>(copy, point::kMarkerSize) * scale);
      break;
    case PointType::Image:
      driver.DispImageIcon(centre);
      return;
    default:  // an unknown type draws nothing in the pad either
      return;
  }
  driver.ResetDrawState(0);
  driver.DispPnt(position, text.empty() ? "" : text.data(), static_cast<std::int16_t>(text.size()), copy.data(), 0);
  driver.ResetDrawState(0);
}

void drawLinePreview(KernelDriver& driver, std::span<const std::uint8_t, kLinInfoBytes> record, QSize area) {
  std::array<std::uint8_t, kLinInfoBytes> copy;
  std::copy(record.begin(), record.end(), copy.begin());
  const double y = area.height() / 2.0;
  const D_DOT points[2] = {{area.width() / 6.0, y}, {area.width() * 5.0 / 6.0, y}};
  scaleFloat(copy, line::kPatternLength, 2.0 * area.width() / kPreviewLineFactor);
  scaleFloat(copy, line::kPatternWidth, 2.0 * area.height() / kPreviewLineFactor);
  driver.ResetDrawState(0);
  driver.DispLin(points, 2, copy.data(), 0);
  driver.ResetDrawState(0);
}

void drawRegionPreview(KernelDriver& driver, std::span<const std::uint8_t, kRegInfoBytes> record, QSize area) {
  const double left = kRegionMargin;
  const double right = area.width() - kRegionMargin;
  const double top = area.height() - kRegionMargin;
  const double bottom = kRegionMargin;
  const D_DOT corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
  const std::int32_t counts[1] = {4};
  driver.ResetDrawState(0);
  driver.BeginRegFill(load_le<std::int32_t>(record, region::kFillColour), load_le<std::uint16_t>(record, region::kPattern),
                      load_le<float>(record, region::kPatternSize), load_le<std::int32_t>(record, region::kPatternColour));
  driver.FillPolygons(corners, counts, 1);
  driver.EndRegFill();
  driver.ResetDrawState(0);
}

SamplePreview::SamplePreview(Draw draw, QWidget* parent) : QWidget(parent), draw_(std::move(draw)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SamplePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // White, as the paper the map and the pad's cells are drawn on.
  painter.fillRect(rect(), Qt::white);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  std::unique_ptr<KernelDriver> driver = OpenWinDriver(painter, inside);
  if (!driver || !draw_) return;
  driver->SetDrawing(1);
  draw_(*driver, inside.size());
  driver->SetDrawing(0);
  driver->CloseWinDriver();
}

}  // namespace legend::areaedit
