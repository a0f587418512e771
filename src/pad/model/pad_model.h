#pragma once
// Everything the legend pad does, without a window: it owns the legend set,
// keeps the scroll position, the selection, the flags and the caption mode,
// hit-tests pointer positions, draws through its port, and tells the project
// host and the owner window of every selection. The Qt window only forwards
// events to it and implements PadPort.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "legend/legend.h"
#include "legendfile/head_record.h"
#include "legendfile/legend_set.h"
#include "legendfile/pad_save.h"
#include "legendfile/prompter.h"
#include "legendfile/status.h"
#include "legendfile/translation.h"
#include "pad/model/cell_drawing.h"
#include "pad/model/pad_geometry.h"
#include "pad/model/pad_surface.h"

class MapProject;

namespace legend::pad {

/// The pad's menu commands, numbered as hosts and tests know them.
namespace command {
inline constexpr int kShowPoints = 55801;
inline constexpr int kShowLines = 55802;
inline constexpr int kShowRegions = 55803;
inline constexpr int kEditLegend = 55804;
inline constexpr int kSave = 55805;
inline constexpr int kSaveWholeFileAs = 55812;
inline constexpr int kSaveDisplayAs = 55813;
inline constexpr int kCaptionMode = 32778;
inline constexpr int kTips = 32779;
/// Opens the find field; the last item, after the described ones.
inline constexpr int kFind = 55814;
}  // namespace command

/// The messages the pad sends its owner, as hosts know them.
inline constexpr int kLegendSelected = LEGEND_EVENT_SELECTED;
inline constexpr int kLegendDeselected = LEGEND_EVENT_DESELECTED;

/// Scrolling requests of the scroll bar; the keys map onto the first six.
enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, Top, Bottom, ThumbPosition, ThumbTrack, EndScroll };

/// Keys the pad looks at; every other key is Other.
enum class PadKey { Up, Down, PageUp, PageDown, Home, End, Other };

/// What the popup menu shows when it opens.
struct MenuState {
  bool editEnabled = false;
  bool saveEnabled = false;
  bool pointsEnabled = false;
  bool pointsChecked = false;
  bool linesEnabled = false;
  bool linesChecked = false;
  bool regionsEnabled = false;
  bool regionsChecked = false;
  bool tipsChecked = false;
  /// The caption command names the mode it switches to.
  std::string_view captionCommandText;
};

inline constexpr std::string_view kCaptionToCodes = LEGEND_TR_NOOP("legend", "标题为图例编码");
inline constexpr std::string_view kCaptionToNames = LEGEND_TR_NOOP("legend", "标题为图例名称");

/// Title of the pad window for the file at @p path: "图例板(name.ext)".
std::string padTitle(std::string_view path);

/// One legend as the parameter dialog edits it: copies of its head record
/// and of its graphic parameter record, never the set's own bytes, since the
/// host may read the file again while the dialog is open.
struct LegendEdit {
  HeadRecord head;
  std::vector<std::uint8_t> record;
};

/// What the pad model needs of its window and of the world around it.
class PadPort : public PadSurface {
 public:
  virtual void setTitle(std::string_view title) = 0;
  /// Sets the scroll bar's range and position.
  virtual void setScrollRange(ScrollRange range) = 0;
  virtual void setScrollPosition(std::int32_t position) = 0;
  /// Shows @p number in the selected-number field.
  virtual void showSelectedNumber(std::int32_t number) = 0;
  /// The number in the selected-number field; nullopt when it is no number.
  virtual std::optional<std::int64_t> typedNumber() const = 0;
  /// Selects the whole number field, scrolls its caret into view, gives it
  /// the focus and beeps: the typed number was refused.
  virtual void refuseTypedNumber() = 0;

  /// Whether the tip window has been created, and whether it shows now.
  virtual bool tipExists() const = 0;
  virtual bool tipVisible() const = 0;
  /// Shows the tip at the pointer with GBK @p text; @p alert paints it red.
  virtual void showTip(std::string_view text, bool alert) = 0;
  virtual void hideTip() = 0;

