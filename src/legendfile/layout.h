#pragma once
// Byte layout of a legend file: a 16-byte preamble, N head records of 333
// bytes, then the data area holding one data block per legend. All integers
// are little-endian; nothing is padded or aligned.

#include <cstddef>
#include <cstdint>
#include <span>

#include "legend/legend.h"

namespace legend {

/// Legend type byte of a head record. Any other value is an unknown type,
/// which the pad never shows and the editor keeps without listing it.
enum class LegendType : std::int8_t {
  Line = 0,    ///< line style (LIN_INFOstruct, 67 bytes)
  Point = 1,   ///< point symbol, text, annotation or image (PNT_INFOstruct, 94 bytes)
  Region = 2,  ///< area fill (REG_INFOstruct, 63 bytes)
};

namespace layout {

// Preamble.
inline constexpr std::size_t kHeaderSize = 12;  ///< the part every reader checks
inline constexpr std::size_t kMagicOffset = 0;  ///< "RQLF"
inline constexpr std::size_t kFormatWordOffset = 4;
inline constexpr std::uint16_t kFormatWord = 17504;   ///< 0x4460, bytes 0x60 0x44
inline constexpr std::size_t kMarkOffset = 6;         ///< '2' then '>'
inline constexpr std::size_t kVersionWordOffset = 8;  ///< 13, not checked by readers
inline constexpr std::size_t kCountOffset = 12;       ///< N, signed 32-bit
inline constexpr std::size_t kPreambleSize = 16;

// Head record.
inline constexpr std::size_t kHeadRecordSize = 333;
inline constexpr std::size_t kNameOffset = 0;
inline constexpr std::size_t kTextFieldSize = 128;  ///< name and description, NUL included
inline constexpr std::size_t kMaxTextBytes = kTextFieldSize - 1;
inline constexpr std::size_t kDescriptionOffset = 128;
inline constexpr std::size_t kTypeOffset = 256;         ///< signed byte
inline constexpr std::size_t kBlockOffsetOffset = 257;  ///< unsigned 32-bit, from the data area
inline constexpr std::size_t kBlockSizeOffset = 261;    ///< signed 32-bit
inline constexpr std::size_t kClassCodeOffset = 265;    ///< signed 32-bit
inline constexpr std::size_t kReservedOffset = 269;
inline constexpr std::size_t kReservedSize = 64;
static_assert(kReservedOffset + kReservedSize == kHeadRecordSize);

// Graphic parameter records, kept as opaque byte images of these sizes.
inline constexpr std::size_t kLineRecordSize = 67;
inline constexpr std::size_t kPointRecordSize = 94;
inline constexpr std::size_t kRegionRecordSize = 63;

// Data block: parameters (P bytes), S, structure (S bytes), R, record (R bytes).
inline constexpr std::size_t kSizeFieldBytes = 4;
inline constexpr std::size_t kBlockOverhead = 2 * kSizeFieldBytes;

/// The legend sets count with a signed 16-bit counter, so no file holds more.
inline constexpr std::int32_t kMaxLegends = 32767;

/// Paths are kept in buffers of the size hosts give them, NUL included.
inline constexpr std::size_t kPathBufferSize = LEGEND_PATH_BUFFER;
inline constexpr std::size_t kMaxPathBytes = kPathBufferSize - 1;

/// P for a legend type byte: 67, 94, 63, or 0 for an unknown type.
constexpr std::size_t param_record_size(std::int8_t type) noexcept {
  switch (type) {
    case static_cast<std::int8_t>(LegendType::Line): return kLineRecordSize;
    case static_cast<std::int8_t>(LegendType::Point): return kPointRecordSize;
    case static_cast<std::int8_t>(LegendType::Region): return kRegionRecordSize;
    default: return 0;
  }
}

/// File offset of head record @p index.
constexpr std::uint64_t head_offset(std::int64_t index) noexcept {
  return kPreambleSize + kHeadRecordSize * static_cast<std::uint64_t>(index);
}

/// File offset where the data area of a file of @p count legends starts.
constexpr std::uint64_t data_area_offset(std::int64_t count) noexcept { return head_offset(count); }

}  // namespace layout

/// Graphic parameter records read where they lie, in someone else's memory.
using PointRecordBytes = std::span<const std::uint8_t, layout::kPointRecordSize>;
using LineRecordBytes = std::span<const std::uint8_t, layout::kLineRecordSize>;
using RegionRecordBytes = std::span<const std::uint8_t, layout::kRegionRecordSize>;

}  // namespace legend
