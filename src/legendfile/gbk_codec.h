#pragma once
// The one GBK codec of the library: legend texts (names, descriptions,
// attribute texts) are GBK bytes in files and in the models, and cross into
// UTF-8 here, for JSON documents and, through components/codec, for windows.
//
// GBK here is code page 936, the form legend files are written in: the
// standard characters come from the C library's iconv; the user-defined
// areas (AAA1-AFFE, F8A1-FEFE, A140-A7A0) and the few codes left free between
// the standard characters map to the Private Use Area as code page 936 maps
// them, so a name written with a private font's characters comes back as the
// same bytes. The byte 0x80 is the euro sign, 0xFF is U+F8F5.

#include <optional>
#include <string>
#include <string_view>

namespace legend::gbk {

/// UTF-8 for @p gbk when every byte belongs to a GBK character that encodes
/// back to the very same bytes; nullopt otherwise.
std::optional<std::string> toUtf8(std::string_view gbk);

/// UTF-8 for showing @p gbk whatever it holds: a lead byte followed by a byte
/// that cannot trail it becomes U+FFFD and the byte after it is read again
/// on its own; a lead byte cut off at the end of the text is left out.
std::string toUtf8ForDisplay(std::string_view gbk);

/// GBK for @p utf8; nullopt when it is not valid UTF-8 or some character
/// has no GBK form.
std::optional<std::string> fromUtf8(std::string_view utf8);

}  // namespace legend::gbk
