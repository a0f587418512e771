#pragma once
// The legend pad window: a small floating window showing the legends of one
// file as a 3 x 6 grid of drawn samples, with a scroll bar, the selected
// number with its go-to button and the legend total. It forwards events to
// PadModel, which holds all the logic, and paints through KernelDriver.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <QDialog>

#include "legendfile/legend_set.h"
#include "legendfile/status.h"
#include "pad/model/pad_geometry.h"

class CLegendTipWnd;
class KernelDriver;
class MapProject;
class QImage;
class QMenu;

namespace legend {
class Prompter;
namespace editor {
class AreaEditors;
}
}  // namespace legend

namespace legend::pad {
class PadModel;
class PadArea;
class PadWindowPort;
struct MenuState;
}  // namespace legend::pad

class CLegendPadDlg : public QDialog {
 public:
  /// Stores the arguments; no window yet. @p path is taken as it is given
  /// (create() refuses one longer than 259 bytes).
  CLegendPadDlg(std::string_view path, int visible, int showMessages, MapProject* project, QWidget* owner);
  ~CLegendPadDlg() override;

  /// Sets the window up: loads the file, builds the display list, sets the
  /// scroll range, creates the tip, and shows the pad when it is visible.
  /// False when the pad cannot exist (the path is too long); the caller
  /// then deletes the object.
  bool create();

  /// Closes the pad for good: closes its menu and dialogs, tells the project
  /// no legend is selected, asks about unsaved changes, and deletes the
  /// object. Called while the pad is inside one of its own events or modal
  /// loops (a host timer, an owner's handler), the pad is closed at once and
  /// deleted once nothing of it runs any more.
  void destroyPad();

  /// Reloads the file (selection cleared, scrolled to the top), offering
  /// unsaved edits for saving first. Not Ok: the user wanted them saved, the
  /// save failed, and the pad kept them instead of reloading.
  legend::LegendStatus reload();
  /// Switches to the file at @p path and loads it, as reload does; a path
  /// over 259 bytes changes nothing and gives PathTooLong.
  legend::LegendStatus setNewFile(std::string_view path);

  // Queries of the exports; they answer from the legend set.
  const std::string& path() const;
  std::int16_t getType(std::int32_t index) const;
  std::int16_t getPointInfo(std::uint8_t* out, std::int32_t index) const;
  std::int16_t getLineInfo(std::uint8_t* out, std::int32_t index) const;
  std::int16_t getRegionInfo(std::uint8_t* out, std::int32_t index) const;
  std::int16_t getHeadInfo(std::uint8_t* out, std::int32_t index) const;
  /// Reads the legend's attribute data (messages as the pad's flag allows);
  /// @p out holds them, owned by the pad, or null/0.
  legend::LegendStatus getAttributeInfo(std::int32_t index, legend::AttributeInfo& out);

  legend::pad::PadModel& model();
  const legend::pad::PadModel& model() const;

  /// The popup menu as it would open at @p globalPos (states and texts
  /// set); its actions carry the command numbers as data.
  std::unique_ptr<QMenu> popupMenu(QPoint globalPos);
  /// Runs menu command @p id for a menu opened at @p globalPos.
  void runCommand(int id, QPoint globalPos);

  /// Shows the find field over the lower part of the pad and focuses it.
  void openFind();
  /// Finds the next legend answering the find field's text and selects it;
  /// beeps when none does, and opens the field when it is empty.
  void findNext();

  /// The drawing area the cells are drawn on, and the tip window.
  QWidget* drawingArea() const;
  CLegendTipWnd& tipWindow() const;

  /// Where the save-as commands get their path: the file dialog by default;
  /// tests put a script in its place. No value: the user cancelled.
  using SavePathChooser = std::function<std::optional<std::string>(const std::string& initialPath)>;
  void setSavePathChooser(SavePathChooser chooser);
  /// Replaces the message boxes (when the pad shows messages), the
  /// question before a save-as replaces a file (asked whatever the flag)
  /// and the editors of the parameter dialog; null puts the real ones back.
  void setPrompter(legend::Prompter* prompter);
  void setAreaEditors(legend::editor::AreaEditors* editors);
  /// Where the drawing passes get their driver, drawing into the area's
  /// image; tests put one in whose image icon fails. Null: the real one.
  using DriverOpener = std::function<std::unique_ptr<KernelDriver>(QImage& area)>;
  void setDriverOpener(DriverOpener opener);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  friend class legend::pad::PadWindowPort;
  struct Parts;
  /// Marks the pad as running (an event, a host call that may open a modal
  /// loop): a pad closed meanwhile is deleted when the outermost one ends.
  class Busy;
  void buildControls();
  void buildFind();
  void closeFind();
  bool dispatch(QEvent* event);
  /// Closes what the pad has open, tells the project and asks about unsaved
  /// changes, the first time only.
  void closeOnce();
  /// Sets the number field from the selection, after every load.
  void showSelection();
  std::unique_ptr<QMenu> menuFor(const legend::pad::MenuState& state) const;
  legend::pad::WindowPoint areaPoint(QPoint globalPos) const;
  legend::pad::AreaSize areaSize() const;

  std::unique_ptr<Parts> parts_;
};
