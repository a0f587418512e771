#include "legendfile/file_check.h"

#include <algorithm>
#include <span>

#include "legendfile/byte_order.h"
#include "legendfile/file_io.h"
#include "legendfile/head_record.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"
#include "legendfile/translation.h"

namespace legend {

namespace {

ProblemKind kindOf(BlockProblem problem) {
  switch (problem) {
    case BlockProblem::ParamsFillBlock: return ProblemKind::ParamsFillBlock;
    case BlockProblem::StructureSizeMissing: return ProblemKind::StructureSizeMissing;
    case BlockProblem::NegativeStructureSize: return ProblemKind::NegativeStructureSize;
    case BlockProblem::StructurePastEnd: return ProblemKind::StructurePastBlock;
    case BlockProblem::RecordSizeMissing: return ProblemKind::RecordSizeMissing;
    case BlockProblem::NegativeRecordSize: return ProblemKind::NegativeRecordSize;
    case BlockProblem::RecordPastEnd: return ProblemKind::RecordPastBlock;
    case BlockProblem::None: break;
  }
  return ProblemKind::ParamsFillBlock;
}

std::int64_t valueOf(BlockProblem problem, const BlockParts& parts, std::uint64_t blockSize) {
  switch (problem) {
    case BlockProblem::NegativeStructureSize:
    case BlockProblem::StructurePastEnd: return parts.structureSize;
    case BlockProblem::NegativeRecordSize:
    case BlockProblem::RecordPastEnd: return parts.recordSize;
    default: return static_cast<std::int64_t>(blockSize);
  }
}

void checkLegend(std::span<const std::uint8_t> file, std::uint64_t dataArea, HeadView head, LegendCheck& legend,
                 FileInspection& report) {
  const auto problem = [&](ProblemKind kind, std::int64_t value) {
    report.problems.push_back({kind, legend.index, value});
  };
  legend.type = head.type();
  legend.blockStart = dataArea + head.blockOffset();
  const std::int32_t blockSize = head.blockSize();
  if (blockSize < 0) {
    problem(ProblemKind::NegativeBlockSize, blockSize);
    return;
  }
  report.blockBytes += static_cast<std::uint64_t>(blockSize);
  report.dataAreaEnd =
      std::max<std::uint64_t>(report.dataAreaEnd, head.blockOffset() + static_cast<std::uint64_t>(blockSize));
  const std::uint64_t size = file.size();
  // Even an empty block must start inside the file (or right at its end).
  if (!fits_within(legend.blockStart, static_cast<std::uint64_t>(blockSize), size)) {
    legend.blockAvailable = legend.blockStart >= size ? 0 : size - legend.blockStart;
    problem(ProblemKind::BlockPastEnd, blockSize);
    return;
  }
  legend.blockAvailable = static_cast<std::uint64_t>(blockSize);
  const auto block = file.subspan(legend.blockStart, legend.blockAvailable);
  legend.parts = parseBlock(block, legend.type);
  if (legend.parts.problem != BlockProblem::None) {
    problem(kindOf(legend.parts.problem), valueOf(legend.parts.problem, legend.parts, legend.blockAvailable));
    return;
  }
  const auto recordBytes =
      block.subspan(legend.parts.recordOffset(), static_cast<std::size_t>(legend.parts.recordSize));
  legend.record.assign(recordBytes.begin(), recordBytes.end());
  auto structure = std::make_unique<CATT_STRU>();
  if (legend.parts.structureSize > 0) {
    const std::int32_t used =
        structure->Load(block.data() + legend.parts.structureOffset(), legend.parts.structureSize, 0);
    if (used < 0) {
      problem(ProblemKind::StructureDoesNotLoad, legend.parts.structureSize);
      return;
    }
    if (used != legend.parts.structureSize) problem(ProblemKind::StructureSizeWrong, used);
  }
  structure->CalSize();
  if (structure->RecordLength() != legend.parts.recordSize)
    problem(ProblemKind::RecordLengthMismatch, structure->RecordLength());
  legend.structure = std::move(structure);
}

}  // namespace

FileInspection inspectFile(const std::string& path) {
  FileInspection report;
  const auto file = ReadOnlyFile::open(path);
  if (!file) {
    report.problems.push_back({ProblemKind::CannotOpen});
    return report;
  }
  report.readable = true;
  const std::vector<std::uint8_t> bytes = file->readAll();
  report.fileSize = bytes.size();
  if (!isLegendHeader(bytes)) {
    report.problems.push_back({ProblemKind::BadHeader});
    return report;
  }
  if (bytes.size() < layout::kPreambleSize) {
    report.problems.push_back({ProblemKind::CountMissing, -1, static_cast<std::int64_t>(bytes.size())});
    return report;
  }
  const std::int32_t n = load_le<std::int32_t>(bytes, layout::kCountOffset);
  report.count = n;
  if (n < 0) {
    report.problems.push_back({ProblemKind::NegativeCount, -1, n});
    return report;
  }
  if (n > layout::kMaxLegends) {
    report.problems.push_back({ProblemKind::CountTooLarge, -1, n});
    return report;
  }
  report.dataAreaOffset = layout::data_area_offset(n);
  if (report.dataAreaOffset > bytes.size()) {
    report.problems.push_back({ProblemKind::HeadsPastEnd, -1, static_cast<std::int64_t>(report.dataAreaOffset)});
    return report;
  }
  report.legendFile = true;
  report.legends.resize(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const HeadView head(HeadBytes(bytes.data() + layout::head_offset(i), layout::kHeadRecordSize));
    switch (head.type()) {
      case static_cast<std::int8_t>(LegendType::Point): ++report.points; break;
      case static_cast<std::int8_t>(LegendType::Line): ++report.lines; break;
      case static_cast<std::int8_t>(LegendType::Region): ++report.regions; break;
      default: ++report.unknown; break;
    }
    LegendCheck& legend = report.legends[static_cast<std::size_t>(i)];
    legend.index = i;
    checkLegend(bytes, report.dataAreaOffset, head, legend, report);
  }
  return report;
}

std::string describe(const Problem& problem) {
  const std::string v = std::to_string(problem.value);
  const auto with = [&v](std::string_view pattern) { return translated(pattern, {v}); };
  std::string text;
  switch (problem.kind) {
    case ProblemKind::CannotOpen: text = translated(LEGEND_TR_NOOP("legend", "文件无法打开")); break;
    case ProblemKind::BadHeader: text = translated(LEGEND_TR_NOOP("legend", "不是图例文件(文件头不对)")); break;
    case ProblemKind::CountMissing: text = with(LEGEND_TR_NOOP("legend", "文件在%1字节后结束,没有图例个数")); break;
    case ProblemKind::NegativeCount: text = with(LEGEND_TR_NOOP("legend", "图例个数%1为负数")); break;
    case ProblemKind::CountTooLarge: text = with(LEGEND_TR_NOOP("legend", "图例个数%1超过32767")); break;
    case ProblemKind::HeadsPastEnd: text = with(LEGEND_TR_NOOP("legend", "头记录超出文件末尾(到偏移%1)")); break;
    case ProblemKind::NegativeBlockSize: text = with(LEGEND_TR_NOOP("legend", "数据块大小%1为负数")); break;
    case ProblemKind::BlockPastEnd: text = with(LEGEND_TR_NOOP("legend", "%1字节的数据块超出文件末尾")); break;
    case ProblemKind::ParamsFillBlock: text = with(LEGEND_TR_NOOP("legend", "%1字节的数据块没有属性部分的位置")); break;
    case ProblemKind::StructureSizeMissing:
      text = translated(LEGEND_TR_NOOP("legend", "数据块在属性结构大小之内结束"));
      break;
    case ProblemKind::NegativeStructureSize: text = with(LEGEND_TR_NOOP("legend", "属性结构大小%1为负数")); break;
    case ProblemKind::StructurePastBlock: text = with(LEGEND_TR_NOOP("legend", "属性结构大小%1超出数据块末尾")); break;
    case ProblemKind::RecordSizeMissing:
      text = translated(LEGEND_TR_NOOP("legend", "数据块在属性记录大小之内结束"));
      break;
    case ProblemKind::NegativeRecordSize: text = with(LEGEND_TR_NOOP("legend", "属性记录大小%1为负数")); break;
    case ProblemKind::RecordPastBlock: text = with(LEGEND_TR_NOOP("legend", "属性记录大小%1超出数据块末尾")); break;
    case ProblemKind::StructureDoesNotLoad: text = with(LEGEND_TR_NOOP("legend", "%1字节的属性结构无法读入")); break;
    case ProblemKind::StructureSizeWrong:
      text = with(LEGEND_TR_NOOP("legend", "属性结构用了%1字节,与存储的大小不符"));
      break;
    case ProblemKind::RecordLengthMismatch:
      text = with(LEGEND_TR_NOOP("legend", "属性记录大小与属性结构的记录长度%1不同"));
      break;
  }
  if (problem.legend >= 0)
    return translated(LEGEND_TR_NOOP("legend", "图例%1: %2"), {std::to_string(problem.legend), text});
  return text;
}

}  // namespace legend
