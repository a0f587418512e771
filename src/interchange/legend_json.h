#pragma once
// Legend files as JSON documents (docs/legend-json.md) and back. A document
// holds everything a legend file holds, so importing an exported document
// gives the original bytes for any file that passes the header check.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace legend::interchange {

/// Documents keep their keys in the order written, so exports are stable.
using Json = nlohmann::ordered_json;

/// The one format version this library reads and writes.
inline constexpr int kFormatVersion = 1;

/// Outcome of an export; holds no document until the export succeeds.
struct ExportResult {
  std::optional<Json> document;
  std::string error;  ///< why the bytes are not a legend file
  explicit operator bool() const noexcept { return document.has_value(); }
};

/// The document of the legend file @p file. Refused only when the bytes
/// fail the header check or end before the legend count.
ExportResult exportDocument(std::span<const std::uint8_t> file);

/// @p document pretty-printed (two-space indent, UTF-8, final newline).
std::string documentText(const Json& document);

struct ImportLimits {
  /// Largest file an import may produce; keeps a hostile offset from
  /// allocating gigabytes.
  std::uint64_t maxFileBytes = std::uint64_t{1} << 30;
};

/// Outcome of an import; failed until the whole document was accepted.
struct ImportResult {
  bool ok = false;
  std::vector<std::uint8_t> image;  ///< the legend file, when ok
  std::string path;                 ///< JSON path of the first problem ("" = the document itself)
  std::string message;              ///< what is wrong there
  explicit operator bool() const noexcept { return ok; }
  /// "path: message", or just the message for a problem of the whole text.
  std::string description() const;
};

/// The legend file described by the JSON text @p text.
ImportResult importText(std::string_view text, const ImportLimits& limits = {});
/// The legend file described by @p document.
ImportResult importDocument(const Json& document, const ImportLimits& limits = {});

}  // namespace legend::interchange
