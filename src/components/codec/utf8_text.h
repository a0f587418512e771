#pragma once
// The library's own texts (messages, captions, titles) are UTF-8 in the
// source; this is how they become QString at the Qt boundary.

#include <string_view>

#include <QString>

#include "components/codec/ui_language.h"

namespace legend {

/// @p text, UTF-8, as a QString; the view need not be NUL-terminated.
inline QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace legend
