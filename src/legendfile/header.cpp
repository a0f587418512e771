#include "legendfile/header.h"

#include "legendfile/byte_order.h"
#include "legendfile/layout.h"

namespace legend {

namespace {
constexpr std::array<std::uint8_t, 4> kMagic{'R', 'Q', 'L', 'F'};
constexpr std::uint8_t kMarkTwo = '2';
constexpr std::uint8_t kMarkArrow = '>';
constexpr std::uint16_t kVersionWord = 13;
}  // namespace

std::array<std::uint8_t, 12> makeHeader() noexcept {
  std::array<std::uint8_t, 12> header{};
  for (std::size_t i = 0; i < kMagic.size(); ++i) header[layout::kMagicOffset + i] = kMagic[i];
  store_le<std::uint16_t>(header, layout::kFormatWordOffset, layout::kFormatWord);
  header[layout::kMarkOffset] = kMarkTwo;
  header[layout::kMarkOffset + 1] = kMarkArrow;
  store_le<std::uint16_t>(header, layout::kVersionWordOffset, kVersionWord);
  return header;
}

std::int32_t checkHeader(std::span<const std::uint8_t> firstBytes) noexcept {
  if (firstBytes.size() < layout::kMarkOffset + 2) return -1;
  for (std::size_t i = 0; i < kMagic.size(); ++i)
    if (firstBytes[layout::kMagicOffset + i] != kMagic[i]) return -1;
  if (firstBytes[layout::kMarkOffset] != kMarkTwo || firstBytes[layout::kMarkOffset + 1] != kMarkArrow) return -1;
  return load_le<std::uint16_t>(firstBytes, layout::kFormatWordOffset);
}

bool isLegendHeader(std::span<const std::uint8_t> firstBytes) noexcept {
  return checkHeader(firstBytes) == layout::kFormatWord;
}

}  // namespace legend
