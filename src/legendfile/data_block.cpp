#include "legendfile/data_block.h"

#include <algorithm>
#include <limits>

#include "components/attstru/att_stru.h"
#include "legendfile/byte_order.h"
#include "legendfile/layout.h"

namespace legend {

BlockParts parseBlock(std::span<const std::uint8_t> block, std::int8_t type) noexcept {
  BlockParts parts;
  parts.paramSize = layout::param_record_size(type);
  const std::uint64_t size = block.size();
  if (parts.paramSize >= size) {
    parts.problem = BlockProblem::ParamsFillBlock;
    return parts;
  }
  if (!fits_within(parts.paramSize, 4, size)) {
    parts.problem = BlockProblem::StructureSizeMissing;
    return parts;
  }
  parts.structureSize = load_le<std::int32_t>(block, parts.paramSize);
  if (parts.structureSize < 0) {
    parts.problem = BlockProblem::NegativeStructureSize;
    return parts;
  }
  if (!fits_within(parts.structureOffset(), static_cast<std::uint64_t>(parts.structureSize), size)) {
    parts.problem = BlockProblem::StructurePastEnd;
    return parts;
  }
  const std::uint64_t recordSizeAt = parts.structureOffset() + static_cast<std::uint64_t>(parts.structureSize);
  if (!fits_within(recordSizeAt, 4, size)) {
    parts.problem = BlockProblem::RecordSizeMissing;
    return parts;
  }
  parts.recordSize = load_le<std::int32_t>(block, recordSizeAt);
  if (parts.recordSize < 0) {
    parts.problem = BlockProblem::NegativeRecordSize;
    return parts;
  }
  if (!fits_within(parts.recordOffset(), static_cast<std::uint64_t>(parts.recordSize), size))
    parts.problem = BlockProblem::RecordPastEnd;
  return parts;
}

std::optional<std::vector<std::uint8_t>> composeBlock(std::span<const std::uint8_t> params, CATT_STRU* structure,
                                                      std::span<const std::uint8_t> record) {
  const std::int32_t s = structure ? structure->CalSize() : 0;
  if (s < 0) return std::nullopt;
  const std::uint64_t total = params.size() + layout::kBlockOverhead + static_cast<std::uint64_t>(s) + record.size();
  if (total > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;

  std::vector<std::uint8_t> block(total);
  std::span<std::uint8_t> out(block);
  std::copy(params.begin(), params.end(), block.begin());
  store_le<std::int32_t>(out, params.size(), s);
  if (s > 0 && structure->Save(block.data(), static_cast<std::int32_t>(total),
                               static_cast<std::int32_t>(params.size() + 4)) != s)
    return std::nullopt;
  const std::size_t recordSizeAt = params.size() + 4 + static_cast<std::size_t>(s);
  store_le<std::int32_t>(out, recordSizeAt, static_cast<std::int32_t>(record.size()));
  std::copy(record.begin(), record.end(), block.begin() + static_cast<std::ptrdiff_t>(recordSizeAt + 4));
  return block;
}

}  // namespace legend
