#pragma once
// What a message about a legend file that names no file shows beneath it:
// the file's path and, where the file cannot be loaded, why not, as the
// inspection behind `clntool validate` finds it.

#include <string>

#include "legendfile/status.h"

namespace legend {

/// The reason the file at @p path cannot be loaded, one sentence in the
/// interface's language; empty when the inspection finds nothing wrong.
std::string loadFailureReason(const std::string& path);

/// The detail for @p status about the file at @p path: the path, followed
/// on the next line by loadFailureReason for the statuses that refuse a
/// file. Empty when @p path is.
std::string failureDetail(LegendStatus status, const std::string& path);

}  // namespace legend
