#include "pad/model/scale_maxima.h"

#include <array>
#include <cstdint>
#include <span>

#include "components/display/graphic_records.h"
#include "legendfile/byte_order.h"
#include "legendfile/layout.h"
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
    switch (legends.getType(index)) {
      case static_cast<std::int16_t>(LegendType::Line): {
        std::array<std::uint8_t, layout::kLineRecordSize> record;
        if (legends.getLineInfo(record.data(), index) == 0) break;
        raise(lineX, floatAt(record, line::kPatternLength));
        raise(lineY, floatAt(record, line::kPatternWidth));
        break;
      }
      case static_cast<std::int16_t>(LegendType::Point): {
        std::array<std::uint8_t, layout::kPointRecordSize> record;
        if (legends.getPointInfo(record.data(), index) == 0) break;
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
          case PointType::Ring:
            raise(pointSize, load_le<double>(record, point::kMarkerSize));
            break;
          default:  // images have no size; other point types are not drawn
            break;
        }
        break;
      }
      default:  // regions are drawn to fill the cell whatever their record
        break;
    }
  }
}

ScaleMaxima& scaleMaxima() noexcept { return processMaxima; }

void updateScaleMaxima(const LegendSet& legends) noexcept { processMaxima.raiseFrom(legends); }

void resetScaleMaximaForTests() noexcept { processMaxima = ScaleMaxima{}; }

}  // namespace legend::pad
