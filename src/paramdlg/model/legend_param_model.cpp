#include "paramdlg/model/legend_param_model.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "components/drawing/graphic_records.h"
#include "legendfile/byte_order.h"
#include "legendfile/data_block.h"
#include "legendfile/messages.h"

namespace legend::editor {

namespace {

// Texts set by "set default", GBK-encoded as the head record stores them.
constexpr std::string_view kDefaultName = "CLN";
constexpr std::string_view kLineDescription = "\xCF\xDF\xCD\xBC\xC0\xFD";    // 线图例
constexpr std::string_view kPointDescription = "\xB5\xE3\xCD\xBC\xC0\xFD";   // 点图例
constexpr std::string_view kRegionDescription = "\xC7\xF8\xCD\xBC\xC0\xFD";  // 区图例

bool is_blank(char c) noexcept { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::int32_t parseClassCode(std::string_view text) noexcept {
  std::size_t i = 0;
  while (i < text.size() && is_blank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate the magnitude in 64 bits and stop growing once it passes the
  // int32 range, so any number of digits saturates instead of overflowing.
  constexpr std::int64_t kLimit = static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    magnitude = std::min<std::int64_t>(magnitude * 10 + (text[i] - '0'), kLimit);
  if (negative) return static_cast<std::int32_t>(-magnitude);
  return static_cast<std::int32_t>(std::min<std::int64_t>(magnitude, std::numeric_limits<std::int32_t>::max()));
}

LegendParamModel::LegendParamModel(HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing,
                                   AreaEditors& editors, Prompter& prompter)
    : head_(head),
      block_(block),
      attributeEditing_(attributeEditing),
      editors_(editors),
      prompter_(prompter),
      type_(head.view().type()),
      paramSize_(head.view().paramSize()),
      name_(head.view().name()),
      description_(head.view().description()),
      classCode_(std::to_string(head.view().classCode())) {}

std::span<std::uint8_t> LegendParamModel::workingRecord() noexcept {
  switch (type_) {
    case static_cast<std::int8_t>(LegendType::Line): return line_;
    case static_cast<std::int8_t>(LegendType::Point): return point_;
    case static_cast<std::int8_t>(LegendType::Region): return region_;
    default: return {};
  }
}

std::string LegendParamModel::typeTag() const {
  switch (type_) {
    case static_cast<std::int8_t>(LegendType::Line): return LEGEND_TR_NOOP("legend", "[线类型]");
    case static_cast<std::int8_t>(LegendType::Point): return LEGEND_TR_NOOP("legend", "[点类型]");
    case static_cast<std::int8_t>(LegendType::Region): return LEGEND_TR_NOOP("legend", "[区类型]");
    default: return LEGEND_TR_NOOP("legend", "[未知类型]");
  }
}

void LegendParamModel::open() {
  // The head's block size and the bytes really held may disagree; only bytes
  // covered by both are ever read.
  const std::int32_t declared = head_.view().blockSize();
  const std::size_t available =
      std::min<std::size_t>(block_.size(), declared > 0 ? static_cast<std::size_t>(declared) : 0);

  const std::span<std::uint8_t> record = workingRecord();
  const std::size_t copied = std::min(record.size(), block_.size());
  std::copy_n(block_.begin(), copied, record.begin());

  // The record is judged against the size the head declares, as the file
  // knows it: the pad hands over the record alone, without the attribute part.
  if (declared <= 0 || paramSize_ >= static_cast<std::size_t>(declared)) {
    prompter_.inform(messages::kParamSizeWrong);
    return;
  }
  if (!attributeEditing_) return;
  loadAttributes(available);
}

void LegendParamModel::loadAttributes(std::size_t available) {
  const std::span<const std::uint8_t> bytes(block_.data(), available);
  structure_ = std::make_unique<CATT_STRU>();
  // An S or R that reaches past the block counts as a negative one.
  const BlockParts parts = parseBlock(bytes, type_);
  switch (parts.problem) {
    case BlockProblem::StructureSizeMissing:
    case BlockProblem::NegativeStructureSize:
    case BlockProblem::StructurePastEnd: prompter_.inform(messages::kNegativeStructureSize); return;
    default: break;
  }
  if (parts.structureSize > 0 &&
      structure_->Load(bytes.data() + parts.structureOffset(), parts.structureSize, 0) != parts.structureSize) {
    // Refused, or read only in part: written back through the component it
    // would lose what it could not read, and the record would lose its
    // layout. Everything after the parameters stays as stored.
    structure_ = std::make_unique<CATT_STRU>();
    keptAttributes_.emplace(bytes.begin() + static_cast<std::ptrdiff_t>(paramSize_), bytes.end());
    prompter_.inform(messages::kStructureUnreadable);
    return;
  }
  if (parts.problem != BlockProblem::None) {
    prompter_.inform(messages::kNegativeRecordSize);
    return;
  }
  const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(parts.recordOffset());
  record_.emplace(first, first + parts.recordSize);
}

void LegendParamModel::editGraphicParameters() {
  switch (type_) {
    case static_cast<std::int8_t>(LegendType::Line): editors_.EditLinInfo(line_, kLineEditorTitle); break;
    case static_cast<std::int8_t>(LegendType::Point): editors_.EditPntInfo(point_, kPointEditorTitle); break;
    case static_cast<std::int8_t>(LegendType::Region): editors_.EditRegInfo(region_, kRegionEditorTitle); break;
    default: break;
  }
}

void LegendParamModel::editAttributeStructure() {
  // Asked before the structure editor opens: it starts from an empty
  // structure, since the stored one cannot be shown.
  const bool replacingUnreadable = structureUnreadable();
  if (replacingUnreadable && !prompter_.askYesNo(messages::kReplaceUnreadableStructure, /*defaultYes=*/false)) return;

  std::optional<CATT_STRU> edited = editors_.editAttributeStructure(structure_.get());
  if (!edited) return;
  if (!replacingUnreadable && record_ && !record_->empty() &&
      !prompter_.askYesNo(messages::kStructureChangeLosesRecord, /*defaultYes=*/false))
    return;

  auto fresh = std::make_unique<CATT_STRU>(std::move(*edited));
  fresh->CalLengthOffset();
  structure_ = std::move(fresh);
  keptAttributes_.reset();

  record_.reset();
  const std::int32_t length = structure_->RecordLength();
  if (length > 0) record_.emplace(static_cast<std::size_t>(length), std::uint8_t{0});
}

void LegendParamModel::editAttributeContent() {
  if (structureUnreadable()) {
    prompter_.inform(messages::kUnreadableStructureContent);
    return;
  }
  if (structure_) structure_->CalLengthOffset();
  if (!structure_ || structure_->FieldCount() == 0) {
    prompter_.inform(messages::kStructureEmpty);
    return;
  }
  const std::int32_t length = structure_->RecordLength();
  // A record editor the user leaves must leave no trace, not even the zero
  // record made for it.
  std::optional<std::vector<std::uint8_t>> before = record_;
  if (!record_) {
    if (length <= 0) {
      prompter_.inform(messages::kRecordSizeZero);
      return;
    }
    record_.emplace(static_cast<std::size_t>(length), std::uint8_t{0});
  } else if (length > 0 && record_->size() < static_cast<std::size_t>(length)) {
    // A stored record shorter than the structure's layout: the editor writes
    // every field, so it gets a buffer of full length.
    record_->resize(static_cast<std::size_t>(length), 0);
  }
  switch (editors_.EditAttRecord(*structure_, *record_, kRecordEditorTitle)) {
    case RecordEditResult::Edited: break;
    case RecordEditResult::Cancelled: record_ = std::move(before); break;
    case RecordEditResult::Failed: prompter_.inform(messages::kRecordEditFailed); break;
  }
}

void LegendParamModel::setDefault() {
  if (!prompter_.askYesNo(messages::kResetAllLegendInfo, /*defaultYes=*/false)) return;

  switch (type_) {
    case static_cast<std::int8_t>(LegendType::Line):
      description_ = kLineDescription;
      records::fillNewLineRecord(line_);
      break;
    case static_cast<std::int8_t>(LegendType::Point):
      description_ = kPointDescription;
      records::fillNewPointRecord(point_);
      break;
    case static_cast<std::int8_t>(LegendType::Region):
      description_ = kRegionDescription;
      records::fillNewRegionRecord(region_);
      break;
    default: break;
  }
  if (paramSize_ > 0) {
    name_ = kDefaultName;
    classCode_.clear();
  }

  if (!attributeEditing_) return;
  keptAttributes_.reset();
  if (structure_) {
    structure_->CalLengthOffset();
    // Always remove the first field: deleting 0, 1, 2, ... would skip every
    // other field as the rest move down.
    while (structure_->FieldCount() > 0)
      if (structure_->DelFld(0) != AttStatus::Ok) break;
  }
  record_.reset();
}

bool LegendParamModel::ok() {
  // Checked before anything is written so a refusal leaves the head intact.
  if (name_.size() > layout::kMaxTextBytes || description_.size() > layout::kMaxTextBytes) {
    prompter_.inform(messages::kTextTooLong);
    return false;
  }
  head_.setDescription(description_);
  head_.setName(name_);
  head_.setClassCode(parseClassCode(classCode_));

  if (!attributeEditing_) {
    const std::span<std::uint8_t> record = workingRecord();
    if (!record.empty() && block_.size() >= record.size()) std::copy(record.begin(), record.end(), block_.begin());
    return true;
  }
  if (keptAttributes_) return keepAttributes();
  if (!structure_) return true;
  return writeBlock();
}

bool LegendParamModel::keepAttributes() {
  const std::span<const std::uint8_t> record = workingRecord();
  std::vector<std::uint8_t> block;
  block.reserve(record.size() + keptAttributes_->size());
  block.insert(block.end(), record.begin(), record.end());
  block.insert(block.end(), keptAttributes_->begin(), keptAttributes_->end());
  // Both parts came out of one block whose size was a signed 32-bit value.
  head_.setBlockSize(static_cast<std::int32_t>(block.size()));
  block_ = std::move(block);
  return true;
}

bool LegendParamModel::writeBlock() {
  if (structure_->CalSize() < 0) {
    prompter_.inform(messages::kNegativeStructureSize);
    return false;
  }
  const std::span<const std::uint8_t> record =
      record_ ? std::span<const std::uint8_t>(*record_) : std::span<const std::uint8_t>();
  // Composed aside and swapped in whole, so the caller's block is never left
  // half written. What is left to refuse is a block beyond a signed 32-bit
  // size, as if its record size were negative.
  std::optional<std::vector<std::uint8_t>> block = composeBlock(workingRecord(), structure_.get(), record);
  if (!block) {
    prompter_.inform(messages::kNegativeRecordSize);
    return false;
  }
  head_.setBlockSize(static_cast<std::int32_t>(block->size()));
  block_ = std::move(*block);
  return true;
}

}  // namespace legend::editor
