#include "paramdlg/qt_area_editors.h"

#include "components/areaedit/att_record_editor.h"
#include "components/areaedit/att_stru_editor.h"
#include "components/areaedit/graphic_editors.h"

namespace legend::editor {

// The graphic editors report OK or Cancel; the model needs neither, since a
// cancelled dialog leaves the working record as it was.
void QtAreaEditors::EditPntInfo(std::span<std::uint8_t, layout::kPointRecordSize> record, std::string_view title) {
  ::EditPntInfo(record, title, parent_);
}

void QtAreaEditors::EditLinInfo(std::span<std::uint8_t, layout::kLineRecordSize> record, std::string_view title) {
  ::EditLinInfo(record, title, parent_);
}

void QtAreaEditors::EditRegInfo(std::span<std::uint8_t, layout::kRegionRecordSize> record, std::string_view title) {
  ::EditRegInfo(record, title, parent_);
}

std::optional<CATT_STRU> QtAreaEditors::editAttributeStructure(const CATT_STRU* current) {
  return areaedit::editAttributeStructure(parent_, current != nullptr ? *current : CATT_STRU());
}

RecordEditResult QtAreaEditors::EditAttRecord(CATT_STRU& structure, std::span<std::uint8_t> record,
                                              std::string_view title) {
  switch (::EditAttRecord(structure, record, title, 0, parent_)) {
    case AttRecordEditResult::Saved: return RecordEditResult::Edited;
    case AttRecordEditResult::Cancelled: return RecordEditResult::Cancelled;
    case AttRecordEditResult::Failed: break;
  }
  return RecordEditResult::Failed;
}

}  // namespace legend::editor
