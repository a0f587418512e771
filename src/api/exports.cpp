// The pad functions of liblegend.so. Each one is a thin shell: CLegendApp's
// guard decides whether the call may run at all, and the pad does the work.

#include "legend/legend.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include <QApplication>

#include "api/host_args.h"
#include "api/legend_app.h"
#include "legendfile/layout.h"
#include "legendfile/legend_set.h"
#include "legendfile/status.h"
#include "pad/window/legend_pad_dlg.h"

using legend::api::handleOf;
using legend::api::hostPath;
using legend::api::padOf;
using legend::layout::kMaxPathBytes;

extern "C" {

void* CreateCLNPadWindow(const char* path, int32_t visible, int32_t showMessages, MapProject* project, QWidget* owner) {
  return CLegendApp::guard<void*>(nullptr, [&]() -> void* {
    const std::optional<std::string_view> file = hostPath(path);
    if (!file) return nullptr;
    if (!owner) owner = QApplication::activeWindow();
    auto pad = std::make_unique<CLegendPadDlg>(*file, visible, showMessages, project, owner);
    if (!pad->create()) return nullptr;
    // From here the pad owns itself: it is deleted by CloseCLNPadWindow.
    return handleOf(pad.release());
  });
}

int16_t CloseCLNPadWindow(void* pad) {
  return CLegendApp::guard<int16_t>(0, [&]() -> int16_t {
    if (!pad) return 0;
    padOf(pad)->destroyPad();
    return 1;
  });
}

int16_t ReloadCLNPadWindow(void* pad) {
  return CLegendApp::guard<int16_t>(0, [&]() -> int16_t {
    if (!pad) return 0;
    // 0 when the user wanted the pad's edits saved first and that failed:
    // the pad keeps them and has not read the file again.
    return padOf(pad)->reload() == legend::LegendStatus::Ok ? 1 : 0;
  });
}

int16_t GetCLNType(void* pad, int32_t index) {
  return CLegendApp::guard<int16_t>(0, [&]() -> int16_t { return pad ? padOf(pad)->getType(index) : 0; });
}

int16_t GetCLNPntInfo(void* pad, PNT_INFOstruct* out, int32_t index) {
  return CLegendApp::guard<int16_t>(
      0, [&]() -> int16_t { return pad && out ? padOf(pad)->getPointInfo(out->bytes, index) : 0; });
}

int16_t GetCLNLinInfo(void* pad, LIN_INFOstruct* out, int32_t index) {
  return CLegendApp::guard<int16_t>(
      0, [&]() -> int16_t { return pad && out ? padOf(pad)->getLineInfo(out->bytes, index) : 0; });
}

int16_t GetCLNRegInfo(void* pad, REG_INFOstruct* out, int32_t index) {
  return CLegendApp::guard<int16_t>(
      0, [&]() -> int16_t { return pad && out ? padOf(pad)->getRegionInfo(out->bytes, index) : 0; });
}

int16_t GetCLNFile(void* pad, char* path) {
  return CLegendApp::guard<int16_t>(0, [&]() -> int16_t {
    if (!pad || !path) return 0;
    const std::string& own = padOf(pad)->path();
    const std::size_t length = std::min(own.size(), kMaxPathBytes);
    std::memcpy(path, own.data(), length);
    path[length] = '\0';
    return 1;
  });
}

int16_t GetCLNHeadInfo(void* pad, int32_t index, unsigned char* head) {
  return CLegendApp::guard<int16_t>(0, [&]() -> int16_t {
    if (!pad || !head) return 0;
    // Hosts tell a bad index by the buffer they pre-filled, not by the result.
    padOf(pad)->getHeadInfo(head, index);
    return 1;
  });
}

int16_t GetCLNAttInfo(void* pad, CATT_STRU** structure, char** record, int32_t* length, int32_t index) {
  return CLegendApp::guard<int16_t>(0, [&]() -> int16_t {
    if (!pad || !structure || !record) return 0;
    legend::AttributeInfo info;
    padOf(pad)->getAttributeInfo(index, info);
    // Hosts that pass no length have always had their outputs left alone;
    // the query still runs for the messages it may show.
    if (length) {
      *structure = info.structure;
      *record = reinterpret_cast<char*>(info.record);
      *length = info.length;
    }
    return 1;
  });
}

int16_t SetNewCLNFile(void* pad, const char* path) {
  return CLegendApp::guard<int16_t>(0, [&]() -> int16_t {
    const std::optional<std::string_view> file = hostPath(path);
    if (!pad || !file) return 0;
    // 0 also when the pad kept unsaved edits whose save failed (see reload).
    return padOf(pad)->setNewFile(*file) == legend::LegendStatus::Ok ? 1 : 0;
  });
}

}  // extern "C"
