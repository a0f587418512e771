#include "legendfile/messages.h"

namespace legend::messages {

namespace {

std::string_view pattern(LegendStatus status) {
  switch (status) {
    case LegendStatus::Ok:
    case LegendStatus::NoSuchLegend: return {};
    case LegendStatus::PathTooLong: return LEGEND_TR_NOOP("legend", "图例文件路径太长(超过259字节),无法使用!\n%s");
    case LegendStatus::CannotOpenLegendFile: return LEGEND_TR_NOOP("legend", "读取图例,打不开图例文件!");
    case LegendStatus::IllegalLegendFile: return LEGEND_TR_NOOP("legend", "图例文件非法,无法打开!");
    case LegendStatus::CannotOpenForAttributes: return LEGEND_TR_NOOP("legend", "打不开文件,读取图例属性信息失败!");
    case LegendStatus::AttributeSizeMismatch: return LEGEND_TR_NOOP("legend", "取图例属性内容不匹配:大小不一样!");
    case LegendStatus::AttributeDataDamaged:
      return LEGEND_TR_NOOP("legend", "图例属性数据已损坏,读取图例属性信息失败!");
    case LegendStatus::CannotOpenWritable: return LEGEND_TR_NOOP("legend", "保存图例,打开可写的文件失败!");
    case LegendStatus::CannotOpenSource: return LEGEND_TR_NOOP("legend", "打不开源文件!\n%s");
    case LegendStatus::CannotOpenCopyTarget: return LEGEND_TR_NOOP("legend", "无法打开另存的文件\n%s");
    case LegendStatus::WriteFailed: return LEGEND_TR_NOOP("legend", "保存图例文件失败,原文件未被改动!\n%s");
    case LegendStatus::WriteFailedBackupKept: return LEGEND_TR_NOOP("legend", "保存图例失败,原文件的内容保存在:%s");
    case LegendStatus::SaveUnconfirmed: return LEGEND_TR_NOOP("legend", "图例文件已写入,但未能确认已存入磁盘!\n%s");
    case LegendStatus::FileChangedElsewhere:
      return LEGEND_TR_NOOP("legend", "图例文件已在别处被修改,图例板上的修改未写入,以免破坏它!\n%s");
    case LegendStatus::SourceChangedElsewhere:
      return LEGEND_TR_NOOP("legend", "图例文件已在别处被修改,其中的图例已不在图例板读到的位置,未另存!\n%s");
  }
  return {};
}

}  // namespace

std::string text(LegendStatus status, std::string_view path) {
  // The pattern is translated before the path goes in: the filled-in text
  // would match no translation.
  const std::string p = translated(pattern(status));
  const auto slot = p.find("%s");
  if (slot == std::string::npos) return p;
  std::string out;
  out.reserve(p.size() + path.size());
  out.append(p, 0, slot).append(path).append(p, slot + 2);
  return out;
}

bool namesFile(LegendStatus status) { return pattern(status).find("%s") != std::string_view::npos; }

}  // namespace legend::messages
