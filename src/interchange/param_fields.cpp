#include "interchange/param_fields.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "interchange/legend_json.h"
#include "legendfile/byte_order.h"
#include "legendfile/layout.h"

namespace legend::interchange::detail {

namespace {

enum class Kind : std::uint8_t { U8, U16, U32, F32, F64 };

struct NamedField {
  std::string_view key;
  std::size_t offset;
  Kind kind;
};

constexpr std::array<NamedField, 6> kLineFields{{{"style", 0, Kind::U16},
                                                 {"colour", 4, Kind::U32},
                                                 {"pen_width", 8, Kind::F32},
                                                 {"pattern_length", 13, Kind::F32},
                                                 {"pattern_width", 17, Kind::F32},
                                                 {"second_colour", 21, Kind::U32}}};
constexpr std::array<NamedField, 5> kRegionFields{{{"fill_colour", 0, Kind::U32},
                                                   {"pattern", 4, Kind::U16},
                                                   {"cell_width", 6, Kind::F32},
                                                   {"cell_height", 10, Kind::F32},
                                                   {"pattern_colour", 14, Kind::U32}}};

// A point record's fields overlap; the point type in byte 0 says which apply.
constexpr std::size_t kPointTypeOffset = 0;
constexpr std::array<std::string_view, 6> kPointTypeNames{"annotation", "symbol", "dot", "ring", "image", "text"};
constexpr std::array<NamedField, 6> kAnnotationFields{{{"char_height", 2, Kind::F32},
                                                       {"char_width", 6, Kind::F32},
                                                       {"angle", 10, Kind::F32},
                                                       {"spacing", 14, Kind::F32},
                                                       {"layout", 23, Kind::U8},
                                                       {"colour", 44, Kind::U32}}};
constexpr std::array<NamedField, 6> kSymbolFields{{{"symbol", 2, Kind::U32},
                                                   {"height", 6, Kind::F32},
                                                   {"width", 10, Kind::F32},
                                                   {"angle", 14, Kind::F32},
                                                   {"pen_width", 18, Kind::F32},
                                                   {"colour", 44, Kind::U32}}};
constexpr std::array<NamedField, 2> kDotFields{{{"diameter", 2, Kind::F64}, {"colour", 44, Kind::U32}}};
constexpr std::array<NamedField, 3> kRingFields{
    {{"diameter", 2, Kind::F64}, {"pen_width", 18, Kind::F32}, {"colour", 44, Kind::U32}}};
constexpr std::array<NamedField, 6> kTextFields{{{"char_height", 2, Kind::F32},
                                                 {"char_width", 6, Kind::F32},
                                                 {"angle", 10, Kind::F32},
                                                 {"spacing", 14, Kind::F32},
                                                 {"layout", 35, Kind::U8},
                                                 {"colour", 44, Kind::U32}}};

std::span<const NamedField> fieldsOf(std::int8_t legendType, std::uint8_t pointType) {
  switch (legendType) {
    case static_cast<std::int8_t>(LegendType::Line): return kLineFields;
    case static_cast<std::int8_t>(LegendType::Region): return kRegionFields;
    case static_cast<std::int8_t>(LegendType::Point):
      switch (pointType) {
        case 0: return kAnnotationFields;
        case 1: return kSymbolFields;
        case 2: return kDotFields;
        case 3: return kRingFields;
        case 5: return kTextFields;
        default: return {};  // an image, or a type that draws nothing
      }
    default: return {};
  }
}

Json realJson(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return value;
}

/// The float's shortest decimal form: 2.4f shows as 2.4, not 2.4000000953674316.
Json floatJson(float value) {
  if (!std::isfinite(value)) return realJson(value);
  std::array<char, 64> text{};
  const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
  double shortest = value;
  std::from_chars(text.data(), written.ptr, shortest);
  return shortest;
}

Json fieldJson(std::span<const std::uint8_t> record, const NamedField& field) {
  switch (field.kind) {
    case Kind::U8: return load_le<std::uint8_t>(record, field.offset);
    case Kind::U16: return load_le<std::uint16_t>(record, field.offset);
    case Kind::U32: return load_le<std::uint32_t>(record, field.offset);
    case Kind::F32: return floatJson(load_le<float>(record, field.offset));
    case Kind::F64: return realJson(load_le<double>(record, field.offset));
  }
  return nullptr;
}

void storeField(std::span<std::uint8_t> record, const NamedField& field, const Json& value, const std::string& path) {
  switch (field.kind) {
    case Kind::U8:
      store_le(record, field.offset, static_cast<std::uint8_t>(expectInteger(value, path, 0, 0xFF)));
      return;
    case Kind::U16:
      store_le(record, field.offset, static_cast<std::uint16_t>(expectInteger(value, path, 0, 0xFFFF)));
      return;
    case Kind::U32:
      store_le(record, field.offset, static_cast<std::uint32_t>(expectInteger(value, path, 0, 0xFFFFFFFF)));
      return;
    case Kind::F32: {
      const double real = expectReal(value, path);
      // A NaN already in the raw bytes keeps its payload; "nan" cannot spell it.
      if (std::isnan(real) && std::isnan(load_le<float>(record, field.offset))) return;
      if (std::isfinite(real) && !fitsFloat(real)) refuse(path, "beyond the range of a 32-bit float");
      store_le(record, field.offset, static_cast<float>(real));
      return;
    }
    case Kind::F64: {
      const double real = expectReal(value, path);
      if (std::isnan(real) && std::isnan(load_le<double>(record, field.offset))) return;
      store_le(record, field.offset, real);
      return;
    }
  }
}

}  // namespace

void paramsFromJson(const Json& object, const std::string& path, std::int8_t legendType,
                    std::span<std::uint8_t> record) {
  expectObject(object, path);
  std::fill(record.begin(), record.end(), std::uint8_t{0});
  if (const Json* raw = find(object, "raw_hex")) {
    const Bytes bytes = expectHex(*raw, member(path, "raw_hex"));
    if (bytes.size() != record.size())
      refuse(member(path, "raw_hex"),
             "expected " + std::to_string(record.size()) + " bytes, found " + std::to_string(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), record.begin());
  }
  const bool point = legendType == static_cast<std::int8_t>(LegendType::Point);
  if (point) {
    const std::string typePath = member(path, "point_type");
    const Json& type = require(object, path, "point_type");
    if (type.is_string()) {
      const auto it = std::find(kPointTypeNames.begin(), kPointTypeNames.end(), type.get_ref<const std::string&>());
      if (it == kPointTypeNames.end())
        refuse(typePath, "expected one of annotation, symbol, dot, ring, image, text, or a number 0 to 255");
      record[kPointTypeOffset] = static_cast<std::uint8_t>(it - kPointTypeNames.begin());
    } else {
      record[kPointTypeOffset] = static_cast<std::uint8_t>(expectInteger(type, typePath, 0, 0xFF));
    }
  }
  const std::span<const NamedField> fields = fieldsOf(legendType, record[kPointTypeOffset]);
  for (const auto& item : object.items()) {
    const std::string& key = item.key();
    if (key == "raw_hex" || (point && key == "point_type")) continue;
    if (std::none_of(fields.begin(), fields.end(), [&](const NamedField& f) { return f.key == key; }))
      refuse(member(path, key), point ? "unknown key for this point type" : "unknown key");
  }
  for (const NamedField& field : fields)
    storeField(record, field, require(object, path, field.key), member(path, field.key));
}

}  // namespace legend::interchange::detail

namespace legend::interchange {

Json paramsJson(std::int8_t legendType, std::span<const std::uint8_t> record) {
  using namespace detail;
  Json object = Json::object();
  const bool point = legendType == static_cast<std::int8_t>(LegendType::Point);
  const std::uint8_t pointType = point ? record[kPointTypeOffset] : 0;
  if (point) {
    if (pointType < kPointTypeNames.size())
      object["point_type"] = kPointTypeNames[pointType];
    else
      object["point_type"] = pointType;
  }
  for (const NamedField& field : fieldsOf(legendType, pointType))
    object[std::string(field.key)] = fieldJson(record, field);
  // Whether the names say it all is decided by rebuilding the record from them.
  std::vector<std::uint8_t> rebuilt(record.size());
  bool exact = true;
  try {
    paramsFromJson(object, "", legendType, rebuilt);
  } catch (const Refusal&) {
    exact = false;
  }
  if (!exact || !std::equal(rebuilt.begin(), rebuilt.end(), record.begin())) object["raw_hex"] = hex(record);
  return object;
}

}  // namespace legend::interchange
