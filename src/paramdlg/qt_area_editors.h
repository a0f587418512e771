#pragma once
// The area-editing component's dialogs behind the editor's AreaEditors
// interface, for windows that edit legends for real.

#include "paramdlg/model/legend_param_model.h"

class QWidget;

namespace legend::editor {

/// Opens the component's modal dialogs over @p parent (which may be null
/// and must outlive this object when it is not).
class QtAreaEditors final : public AreaEditors {
 public:
  explicit QtAreaEditors(QWidget* parent = nullptr) : parent_(parent) {}

  void EditPntInfo(std::span<std::uint8_t, layout::kPointRecordSize> record, std::string_view title) override;
  void EditLinInfo(std::span<std::uint8_t, layout::kLineRecordSize> record, std::string_view title) override;
  void EditRegInfo(std::span<std::uint8_t, layout::kRegionRecordSize> record, std::string_view title) override;
  std::optional<CATT_STRU> editAttributeStructure(const CATT_STRU* current) override;
  RecordEditResult EditAttRecord(CATT_STRU& structure, std::span<std::uint8_t> record, std::string_view title) override;

 private:
  QWidget* parent_;
};

}  // namespace legend::editor
