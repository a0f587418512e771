#include "pad/model/pad_model.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "components/host/record_preparation.h"
#include "legend/map_project.h"
#include "legendfile/failure_detail.h"
#include "legendfile/legend_query.h"
#include "legendfile/messages.h"
#include "legendfile/pad_save.h"
#include "pad/model/legend_finder.h"
#include "pad/model/scale_maxima.h"

namespace legend::pad {

namespace {

std::int32_t g_lastTippedLegend = -1;

constexpr std::int32_t kPageRows = kGridRows;
// A wheel notch, in eighths of a degree, as mice report it.
constexpr std::int32_t kWheelNotch = 120;

// The stored record at @p position of a parameter array, or an empty span
// when the position is outside it.
template <typename Array>
std::span<std::uint8_t> recordOf(Array& array, std::int32_t position) {
  if (!array.contains(position)) return {};
  return array.record(position);
}

}  // namespace

std::int32_t lastTippedLegend() noexcept { return g_lastTippedLegend; }

std::string padTitle(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::string pattern = translated(LEGEND_TR_NOOP("legend", "图例板(%s)"));
  const std::size_t slot = pattern.find("%s");
  if (slot == std::string::npos) return pattern;
  return std::string(pattern, 0, slot).append(file).append(pattern, slot + 2);
}

PadModel::PadModel(PadPort& port, Prompter& prompter, MapProject* project, bool visible, bool showMessages)
    : port_(port), prompter_(prompter), project_(project), visible_(visible), showMessages_(showMessages) {}

// --- file --------------------------------------------------------------------

LegendStatus PadModel::setPath(std::string_view path) { return set_.setPath(path); }

LegendStatus PadModel::load() { return showFile(set_.path()); }

LegendStatus PadModel::setNewFile(std::string_view path) {
  if (path.size() > layout::kMaxPathBytes) return LegendStatus::PathTooLong;
  return showFile(std::string(path));
}

LegendStatus PadModel::showFile(std::string path) {
  if (closed_) return LegendStatus::Ok;
  // A host that reloads or switches files while the save question is open
  // gets its file once the user has answered; the last request wins.
  pendingPath_ = std::move(path);
  if (offering_) return LegendStatus::Ok;
  const LegendStatus offered = offerUnsavedEdits();
  if (offered != LegendStatus::Ok || closed_) {
    // The edits the user wanted saved could not be: the pad keeps them.
    pendingPath_.reset();
    return offered;
  }
  static_cast<void>(set_.setPath(*pendingPath_));  // its length was checked when it was asked for
  pendingPath_.reset();
  port_.setTitle(padTitle(set_.path()));
  MaximaCollector maxima(set_);
  const LegendStatus status = set_.load(&maxima);
  const std::uint64_t generation = set_.generation();
  report(status);
  // The host may have taken over while the message was up. A load that
  // failed kept none of the records its maxima came from.
  if (current(generation)) refreshAfterLoad(status == LegendStatus::Ok ? maxima.found() : ScaleMaxima{});
  return LegendStatus::Ok;
}

LegendStatus PadModel::offerUnsavedEdits() {
  // Without messages unsaved edits go without a question, as at closing.
  if (!set_.modified() || !showMessages_) return LegendStatus::Ok;
  offering_ = true;
  LegendStatus saved = LegendStatus::Ok;
  const std::string file = set_.path();
  if (!set_.fileIsAsLoaded()) {
    // Usually the very reason for a reload: writing the pad's heads over
    // someone else's layout would wreck the file.
    tell(translated(messages::kEditsLostFileChanged).append("\n").append(file));
  } else if (prompter_.askYesNo(translated(messages::kSavePrompt).append("\n").append(file), true)) {
    saved = saveToOwnFile();
  }
  offering_ = false;
  return saved;
}

LegendStatus PadModel::saveToOwnFile() {
  const SaveResult result = saveInPlace(set_);
  if (result) {
    set_.setModified(false);
    set_.noteFileSaved();
  } else {
    // A failed save keeps the changes marked, so they can still be saved.
    report(result);
  }
  return result.status;
}

void PadModel::refreshAfterLoad(const ScaleMaxima& loaded) {
  set_.rebuildDisplayList();
  scaleMaxima().raiseTo(loaded);
  range_ = scrollRangeFor(set_.displayCount());
  position_ = ScrollRange::kMinimum;
  port_.setScrollRange(range_);
  port_.setScrollPosition(position_);
  set_.clearSelection();
  found_ = -1;
  paint();
}

void PadModel::report(LegendStatus status) { report(status, set_.path()); }

void PadModel::report(const SaveResult& result) { report(result.status, result.named); }

void PadModel::report(LegendStatus status, const std::string& path) {
  if (!showMessages_) return;
  const std::string text = messages::text(status, path);
  if (text.empty()) return;
  if (messages::namesFile(status)) {
    prompter_.inform(text);
  } else {
    prompter_.informWithDetail(text, failureDetail(status, path));
  }
}

void PadModel::tell(std::string_view text) {
  if (showMessages_) prompter_.inform(text);
}

LegendStatus PadModel::attributeInfo(std::int32_t index, AttributeInfo& out) {
  const LegendStatus status = set_.getAttributeInfo(index, out);
  report(status);
  return status;
}

// --- drawing -------------------------------------------------------------------

void PadModel::paint() {
  if (visible_ && !closed_) painter_.fullPass(port_, set_, position_, captions_);
}

void PadModel::drawCell(std::int32_t position, bool selected) {
  if (visible_ && !closed_ && position >= 0)
    painter_.singleCellPass(port_, set_, position_, captions_, position, selected);
}

// --- selection -------------------------------------------------------------------

std::int32_t PadModel::hitTest(WindowPoint point, AreaSize client) const noexcept {
  return painter_.hitTest(point, client, position_, set_.displayCount());
}

void PadModel::select(std::int32_t position) {
  drawCell(set_.selectedPosition(), false);
  set_.selectPosition(position);
  drawCell(position, true);
}

void PadModel::click(WindowPoint point, AreaSize client) {
  const std::int32_t position = hitTest(point, client);
  if (position < 0) return;
  const std::int32_t previousIndex = set_.selectedIndex();
  if (position == set_.selectedPosition()) {
    drawCell(position, false);
    set_.clearSelection();
  } else {
    select(position);
  }
  port_.showSelectedNumber(set_.selectedPosition());
  const std::uint64_t generation = set_.generation();
  tellHostAndOwner(previousIndex);
  if (!current(generation)) return;
  if (port_.tipExists() && tips_) showTipFor(position, set_.selectedPosition() == position);
}

void PadModel::goToTypedNumber() {
  const std::optional<std::int64_t> typed = port_.typedNumber();
  if (!typed || *typed < 0 || *typed >= set_.displayCount()) {
    port_.refuseTypedNumber();
    return;
  }
  goTo(static_cast<std::int32_t>(*typed), false);
}

bool PadModel::find(std::string_view text) {
  if (closed_) return false;
  if (text != findText_) {
    findText_ = std::string(text);
    found_ = -1;
  }
  const std::int32_t position = findAfter(set_, LegendQuery(findText_), found_);
  if (position < 0) return false;
  found_ = position;
  // A click on the selected legend would take it away; a search that finds
  // it again keeps it and tells the host once more, as the go-to button does.
  goTo(position, true);
  return true;
}

void PadModel::goTo(std::int32_t position, bool showNumber) {
  const std::int32_t previousIndex = set_.selectedIndex();
  if (position != set_.selectedPosition()) select(position);
  if (showNumber) port_.showSelectedNumber(position);
  const std::uint64_t generation = set_.generation();
  tellHostAndOwner(previousIndex);
  if (!current(generation)) return;
  if (port_.tipExists() && tips_) showTipFor(position, true);
  if (!isVisible(position, position_, set_.displayCount())) {
    position_ = position / kGridColumns + 1;
    port_.setScrollPosition(position_);
    paint();
  }
}

void PadModel::tellHostAndOwner(std::int32_t previousIndex) {
  // A pad without an owner keeps its selections to itself, project included.
  if (!port_.hasOwner()) return;
  const std::int32_t index = set_.selectedIndex();
  if (index >= 0) {
    if (passToProject(index)) port_.sendToOwner(kLegendSelected, index);
  } else {
    if (project_ != nullptr) project_->sSetSelCLNFlg(0);
    port_.sendToOwner(kLegendDeselected, previousIndex);
  }
}

bool PadModel::passToProject(std::int32_t index) {
  if (project_ == nullptr) return !closed_;
  // The project's calls and the attribute query's message may let the host
  // reload or close the pad; the rest of the legend then goes to no one.
  const std::uint64_t generation = set_.generation();
  // Read in place: the view holds as long as the generation does, which is
  // checked after every call that lets the host in.
  const std::optional<LegendView> legend = set_.view(index);
  if (!legend) return !closed_;
  // The host gets its own aligned copies of the fields; the head record
  // holds them unaligned.
  const HeadView& head = legend->head();
  char type = static_cast<char>(head.type());
  std::int32_t classCode = head.classCode();
  std::int32_t blockSize = head.blockSize();
  std::array<char, layout::kMaxTextBytes + 1> name{};
  std::array<char, layout::kMaxTextBytes + 1> description{};
  std::copy_n(head.name().data(), head.name().size(), name.data());
  std::copy_n(head.description().data(), head.description().size(), description.data());
  project_->sSetSelCLNHeadInfo(&type, &classCode, nullptr, &blockSize, name.data(), description.data());
  if (!current(generation)) return false;

  AttributeInfo attributes;
  const LegendStatus read = attributeInfo(index, attributes);
  if (!current(generation)) return false;
  if (read == LegendStatus::Ok)
    project_->sSetSelCLNAttInfo(attributes.structure, reinterpret_cast<char*>(attributes.record), attributes.length);
  if (!current(generation)) return false;

  if (const std::optional<PointRecordBytes> point = legend->pointRecord()) {
    PNT_INFOstruct prepared = PreparePntInfo(*point);
    project_->sSetSelCLNPntInfo(&prepared);
  } else if (const std::optional<LineRecordBytes> line = legend->lineRecord()) {
    LIN_INFOstruct prepared = PrepareLinInfo(*line);
    project_->sSetSelCLNLinInfo(&prepared);
  } else if (const std::optional<RegionRecordBytes> region = legend->regionRecord()) {
    REG_INFOstruct prepared = PrepareRegInfo(*region);
    project_->sSetSelCLNRegInfo(&prepared);
  }
  return current(generation);
}

// --- scrolling ---------------------------------------------------------------------

void PadModel::scroll(ScrollCode code, std::int32_t thumb) {
  std::int64_t wanted = position_;
  switch (code) {
    case ScrollCode::LineUp: wanted -= 1; break;
    case ScrollCode::LineDown: wanted += 1; break;
    case ScrollCode::PageUp: wanted -= kPageRows; break;
    case ScrollCode::PageDown: wanted += kPageRows; break;
    case ScrollCode::ThumbPosition: wanted = thumb; break;
    case ScrollCode::Top: wanted = range_.minimum; break;
    case ScrollCode::Bottom: wanted = range_.maximum; break;
    case ScrollCode::ThumbTrack:
    case ScrollCode::EndScroll: break;
  }
  scrollTo(wanted);
}

void PadModel::scrollTo(std::int64_t wanted) {
  // Clamped in 64 bits first, so no request can overflow the position.
  wanted = std::clamp<std::int64_t>(wanted, INT32_MIN, INT32_MAX);
  const std::int32_t position = range_.clamp(static_cast<std::int32_t>(wanted));
  if (position == position_) return;
  position_ = position;
  port_.setScrollPosition(position_);
  paint();
}

void PadModel::wheel(std::int32_t angleDelta, std::int32_t rowsPerNotch) {
  // A turn back the other way drops what was left of the last one.
  if ((wheelRest_ > 0 && angleDelta < 0) || (wheelRest_ < 0 && angleDelta > 0)) wheelRest_ = 0;
  const std::int64_t total = std::int64_t{wheelRest_} + angleDelta;
  const std::int64_t notches = total / kWheelNotch;
  wheelRest_ = static_cast<std::int32_t>(total % kWheelNotch);
  if (notches == 0) return;
  // Turning away from the user brings the rows above into view.
  scrollTo(std::int64_t{position_} - notches * std::max(rowsPerNotch, 1));
}

void PadModel::key(PadKey key) {
  switch (key) {
    case PadKey::Up: scroll(ScrollCode::LineUp); break;
    case PadKey::Down: scroll(ScrollCode::LineDown); break;
    case PadKey::PageUp: scroll(ScrollCode::PageUp); break;
    case PadKey::PageDown: scroll(ScrollCode::PageDown); break;
    case PadKey::Home: scroll(ScrollCode::Top); break;
    case PadKey::End: scroll(ScrollCode::Bottom); break;
    case PadKey::Other: break;
  }
  hideTipIfTipsOn();
}

// --- tips ----------------------------------------------------------------------------

void PadModel::showTipFor(std::int32_t position, bool alert) { port_.showTip(set_.tipText(position), alert); }

void PadModel::hideTipIfTipsOn() {
  if (port_.tipExists() && tips_) port_.hideTip();
}

void PadModel::mouseMove(WindowPoint point, AreaSize client) {
  const std::int32_t position = hitTest(point, client);
  if (position >= 0) {
    const std::int32_t index = set_.legendAt(position);
    if (!(port_.tipVisible() && index == g_lastTippedLegend) && port_.tipExists() && tips_)
      showTipFor(position, position == set_.selectedPosition());
    g_lastTippedLegend = index;
  } else {
    hideTipIfTipsOn();
    g_lastTippedLegend = -1;
  }
}

void PadModel::toggleTips(WindowPoint point, AreaSize client) {
  tips_ = !tips_;
  if (!port_.tipExists()) return;
  const std::int32_t position = hitTest(point, client);
  if (tips_ && position >= 0)
    showTipFor(position, position == set_.selectedPosition());
  else
    port_.hideTip();
}

void PadModel::focusLost() { hideTipIfTipsOn(); }
void PadModel::rightButtonPressed() { hideTipIfTipsOn(); }

void PadModel::moved() {
  if (port_.tipVisible()) port_.hideTip();
}

// --- menu ----------------------------------------------------------------------------

MenuState PadModel::menuState(WindowPoint point, AreaSize client) const {
  MenuState state;
  const std::int32_t position = hitTest(point, client);
  state.editEnabled = position >= 0 && position < set_.displayCount();
  state.saveEnabled = set_.modified();
  // A filter of a type the file lacks is grayed and shows no check.
  state.pointsEnabled = set_.points().count() > 0;
  state.pointsChecked = state.pointsEnabled && set_.showPoints();
  state.linesEnabled = set_.lines().count() > 0;
  state.linesChecked = state.linesEnabled && set_.showLines();
  state.regionsEnabled = set_.regions().count() > 0;
  state.regionsChecked = state.regionsEnabled && set_.showRegions();
  state.tipsChecked = tips_;
  state.captionCommandText = captions_ == CaptionMode::Names ? kCaptionToCodes : kCaptionToNames;
  return state;
}

void PadModel::openMenu(WindowPoint point, AreaSize client) {
  if (closed_) return;
  const std::uint64_t generation = set_.generation();
  const std::optional<int> chosen = port_.runMenu(menuState(point, client), point);
  // The menu showed the pad as it was when it opened; a choice made after
  // the host closed the pad or had it read its file again is not carried out.
  if (chosen && current(generation)) runCommand(*chosen, point, client);
}

void PadModel::runCommand(int id, WindowPoint point, AreaSize client) {
  if (closed_) return;
  switch (id) {
    case command::kEditLegend: editLegendAt(point, client); break;
    case command::kSave:
      if (set_.modified()) saveToOwnFile();
      break;
    case command::kSaveWholeFileAs: saveCopyAs(CopyScope::WholeFile); break;
    case command::kSaveDisplayAs: saveCopyAs(CopyScope::CurrentDisplay); break;
    case command::kShowPoints:
    case command::kShowLines:
    case command::kShowRegions: toggleFilter(id); break;
    case command::kTips: toggleTips(point, client); break;
    case command::kFind: port_.openFind(); break;
    case command::kCaptionMode:
      captions_ = captions_ == CaptionMode::Names ? CaptionMode::ClassCodes : CaptionMode::Names;
      paint();
      break;
    default: break;
  }
}

void PadModel::saveCopyAs(CopyScope scope) {
  const std::uint64_t generation = set_.generation();
  const std::optional<std::string> path = port_.chooseSavePath(set_.path());
  if (!path || closed_) return;
  // The user chose a place for the legends shown when the dialog opened.
  if (set_.generation() != generation) {
    tell(messages::kCopyDroppedByReload);
    return;
  }
  const SaveResult result = legend::saveCopy(set_, *path, scope);
  report(result);
  const bool replaced = result || result.status == LegendStatus::SaveUnconfirmed;
  if (!replaced || !current(generation) || !legend::sameFile(*path, set_.path())) return;
  // The copy went over the pad's own file, where a copy of the display puts
  // the legends' blocks at new places: what the pad holds would now send
  // queries and later copies to other legends' bytes. The pad reads the file
  // as written, its edits included, and the host hears that the legend it
  // was given may be gone.
  const std::int32_t previousIndex = set_.selectedIndex();
  set_.setModified(false);
  showFile(set_.path());
  if (closed_) return;
  port_.showSelectedNumber(set_.selectedPosition());
  if (previousIndex >= 0) tellHostAndOwner(previousIndex);
}

void PadModel::toggleFilter(int id) {
  if (id == command::kShowPoints) set_.setShowPoints(!set_.showPoints());
  if (id == command::kShowLines) set_.setShowLines(!set_.showLines());
  if (id == command::kShowRegions) set_.setShowRegions(!set_.showRegions());
  // The scroll range and the scale maxima stay those of the last load.
  set_.rebuildDisplayList();
  found_ = -1;
  paint();
}

std::span<std::uint8_t> PadModel::storedRecord(std::int32_t index) {
  const std::int32_t typePosition = set_.typePosition(index);
  switch (set_.head(index).type()) {
    case static_cast<std::int8_t>(LegendType::Point): return recordOf(set_.points(), typePosition);
    case static_cast<std::int8_t>(LegendType::Line): return recordOf(set_.lines(), typePosition);
    case static_cast<std::int8_t>(LegendType::Region): return recordOf(set_.regions(), typePosition);
    default: return {};
  }
}

void PadModel::editLegendAt(WindowPoint point, AreaSize client) {
  if (closed_) return;
  const std::int32_t position = hitTest(point, client);
  if (position < 0 || position >= set_.displayCount()) return;
  const std::int32_t index = set_.legendAt(position);
  if (!set_.contains(index)) return;
  const std::span<const std::uint8_t> stored = storedRecord(index);
  if (stored.empty()) return;

  LegendEdit edit;
  std::copy_n(set_.head(index).bytes().begin(), layout::kHeadRecordSize, edit.head.bytes.begin());
  edit.record.assign(stored.begin(), stored.end());
  const std::uint64_t generation = set_.generation();
  if (!port_.runParameterDialog(edit) || closed_) return;
  // Same generation, same set: the index and its record are still the ones
  // the dialog was opened on.
  if (set_.generation() != generation) {
    tell(messages::kEditDroppedByReload);
    return;
  }
  const HeadView edited = edit.head.view();
  HeadRef head = set_.headRef(index);
  head.setName(edited.name());
  head.setDescription(edited.description());
  head.setClassCode(edited.classCode());
  const std::span<std::uint8_t> target = storedRecord(index);
  std::copy_n(edit.record.begin(), std::min(edit.record.size(), target.size()), target.begin());
  paint();
  set_.setModified(true);
  // As with selections, a pad without an owner tells its project nothing.
  if (index == set_.selectedIndex() && port_.hasOwner() && passToProject(index))
    port_.sendToOwner(kLegendSelected, index);
}

void PadModel::close() {
  if (closed_) return;
  closed_ = true;
  if (project_ != nullptr) project_->sSetSelCLNFlg(0);
  // Closed while the question before a reload is open: that question is the
  // one the user answers, and its Yes saves.
  if (offering_) return;
  if (set_.modified() && showMessages_ && prompter_.askYesNo(messages::kSavePrompt, true)) saveToOwnFile();
  set_.setModified(false);
}

}  // namespace legend::pad
