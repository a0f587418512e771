#include "export/export_catalogue.h"

#include "legendfile/head_record.h"
#include "legendfile/legend_set.h"
#include "legendfile/translation.h"

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
  const std::string index = std::to_string(skipped.legendIndex);
  const std::string value = std::to_string(skipped.value);
  // Each line is one whole pattern, so a translation may order its parts
  // as its language needs.
  const char* reason = "";
  switch (skipped.reason) {
    case SkipReason::UnknownType:
      reason = name.empty() ? LEGEND_TR_NOOP("legend", "图例 %1: 未知类型 %2,其他 GIS 无法绘制,未导出")
                            : LEGEND_TR_NOOP("legend", "图例 %1 \"%3\": 未知类型 %2,其他 GIS 无法绘制,未导出");
      break;
    case SkipReason::BlockTooShort:
      reason = name.empty() ? LEGEND_TR_NOOP("legend", "图例 %1: %2 字节的数据块容不下图形参数,未导出")
                            : LEGEND_TR_NOOP("legend", "图例 %1 \"%3\": %2 字节的数据块容不下图形参数,未导出");
      break;
    case SkipReason::RecordOutsideFile:
      reason = name.empty() ? LEGEND_TR_NOOP("legend", "图例 %1: 偏移 %2 处的图形参数超出了文件末尾,未导出")
                            : LEGEND_TR_NOOP("legend", "图例 %1 \"%3\": 偏移 %2 处的图形参数超出了文件末尾,未导出");
      break;
  }
  return translated(reason, {index, value, name});
}

}  // namespace legend::exporter
