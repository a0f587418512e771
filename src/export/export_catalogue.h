#pragma once
// Which legends of a loaded legend file can be taken to another GIS, in the
// order the pad shows them, and which cannot and why. Only legends whose
// graphic parameter record lies whole in its block and in the file are
// exported: a record the file cuts short would come out as a symbol made of
// zeros, so it is reported instead.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "legendfile/layout.h"

namespace legend {
class LegendSet;
}

namespace legend::exporter {

/// A legend that goes into the exports.
struct CatalogueEntry {
  std::int32_t legendIndex = 0;
  std::int32_t displayPosition = 0;  ///< position in the pad's display list
  LegendType type = LegendType::Point;
};

enum class SkipReason : std::uint8_t {
  UnknownType,        ///< value: the type byte
  BlockTooShort,      ///< value: the block size, smaller than the record (or negative)
  RecordOutsideFile,  ///< value: the file offset where the record would start
};

/// A legend left out of the exports.
struct SkippedLegend {
  std::int32_t legendIndex = 0;
  SkipReason reason = SkipReason::UnknownType;
  std::int64_t value = 0;
};

struct Catalogue {
  std::vector<CatalogueEntry> entries;  ///< in display order
  std::vector<SkippedLegend> skipped;   ///< in legend order
};

/// The catalogue of @p legends, which must be loaded with every type shown
/// in its display list (a fresh LegendSet after reload()).
Catalogue catalogueOf(const LegendSet& legends);

/// One line in the interface's language for the command line, naming the
/// legend by index and, when given, by its @p name (UTF-8), e.g.
/// "图例 21 \"未知类型\": 未知类型 7,其他 GIS 无法绘制,未导出".
std::string describe(const SkippedLegend& skipped, std::string_view name = {});

}  // namespace legend::exporter
