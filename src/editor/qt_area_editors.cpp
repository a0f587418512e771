#include "editor/qt_area_editors.h"

#include "components/areaedit/att_record_editor.h"
#include "components/areaedit/att_stru_editor.h"
#include "components/areaedit/graphic_editors.h"

namespace legend::editor {

static_assert(layout::kPointRecordSize == kPntInfoBytes);
static_assert(layout::kLineRecordSize == kLinInfoBytes);
static_assert(layout::kRegionRecordSize == kRegInfoBytes);

// The graphic editors report OK or Cancel; the model needs neither, since a
// cancelled dialog leaves the working record as it was.
void QtAreaEditors::EditPntInfo(std::span<std::uint8_t, layout::kPointRecordSize> record, std::string_view title,
                                int flag) {
  ::EditPntInfo(record, title, flag, parent_);
}

void QtAreaEditors::EditLinInfo(std::span<std::uint8_t, layout::kLineRecordSize> record, std::string_view title) {
  ::EditLinInfo(record, title, parent_);
}

void QtAreaEditors::EditRegInfo(std::span<std::uint8_t, layout::kRegionRecordSize> record, std::string_view title) {
  ::EditRegInfo(record, title, parent_);
}

CATT_STRU* QtAreaEditors::EditAttStru(CATT_STRU* current) {
  // The component takes no module handle or flag of ours.
  return ::EditAttStru(parent_, nullptr, current, 0);
}

void QtAreaEditors::EndAttStru() { ::EndAttStru(); }

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
