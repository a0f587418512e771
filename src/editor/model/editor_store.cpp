#include "editor/model/editor_store.h"

#include "components/drawing/graphic_records.h"

#include <algorithm>
#include <filesystem>
#include <new>
#include <system_error>
#include <utility>

#include "editor/model/editor_messages.h"
#include "legendfile/byte_order.h"
#include "legendfile/data_block.h"
#include "legendfile/failure_detail.h"
#include "legendfile/file_name.h"
#include "legendfile/header.h"
#include "legendfile/messages.h"

namespace legend::editor {

namespace {

/// @p pattern with its first occurrence of @p slot replaced by @p value.
/// The caller translates the pattern first: a filled-in text is no longer
/// one of the texts a translation knows.
std::string fill(std::string_view pattern, std::string_view slot, std::string_view value) {
  const auto at = pattern.find(slot);
  if (at == std::string_view::npos) return std::string(pattern);
  std::string out;
  out.reserve(pattern.size() + value.size());
  out.append(pattern.substr(0, at)).append(value).append(pattern.substr(at + slot.size()));
  return out;
}

/// The record bytes a new block carries: exactly @p length bytes of the
/// template record, zero-filled should the record be shorter.
std::vector<std::uint8_t> recordOfLength(const std::optional<std::vector<std::uint8_t>>& record, std::int32_t length) {
  std::vector<std::uint8_t> out(static_cast<std::size_t>(std::max(length, 0)), 0);
  if (record) std::copy_n(record->begin(), std::min(record->size(), out.size()), out.begin());
  return out;
}

}  // namespace

std::string LegendRow::classCodeText() const { return std::to_string(classCode); }

std::string LegendRow::sizeText() const { return std::to_string(blockSize) + translated(texts::kBytesSuffix); }

EditorStore::EditorStore(Prompter& prompter) : prompter_(prompter) {}

EditorStore::~EditorStore() = default;

EditorStore::ListKind EditorStore::listFor(std::int8_t type) noexcept {
  switch (type) {
    case static_cast<std::int8_t>(LegendType::Point): return kPointList;
    case static_cast<std::int8_t>(LegendType::Line): return kLineList;
    case static_cast<std::int8_t>(LegendType::Region): return kRegionList;
    default: return kOtherList;
  }
}

void EditorStore::clearStore() {
  file_.reset();
  for (auto& list : lists_) list.clear();
  items_.clear();
  counts_ = {};
  dataAreaOffset_ = 0;
  dataArea_.clear();
  scratch_.clear();
  liveCount_ = 0;
  currentRow_ = 0;
  rows_.clear();
  selection_.clear();
  modified_ = false;
}

void EditorStore::load(std::string_view path) {
  clearStore();
  path_.assign(path);
  if (path.empty()) return;
  if (path.size() > layout::kMaxPathBytes) {
    prompter_.inform(messages::text(LegendStatus::PathTooLong, path));
    return;
  }
  auto file = ReadOnlyFile::open(path_);
  if (!file) {
    prompter_.informWithDetail(messages::text(LegendStatus::CannotOpenLegendFile),
                               failureDetail(LegendStatus::CannotOpenLegendFile, path_));
    return;
  }
  std::array<std::uint8_t, layout::kPreambleSize> preamble{};
  const auto illegal = [this] {
    prompter_.informWithDetail(messages::text(LegendStatus::IllegalLegendFile),
                               failureDetail(LegendStatus::IllegalLegendFile, path_));
  };
  if (file->readAt(0, preamble) != preamble.size() || !isLegendHeader(preamble)) return illegal();
  const std::int32_t n = load_le<std::int32_t>(preamble, layout::kCountOffset);
  // A count the head records cannot back would size the store from a lie.
  if (n < 0 || n > layout::kMaxLegends || layout::data_area_offset(n) > file->size()) return illegal();

  std::vector<std::uint8_t> heads(static_cast<std::size_t>(n) * layout::kHeadRecordSize);
  if (file->readAt(layout::kPreambleSize, heads) != heads.size()) return illegal();

  items_.resize(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < items_.size(); ++i) {
    EditorItem& item = items_[i];
    std::copy_n(heads.begin() + static_cast<std::ptrdiff_t>(i * layout::kHeadRecordSize), layout::kHeadRecordSize,
                item.head.bytes.begin());
    const ListKind list = listFor(item.head.view().type());
    item.typePosition = static_cast<std::int32_t>(lists_[list].size());
    lists_[list].push_back(static_cast<std::int32_t>(i));
    ++counts_[list];
  }
  liveCount_ = n;
  if (n == 0) currentRow_ = -1;
  dataAreaOffset_ = layout::data_area_offset(n);
  file_ = std::move(file);
}

bool EditorStore::setPath(std::string_view path) {
  if (path.size() > layout::kMaxPathBytes) return false;
  path_.assign(path);
  return true;
}

std::optional<std::string> EditorStore::newFilePath(std::string_view confirmed) {
  const std::optional<std::string> completed = legend::completeLegendFileName(confirmed);
  if (!completed) {
    const bool folder = confirmed.empty() || confirmed.back() == '/';
    prompter_.inform(folder ? messages::text(LegendStatus::CannotOpenWritable)
                            : messages::text(LegendStatus::PathTooLong, confirmed));
    return std::nullopt;
  }
  if (*completed == confirmed) return completed;
  // The file dialog asked only about the name it was given. Any entry
  // counts, a dangling link too: the save would write through it.
  std::error_code error;
  const auto status = std::filesystem::symlink_status(*completed, error);
  if (std::filesystem::exists(status) &&
      !prompter_.askYesNo(fill(translated(texts::kReplaceExisting), "%s", *completed), /*defaultYes=*/false))
    return std::nullopt;
  return completed;
}

std::string EditorStore::titleFileName() const {
  if (path_.empty()) return std::string(texts::kNoName);
  const auto slash = path_.find_last_of('/');
  return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string EditorStore::windowTitle() const {
  return translated(texts::kEditorTitle).append("- ").append(titleFileName());
}

void EditorStore::open() {
  resetTemplate();
  typeChoice_ = kPointChoice;
  if (liveCount_ != 0) currentRow_ = 0;
  rebuildList();
}

std::span<const std::uint8_t> EditorStore::blockOf(const EditorItem& item) const noexcept {
  if (const auto* own = std::get_if<std::vector<std::uint8_t>>(&item.block)) return *own;
  if (const auto* borrowed = std::get_if<BorrowedBlock>(&item.block)) {
    if (fits_within(borrowed->offset, borrowed->size, dataArea_.size()))
      return std::span(dataArea_).subspan(borrowed->offset, borrowed->size);
  }
  return {};
}

std::span<const std::uint8_t> EditorStore::blockBytes(std::int32_t index) const noexcept {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return {};
  return blockOf(items_[static_cast<std::size_t>(index)]);
}

std::vector<std::uint8_t> EditorStore::graphicRecord(std::int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return {};
  const EditorItem& item = items_[static_cast<std::size_t>(index)];
  const HeadView head = item.head.view();
  const std::size_t size = head.paramSize();
  if (size == 0) return {};
  if (item.blockInMemory()) {
    const std::span<const std::uint8_t> held = blockOf(item);
    if (held.size() < size) return {};
    return {held.begin(), held.begin() + static_cast<std::ptrdiff_t>(size)};
  }
  std::vector<std::uint8_t> record(size);
  const auto offset = static_cast<std::int32_t>(head.blockOffset());
  if (!fileHolds(offset, static_cast<std::int64_t>(size)) ||
      !readFromFile(dataAreaOffset_ + static_cast<std::uint64_t>(offset), record))
    return {};
  return record;
}

// ---- legend list ----

bool EditorStore::insertRows(ListKind list, std::string_view failure, std::int32_t& row) {
  const auto n = static_cast<std::int64_t>(items_.size());
  for (const std::int32_t index : lists_[list]) {
    if (index < 0 || index >= n) continue;
    const EditorItem& item = items_[static_cast<std::size_t>(index)];
    if (!item.keep) continue;
    const HeadView head = item.head.view();
    LegendRow data{index,
                   std::string(head.name()),
                   std::string(head.description()),
                   head.classCode(),
                   head.blockSize(),
                   static_cast<std::int32_t>(list)};
    if (sink_ && !sink_->insertRow(row, data)) {
      prompter_.inform(texts::kRowInsertFailed);
      prompter_.inform(failure);
      return false;
    }
    rows_.push_back(std::move(data));
    ++row;
  }
  return true;
}

void EditorStore::rebuildList() {
  rows_.clear();
  if (sink_) sink_->clear();
  std::int32_t row = 0;
  if (!insertRows(kPointList, texts::kAddPointRowFailed, row)) return;
  if (!insertRows(kLineList, texts::kAddLineRowFailed, row)) return;
  if (!insertRows(kRegionList, texts::kAddRegionRowFailed, row)) return;
  if (currentRow_ < 0 || currentRow_ >= row) currentRow_ = 0;
  if (sink_ && row > 0) sink_->setCurrentRow(currentRow_);
}

std::int32_t EditorStore::legendAtRow(std::int32_t row) const noexcept {
  if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return -1;
  return rows_[static_cast<std::size_t>(row)].legendIndex;
}

std::int32_t EditorStore::gatherSelection(std::span<const std::int32_t> selectedRows) {
  selection_.assign(selectedRows.begin(), selectedRows.end());
  // Views hand their selection over in row order already.
  if (!std::is_sorted(selection_.begin(), selection_.end())) std::sort(selection_.begin(), selection_.end());
  return selection_.size() == 1 ? selection_.front() : -1;
}

void EditorStore::selectionChanged(std::span<const std::int32_t> selectedRows) {
  const std::int32_t row = gatherSelection(selectedRows);
  if (row >= 0) currentRow_ = row;
}

// ---- legend template ----

bool EditorStore::setTemplateName(std::string text) {
  if (text.size() > layout::kMaxTextBytes) {
    prompter_.inform(messages::kTextTooLong);
    return false;
  }
  name_ = std::move(text);
  return true;
}

bool EditorStore::setTemplateDescription(std::string text) {
  if (text.size() > layout::kMaxTextBytes) {
    prompter_.inform(messages::kTextTooLong);
    return false;
  }
  description_ = std::move(text);
  return true;
}

void EditorStore::resetTemplate() {
  name_.clear();
  description_.clear();
  classCode_.clear();

  records::fillNewPointRecord(point_);
  records::fillNewLineRecord(line_);
  records::fillNewRegionRecord(region_);

  structure_.reset();
  record_.reset();
}

void EditorStore::editTemplateParameters(AreaEditors& editors) {
  switch (typeChoice_) {
    case kPointChoice: editors.EditPntInfo(point_, kPointEditorTitle); break;
    case kLineChoice: editors.EditLinInfo(line_, kLineEditorTitle); break;
    case kRegionChoice: editors.EditRegInfo(region_, kRegionEditorTitle); break;
    default: break;
  }
}

// ---- commands ----

void EditorStore::addFromTemplate() {
  // One more would make a file that neither the editor nor the pad opens.
  if (liveCount_ >= layout::kMaxLegends) {
    prompter_.inform(texts::kLegendLimit);
    return;
  }
  std::int8_t type = static_cast<std::int8_t>(LegendType::Line);
  std::span<const std::uint8_t> params = line_;
  if (typeChoice_ == kPointChoice) {
    type = static_cast<std::int8_t>(LegendType::Point);
    params = point_;
  } else if (typeChoice_ == kRegionChoice) {
    type = static_cast<std::int8_t>(LegendType::Region);
    params = region_;
  }

  EditorItem item;
  HeadRef head = item.head.ref();
  head.setName(name_);
  head.setDescription(description_);
  head.setType(type);
  head.setClassCode(parseClassCode(classCode_));
  head.setBlockOffset(0);

  CATT_STRU* structure = attributesEnabled_ ? structure_.get() : nullptr;
  std::vector<std::uint8_t> record;
  if (structure && record_) {
    structure->CalLengthOffset();
    record = recordOfLength(record_, structure->RecordLength());
  }
  // Only a structure too large to serialise fails here, and the structure
  // editor makes none.
  std::optional<std::vector<std::uint8_t>> block = composeBlock(params, structure, record);
  if (!block) return;
  head.setBlockSize(static_cast<std::int32_t>(block->size()));
  item.block = std::move(*block);

  const ListKind list = listFor(type);
  const auto index = static_cast<std::int32_t>(items_.size());
  item.typePosition = static_cast<std::int32_t>(lists_[list].size());
  items_.push_back(std::move(item));
  lists_[list].push_back(index);
  ++counts_[list];
  ++liveCount_;
  modified_ = true;
  currentRow_ = 0;
  rebuildList();
}

bool EditorStore::fileHolds(std::int64_t offset, std::int64_t length) const noexcept {
  if (!file_ || offset < 0 || length < 0) return false;
  return fits_within(dataAreaOffset_ + static_cast<std::uint64_t>(offset), static_cast<std::uint64_t>(length),
                     file_->size());
}

bool EditorStore::readFromFile(std::uint64_t offset, std::span<std::uint8_t> out) const {
  return file_ && file_->readAt(offset, out) == out.size();
}

bool EditorStore::readScratch(const EditorItem& item) {
  if (!file_) return false;
  scratch_.clear();
  scratch_.shrink_to_fit();
  const HeadView head = item.head.view();
  const auto offset = static_cast<std::int32_t>(head.blockOffset());
  // Only a block wholly inside the loaded file is read: a block cut short
  // would reach the dialog with zeros posing as parameters.
  if (offset < 0 || !fileHolds(offset, head.blockSize())) return false;
  try {
    scratch_.resize(static_cast<std::size_t>(head.blockSize()));
  } catch (const std::bad_alloc&) {
    return false;
  }
  if (!readFromFile(dataAreaOffset_ + static_cast<std::uint64_t>(offset), scratch_)) {
    scratch_.clear();
    return false;
  }
  return true;
}

void EditorStore::editSelected(std::span<const std::int32_t> selectedRows, ParamDialogRunner& dialog) {
  const std::int32_t row = gatherSelection(selectedRows);
  if (row < 0) {
    prompter_.beep();
    return;
  }
  const std::int32_t index = legendAtRow(row);
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return;
  EditorItem& item = items_[static_cast<std::size_t>(index)];
  if (!item.keep) return;

  bool ok = false;
  if (auto* own = std::get_if<std::vector<std::uint8_t>>(&item.block)) {
    ok = dialog.run(item.head.ref(), *own, true);
  } else if (std::holds_alternative<BorrowedBlock>(item.block)) {
    // The dialog may replace the block it is given; a borrowed one is not
    // the item's to give away, so it works on a copy the item then owns.
    const auto borrowed = blockOf(item);
    std::vector<std::uint8_t> copy(borrowed.begin(), borrowed.end());
    ok = dialog.run(item.head.ref(), copy, true);
    if (ok) item.block = std::move(copy);
  } else {
    if (!readScratch(item)) {
      prompter_.inform(texts::kEditReadFailed);
      return;
    }
    ok = dialog.run(item.head.ref(), scratch_, true);
    if (ok && !scratch_.empty()) {
      item.block = std::move(scratch_);
      scratch_ = {};
    }
  }
  if (!ok) return;
  modified_ = true;
  currentRow_ = row;
  rebuildList();
}

void EditorStore::deleteSelected(std::span<const std::int32_t> selectedRows) {
  gatherSelection(selectedRows);
  if (selection_.size() > 1 &&
      !prompter_.askYesNo(fill(translated(texts::kDeleteQuestion), "%d", std::to_string(selection_.size())), false))
    return;
  for (const std::int32_t row : selection_) {
    const std::int32_t index = legendAtRow(row);
    if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) continue;
    EditorItem& item = items_[static_cast<std::size_t>(index)];
    // A row named twice must not count its legend out twice.
    if (!item.keep) continue;
    const ListKind list = listFor(item.head.view().type());
    if (list != kOtherList) {
      auto& entries = lists_[list];
      if (item.typePosition >= 0 && static_cast<std::size_t>(item.typePosition) < entries.size())
        entries[static_cast<std::size_t>(item.typePosition)] = -1;
      --counts_[list];
    }
    item.keep = false;
    item.block = BlockInFile{};
    --liveCount_;
    modified_ = true;
  }
  currentRow_ = 0;
  rebuildList();
}

void EditorStore::editAttributeStructure(AreaEditors& editors) {
  std::optional<CATT_STRU> edited = editors.editAttributeStructure(structure_.get());
  if (!edited) return;
  if (record_ && !record_->empty() && !prompter_.askYesNo(messages::kStructureChangeLosesRecord, false)) return;
  auto fresh = std::make_unique<CATT_STRU>(std::move(*edited));
  fresh->CalLengthOffset();
  std::optional<std::vector<std::uint8_t>> record;
  if (fresh->RecordLength() > 0) record.emplace(static_cast<std::size_t>(fresh->RecordLength()), 0);
  structure_ = std::move(fresh);
  record_ = std::move(record);
}

void EditorStore::editAttributeContent(AreaEditors& editors) {
  if (!structure_) structure_ = std::make_unique<CATT_STRU>();
  structure_->CalLengthOffset();
  if (structure_->FieldCount() == 0) {
    prompter_.inform(messages::kStructureEmpty);
    return;
  }
  std::optional<std::vector<std::uint8_t>> before = record_;
  if (!record_) {
    if (structure_->RecordLength() <= 0) {
      prompter_.inform(messages::kRecordSizeZero);
      return;
    }
    record_.emplace(static_cast<std::size_t>(structure_->RecordLength()), 0);
  }
  switch (editors.EditAttRecord(*structure_, *record_, kRecordEditorTitle)) {
    case RecordEditResult::Edited: break;
    // Leaving the record editor is no failure, and leaves no trace.
    case RecordEditResult::Cancelled: record_ = std::move(before); break;
    case RecordEditResult::Failed: prompter_.inform(messages::kRecordEditFailed); break;
  }
}

bool EditorStore::giveTemplateAttributes(EditorItem& item) {
  const HeadView head = item.head.view();
  std::vector<std::uint8_t> params(head.paramSize(), 0);
  if (item.blockInMemory()) {
    // Owned, or borrowed from the data-area buffer by a save that failed.
    const std::span<const std::uint8_t> held = blockOf(item);
    std::copy_n(held.begin(), std::min(held.size(), params.size()), params.begin());
  } else {
    // Parameters that cannot be read are never made up: the legend stays as it is.
    const auto offset = static_cast<std::int32_t>(head.blockOffset());
    if (!fileHolds(offset, static_cast<std::int64_t>(params.size())) ||
        !readFromFile(dataAreaOffset_ + static_cast<std::uint64_t>(offset), params)) {
      prompter_.inform(texts::kEditReadFailed);
      return false;
    }
  }

  std::vector<std::uint8_t> record;
  if (structure_ && record_ && !record_->empty()) {
    structure_->CalLengthOffset();
    record = recordOfLength(record_, structure_->RecordLength());
  }
  // As in addFromTemplate, the template's structure always serialises.
  std::optional<std::vector<std::uint8_t>> block = composeBlock(params, structure_.get(), record);
  if (!block) return false;
  item.head.ref().setBlockSize(static_cast<std::int32_t>(block->size()));
  item.block = std::move(*block);
  return true;
}

void EditorStore::batchAttributeChange(std::span<const std::int32_t> selectedRows, const std::function<void()>& step) {
  gatherSelection(selectedRows);
  if (selection_.empty()) {
    prompter_.inform(texts::kBatchNothingSelected);
    return;
  }
  const std::string noStructure = structure_ ? std::string() : translated(texts::kBatchNoStructure);
  const std::string noRecord = record_ && !record_->empty() ? std::string() : translated(texts::kBatchNoRecord);
  std::string question = fill(translated(texts::kBatchQuestion), "%s", noStructure);
  question = fill(question, "%s", noRecord);
  question = fill(question, "%d", std::to_string(selection_.size()));
  if (!prompter_.askYesNo(question, true)) return;

  for (const std::int32_t row : selection_) {
    const std::int32_t index = legendAtRow(row);
    if (index >= 0 && static_cast<std::size_t>(index) < items_.size() &&
        giveTemplateAttributes(items_[static_cast<std::size_t>(index)])) {
      modified_ = true;
      // Without a rebuild, so the selection and the current row stay; only
      // the size the row shows changes.
      LegendRow& shown = rows_[static_cast<std::size_t>(row)];
      shown.blockSize = items_[static_cast<std::size_t>(index)].head.view().blockSize();
      if (sink_) sink_->changeRow(row, shown);
    }
    if (step) step();
  }
}

EditorSaveStatus EditorStore::commit(FileOps& ops) {
  const EditorSaveStatus status = save(ops);
  if (status == EditorSaveStatus::Ok) modified_ = false;
  return status;
}

}  // namespace legend::editor
