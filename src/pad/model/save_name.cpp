#include "pad/model/save_name.h"

#include <algorithm>
#include <cctype>

namespace legend::pad {

namespace {
constexpr std::string_view kExtension = ".CLN";
}

std::string withLegendExtension(std::string_view chosen) {
  const std::size_t slash = chosen.find_last_of('/');
  const std::string_view last = slash == std::string_view::npos ? chosen : chosen.substr(slash + 1);
  const bool hasExtension =
      last.size() > kExtension.size() &&
      std::equal(kExtension.begin(), kExtension.end(), last.end() - static_cast<std::ptrdiff_t>(kExtension.size()),
                 [](char a, char b) {
                   return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
                 });
  std::string name(chosen);
  // A name that is only ".CLN" is a hidden file without an extension; a
  // path ending in '/' names no file, and the save will say so.
  if (!hasExtension && !last.empty()) name.append(kExtension);
  return name;
}

}  // namespace legend::pad
