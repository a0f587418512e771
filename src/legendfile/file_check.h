#pragma once
// A full inspection of a legend file for the command line: every head and
// every block is parsed against the real file length, and everything a
// reader would stumble over is listed as a problem. The pad's loader is the
// cheap path; this is the thorough one.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "components/attstru/att_stru.h"
#include "legendfile/data_block.h"
#include "legendfile/status.h"

namespace legend {

enum class ProblemKind : std::uint8_t {
  CannotOpen,    ///< the file cannot be opened or read
  BadHeader,     ///< not "RQLF", 17504, '2', '>'
  CountMissing,  ///< the file ends before the legend count
  NegativeCount,
  CountTooLarge,  ///< above 32767
  HeadsPastEnd,   ///< the head records reach past the end of the file
  NegativeBlockSize,
  BlockPastEnd,          ///< the block reaches past the end of the file
  ParamsFillBlock,       ///< no room after the parameter record for S and R
  StructureSizeMissing,  ///< the block ends inside S
  NegativeStructureSize,
  StructurePastBlock,  ///< S reaches past the end of the block
  RecordSizeMissing,   ///< the block ends inside R
  NegativeRecordSize,
  RecordPastBlock,       ///< R reaches past the end of the block
  StructureDoesNotLoad,  ///< the S bytes are not a consistent attribute structure
  StructureSizeWrong,    ///< the structure loads but does not use exactly S bytes
  RecordLengthMismatch,  ///< R differs from the structure's record length
};

struct Problem {
  ProblemKind kind;
  std::int32_t legend = -1;  ///< legend index, -1 for the file as a whole
  std::int64_t value = 0;    ///< the offending number, where there is one
};

/// One legend as the inspection found it.
struct LegendCheck {
  std::int32_t index = 0;
  std::int8_t type = 0;
  std::uint64_t blockStart = 0;          ///< file offset of the block
  std::uint64_t blockAvailable = 0;      ///< bytes of the block inside the file
  BlockParts parts;                      ///< S and R as far as they could be read
  std::unique_ptr<CATT_STRU> structure;  ///< set when the structure loads
  std::vector<std::uint8_t> record;      ///< the attribute record when it lies in the block
};

struct FileInspection {
  bool readable = false;    ///< false: the file could not be opened
  bool legendFile = false;  ///< the pad would load it (header, count and heads sound)
  std::uint64_t fileSize = 0;
  std::int32_t count = 0;
  std::int32_t points = 0, lines = 0, regions = 0, unknown = 0;
  std::uint64_t dataAreaOffset = 0;
  std::uint64_t blockBytes = 0;   ///< sum of the positive block sizes
  std::uint64_t dataAreaEnd = 0;  ///< furthest block end, from the start of the data area
  std::vector<LegendCheck> legends;
  std::vector<Problem> problems;
};

/// Inspects the file at @p path. Never throws for a bad file.
FileInspection inspectFile(const std::string& path);

/// One line for the command line in the interface's language, e.g.
/// "图例3: 属性记录大小-4为负数".
std::string describe(const Problem& problem);

}  // namespace legend
