#ifndef LEGEND_MAP_PROJECT_H
#define LEGEND_MAP_PROJECT_H
// The host's project object: a pad hands it the legend the user selects.
// A host derives from MapProject and overrides the members it cares about;
// the members here keep a copy of what they are given, so a host can also
// use the class as it is and read the selection back. Every member is
// defined in this header, so host and library agree on the class without
// exporting it.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "legend/records.h"

class CATT_STRU;

class MapProject {
 public:
  virtual ~MapProject() = default;

  /// Called with 0 when the selection is cleared and when the pad closes.
  virtual short sSetSelCLNFlg(short flag) {
    selected_ = flag != 0;
    return 1;
  }

  /// The selected legend's head record: its type byte, class code, a null
  /// pointer (reserved), its data block size, name and description (GBK,
  /// NUL-terminated). The pointers are valid during the call only.
  virtual short sSetSelCLNHeadInfo(char* type, std::int32_t* classCode, char* reserved, std::int32_t* blockSize,
                                   char* name, char* description) {
    (void)reserved;
    selected_ = true;
    type_ = type ? static_cast<signed char>(*type) : -1;
    classCode_ = classCode ? *classCode : 0;
    blockSize_ = blockSize ? *blockSize : 0;
    name_ = name ? name : "";
    description_ = description ? description : "";
    return 1;
  }

  /// The selected legend's attribute structure and record; both stay owned
  /// by the pad (valid until its next attribute query, reload or close).
  virtual short sSetSelCLNAttInfo(CATT_STRU* structure, char* record, std::int32_t length) {
    structure_ = structure;
    const auto* bytes = reinterpret_cast<const unsigned char*>(record);
    record_.assign(bytes, bytes && length > 0 ? bytes + length : bytes);
    return 1;
  }

  /// The selected legend's graphic parameter record, prepared for drawing.
  virtual short sSetSelCLNPntInfo(PNT_INFOstruct* info) { return keep(info, point_); }
  virtual short sSetSelCLNLinInfo(LIN_INFOstruct* info) { return keep(info, line_); }
  virtual short sSetSelCLNRegInfo(REG_INFOstruct* info) { return keep(info, region_); }

  // What the members above kept.
  bool selected() const noexcept { return selected_; }
  int type() const noexcept { return type_; }
  std::int32_t classCode() const noexcept { return classCode_; }
  std::int32_t blockSize() const noexcept { return blockSize_; }
  const std::string& name() const noexcept { return name_; }
  const std::string& description() const noexcept { return description_; }
  const CATT_STRU* structure() const noexcept { return structure_; }
  const std::vector<unsigned char>& record() const noexcept { return record_; }
  const PNT_INFOstruct& point() const noexcept { return point_; }
  const LIN_INFOstruct& line() const noexcept { return line_; }
  const REG_INFOstruct& region() const noexcept { return region_; }

 private:
  template <typename Record>
  short keep(const Record* info, Record& into) {
    if (info) std::memcpy(&into, info, sizeof(Record));
    return 1;
  }

  bool selected_ = false;
  int type_ = -1;
  std::int32_t classCode_ = 0;
  std::int32_t blockSize_ = 0;
  std::string name_;
  std::string description_;
  CATT_STRU* structure_ = nullptr;
  std::vector<unsigned char> record_;
  PNT_INFOstruct point_{};
  LIN_INFOstruct line_{};
  REG_INFOstruct region_{};
};

#endif
