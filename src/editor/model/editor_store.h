#pragma once
// The project legend editor without its window: the store of every legend
// of one file (loaded, added and deleted ones), the legend template new
// legends are made from, the legend list as rows, and the commands the
// editor dialog runs. Every message and question goes through the Prompter;
// the dialog only forwards input and shows what the store reports.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "components/attstru/att_stru.h"
#include "editor/model/editor_item.h"
#include "legendfile/file_io.h"
#include "legendfile/head_record.h"
#include "legendfile/layout.h"
#include "legendfile/prompter.h"
#include "paramdlg/model/legend_param_model.h"

namespace legend::editor {

/// Runs the legend parameter dialog on one legend with the given head and
/// block. True when it ended with OK; it may then have replaced the block
/// and set the head's block size to match.
class ParamDialogRunner {
 public:
  virtual ~ParamDialogRunner() = default;
  virtual bool run(HeadRef head, std::vector<std::uint8_t>& block, bool attributeEditing) = 0;
};

/// One row of the legend list.
struct LegendRow {
  std::int32_t legendIndex = -1;  ///< the row's item data
  std::string name;               ///< GBK bytes
  std::string description;        ///< GBK bytes
  std::int32_t classCode = 0;
  std::int32_t blockSize = 0;
  std::int32_t image = 3;  ///< 0 point, 1 line, 2 region, 3 other

  /// Column 1: the class code in signed decimal.
  std::string classCodeText() const;
  /// Column 3: "170字节" for a block of 170 bytes (UTF-8).
  std::string sizeText() const;
};

/// The list control the rows go into; the dialog plugs in its list view.
class LegendListSink {
 public:
  virtual ~LegendListSink() = default;
  virtual void clear() = 0;
  /// False when the view refused the row, which is then not in it.
  virtual bool insertRow(std::int32_t row, const LegendRow& data) = 0;
  /// Gives @p row the selected and focused states (never -1).
  virtual void setCurrentRow(std::int32_t row) = 0;
  /// The legend of @p row changed where it stands (its block size); the row
  /// keeps its place and its selected and current states.
  virtual void changeRow(std::int32_t row, const LegendRow& data) = 0;
};

/// Outcome of the editor save.
enum class EditorSaveStatus {
  Ok,
  PathTooLong,         ///< more than 259 bytes
  CannotOpenWritable,  ///< no path, or the old file exists but may not be read or written
  BlockUnreadable,     ///< a legend's block is in neither memory nor the loaded file
  CannotCreate,        ///< the file does not exist and cannot be created
  WriteFailed,         ///< a step failed before the file was touched; the old file is untouched
  BackupKept,          ///< writing over the file failed part way; its old bytes are in a named copy
  Unconfirmed,         ///< the new content is in place, but could not be confirmed as stored
};

class EditorStore {
 public:
  /// Type choice of the template (the radio group).
  enum TypeChoice : std::int32_t { kPointChoice = 0, kLineChoice = 1, kRegionChoice = 2 };

  explicit EditorStore(Prompter& prompter);
  EditorStore(const EditorStore&) = delete;
  EditorStore& operator=(const EditorStore&) = delete;
  ~EditorStore();

  /// Loads the legend file at @p path (empty: a new file with no legends).
  /// Failures are reported and leave the store empty; the path is kept so
  /// that 确定 can write to it.
  void load(std::string_view path);

  /// What the dialog does when it opens: reset the template, choose points,
  /// make row 0 current when there are legends, build the list.
  void open();

  /// Receives the rows on every rebuild; may be null (rows() still holds them).
  void setListSink(LegendListSink* sink) noexcept { sink_ = sink; }

  // ---- store state ----
  const std::string& path() const noexcept { return path_; }
  /// For a new file, after legend::completeLegendFileName. False above 259 bytes.
  bool setPath(std::string_view path);
  /// For a new file: the path 确定 writes, from the name the file dialog
  /// confirmed, completed with ".CLN". When completion named an existing
  /// file the dialog never asked about, the user is asked before it is
  /// replaced. Nullopt: refused (and reported) or declined.
  std::optional<std::string> newFilePath(std::string_view confirmed);
  /// Base name for the title: the file's name without folders, or NONAME.CLN.
  std::string titleFileName() const;
  /// "工程图例编辑器- " followed by titleFileName().
  std::string windowTitle() const;

