#ifndef LEGEND_MAP_PROJECT_H
#define LEGEND_MAP_PROJECT_H
/**
 * @file map_project.h
 * MapProject, the object through which a pad hands the host the legend the
 * user selects. C++ only; header-only, so host and library agree on the
 * class without exporting it.
 */

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "legend/records.h"

class CATT_STRU;

/**
 * The host's project object: a pad hands it the legend the user selects.
 *
 * A host derives from MapProject and overrides the members it cares about;
 * the members here keep a copy of what they are given, so a host can also
 * use the class as it is and read the selection back with the accessors.
 *
 * On each selection the pad calls sSetSelCLNHeadInfo, then
 * sSetSelCLNAttInfo when the legend has attributes, then the one of
 * sSetSelCLNPntInfo, sSetSelCLNLinInfo and sSetSelCLNRegInfo that matches
 * the legend's type. It calls them on the GUI thread, before it sends
 * WM_LEGEND_SELECTED to its owner, and ignores their results. The pad does
 * not own the object; it must outlive the pad.
 */
class MapProject {
 public:
  virtual ~MapProject() = default;

  /**
   * Called with 0 when the selection is cleared and when the pad closes.
   * @param flag 0: no legend is selected any more.
   * @return ignored by the pad; 1 here.
   */
  virtual short sSetSelCLNFlg(short flag) {
    selected_ = flag != 0;
    return 1;
  }

  /**
   * The selected legend's head record. Every pointer is valid during the
   * call only and stays the pad's.
   * @param type        the type byte: 0 line, 1 point, 2 region.
   * @param classCode   the legend's class code.
   * @param reserved    always NULL.
   * @param blockSize   size of the legend's data block in bytes.
   * @param name        the name, GBK, NUL-terminated (at most 128 bytes).
   * @param description the description, GBK, NUL-terminated (at most 128
   *                    bytes).
   * @return ignored by the pad; 1 here.
   */
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

  /**
   * The selected legend's attributes; not called for a legend without
   * attributes.
   * @param structure the attribute structure, owned by the pad: valid until
   *                  its next GetCLNAttInfo, reload, SetNewCLNFile or close.
   * @param record    the attribute record bytes, owned by the pad with the
   *                  same lifetime.
   * @param length    bytes in @p record.
   * @return ignored by the pad; 1 here.
   */
  virtual short sSetSelCLNAttInfo(CATT_STRU* structure, char* record, std::int32_t length) {
    structure_ = structure;
    const auto* bytes = reinterpret_cast<const unsigned char*>(record);
    record_.assign(bytes, bytes && length > 0 ? bytes + length : bytes);
    return 1;
  }

  /**
   * The selected point legend's graphic parameter record, prepared for
   * drawing.
   * @param info the record (94 bytes), valid during the call only.
   * @return ignored by the pad; 1 here.
   */
  virtual short sSetSelCLNPntInfo(PNT_INFOstruct* info) { return keep(info, point_); }
  /**
   * As sSetSelCLNPntInfo, for a line legend.
   * @param info the record (67 bytes), valid during the call only.
   * @return ignored by the pad; 1 here.
   */
  virtual short sSetSelCLNLinInfo(LIN_INFOstruct* info) { return keep(info, line_); }
  /**
   * As sSetSelCLNPntInfo, for a region legend.
   * @param info the record (63 bytes), valid during the call only.
   * @return ignored by the pad; 1 here.
   */
  virtual short sSetSelCLNRegInfo(REG_INFOstruct* info) { return keep(info, region_); }

  // What the members above kept.
  /// @return whether a legend is selected: false after sSetSelCLNFlg(0).
  bool selected() const noexcept { return selected_; }
  /// @return the selected legend's type byte, sign-extended; -1 before any.
  int type() const noexcept { return type_; }
  /// @return the selected legend's class code.
  std::int32_t classCode() const noexcept { return classCode_; }
  /// @return the selected legend's data block size in bytes.
  std::int32_t blockSize() const noexcept { return blockSize_; }
  /// @return the selected legend's name, GBK bytes.
  const std::string& name() const noexcept { return name_; }
  /// @return the selected legend's description, GBK bytes.
  const std::string& description() const noexcept { return description_; }
  /// @return the pad's attribute structure, valid as long as sSetSelCLNAttInfo says; NULL before any.
  const CATT_STRU* structure() const noexcept { return structure_; }
  /// @return a copy of the last attribute record.
  const std::vector<unsigned char>& record() const noexcept { return record_; }
  /// @return a copy of the last point record.
  const PNT_INFOstruct& point() const noexcept { return point_; }
  /// @return a copy of the last line record.
  const LIN_INFOstruct& line() const noexcept { return line_; }
  /// @return a copy of the last region record.
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
