#pragma once
// The Qt-free model behind the legend parameter dialog: it edits one legend's
// name, description, class code, graphic parameter record and (when the
// caller allows it) attribute structure and record, on working copies that
// reach the caller's head record and data block only through ok().

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/attstru/att_stru.h"
#include "legendfile/head_record.h"
#include "legendfile/layout.h"
#include "legendfile/prompter.h"
#include "legendfile/translation.h"

namespace legend::editor {

/// How the attribute record editor ended.
enum class RecordEditResult {
  Edited,     ///< confirmed: the record holds what the user entered
  Cancelled,  ///< the user left it: the record is as it was
  Failed,     ///< it could not edit this record with this structure
};

/// The area-editing component's modal editors.
class AreaEditors {
 public:
  virtual ~AreaEditors() = default;
  /// The graphic parameter editors edit @p record in place; Cancel leaves it.
  virtual void EditPntInfo(std::span<std::uint8_t, layout::kPointRecordSize> record, std::string_view title) = 0;
  virtual void EditLinInfo(std::span<std::uint8_t, layout::kLineRecordSize> record, std::string_view title) = 0;
  virtual void EditRegInfo(std::span<std::uint8_t, layout::kRegionRecordSize> record, std::string_view title) = 0;
  /// The structure the user made from @p current (null: none yet, shown as
  /// an empty one), or nothing when it is not to change.
  virtual std::optional<CATT_STRU> editAttributeStructure(const CATT_STRU* current) = 0;
  /// Edits @p record laid out by @p structure.
  virtual RecordEditResult EditAttRecord(CATT_STRU& structure, std::span<std::uint8_t> record,
                                         std::string_view title) = 0;
};

/// Window titles of the component's editors (UTF-8).
inline constexpr std::string_view kPointEditorTitle = LEGEND_TR_NOOP("legend", "点图例参数编辑");
inline constexpr std::string_view kLineEditorTitle = LEGEND_TR_NOOP("legend", "线图例参数编辑");
inline constexpr std::string_view kRegionEditorTitle = LEGEND_TR_NOOP("legend", "区图例参数编辑");
inline constexpr std::string_view kRecordEditorTitle = LEGEND_TR_NOOP("legend", "图例属性内容编辑");

/// Converts a class code text like a standard decimal conversion (leading
/// blanks, optional sign, digits up to the first other character, none = 0),
/// saturating at the int32 limits instead of overflowing.
std::int32_t parseClassCode(std::string_view text) noexcept;

/// Working state and commands of the legend parameter dialog.
class LegendParamModel {
 public:
  /// @p head and @p block are the caller's; they change only in ok().
  LegendParamModel(HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing, AreaEditors& editors,
                   Prompter& prompter);
  LegendParamModel(const LegendParamModel&) = delete;
  LegendParamModel& operator=(const LegendParamModel&) = delete;

  /// Loads the working record and, with attribute editing, the attribute
  /// structure and record from the block. Problems are reported through the
  /// prompter; the dialog opens all the same. A structure the component
  /// cannot read is reported too, and kept with its record byte for byte.
  void open();

  /// "[线类型]", "[点类型]", "[区类型]" or "[未知类型]", appended to the group caption.
  std::string typeTag() const;
  /// The attribute structure and content buttons are usable.
  bool attributeButtonsEnabled() const noexcept { return attributeEditing_; }

  /// Opens the component's editor for the working record of the legend's type.
  void editGraphicParameters();
  /// Replaces the working structure by an edited one; the record is reset to
  /// zeros. An unreadable structure is replaced only after the user agreed.
  void editAttributeStructure();
  /// Opens the record editor on the working attribute record. A cancelled
  /// editor leaves the record as it was before the command.
  void editAttributeContent();
  /// After confirmation, resets texts, working record and attribute data
  /// (an unreadable structure included).
  void setDefault();
  /// Writes the working copies back. True: the dialog closes with OK;
  /// false: it stays open (a message has been shown).
  bool ok();

  const std::string& name() const noexcept { return name_; }
  const std::string& description() const noexcept { return description_; }
  const std::string& classCodeText() const noexcept { return classCode_; }
  /// Texts are GBK bytes, as stored in the head record.
  void setName(std::string text) { name_ = std::move(text); }
  void setDescription(std::string text) { description_ = std::move(text); }
  void setClassCodeText(std::string text) { classCode_ = std::move(text); }

  std::span<const std::uint8_t, layout::kPointRecordSize> pointRecord() const noexcept { return point_; }
  std::span<const std::uint8_t, layout::kLineRecordSize> lineRecord() const noexcept { return line_; }
  std::span<const std::uint8_t, layout::kRegionRecordSize> regionRecord() const noexcept { return region_; }
  /// Null when no structure was created (no attribute editing, or message 37).
  const CATT_STRU* attributeStructure() const noexcept { return structure_.get(); }
  /// No value: no record buffer; a value may be an empty buffer.
  const std::optional<std::vector<std::uint8_t>>& attributeRecord() const noexcept { return record_; }
  /// The block's structure could not be read; OK keeps it and its record as
  /// they are stored.
  bool structureUnreadable() const noexcept { return keptAttributes_.has_value(); }

 private:
  std::span<std::uint8_t> workingRecord() noexcept;
  void loadAttributes(std::size_t available);
  bool writeBlock();
  /// OK over an unreadable structure: the new parameters, then the rest of
  /// the block as it was stored.
  bool keepAttributes();

  HeadRef head_;
  std::vector<std::uint8_t>& block_;
  bool attributeEditing_;
  AreaEditors& editors_;
  Prompter& prompter_;
  std::int8_t type_;
  std::size_t paramSize_;

  std::string name_;
  std::string description_;
  std::string classCode_;
  std::array<std::uint8_t, layout::kPointRecordSize> point_{};
  std::array<std::uint8_t, layout::kLineRecordSize> line_{};
  std::array<std::uint8_t, layout::kRegionRecordSize> region_{};
  std::unique_ptr<CATT_STRU> structure_;
  std::optional<std::vector<std::uint8_t>> record_;
  /// Everything of the block after the parameter record, as stored, while
  /// its structure is one the component cannot read.
  std::optional<std::vector<std::uint8_t>> keptAttributes_;
};

}  // namespace legend::editor