  const std::vector<EditorItem>& items() const noexcept { return items_; }
  std::int32_t pointCount() const noexcept { return counts_[kPointList]; }
  std::int32_t lineCount() const noexcept { return counts_[kLineList]; }
  std::int32_t regionCount() const noexcept { return counts_[kRegionList]; }
  std::int32_t otherCount() const noexcept { return counts_[kOtherList]; }
  /// Loaded plus added minus deleted, unknown types included.
  std::int32_t liveCount() const noexcept { return liveCount_; }
  /// 图例总数: the listed legends.
  std::int32_t totalListed() const noexcept { return pointCount() + lineCount() + regionCount(); }
  /// 当前图例号; -1 after loading a file with no legends, until the first rebuild.
  std::int32_t currentRow() const noexcept { return currentRow_; }
  const std::vector<std::int32_t>& pointList() const noexcept { return lists_[kPointList]; }
  const std::vector<std::int32_t>& lineList() const noexcept { return lists_[kLineList]; }
  const std::vector<std::int32_t>& regionList() const noexcept { return lists_[kRegionList]; }
  const std::vector<std::int32_t>& otherList() const noexcept { return lists_[kOtherList]; }
  /// The bytes of item @p index's block in memory; empty when it has none.
  std::span<const std::uint8_t> blockBytes(std::int32_t index) const noexcept;
  /// The graphic parameter record of legend @p index, from memory or from
  /// the loaded file, for drawing its sample; empty for a legend of another
  /// type or one whose record cannot be read whole. Reports nothing.
  std::vector<std::uint8_t> graphicRecord(std::int32_t index) const;
  /// The data-area buffer: empty until a save has read the old blocks.
  std::span<const std::uint8_t> dataAreaBuffer() const noexcept { return dataArea_; }

  // ---- legend list and selection ----
  const std::vector<LegendRow>& rows() const noexcept { return rows_; }
  /// Rebuilds the rows from the type lists; reports a refused row and stops.
  void rebuildList();
  /// Takes the rows selected in the view as the selection, in ascending order.
  /// Returns the one selected row, or -1 when none or several are.
  std::int32_t gatherSelection(std::span<const std::int32_t> selectedRows);
  const std::vector<std::int32_t>& selection() const noexcept { return selection_; }
  /// The view's selection changed: with exactly one row it becomes current.
  void selectionChanged(std::span<const std::int32_t> selectedRows);

  // ---- legend template ----
  std::int32_t typeChoice() const noexcept { return typeChoice_; }
  void setTypeChoice(std::int32_t choice) noexcept { typeChoice_ = choice; }
  const std::string& templateName() const noexcept { return name_; }
  const std::string& templateDescription() const noexcept { return description_; }
  const std::string& templateClassCode() const noexcept { return classCode_; }
  /// GBK bytes. False (reported, nothing changed) above 127 bytes.
  bool setTemplateName(std::string text);
  bool setTemplateDescription(std::string text);
  void setTemplateClassCode(std::string text) { classCode_ = std::move(text); }
  /// The attribute check box: new legends carry the template attributes.
  bool attributesEnabled() const noexcept { return attributesEnabled_; }
  void setAttributesEnabled(bool on) noexcept { attributesEnabled_ = on; }
  std::span<const std::uint8_t, layout::kPointRecordSize> templatePoint() const noexcept { return point_; }
  std::span<const std::uint8_t, layout::kLineRecordSize> templateLine() const noexcept { return line_; }
  std::span<const std::uint8_t, layout::kRegionRecordSize> templateRegion() const noexcept { return region_; }
  const CATT_STRU* templateStructure() const noexcept { return structure_.get(); }
  /// No value: no template record.
  const std::optional<std::vector<std::uint8_t>>& templateRecord() const noexcept { return record_; }

  // ---- commands ----
  /// 添加: appends a legend made from the template; refused once the store
  /// holds as many live legends as a legend file can.
  void addFromTemplate();
  /// 编辑 and double click: the parameter dialog on the one selected legend.
  void editSelected(std::span<const std::int32_t> selectedRows, ParamDialogRunner& dialog);
  /// 删除: deletes the selected legends, asking first when there are several.
  void deleteSelected(std::span<const std::int32_t> selectedRows);
  /// 设为默认值: default texts, records and no attributes. The type choice
  /// and the attribute check box stay.
  void resetTemplate();
  /// 图例参数: the component's editor for the chosen type's template record.
  void editTemplateParameters(AreaEditors& editors);
  /// 属性结构: replaces the template structure by an edited copy.
  void editAttributeStructure(AreaEditors& editors);
  /// 属性内容: edits the template record; a cancelled editor leaves it as
  /// it was.
  void editAttributeContent(AreaEditors& editors);
  /// 统改属性: the template attributes into every selected legend. The list
  /// is not rebuilt: each changed row shows its new size in place.
  /// @p step is called once per selected row (the busy indicator).
  void batchAttributeChange(std::span<const std::int32_t> selectedRows, const std::function<void()>& step = {});

