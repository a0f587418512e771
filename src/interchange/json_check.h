#pragma once
// Reading a JSON document strictly: every problem is reported with the JSON
// path of the value at fault (legends[3].params.colour), and the first one
// ends the import. Internal to the interchange library.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace legend::interchange::detail {

using Json = nlohmann::ordered_json;
using Bytes = std::vector<std::uint8_t>;

/// The first problem of a document; thrown, caught at the top of the import.
struct Refusal {
  std::string path;
  std::string message;
};

[[noreturn]] inline void refuse(std::string path, std::string message) {
  throw Refusal{std::move(path), std::move(message)};
}

inline std::string member(const std::string& path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}
inline std::string element(const std::string& path, std::size_t index) {
  return path + "[" + std::to_string(index) + "]";
}

const Json& expectObject(const Json& value, const std::string& path);
const Json& expectArray(const Json& value, const std::string& path);
/// Refuses the first key (in document order) that is not in @p allowed.
void expectKeys(const Json& object, const std::string& path, std::initializer_list<std::string_view> allowed);
/// The member @p key, or nullptr when absent.
const Json* find(const Json& object, std::string_view key);
const Json& require(const Json& object, const std::string& path, std::string_view key);

std::int64_t expectInteger(const Json& value, const std::string& path, std::int64_t min, std::int64_t max);
/// A number, or one of the strings "nan", "inf", "-inf".
double expectReal(const Json& value, const std::string& path);
Bytes expectHex(const Json& value, const std::string& path);

std::string hex(std::span<const std::uint8_t> bytes);
bool allZero(std::span<const std::uint8_t> bytes);

/// The GBK bytes of a text written by textJson (or by a person).
std::string expectText(const Json& value, const std::string& path);

}  // namespace legend::interchange::detail
