#pragma once
// Where legend texts cross between GBK bytes (as stored in legend files and
// kept by the models) and QString (as shown and typed), through the core's
// GBK codec (legendfile/gbk_codec.h) and UTF-8.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "legendfile/layout.h"

namespace legend {

/// Decodes GBK bytes for display. Bytes that are not GBK never fail the
/// call; they come out as replacement characters or are dropped.
QString decodeGbk(std::string_view bytes);

/// Encodes @p text as GBK; nullopt when some character has no GBK form.
std::optional<std::string> encodeGbk(const QString& text);

/// Why a text cannot be stored in a NUL-terminated GBK field.
enum class GbkFieldError {
  None,
  NotRepresentable,  ///< a character GBK lacks, or a NUL that would cut the text short
  TooLong,           ///< more bytes than the field holds
};

struct GbkEncodeResult {
  std::string bytes;  ///< the encoded text; empty unless error is None
  GbkFieldError error = GbkFieldError::NotRepresentable;
  std::size_t encodedLength = 0;  ///< bytes the text needs, also when TooLong
  explicit operator bool() const noexcept { return error == GbkFieldError::None; }
};

/// Encodes @p text for a field of at most @p maxBytes bytes of text (127 for
/// a legend's name or description). Input that does not fit is refused
/// whole, never cut.
GbkEncodeResult encodeGbkField(const QString& text, std::size_t maxBytes = layout::kMaxTextBytes);

}  // namespace legend
