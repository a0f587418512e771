#pragma once
// What the pad hands the display component to draw a legend's sample in a
// cell of a given size: the record copy it scaled against the file's largest
// sizes, the sample text of annotations and texts, and where it anchored the
// sample. The exports draw and translate exactly this, so a symbol in
// another GIS has the proportions the pad gives it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "components/drawing/kernel_driver.h"
#include "legendfile/layout.h"

namespace legend {
class LegendSet;
}
namespace legend::pad {
struct ScaleMaxima;
}

namespace legend::exporter {

/// A cell size in pixels.
struct CellSize {
  std::int32_t width = 64;
  std::int32_t height = 64;
};

struct CapturedSample {
  enum class Kind : std::uint8_t {
    None,    ///< nothing drawn (an unknown point type)
    Point,   ///< DispPnt with record, text and offset
    Image,   ///< the image legend's icon at offset
    Line,    ///< DispLin with record
    Region,  ///< a region fill
  };
  Kind kind = Kind::None;
  /// Where the sample is anchored relative to the middle of the pad's
  /// sample area, in drawing coordinates (y up).
  D_DOT offset{};
  std::array<std::uint8_t, layout::kPointRecordSize> point{};
  std::string text;  ///< GBK sample text of annotations and texts
  std::array<std::uint8_t, layout::kLineRecordSize> line{};
  RegionFill region;
};

/// The sample of legend @p legendIndex of @p legends as the pad draws it in
/// a cell of @p cell, scaled against @p maxima.
CapturedSample captureSample(const LegendSet& legends, const pad::ScaleMaxima& maxima, std::int32_t legendIndex,
                             CellSize cell);

}  // namespace legend::exporter