  /// Whether the pad has an owner window.
  virtual bool hasOwner() const = 0;
  /// Sends @p message with @p legendIndex synchronously to the owner.
  virtual void sendToOwner(int message, std::int32_t legendIndex) = 0;

  // Each of the three below runs a modal loop, in which the host may reload
  // the pad, give it another file or close it; the model looks again at
  // what it was working on when they return.

  /// Runs the legend parameter dialog, without attribute editing, over
  /// @p edit; true for OK.
  virtual bool runParameterDialog(LegendEdit& edit) = 0;
  /// Shows the popup menu in @p state at @p at; the command chosen, if any.
  virtual std::optional<int> runMenu(const MenuState& state, WindowPoint at) = 0;
  /// Asks where a copy of the file goes, starting from @p initialPath; no
  /// value when the user cancelled.
  virtual std::optional<std::string> chooseSavePath(const std::string& initialPath) = 0;
  /// Shows the find field, its text selected, and gives it the focus.
  virtual void openFind() = 0;
};

class PadModel {
 public:
  /// @p prompter shows messages only when @p showMessages is set; the
  /// model never calls it otherwise.
  PadModel(PadPort& port, Prompter& prompter, MapProject* project, bool visible, bool showMessages);
  PadModel(const PadModel&) = delete;
  PadModel& operator=(const PadModel&) = delete;

  // --- file ---------------------------------------------------------------

  /// Stores the path; over 259 bytes it is refused and nothing changes.
  LegendStatus setPath(std::string_view path);
  /// Loads the file at the stored path and shows it from the top, nothing
  /// selected. The title names the file even when loading fails. Unsaved
  /// edits of the set shown so far are offered for saving first; when the
  /// user wants them saved and that fails, the pad keeps them and loads
  /// nothing, and the save's status is returned. A failed load is reported
  /// to the user only.
  LegendStatus load();
  /// The same for a file given now; a path that is too long changes nothing.
  LegendStatus setNewFile(std::string_view path);

  // --- drawing ------------------------------------------------------------

  /// A full drawing pass, when the pad is visible.
  void paint();

  // --- pointer and keys -----------------------------------------------------

  /// The display position under @p point of a @p client sized drawing area.
  std::int32_t hitTest(WindowPoint point, AreaSize client) const noexcept;
  /// Selects the legend under @p point, or deselects it when it is selected.
  void click(WindowPoint point, AreaSize client);
  /// Selects the display position typed in the number field.
  void goToTypedNumber();
  /// Selects the next legend shown that answers @p text (part of a name, a
  /// class code or a display position), as a click on it would, and
  /// scrolls it into view: the first one for a new text, the one after the
  /// last found when the text is the same. False when none answers; then
  /// nothing changes.
  bool find(std::string_view text);
  /// Scrolls as the scroll bar asks; @p thumb is the position of ThumbPosition.
  void scroll(ScrollCode code, std::int32_t thumb = 0);
  /// Scrolls by a wheel turn of @p angleDelta eighths of a degree (120 a
  /// notch, positive away from the user: towards the first row), by
  /// @p rowsPerNotch rows a notch. Parts of a notch add up across calls.
  void wheel(std::int32_t angleDelta, std::int32_t rowsPerNotch);
  void key(PadKey key);
  /// The pointer moved to @p point: shows or hides the tip.
  void mouseMove(WindowPoint point, AreaSize client);
  /// The tip goes on focus loss, right button presses and moves of the pad.
  void focusLost();
  void rightButtonPressed();
  void moved();

  // --- menu -----------------------------------------------------------------

