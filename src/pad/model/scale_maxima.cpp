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

void ScaleMaxima::raiseFrom(const LegendSet& legends) noexcept {
  for (const std::int32_t index : legends.displayList()) {
    const std::optional<LegendView> legend = legends.view(index);
    if (!legend) continue;
    if (const std::optional<LineRecordBytes> lineRecord = legend->lineRecord()) {
      raise(lineX, floatAt(*lineRecord, line::kPatternLength));
      raise(lineY, floatAt(*lineRecord, line::kPatternWidth));
    } else if (const std::optional<PointRecordBytes> pointRecord = legend->pointRecord()) {
      const PointRecordBytes record = *pointRecord;
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
    // Regions are drawn to fill the cell whatever their record.
  }
}

ScaleMaxima& scaleMaxima() noexcept { return processMaxima; }

void updateScaleMaxima(const LegendSet& legends) noexcept { processMaxima.raiseFrom(legends); }

}  // namespace legend::pad
