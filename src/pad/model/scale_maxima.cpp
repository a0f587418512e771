#include "pad/model/scale_maxima.h"

#include <cstdint>
#include <optional>
#include <span>

#include "components/drawing/graphic_records.h"
#include "legendfile/byte_order.h"
#include "legendfile/legend_set.h"

namespace legend::pad {
namespace {

namespace point = records::point;
namespace line = records::line;
using records::PointType;

ScaleMaxima processMaxima;

void raise(double& maximum, double value) noexcept {
  if (value > maximum) maximum = value;
}

float floatAt(std::span<const std::uint8_t> record, std::size_t offset) noexcept {
  return load_le<float>(record, offset);
}

}  // namespace

void ScaleMaxima::raiseFromLine(LineRecordBytes record) noexcept {
  raise(lineX, floatAt(record, line::kPatternLength));
  raise(lineY, floatAt(record, line::kPatternWidth));
}

void ScaleMaxima::raiseFromPoint(PointRecordBytes record) noexcept {
  switch (static_cast<PointType>(record[point::kType])) {
    case PointType::Annotation:
    case PointType::Text:
      raise(pointHeight, floatAt(record, point::kTextHeight));
      raise(pointWidth, floatAt(record, point::kTextWidth));
      break;
    case PointType::Symbol:
      raise(pointHeight, floatAt(record, point::kSymbolHeight));
      raise(pointWidth, floatAt(record, point::kSymbolWidth));
      break;
    case PointType::Dot:
    case PointType::Ring: raise(pointSize, load_le<double>(record, point::kMarkerSize)); break;
    default:  // images have no size; other point types are not drawn
      break;
  }
}

void ScaleMaxima::raiseFrom(const LegendSet& legends) noexcept {
  // Regions are drawn to fill the cell whatever their record, so only line
  // and point records count. When the display list shows whole types, as
  // it does once rebuilt, their records are read straight from the set's
  // arrays, without visiting a head record for each legend: on a large
  // file that walk through the heads costs more than the records.
  const std::int64_t shown = (legends.showPoints() ? legends.points().count() : 0) +
                             (legends.showLines() ? legends.lines().count() : 0) +
                             (legends.showRegions() ? legends.regions().count() : 0);
  if (shown == legends.displayCount()) {
    if (legends.showLines())
      for (std::int32_t k = 0; k < legends.lines().count(); ++k) raiseFromLine(legends.lines().record(k));
    if (legends.showPoints())
      for (std::int32_t k = 0; k < legends.points().count(); ++k) raiseFromPoint(legends.points().record(k));
    return;
  }
  for (const std::int32_t index : legends.displayList()) {
    const std::optional<LegendView> legend = legends.view(index);
    if (!legend) continue;
    if (const std::optional<LineRecordBytes> lineRecord = legend->lineRecord())
      raiseFromLine(*lineRecord);
    else if (const std::optional<PointRecordBytes> pointRecord = legend->pointRecord())
      raiseFromPoint(*pointRecord);
  }
}

void ScaleMaxima::raiseTo(const ScaleMaxima& other) noexcept {
  raise(lineX, other.lineX);
  raise(lineY, other.lineY);
  raise(pointHeight, other.pointHeight);
  raise(pointWidth, other.pointWidth);
  raise(pointSize, other.pointSize);
}

ScaleMaxima& scaleMaxima() noexcept { return processMaxima; }

void updateScaleMaxima(const LegendSet& legends) noexcept { processMaxima.raiseFrom(legends); }

}  // namespace legend::pad
