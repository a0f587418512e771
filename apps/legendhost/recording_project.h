#pragma once
// The host's project object: a MapProject that writes down every call the
// pad makes on it, arguments and all, before keeping what it is given as the
// base class does.

#include <functional>
#include <string>

#include "legend/map_project.h"

class RecordingProject : public MapProject {
 public:
  /// Receives one line per call: the member's name, then its arguments
  /// separated by spaces (texts as UTF-8, records as hex bytes).
  using Sink = std::function<void(const std::string& line)>;
  explicit RecordingProject(Sink sink) : sink_(std::move(sink)) {}

  short sSetSelCLNFlg(short flag) override;
  short sSetSelCLNHeadInfo(char* type, std::int32_t* classCode, char* reserved, std::int32_t* blockSize, char* name,
                           char* description) override;
  short sSetSelCLNAttInfo(CATT_STRU* structure, char* record, std::int32_t length) override;
  short sSetSelCLNPntInfo(PNT_INFOstruct* info) override;
  short sSetSelCLNLinInfo(LIN_INFOstruct* info) override;
  short sSetSelCLNRegInfo(REG_INFOstruct* info) override;

 private:
  Sink sink_;
};
