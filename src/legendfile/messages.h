#pragma once
// Every text the legend library shows, in one place. Texts are UTF-8 in this
// source; the window layer hands them to the toolkit as they are.

#include <string>
#include <string_view>

#include "legendfile/status.h"

namespace legend::messages {

// Questions.
inline constexpr std::string_view kSavePrompt = "图例文件已修改,是否保存?";

/// The text shown for @p status, with @p path in place of the %s of the texts
/// that name a file. Empty for Ok and NoSuchLegend, which show nothing.
std::string text(LegendStatus status, std::string_view path = {});

}  // namespace legend::messages
