#include "legendfile/file_check.h"

#include <algorithm>
#include <span>

#include "legendfile/byte_order.h"
#include "legendfile/file_io.h"
#include "legendfile/head_record.h"
#include "legendfile/header.h"
#include "legendfile/layout.h"

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
  std::string text;
  switch (problem.kind) {
    case ProblemKind::CannotOpen: text = "the file cannot be opened"; break;
    case ProblemKind::BadHeader: text = "not a legend file (bad header)"; break;
    case ProblemKind::CountMissing: text = "the file ends after " + v + " bytes, before the legend count"; break;
    case ProblemKind::NegativeCount: text = "legend count " + v + " is negative"; break;
    case ProblemKind::CountTooLarge: text = "legend count " + v + " is above 32767"; break;
    case ProblemKind::HeadsPastEnd: text = "head records reach past the end of the file (to offset " + v + ")"; break;
    case ProblemKind::NegativeBlockSize: text = "block size " + v + " is negative"; break;
    case ProblemKind::BlockPastEnd: text = "block of " + v + " bytes reaches past the end of the file"; break;
    case ProblemKind::ParamsFillBlock: text = "block of " + v + " bytes has no room for an attribute part"; break;
    case ProblemKind::StructureSizeMissing: text = "block ends inside the attribute structure size"; break;
    case ProblemKind::NegativeStructureSize: text = "attribute structure size " + v + " is negative"; break;
    case ProblemKind::StructurePastBlock:
      text = "attribute structure size " + v + " reaches past the end of the block";
      break;
    case ProblemKind::RecordSizeMissing: text = "block ends inside the attribute record size"; break;
    case ProblemKind::NegativeRecordSize: text = "attribute record size " + v + " is negative"; break;
    case ProblemKind::RecordPastBlock:
      text = "attribute record size " + v + " reaches past the end of the block";
      break;
    case ProblemKind::StructureDoesNotLoad: text = "attribute structure of " + v + " bytes does not load"; break;
    case ProblemKind::StructureSizeWrong: text = "attribute structure uses " + v + " bytes, not its stored size"; break;
    case ProblemKind::RecordLengthMismatch:
      text = "attribute record size differs from the structure's record length " + v;
      break;
  }
  if (problem.legend >= 0) return "legend " + std::to_string(problem.legend) + ": " + text;
  return text;
}

}  // namespace legend
