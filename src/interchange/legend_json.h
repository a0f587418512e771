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

class CATT_STRU;

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

// The forms a document gives single facts of a legend, for other reports
// of legend files (clntool dump) to speak of them in the same terms.

/// A GBK text: a UTF-8 string when the bytes convert exactly, else
/// {"bytes_hex": "..."}.
Json textJson(std::string_view gbk);
/// "line", "point", "region", or the type byte as a number.
Json legendTypeJson(std::int8_t type);
/// The graphic parameter record (P bytes) of a legend of @p legendType by
/// field name, with "raw_hex" when the names alone would not rebuild it.
Json paramsJson(std::int8_t legendType, std::span<const std::uint8_t> record);
/// The fields of @p structure: name, type, and length and decimals where
/// the type does not imply them.
Json attributeFieldsJson(const CATT_STRU& structure);
/// One value per field of @p record, laid out by @p structure (its record
/// length long): typed where the value gives back its bytes, else
/// {"bytes_hex": "..."}.
Json attributeRecordJson(const CATT_STRU& structure, std::span<const std::uint8_t> record);

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
