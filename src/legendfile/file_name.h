#pragma once
// Legend file names as the file dialogs show them: they list only files
// ending in ".CLN", so every file we create must end so too, or the user
// could not open it again.

#include <optional>
#include <string>
#include <string_view>

namespace legend {

/// The name a new legend file or a copy gets, on the last path component only
/// (dots in folder names never count): a name that ends in ".CLN", in any
/// case, stays as it is; otherwise it is cut at a '.' among its last four
/// bytes (the last one first, never at its first byte) and given ".CLN".
/// So a, a.txt and a. become a.CLN, a.json becomes a.json.CLN and
/// cut/p.1/a becomes cut/p.1/a.CLN. Nullopt for an empty name or last
/// component, or a result that does not fit a 260-byte path buffer with
/// its NUL.
std::optional<std::string> completeLegendFileName(std::string_view chosen);

}  // namespace legend
