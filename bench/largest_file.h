#pragma once
// The largest file the format holds, as the pad, editor and host benchmarks
// open it: legends taking turns as line, point and region, every legend with
// a three-field attribute structure.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "components/attstru/att_stru.h"
#include "legendfile/data_block.h"
#include "legendfile/head_record.h"
#include "legendfile/layout.h"
#include "legendfile/packed_file.h"

namespace bench {

inline std::vector<std::uint8_t> largestFile(std::int32_t legends) {
  CATT_STRU structure;
  structure.AddFld({.name = "name", .type = AttFieldType::Text, .length = 16});
  structure.AddFld({.name = "code", .type = AttFieldType::Int32, .length = 4});
  structure.AddFld({.name = "area", .type = AttFieldType::Double, .length = 8, .decimals = 2});
  structure.CalLengthOffset();
  const std::vector<std::uint8_t> record(static_cast<std::size_t>(structure.RecordLength()), 1);

  legend::PackedFileBuilder file;
  for (std::int32_t i = 0; i < legends; ++i) {
    const auto type = static_cast<std::int8_t>(i % 3);
    std::vector<std::uint8_t> params(legend::layout::param_record_size(type), 0);
    params[0] = type == 1 ? 1 : 0;  // point legends show symbol 1
    const auto block = legend::composeBlock(params, &structure, record);
    if (!block) throw std::runtime_error("generator: a block could not be composed");
    legend::HeadRecord head;
    head.ref().setName("legend " + std::to_string(i));
    head.ref().setType(type);
    head.ref().setClassCode(i);
    if (!file.append(head, *block)) throw std::runtime_error("generator: the file outgrows the format");
  }
  return file.image();
}

}  // namespace bench
