#pragma once

// Area editors that stand in for the real ones: each graphic editor logs its
// title and stamps 0xEE into byte 0 of the record it gets, so a test sees
// which record reached which editor; the record editor fills the record with
// 0xAB whatever it answers, so a result that should be ignored shows.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "paramdlg/model/legend_param_model.h"

namespace testcln {

class StampingEditors : public legend::editor::AreaEditors {
 public:
  std::vector<std::string> calls;
  std::unique_ptr<CATT_STRU> prepared;  ///< what the structure editor returns (null: cancelled)
  legend::editor::RecordEditResult recordResult = legend::editor::RecordEditResult::Edited;
  std::vector<std::uint8_t> recordOnEntry;

  void EditPntInfo(std::span<std::uint8_t, 94> r, std::string_view title) override { stamp(r, title); }
  void EditLinInfo(std::span<std::uint8_t, 67> r, std::string_view title) override { stamp(r, title); }
  void EditRegInfo(std::span<std::uint8_t, 63> r, std::string_view title) override { stamp(r, title); }
  std::optional<CATT_STRU> editAttributeStructure(const CATT_STRU*) override {
    calls.emplace_back("editAttributeStructure");
    if (!prepared) return std::nullopt;
    return *prepared;
  }
  legend::editor::RecordEditResult EditAttRecord(CATT_STRU&, std::span<std::uint8_t> record,
                                                 std::string_view title) override {
    calls.emplace_back(title);
    recordOnEntry.assign(record.begin(), record.end());
    std::fill(record.begin(), record.end(), std::uint8_t{0xAB});
    return recordResult;
  }

 private:
  void stamp(std::span<std::uint8_t> r, std::string_view title) {
    calls.emplace_back(title);
    r[0] = 0xEE;
  }
};

}  // namespace testcln
