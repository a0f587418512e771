#include "legendfile/messages.h"

namespace legend::messages {

namespace {

std::string_view pattern(LegendStatus status) {
  switch (status) {
    case LegendStatus::Ok:
    case LegendStatus::NoSuchLegend: return {};
    case LegendStatus::PathTooLong: return "图例文件路径太长(超过259字节),无法使用!\n%s";
    case LegendStatus::CannotOpenLegendFile: return "读取图例,打不开图例文件!";
    case LegendStatus::IllegalLegendFile: return "图例文件非法,无法打开!";
    case LegendStatus::CannotOpenForAttributes: return "打不开文件,读取图例属性信息失败!";
    case LegendStatus::AttributeSizeMismatch: return "取图例属性内容不匹配:大小不一样!";
    case LegendStatus::AttributeDataDamaged: return "图例属性数据已损坏,读取图例属性信息失败!";
    case LegendStatus::CannotOpenWritable: return "保存图例,打开可写的文件失败!";
    case LegendStatus::CannotOpenSource: return "打不开源文件!\n%s";
    case LegendStatus::CannotOpenCopyTarget: return "无法打开另存的文件\n%s";
    case LegendStatus::WriteFailed: return "保存图例文件失败,原文件未被改动!\n%s";
    case LegendStatus::WriteFailedBackupKept: return "保存图例失败,原文件的内容保存在:%s";
    case LegendStatus::SaveUnconfirmed: return "图例文件已写入,但未能确认已存入磁盘!\n%s";
    case LegendStatus::FileChangedElsewhere:
      return "图例文件已在别处被修改,图例板上的修改未写入,以免破坏它!\n可用'另存'保存这些修改.\n%s";
  }
  return {};
}

}  // namespace

std::string text(LegendStatus status, std::string_view path) {
  const std::string_view p = pattern(status);
  const auto slot = p.find("%s");
  if (slot == std::string_view::npos) return std::string(p);
  std::string out;
  out.reserve(p.size() + path.size());
  out.append(p.substr(0, slot)).append(path).append(p.substr(slot + 2));
  return out;
}

}  // namespace legend::messages
