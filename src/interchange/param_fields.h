#pragma once
// Graphic parameter records as named fields: the fields the display
// interprets (docs/graphic-records.md), plus the record's raw bytes whenever
// the named fields alone would not rebuild it exactly.

#include <cstdint>
#include <span>
#include <string>

#include "interchange/json_check.h"

namespace legend::interchange::detail {

/// Fills @p record (P bytes) from @p object, refusing with paths under @p path.
void paramsFromJson(const Json& object, const std::string& path, std::int8_t legendType,
                    std::span<std::uint8_t> record);

}  // namespace legend::interchange::detail
