#pragma once
// Little-endian loads and stores at explicit offsets. Every field of a legend
// file is read through these; no struct is ever laid over file bytes.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>

namespace legend {

/// Whether @p value can be stored in a 32-bit float field without becoming
/// infinite. The bound is the magnitude that rounds to infinity, not FLT_MAX:
/// FLT_MAX's own shortest decimal form (3.4028235e38) lies above FLT_MAX and
/// still rounds back to it.
constexpr bool fitsFloat(double value) noexcept {
  constexpr double kFloatOverflow = 0x1.ffffffp+127;
  return value > -kFloatOverflow && value < kFloatOverflow;
}

template <typename T>
concept LittleEndianValue = std::is_arithmetic_v<T> && !std::is_same_v<T, bool>;

/// Reads a T stored little-endian at @p offset. The caller guarantees that
/// offset + sizeof(T) lies within @p bytes (checked in debug builds).
template <LittleEndianValue T>
T load_le(std::span<const std::uint8_t> bytes, std::size_t offset) noexcept {
  using U = std::conditional_t<sizeof(T) == 1, std::uint8_t,
                               std::conditional_t<sizeof(T) == 2, std::uint16_t,
                                                  std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
  static_assert(sizeof(U) == sizeof(T));
  U raw = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // One load: compilers do not always see the byte loop below as one.
    // subspan keeps the bounds check of debug builds.
    std::memcpy(&raw, bytes.subspan(offset, sizeof(T)).data(), sizeof(T));
  } else {
    for (std::size_t i = 0; i < sizeof(T); ++i) raw |= static_cast<U>(static_cast<U>(bytes[offset + i]) << (8 * i));
  }
  return std::bit_cast<T>(raw);
}

/// Stores @p value little-endian at @p offset.
template <LittleEndianValue T>
void store_le(std::span<std::uint8_t> bytes, std::size_t offset, T value) noexcept {
  using U = std::conditional_t<sizeof(T) == 1, std::uint8_t,
                               std::conditional_t<sizeof(T) == 2, std::uint16_t,
                                                  std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>>>;
  const U raw = std::bit_cast<U>(value);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(bytes.subspan(offset, sizeof(T)).data(), &raw, sizeof(T));
  } else {
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes[offset + i] = static_cast<std::uint8_t>(raw >> (8 * i));
  }
}

/// True when [offset, offset + length) lies inside a run of @p size bytes,
/// computed without overflow for any 64-bit inputs.
constexpr bool fits_within(std::uint64_t offset, std::uint64_t length, std::uint64_t size) noexcept {
  return offset <= size && length <= size - offset;
}

}  // namespace legend
