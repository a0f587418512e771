#pragma once
// What every export does with the arguments a host hands it. A pad handle is
// the pad's QWidget address, so that a Qt host may turn it back into the
// widget (to send it WM_LEGEND_RELOAD) with a well-defined cast; it is
// checked only for null, since the library keeps no list of live pads.

#include <cstring>
#include <optional>
#include <string_view>

#include <QWidget>

#include "legendfile/layout.h"
#include "pad/window/legend_pad_dlg.h"

namespace legend::api {

inline CLegendPadDlg* padOf(void* handle) noexcept {
  return static_cast<CLegendPadDlg*>(static_cast<QWidget*>(handle));
}
inline void* handleOf(CLegendPadDlg* pad) noexcept { return static_cast<QWidget*>(pad); }

/// The path a host hands us, or nothing when it is absent or too long to be
/// kept; strnlen so that a string without its NUL is not read past the limit.
inline std::optional<std::string_view> hostPath(const char* path) noexcept {
  if (!path) return std::nullopt;
  const std::size_t length = strnlen(path, layout::kMaxPathBytes + 1);
  if (length > layout::kMaxPathBytes) return std::nullopt;
  return std::string_view(path, length);
}

}  // namespace legend::api
