// The plain-text commands: info and validate.

#include <algorithm>
#include <string>

#include "commands.h"
#include "legendfile/layout.h"
#include "legendfile/messages.h"
#include "legendfile/translation.h"

namespace clntool {

namespace {

/// Columns @p utf8 takes in a terminal: two for each CJK character.
std::size_t displayWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    width += length >= 3 ? 2 : 1;
    i += length;
  }
  return width;
}

}  // namespace

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
  // The labels are padded to one column by display width: a CJK character
  // takes two columns of a terminal.
  const auto line = [&out](std::string_view label) -> std::ostream& {
    const std::string text = legend::translated(label);
    return out << text << std::string(std::max<std::size_t>(1, 18 - displayWidth(text)), ' ');
  };
  const auto bytes = [](std::uint64_t n) {
    return legend::translated(LEGEND_TR_NOOP("legend", "%1 字节"), {std::to_string(n)});
  };
  line(LEGEND_TR_NOOP("legend", "文件:")) << path << '\n';
  line(LEGEND_TR_NOOP("legend", "文件大小:")) << bytes(inspection.fileSize) << '\n';
  line(LEGEND_TR_NOOP("legend", "图例:")) << inspection.count << '\n';
  line(LEGEND_TR_NOOP("legend", "  点:")) << inspection.points << '\n';
  line(LEGEND_TR_NOOP("legend", "  线:")) << inspection.lines << '\n';
  line(LEGEND_TR_NOOP("legend", "  区:")) << inspection.regions << '\n';
  line(LEGEND_TR_NOOP("legend", "  未知:")) << inspection.unknown << '\n';
  line(LEGEND_TR_NOOP("legend", "数据区偏移:")) << inspection.dataAreaOffset << '\n';
  line(LEGEND_TR_NOOP("legend", "数据区大小:"))
      << legend::translated(LEGEND_TR_NOOP("legend", "数据块共%1字节,最远的数据块结束于%2"),
                            {std::to_string(inspection.blockBytes), std::to_string(inspection.dataAreaEnd)})
      << '\n';
  if (inspection.problems.empty()) {
    line(LEGEND_TR_NOOP("legend", "问题:")) << legend::translated(LEGEND_TR_NOOP("legend", "无")) << '\n';
  } else {
    line(LEGEND_TR_NOOP("legend", "问题:")) << inspection.problems.size() << '\n';
    for (const legend::Problem& problem : inspection.problems) out << "  " << legend::describe(problem) << '\n';
  }
  return kExitOk;
}

int runValidate(const std::string& path, std::ostream& out, std::ostream& err) {
  const legend::FileInspection inspection = legend::inspectFile(path);
  if (inspection.problems.empty() && inspection.legendFile) {
    out << legend::translated(LEGEND_TR_NOOP("legend", "完好: %1 个图例"), {std::to_string(inspection.count)}) << '\n';
    return kExitOk;
  }
  for (const legend::Problem& problem : inspection.problems) err << path << ": " << legend::describe(problem) << '\n';
  return kExitBadFile;
}

}  // namespace clntool
