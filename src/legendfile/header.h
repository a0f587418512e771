#pragma once
// The 12-byte header that opens every legend file, and the cheap probe that
// tells a legend file from anything else before it is parsed.

#include <array>
#include <cstdint>
#include <span>

namespace legend {

/// The header as a writer creates it: "RQLF", 0x60 0x44, '2', '>', 13, 0.
std::array<std::uint8_t, 12> makeHeader() noexcept;

/// Returns the format word at offset 4 when bytes 0-3 are "RQLF" and bytes 6
/// and 7 are '2' and '>', otherwise -1. Callers compare the result with
/// layout::kFormatWord. Bytes 8 to 11 are not looked at. Fewer than 8 bytes
/// give -1.
std::int32_t checkHeader(std::span<const std::uint8_t> firstBytes) noexcept;

/// True when @p firstBytes start a legend file.
bool isLegendHeader(std::span<const std::uint8_t> firstBytes) noexcept;

}  // namespace legend
