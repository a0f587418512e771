#pragma once
// The name a copy saved from the pad gets: the legend file dialogs show
// only files ending in ".CLN", so a copy must end so too or the user could
// not open it again.

#include <string>
#include <string_view>

namespace legend::pad {

/// @p chosen with ".CLN" added to its last path component, unless that
/// already ends in ".CLN" in any case. Nothing else of the name changes: a
/// dot in a folder name or another extension stays as typed.
std::string withLegendExtension(std::string_view chosen);

}  // namespace legend::pad
