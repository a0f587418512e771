#include "export/export_catalogue.h"

#include "legendfile/head_record.h"
#include "legendfile/legend_set.h"

namespace legend::exporter {

Catalogue catalogueOf(const LegendSet& legends) {
  Catalogue catalogue;
  const std::uint64_t dataArea = layout::data_area_offset(legends.count());
  const std::uint64_t fileSize = legends.loadedFileSize();
  std::vector<bool> readable(static_cast<std::size_t>(legends.count()), false);
  for (std::int32_t index = 0; index < legends.count(); ++index) {
    const HeadView head = legends.head(index);
    const std::size_t recordSize = head.paramSize();
    if (recordSize == 0) {
      catalogue.skipped.push_back({index, SkipReason::UnknownType, head.type()});
      continue;
    }
    if (head.blockSize() < 0 || static_cast<std::uint64_t>(head.blockSize()) < recordSize) {
      catalogue.skipped.push_back({index, SkipReason::BlockTooShort, head.blockSize()});
      continue;
    }
    // 64-bit sums: a block offset near 4 GiB must not wrap round.
    const std::uint64_t recordAt = dataArea + head.blockOffset();
    if (recordAt > fileSize || fileSize - recordAt < recordSize) {
      catalogue.skipped.push_back({index, SkipReason::RecordOutsideFile, static_cast<std::int64_t>(recordAt)});
      continue;
    }
    readable[static_cast<std::size_t>(index)] = true;
  }
  for (std::int32_t position = 0; position < legends.displayCount(); ++position) {
    const std::int32_t index = legends.legendAt(position);
    if (!legends.contains(index) || !readable[static_cast<std::size_t>(index)]) continue;
    catalogue.entries.push_back({index, position, static_cast<LegendType>(legends.head(index).type())});
  }
  return catalogue;
}

std::string describe(const SkippedLegend& skipped, std::string_view name) {
  std::string text = "legend " + std::to_string(skipped.legendIndex);
  if (!name.empty()) text.append(" \"").append(name).append("\"");
  text += ": ";
  switch (skipped.reason) {
    case SkipReason::UnknownType:
      text += "unknown type " + std::to_string(skipped.value) + ", which no other GIS can draw";
      break;
    case SkipReason::BlockTooShort:
      text += "block of " + std::to_string(skipped.value) + " bytes cannot hold its graphic parameters";
      break;
    case SkipReason::RecordOutsideFile:
      text += "graphic parameters at offset " + std::to_string(skipped.value) + " reach past the end of the file";
      break;
  }
  return text + ", not exported";
}

}  // namespace legend::exporter
