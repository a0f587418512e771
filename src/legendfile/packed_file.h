#pragma once
// Composes a whole legend file with its blocks packed one after the other
// in legend order right after the head records: the layout every file the
// editor writes has, and what generators of sample files need.

#include <cstdint>
#include <span>
#include <vector>

#include "legendfile/head_record.h"

namespace legend {

class PackedFileBuilder {
 public:
  /// Adds a legend: @p head with its block offset and size set to where
  /// @p block lands. False (nothing added) when the legend count or the
  /// data area would outgrow what the format holds.
  bool append(const HeadRecord& head, std::span<const std::uint8_t> block);
  std::int32_t count() const noexcept { return static_cast<std::int32_t>(heads_.size()); }
  /// The complete file: header, count, head records, data area.
  std::vector<std::uint8_t> image() const;

 private:
  std::vector<HeadRecord> heads_;
  std::vector<std::uint8_t> data_;
};

}  // namespace legend
