#include "legendfile/file_name.h"

#include <algorithm>

#include "legendfile/layout.h"

namespace legend {

namespace {

/// ".CLN" in any case after at least one byte of name: ".cln" alone names
/// a hidden file, not a legend file without a name.
bool hasLegendExtension(std::string_view name) noexcept {
  constexpr std::string_view kExtension = ".cln";
  if (name.size() <= kExtension.size()) return false;
  const std::string_view tail = name.substr(name.size() - kExtension.size());
  return std::equal(tail.begin(), tail.end(), kExtension.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b; });
}

}  // namespace

std::optional<std::string> completeLegendFileName(std::string_view chosen) {
  const std::size_t slash = chosen.find_last_of('/');
  const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  const std::string_view name = chosen.substr(start);
  if (name.empty()) return std::nullopt;
  std::string completed(chosen);
  if (!hasLegendExtension(name)) {
    std::string_view stem = name;
    // A '.' at the name's first byte starts a hidden file's name, not an extension.
    for (std::size_t back = 1; back <= 4 && back < name.size(); ++back) {
      if (name[name.size() - back] == '.') {
        stem = name.substr(0, name.size() - back);
        break;
      }
    }
    completed.assign(chosen.substr(0, start)).append(stem).append(".CLN");
  }
  if (completed.size() > layout::kMaxPathBytes) return std::nullopt;
  return completed;
}

}  // namespace legend