  /// 确定: writes every live legend to path() as one new file image
  /// (replaceFile). Reports any failure; the old file is then untouched, or
  /// its old bytes are in the copy the message names. A failed save changes
  /// no head and keeps every block it read in memory, so a retry needs no
  /// byte of the old file.
  EditorSaveStatus save(FileOps& ops = FileOps::system());
  /// 确定 as the editor runs it: save(), after which the store holds no
  /// unsaved changes.
  EditorSaveStatus commit(FileOps& ops = FileOps::system());
  /// Some command changed what 确定 would write since loading or the last
  /// successful commit (template edits do not count).
  bool modified() const noexcept { return modified_; }

 private:
  /// Numbered as the row images, which LegendRow::image takes from them.
  enum ListKind : std::size_t { kPointList = 0, kLineList = 1, kRegionList = 2, kOtherList = 3 };
  static ListKind listFor(std::int8_t type) noexcept;

  void clearStore();
  bool insertRows(ListKind list, std::string_view failure, std::int32_t& row);
  /// The legend index a row carries, or -1.
  std::int32_t legendAtRow(std::int32_t row) const noexcept;
  /// Reads a block of a legend only in the file into the scratch block.
  bool readScratch(const EditorItem& item);
  /// The loaded file's data area holds [offset, offset + length).
  bool fileHolds(std::int64_t offset, std::int64_t length) const noexcept;
  bool readFromFile(std::uint64_t offset, std::span<std::uint8_t> out) const;
  /// True when the item's block was rebuilt.
  bool giveTemplateAttributes(EditorItem& item);
  /// A live block still only in the loaded file: where it lies there
  /// (data-area offset), and where the new file's data area puts it.
  struct BlockFromFile {
    std::size_t item = 0;
    std::uint64_t from = 0;
    std::uint64_t to = 0;
    std::size_t size = 0;
  };
  /// The live legends packed in item order for a new file.
  struct BlockPlan {
    std::int32_t kept = 0;
    std::uint64_t blockBytes = 0;
    std::vector<BlockFromFile> fromFile;
  };
  /// Nothing when a live block lies outside the loaded file.
  std::optional<BlockPlan> planBlocks() const;
  /// The bytes a live item's block takes in a new file.
  std::size_t placedSize(const EditorItem& item) const noexcept;
  bool readBlocksInto(std::span<const BlockFromFile> blocks, std::span<std::uint8_t> dataArea) const;
  /// After a failed save: the blocks read for it are kept, borrowed.
  void keepBlocksFrom(std::span<const BlockFromFile> blocks, std::span<const std::uint8_t> dataArea);
  /// After a save: the written file is the one the heads describe.
  void adoptSavedFile(std::uint64_t dataArea);
  std::span<const std::uint8_t> blockOf(const EditorItem& item) const noexcept;

  Prompter& prompter_;
  LegendListSink* sink_ = nullptr;
  std::string path_;
  /// The loaded file, kept open so blocks are read from the file the heads came from.
  std::optional<ReadOnlyFile> file_;

  std::array<std::vector<std::int32_t>, 4> lists_;
  std::vector<EditorItem> items_;
  std::array<std::int32_t, 4> counts_{};
  std::uint64_t dataAreaOffset_ = 0;  ///< 0 when nothing was loaded
  std::vector<std::uint8_t> dataArea_;
  std::vector<std::uint8_t> scratch_;
  std::int32_t liveCount_ = 0;
  std::int32_t currentRow_ = 0;
  std::vector<LegendRow> rows_;
  std::vector<std::int32_t> selection_;

  std::int32_t typeChoice_ = -1;
  std::string name_;
  std::string description_;
  std::string classCode_;
  bool attributesEnabled_ = false;
  std::array<std::uint8_t, layout::kPointRecordSize> point_{};
  std::array<std::uint8_t, layout::kLineRecordSize> line_{};
  std::array<std::uint8_t, layout::kRegionRecordSize> region_{};
  std::unique_ptr<CATT_STRU> structure_;
  std::optional<std::vector<std::uint8_t>> record_;
  bool modified_ = false;
};

}  // namespace legend::editor
