#pragma once
// A legend's data block: graphic parameter record (P bytes), S, the
// serialised attribute structure (S bytes), R, the attribute record (R bytes).

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class CATT_STRU;

namespace legend {

/// What is wrong with a block, in the order a reader meets it.
enum class BlockProblem : std::uint8_t {
  None,
  ParamsFillBlock,       ///< P is not less than the block size: no attribute part
  StructureSizeMissing,  ///< the block ends inside S
  NegativeStructureSize,
  StructurePastEnd,   ///< S bytes of structure reach past the block end
  RecordSizeMissing,  ///< the block ends inside R
  NegativeRecordSize,
  RecordPastEnd,  ///< R bytes of record reach past the block end
};

/// Where the parts of a block lie, valid up to the first problem found.
struct BlockParts {
  BlockProblem problem = BlockProblem::None;
  std::size_t paramSize = 0;       ///< P
  std::int32_t structureSize = 0;  ///< S
  std::int32_t recordSize = 0;     ///< R
  std::size_t structureOffset() const noexcept { return paramSize + 4; }
  std::size_t recordOffset() const noexcept { return paramSize + 8 + static_cast<std::size_t>(structureSize); }
};

/// Splits a block of a legend of type @p type without reading outside it.
BlockParts parseBlock(std::span<const std::uint8_t> block, std::int8_t type) noexcept;

/// Composes a block from a P-byte parameter record, an optional structure
/// (S = its CalSize(), 0 without one) and a record (R = its length).
/// nullopt when the structure cannot be serialised or the block would not
/// fit a signed 32-bit size.
std::optional<std::vector<std::uint8_t>> composeBlock(std::span<const std::uint8_t> params, CATT_STRU* structure,
                                                      std::span<const std::uint8_t> record);

}  // namespace legend
