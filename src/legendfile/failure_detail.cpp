#include "legendfile/failure_detail.h"

#include <unistd.h>
#include <filesystem>
#include <system_error>

#include "legendfile/file_check.h"
#include "legendfile/translation.h"

namespace legend {

namespace {

/// @p pattern, translated, with @p value in place of its %d.
std::string withNumber(std::string_view pattern, std::int64_t value) {
  std::string text = translated(pattern);
  const auto slot = text.find("%d");
  if (slot != std::string::npos) text.replace(slot, 2, std::to_string(value));
  return text;
}

std::string unopenedReason(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status)) return translated(LEGEND_TR_NOOP("legend", "文件不存在。"));
  if (std::filesystem::is_directory(status)) return translated(LEGEND_TR_NOOP("legend", "这是一个文件夹,不是文件。"));
  if (::access(path.c_str(), R_OK) != 0) return translated(LEGEND_TR_NOOP("legend", "没有读取该文件的权限。"));
  return translated(LEGEND_TR_NOOP("legend", "文件无法读取。"));
}

std::string reasonFor(const Problem& problem, const std::string& path) {
  switch (problem.kind) {
    case ProblemKind::CannotOpen: return unopenedReason(path);
    case ProblemKind::BadHeader: return translated(LEGEND_TR_NOOP("legend", "文件开头不是图例文件的文件头。"));
    case ProblemKind::CountMissing: return translated(LEGEND_TR_NOOP("legend", "文件在图例个数之前就结束了。"));
    case ProblemKind::NegativeCount: return withNumber(LEGEND_TR_NOOP("legend", "图例个数为负数(%d)。"), problem.value);
    case ProblemKind::CountTooLarge:
      return withNumber(LEGEND_TR_NOOP("legend", "图例个数(%d)超过上限32767。"), problem.value);
    case ProblemKind::HeadsPastEnd: return translated(LEGEND_TR_NOOP("legend", "图例头记录超出了文件末尾。"));
    default: return {};
  }
}

}  // namespace

std::string loadFailureReason(const std::string& path) {
  const FileInspection inspection = inspectFile(path);
  // Only the problems of the file as a whole keep it from loading; a
  // damaged block spoils one legend.
  for (const Problem& problem : inspection.problems) {
    if (problem.legend < 0) return reasonFor(problem, path);
  }
  return {};
}

std::string failureDetail(LegendStatus status, const std::string& path) {
  if (path.empty()) return {};
  std::string detail = path;
  if (status == LegendStatus::CannotOpenLegendFile || status == LegendStatus::IllegalLegendFile) {
    const std::string reason = loadFailureReason(path);
    if (!reason.empty()) detail.append("\n").append(reason);
  }
  return detail;
}

}  // namespace legend
