// The plain-text commands: info and validate.

#include <iomanip>

#include "commands.h"
#include "legendfile/layout.h"
#include "legendfile/messages.h"

namespace clntool {

std::string_view typeName(std::int8_t type) noexcept {
  switch (type) {
    case static_cast<std::int8_t>(legend::LegendType::Point): return "point";
    case static_cast<std::int8_t>(legend::LegendType::Line): return "line";
    case static_cast<std::int8_t>(legend::LegendType::Region): return "region";
    default: return "unknown";
  }
}

void reportUnusable(const std::string& path, const legend::FileInspection& inspection, std::ostream& err) {
  const legend::LegendStatus status =
      inspection.readable ? legend::LegendStatus::IllegalLegendFile : legend::LegendStatus::CannotOpenLegendFile;
  err << path << ": " << legend::messages::text(status, path);
  // The file-level problem that stopped the inspection says why.
  for (const legend::Problem& problem : inspection.problems)
    if (problem.legend < 0) err << " (" << legend::describe(problem) << ')';
  err << '\n';
}

int runInfo(const std::string& path, std::ostream& out, std::ostream& err) {
  const legend::FileInspection inspection = legend::inspectFile(path);
  if (!inspection.readable || !inspection.legendFile) {
    reportUnusable(path, inspection, err);
    return kExitBadFile;
  }
  const auto line = [&out](std::string_view label) -> std::ostream& {
    return out << std::left << std::setw(18) << label;
  };
  line("file:") << path << '\n';
  line("file size:") << inspection.fileSize << " bytes\n";
  line("legends:") << inspection.count << '\n';
  line("  point:") << inspection.points << '\n';
  line("  line:") << inspection.lines << '\n';
  line("  region:") << inspection.regions << '\n';
  line("  unknown:") << inspection.unknown << '\n';
  line("data area offset:") << inspection.dataAreaOffset << '\n';
  line("data area size:") << inspection.blockBytes << " bytes in blocks, furthest block end " << inspection.dataAreaEnd
                          << '\n';
  if (inspection.problems.empty()) {
    line("problems:") << "none\n";
  } else {
    line("problems:") << inspection.problems.size() << '\n';
    for (const legend::Problem& problem : inspection.problems) out << "  " << legend::describe(problem) << '\n';
  }
  return kExitOk;
}

int runValidate(const std::string& path, std::ostream& out, std::ostream& err) {
  const legend::FileInspection inspection = legend::inspectFile(path);
  if (inspection.problems.empty() && inspection.legendFile) {
    out << "ok: " << inspection.count << " legends\n";
    return kExitOk;
  }
  for (const legend::Problem& problem : inspection.problems) err << path << ": " << legend::describe(problem) << '\n';
  return kExitBadFile;
}

}  // namespace clntool
