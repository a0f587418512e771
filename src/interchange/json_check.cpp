#include "interchange/json_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "interchange/legend_json.h"
#include "legendfile/gbk_codec.h"

namespace legend::interchange::detail {

namespace {

std::string kindOf(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::object: return "an object";
    case Json::value_t::array: return "an array";
    case Json::value_t::string: return "a string";
    case Json::value_t::boolean: return "a boolean";
    case Json::value_t::number_float: return "a fractional number";
    default: return "a number";
  }
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

const Json& expectObject(const Json& value, const std::string& path) {
  if (!value.is_object()) refuse(path, "expected an object, found " + kindOf(value));
  return value;
}

const Json& expectArray(const Json& value, const std::string& path) {
  if (!value.is_array()) refuse(path, "expected an array, found " + kindOf(value));
  return value;
}

void expectKeys(const Json& object, const std::string& path, std::initializer_list<std::string_view> allowed) {
  for (const auto& [key, value] : object.items())
    if (std::find(allowed.begin(), allowed.end(), key) == allowed.end()) refuse(member(path, key), "unknown key");
}

const Json* find(const Json& object, std::string_view key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

const Json& require(const Json& object, const std::string& path, std::string_view key) {
  const Json* value = find(object, key);
  if (value == nullptr) refuse(member(path, key), "missing");
  return *value;
}

std::int64_t expectInteger(const Json& value, const std::string& path, std::int64_t min, std::int64_t max) {
  const std::string range = "expected an integer from " + std::to_string(min) + " to " + std::to_string(max);
  if (value.is_number_unsigned()) {
    const auto number = value.get<std::uint64_t>();
    if (number > static_cast<std::uint64_t>(max)) refuse(path, range);
    return static_cast<std::int64_t>(number);
  }
  if (!value.is_number_integer()) refuse(path, range + ", found " + kindOf(value));
  const auto number = value.get<std::int64_t>();
  if (number < min || number > max) refuse(path, range);
  return number;
}

double expectReal(const Json& value, const std::string& path) {
  if (value.is_number()) return value.get<double>();
  if (value.is_string()) {
    const auto& text = value.get_ref<const std::string&>();
    if (text == "nan") return std::numeric_limits<double>::quiet_NaN();
    if (text == "inf") return std::numeric_limits<double>::infinity();
    if (text == "-inf") return -std::numeric_limits<double>::infinity();
  }
  refuse(path, "expected a number (or \"nan\", \"inf\", \"-inf\"), found " + kindOf(value));
}

Bytes expectHex(const Json& value, const std::string& path) {
  if (!value.is_string()) refuse(path, "expected a string of hex digits, found " + kindOf(value));
  const auto& text = value.get_ref<const std::string&>();
  if (text.size() % 2 != 0) refuse(path, "expected an even number of hex digits");
  Bytes bytes(text.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const int high = hexDigit(text[2 * i]), low = hexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) refuse(path, "expected hex digits only");
    bytes[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return bytes;
}

std::string hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) {
    text.push_back(kDigits[b >> 4]);
    text.push_back(kDigits[b & 0xF]);
  }
  return text;
}

bool allZero(std::span<const std::uint8_t> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

std::string expectText(const Json& value, const std::string& path) {
  if (value.is_string()) {
    std::optional<std::string> gbk = gbk::fromUtf8(value.get_ref<const std::string&>());
    if (!gbk) refuse(path, "text has characters that GBK cannot represent; give {\"bytes_hex\": ...} instead");
    return *gbk;
  }
  if (!value.is_object()) refuse(path, "expected a string or {\"bytes_hex\": ...}, found " + kindOf(value));
  expectKeys(value, path, {"bytes_hex"});
  const Bytes bytes = expectHex(require(value, path, "bytes_hex"), member(path, "bytes_hex"));
  return {bytes.begin(), bytes.end()};
}

}  // namespace legend::interchange::detail

namespace legend::interchange {

Json textJson(std::string_view gbk) {
  if (std::optional<std::string> utf8 = gbk::toUtf8(gbk)) return *utf8;
  const auto* data = reinterpret_cast<const std::uint8_t*>(gbk.data());
  return Json{{"bytes_hex", detail::hex({data, gbk.size()})}};
}

}  // namespace legend::interchange
