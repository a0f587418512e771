#include "recording_project.h"

#include <string>

#include "components/attstru/att_stru.h"
#include "legend_report.h"

namespace {

template <typename Record>
std::string recordArgument(const Record* info) {
  return info ? hexBytes(info->bytes, sizeof info->bytes) : "null";
}

}  // namespace

short RecordingProject::sSetSelCLNFlg(short flag) {
  sink_("sSetSelCLNFlg " + std::to_string(flag));
  return MapProject::sSetSelCLNFlg(flag);
}

short RecordingProject::sSetSelCLNHeadInfo(char* type, std::int32_t* classCode, char* reserved, std::int32_t* blockSize,
                                           char* name, char* description) {
  auto number = [](const auto* value) { return value ? std::to_string(*value) : std::string("null"); };
  const std::string typeText = type ? std::to_string(static_cast<signed char>(*type)) : "null";
  sink_("sSetSelCLNHeadInfo " + typeText + " " + number(classCode) + " " + number(blockSize) + " " + gbkToUtf8(name) +
        " " + gbkToUtf8(description));
  return MapProject::sSetSelCLNHeadInfo(type, classCode, reserved, blockSize, name, description);
}

short RecordingProject::sSetSelCLNAttInfo(CATT_STRU* structure, char* record, std::int32_t length) {
  const std::string fields = structure ? std::to_string(structure->FieldCount()) : "null";
  const std::string bytes =
      record ? hexBytes(reinterpret_cast<const unsigned char*>(record), length > 0 ? length : 0) : "null";
  sink_("sSetSelCLNAttInfo " + fields + " " + (bytes.empty() ? "-" : bytes) + " " + std::to_string(length));
  return MapProject::sSetSelCLNAttInfo(structure, record, length);
}

short RecordingProject::sSetSelCLNPntInfo(PNT_INFOstruct* info) {
  sink_("sSetSelCLNPntInfo " + recordArgument(info));
  return MapProject::sSetSelCLNPntInfo(info);
}

short RecordingProject::sSetSelCLNLinInfo(LIN_INFOstruct* info) {
  sink_("sSetSelCLNLinInfo " + recordArgument(info));
  return MapProject::sSetSelCLNLinInfo(info);
}

short RecordingProject::sSetSelCLNRegInfo(REG_INFOstruct* info) {
  sink_("sSetSelCLNRegInfo " + recordArgument(info));
  return MapProject::sSetSelCLNRegInfo(info);
}
