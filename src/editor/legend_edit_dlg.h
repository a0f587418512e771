#pragma once
// The project legend editor window: the legend template on the left, the
// legend list with its commands on the right, over EditorStore, which does
// all the work. Modal; 确定 writes the file and has the pad reload it, and
// stays open with every edit when the file could not be written.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <QDialog>

namespace legend {
class FileOps;
class Prompter;
namespace editor {
class AreaEditors;
class EditorStore;
class ParamDialogRunner;
}  // namespace editor
}  // namespace legend

class CLegendEditDlg : public QDialog {
 public:
  /// Loads the file named in @p fileName (the caller's buffer of
  /// LEGEND_PATH_BUFFER bytes; an empty text starts a new file). For a new
  /// file, 确定 asks for a name and writes the chosen path, ending in ".CLN",
  /// into this buffer (never past LEGEND_PATH_BUFFER bytes). @p reloadPad runs after 确定 wrote the
  /// file; it may be empty.
  CLegendEditDlg(char* fileName, std::function<void()> reloadPad, QWidget* parent = nullptr);
  ~CLegendEditDlg() override;

  /// 确定: the name prompt for a new file, the save, the pad reload; closes
  /// Accepted (end code 1) only once the file is written. A save that
  /// failed has been reported and keeps the editor open with every edit, so
  /// 确定 can be tried again (a new file's name is asked for again).
  void accept() override;
  /// 取消, Escape and the close box: nothing is written; closes Rejected
  /// (end code 2 for the exports), after asking first when the store holds
  /// changes 确定 has not written.
  void reject() override;

  legend::editor::EditorStore& store();

  // Replaceable parts, so tests can script the user's answers; null puts
  // the real ones back.
  void setPrompter(legend::Prompter* prompter);
  void setAreaEditors(legend::editor::AreaEditors* editors);
  void setParamDialogRunner(legend::editor::ParamDialogRunner* runner);
  /// Asks for a new file's name; no value: the user cancelled.
  using FileNameChooser = std::function<std::optional<std::string>()>;
  void setFileNameChooser(FileNameChooser chooser);
  /// The system calls the save makes.
  void setFileOps(legend::FileOps* ops);

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};
