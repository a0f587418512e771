#pragma once
// What changed between two legend files, legend by legend (matched by index),
// computed on their JSON documents so that every byte counts and the changes
// read like the documents a reviewer sees.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "interchange/legend_json.h"

namespace legend::interchange {

/// One value that differs; an absent side means the key or element is missing there.
struct FieldChange {
  std::string path;  ///< relative to the legend (or to the document for file-wide changes)
  std::optional<Json> before, after;
};

struct LegendChange {
  enum class Kind : std::uint8_t { Added, Removed, Changed };
  Kind kind = Kind::Changed;
  std::size_t index = 0;
  Json name;                        ///< the legend's name in the newer file (in the older one when removed)
  std::vector<FieldChange> fields;  ///< for Changed only
};

struct FileDiff {
  std::vector<FieldChange> file;  ///< header, count, gaps
  std::vector<LegendChange> legends;
  bool equal() const noexcept { return file.empty() && legends.empty(); }
};

/// Compares two exported documents.
FileDiff diffDocuments(const Json& before, const Json& after);

/// The report clntool prints: one line per added or removed legend, a line
/// per changed legend followed by one indented line per field, old -> new.
void writeDiff(const FileDiff& diff, std::ostream& out);

}  // namespace legend::interchange