  MenuState menuState(WindowPoint point, AreaSize client) const;
  /// Shows the popup menu for @p point and runs the command chosen.
  void openMenu(WindowPoint point, AreaSize client);
  /// Runs command @p id of the popup menu opened at @p point.
  void runCommand(int id, WindowPoint point, AreaSize client);
  /// Edits the legend under @p point in the parameter dialog.
  void editLegendAt(WindowPoint point, AreaSize client);
  /// Toggles the tips; the pointer is at @p point.
  void toggleTips(WindowPoint point, AreaSize client);

  /// The pad is going away: the project hears that nothing is selected and
  /// unsaved changes are offered for saving (or dropped, without messages).
  /// From then on the pad neither loads, draws nor tells anyone anything.
  void close();
  bool closed() const noexcept { return closed_; }

  // --- state ----------------------------------------------------------------

  const LegendSet& legends() const noexcept { return set_; }
  LegendSet& legends() noexcept { return set_; }
  /// Reads legend @p index's attribute data, reporting problems.
  LegendStatus attributeInfo(std::int32_t index, AttributeInfo& out);
  std::int32_t scrollPosition() const noexcept { return position_; }
  ScrollRange scrollRange() const noexcept { return range_; }
  bool tipsOn() const noexcept { return tips_; }
  CaptionMode captionMode() const noexcept { return captions_; }
  bool visible() const noexcept { return visible_; }
  bool showMessages() const noexcept { return showMessages_; }
  const PadGeometry& geometry() const noexcept { return painter_.geometry(); }

 private:
  LegendStatus showFile(std::string path);
  LegendStatus offerUnsavedEdits();
  LegendStatus saveToOwnFile();
  /// Rebuilds what the pad shows of a load whose records had @p loaded as
  /// their maxima.
  void refreshAfterLoad(const ScaleMaxima& loaded);
  void report(LegendStatus status);
  /// A save names its own file: the destination of a copy, or the copy of the old bytes.
  void report(const SaveResult& result);
  /// The text for @p status; one that names no file comes with @p path and
  /// the reason beneath it.
  void report(LegendStatus status, const std::string& path);
  void tell(std::string_view text);
  /// Whether the pad is open and shows the set of @p generation still.
  bool current(std::uint64_t generation) const noexcept { return !closed_ && set_.generation() == generation; }
  std::span<std::uint8_t> storedRecord(std::int32_t index);
  void drawCell(std::int32_t position, bool selected);
  void select(std::int32_t position);
  /// Selects @p position, tells the host and the owner, shows the tip and
  /// scrolls the position into view; also when it was selected already.
  void goTo(std::int32_t position, bool showNumber);
  void tellHostAndOwner(std::int32_t previousIndex);
  bool passToProject(std::int32_t index);
  void showTipFor(std::int32_t position, bool alert);
  void hideTipIfTipsOn();
  void toggleFilter(int id);
  void saveCopyAs(CopyScope scope);
  /// Moves to @p wanted clamped to the range; redraws and tells the window
  /// when the position changes.
  void scrollTo(std::int64_t wanted);

  PadPort& port_;
  Prompter& prompter_;
  MapProject* project_;
  bool visible_;
  bool showMessages_;
  LegendSet set_;
  CellPainter painter_;
  ScrollRange range_{};
  std::int32_t position_ = ScrollRange::kMinimum;
  /// Wheel turn not yet worth a whole row, in eighths of a degree.
  std::int32_t wheelRest_ = 0;
  bool tips_ = false;
  CaptionMode captions_ = CaptionMode::Names;
  bool closed_ = false;
  /// The save question before a reload or a change of file is open (or the
  /// save it led to is reporting): requests meanwhile only note their file.
  bool offering_ = false;
  /// The file the pad is to show once the open save question is answered.
  std::optional<std::string> pendingPath_;
  /// The text of the last search and the display position it found last.
  std::string findText_;
  std::int32_t found_ = -1;
};

/// The legend under the pointer at the last mouse move over any pad, -1 for
/// none; it keeps a tip from being shown again while the pointer stays on it.
std::int32_t lastTippedLegend() noexcept;

}  // namespace legend::pad
