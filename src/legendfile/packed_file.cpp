#include "legendfile/packed_file.h"

#include <algorithm>
#include <limits>

#include "legendfile/byte_order.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"

namespace legend {

bool PackedFileBuilder::append(const HeadRecord& head, std::span<const std::uint8_t> block) {
  // Offsets are unsigned 32-bit and sizes signed 32-bit in the head records.
  if (count() >= layout::kMaxLegends || block.size() > std::size_t(std::numeric_limits<std::int32_t>::max()) ||
      data_.size() > std::numeric_limits<std::uint32_t>::max())
    return false;
  HeadRecord placed = head;
  placed.ref().setBlockOffset(static_cast<std::uint32_t>(data_.size()));
  placed.ref().setBlockSize(static_cast<std::int32_t>(block.size()));
  heads_.push_back(placed);
  data_.insert(data_.end(), block.begin(), block.end());
  return true;
}

std::vector<std::uint8_t> PackedFileBuilder::image() const {
  const std::uint64_t dataArea = layout::data_area_offset(count());
  std::vector<std::uint8_t> image(static_cast<std::size_t>(dataArea) + data_.size(), 0);
  const auto header = makeHeader();
  std::copy(header.begin(), header.end(), image.begin());
  store_le<std::int32_t>(image, layout::kCountOffset, count());
  for (std::int32_t i = 0; i < count(); ++i) {
    const auto& bytes = heads_[static_cast<std::size_t>(i)].bytes;
    std::copy(bytes.begin(), bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(layout::head_offset(i)));
  }
  std::copy(data_.begin(), data_.end(), image.begin() + static_cast<std::ptrdiff_t>(dataArea));
  return image;
}

}  // namespace legend
