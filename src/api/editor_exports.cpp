// The editor functions of liblegend.so: both run CLegendEditDlg modally and
// hand back how the user left it.

#include "legend/legend.h"

#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QDialog>
#include <QPointer>

#include "api/host_args.h"
#include "api/legend_app.h"
#include "components/base/message_prompter.h"
#include "components/codec/ui_language.h"
#include "editor/legend_edit_dlg.h"
#include "editor/model/editor_messages.h"
#include "legendfile/failure_detail.h"
#include "legendfile/file_io.h"

namespace {

using legend::api::hostPath;
using legend::api::padOf;

/// Results of the two editor functions.
constexpr int32_t kNotRun = 0;
constexpr int32_t kConfirmed = 1;  ///< 确定: the file was written and the pad reloaded
constexpr int32_t kLeft = 2;       ///< 取消 or the window closed: nothing written

constexpr std::string_view kCannotOpen = LEGEND_TR_NOOP("legend", "图例文件打开失败!文件名非法!\n请重新'关联图例文件'");

int32_t runEditor(char* fileName, void* pad, QWidget* parent) {
  std::function<void()> reloadPad;
  // The host may close the pad while the editor runs (from a timer, say, in
  // any of the editor's modal loops); a pad that is gone is not reloaded.
  if (pad)
    reloadPad = [target = QPointer<CLegendPadDlg>(padOf(pad))] {
      if (target) static_cast<void>(target->reload());
    };
  auto dialog = std::make_unique<CLegendEditDlg>(fileName, std::move(reloadPad), parent);
  // A parent deleted while the editor runs deletes the editor with it; the
  // guard keeps us from deleting it a second time.
  const QPointer<CLegendEditDlg> alive(dialog.get());
  const int code = dialog->exec();
  if (!alive) static_cast<void>(dialog.release());
  // The editor ends Accepted only after it wrote the file: a save that
  // failed keeps it open until the user retries or leaves.
  return code == QDialog::Accepted ? kConfirmed : kLeft;
}

}  // namespace

extern "C" {

int32_t OpenCLNEditWindow(const char* path, void* pad, QWidget* parent) {
  return CLegendApp::guard<int32_t>(kNotRun, [&]() -> int32_t {
    const std::optional<std::string_view> file = hostPath(path);
    // Opened once and closed again only to refuse early: the editor would
    // otherwise start on an empty store and 确定 would create the file.
    if (!file || !legend::ReadOnlyFile::open(std::string(*file))) {
      legend::MessagePrompter boxes(parent, legend::uiText(legend::editor::texts::kEditorTitle));
      boxes.informWithDetail(
          kCannotOpen,
          file ? legend::failureDetail(legend::LegendStatus::CannotOpenLegendFile, std::string(*file)) : std::string());
      return kNotRun;
    }
    // The editor keeps a pointer to its file name for its whole run; the
    // host's text is read-only and may be shorter than a path buffer.
    std::array<char, LEGEND_PATH_BUFFER> fileName{};
    std::memcpy(fileName.data(), file->data(), file->size());
    return runEditor(fileName.data(), pad, parent);
  });
}

int32_t NewCLNEditWindow(char* path, void* pad, QWidget* parent) {
  return CLegendApp::guard<int32_t>(kNotRun, [&]() -> int32_t {
    if (!path) return kNotRun;
    path[0] = '\0';
    return runEditor(path, pad, parent);
  });
}

}  // extern "C"
