#pragma once
// The texts the library shows are Simplified Chinese in the source; they may
// be shown in another language. The core only marks its texts so that the
// extraction tool finds them, and asks for a text in the interface's
// language where it builds one from a pattern (a path or a count put into
// it), since a filled-in text can no longer be looked up.

#include <initializer_list>
#include <string>
#include <string_view>

/// Marks @p text, a source text of @p context, for extraction; it stays as it is.
#define LEGEND_TR_NOOP(context, text) text

namespace legend {

/// The one context every text of the library is extracted into.
inline constexpr const char* kTextContext = "legend";

/// Turns a source text of kTextContext into the interface's language.
using TextTranslator = std::string (*)(std::string_view source);

/// Installed once by the window layer when it chooses the interface's
/// language; this is the process's one translator of core texts. Null
/// restores the source texts.
void setTextTranslator(TextTranslator translator) noexcept;

/// @p source in the interface's language; @p source itself when no
/// translator is installed or it knows no translation.
std::string translated(std::string_view source);

/// @p source translated, then %1, %2, ... replaced by @p values in turn.
std::string translated(std::string_view source, std::initializer_list<std::string_view> values);

}  // namespace legend
