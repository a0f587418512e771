#pragma once
// Named access to the fields of a 333-byte legend head record.

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "legendfile/byte_order.h"
#include "legendfile/layout.h"

namespace legend {

using HeadBytes = std::span<const std::uint8_t, layout::kHeadRecordSize>;
using MutableHeadBytes = std::span<std::uint8_t, layout::kHeadRecordSize>;

/// Read-only view of one head record.
class HeadView {
 public:
  explicit HeadView(HeadBytes bytes) noexcept : bytes_(bytes) {}

  /// Name bytes (GBK) up to the first NUL, at most 127 of them.
  std::string_view name() const noexcept { return text(layout::kNameOffset); }
  /// Description bytes (GBK) up to the first NUL, at most 127 of them.
  std::string_view description() const noexcept { return text(layout::kDescriptionOffset); }
  std::int8_t type() const noexcept { return load_le<std::int8_t>(bytes_, layout::kTypeOffset); }
  std::uint32_t blockOffset() const noexcept { return load_le<std::uint32_t>(bytes_, layout::kBlockOffsetOffset); }
  std::int32_t blockSize() const noexcept { return load_le<std::int32_t>(bytes_, layout::kBlockSizeOffset); }
  std::int32_t classCode() const noexcept { return load_le<std::int32_t>(bytes_, layout::kClassCodeOffset); }
  std::span<const std::uint8_t, layout::kReservedSize> reserved() const noexcept {
    return bytes_.subspan<layout::kReservedOffset, layout::kReservedSize>();
  }
  /// P, the size of this legend's graphic parameter record.
  std::size_t paramSize() const noexcept { return layout::param_record_size(type()); }
  HeadBytes bytes() const noexcept { return bytes_; }

 private:
  std::string_view text(std::size_t offset) const noexcept {
    const char* start = reinterpret_cast<const char*>(bytes_.data() + offset);
    return {start, ::strnlen(start, layout::kMaxTextBytes)};
  }
  HeadBytes bytes_;
};

/// Writable view of one head record.
class HeadRef {
 public:
  explicit HeadRef(MutableHeadBytes bytes) noexcept : bytes_(bytes) {}
  HeadView view() const noexcept { return HeadView(bytes_); }

  /// Stores @p text NUL-terminated; false (and nothing changed) above 127 bytes.
  bool setName(std::string_view text) noexcept { return setText(layout::kNameOffset, text); }
  bool setDescription(std::string_view text) noexcept { return setText(layout::kDescriptionOffset, text); }
  void setType(std::int8_t type) noexcept { store_le<std::int8_t>(bytes_, layout::kTypeOffset, type); }
  void setBlockOffset(std::uint32_t offset) noexcept {
    store_le<std::uint32_t>(bytes_, layout::kBlockOffsetOffset, offset);
  }
  void setBlockSize(std::int32_t size) noexcept { store_le<std::int32_t>(bytes_, layout::kBlockSizeOffset, size); }
  void setClassCode(std::int32_t code) noexcept { store_le<std::int32_t>(bytes_, layout::kClassCodeOffset, code); }

 private:
  bool setText(std::size_t offset, std::string_view text) noexcept {
    if (text.size() > layout::kMaxTextBytes) return false;
    // The whole field is rewritten so no bytes of a longer old text linger
    // after the terminating NUL.
    std::memset(bytes_.data() + offset, 0, layout::kTextFieldSize);
    std::memcpy(bytes_.data() + offset, text.data(), text.size());
    return true;
  }
  MutableHeadBytes bytes_;
};

/// A head record held by value.
struct HeadRecord {
  std::array<std::uint8_t, layout::kHeadRecordSize> bytes{};
  HeadView view() const noexcept { return HeadView(bytes); }
  HeadRef ref() noexcept { return HeadRef(bytes); }
};

}  // namespace legend
