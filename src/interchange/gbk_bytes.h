#pragma once
// GBK <-> UTF-8 for texts that go into JSON documents. Only conversions that
// are exact both ways count: a document must give back the very bytes the
// legend file held, so anything that would not come back byte for byte is
// reported as not convertible and the caller keeps the raw bytes instead.

#include <optional>
#include <string>
#include <string_view>

namespace legend::interchange {

/// UTF-8 for @p gbk when it is valid GBK that encodes back to the same bytes.
std::optional<std::string> gbkToUtf8(std::string_view gbk);

/// GBK for @p utf8 when every character has a GBK form.
std::optional<std::string> utf8ToGbk(std::string_view utf8);

}  // namespace legend::interchange
