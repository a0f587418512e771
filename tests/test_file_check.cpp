// The thorough inspection behind the command line: each kind of damage is
// found in a file crafted to have exactly that damage. A bad header, a
// missing count and that a sound file has no problems are checked with every
// prefix of one (test_truncation.cpp).

#include "legendfile/file_check.h"

#include <gtest/gtest.h>

#include "support/cln_builder.h"

namespace legend {
namespace {

using testcln::Bytes;
using testcln::block;
using testcln::params;

const Bytes kStructure = testcln::structure({{"code", 4, 4}, {"label", 1, 6}});
const Bytes kRecord(10, 0x31);

/// A sound region legend followed by a point legend with @p pointBlock,
/// stored with block size @p blockSize (-1: the block's length).
Bytes afterASoundLegend(Bytes pointBlock, std::int64_t blockSize = -1) {
  return testcln::file({{.name = "sound", .type = 2, .block = block(params(2, 0), kStructure, kRecord)},
                        {.name = "faulty", .type = 1, .block = std::move(pointBlock), .blockSize = blockSize}});
}
/// A point block without attributes whose 32-bit word at @p at is @p value.
Bytes pointBlockWith(std::size_t at, std::int32_t value) {
  Bytes b = block(params(1, 0));
  testcln::put32At(b, at, static_cast<std::uint32_t>(value));
  return b;
}

TEST(InspectFile, FindsEachKindOfDamageWhereItIs) {
  const Bytes p = params(1, 0);
  Bytes padded = kStructure;
  padded.insert(padded.end(), {0, 0, 0});
  struct Row {
    const char* name;
    Bytes file;
    ProblemKind kind;
    std::int32_t legend;
    std::int64_t value;
  };
  const Row rows[] = {
      {"negative-count", testcln::file({}, -5), ProblemKind::NegativeCount, -1, -5},
      {"count-at-limit", testcln::file({}, 32767), ProblemKind::HeadsPastEnd, -1, 16 + 32767 * 333},
      {"count-above-limit", testcln::file({}, 32768), ProblemKind::CountTooLarge, -1, 32768},
      {"negative-block-size", afterASoundLegend(block(p), -3), ProblemKind::NegativeBlockSize, 1, -3},
      {"block-past-end", afterASoundLegend(block(p), 500), ProblemKind::BlockPastEnd, 1, 500},
      {"parameters-fill-the-block", afterASoundLegend(p), ProblemKind::ParamsFillBlock, 1, 94},
      {"block-ends-inside-S", afterASoundLegend(Bytes(96, 1)), ProblemKind::StructureSizeMissing, 1, 96},
      {"negative-S", afterASoundLegend(pointBlockWith(94, -1)), ProblemKind::NegativeStructureSize, 1, -1},
      {"S-past-block", afterASoundLegend(pointBlockWith(94, 50)), ProblemKind::StructurePastBlock, 1, 50},
      {"structure-does-not-load", afterASoundLegend(block(p, Bytes(12, 'X'))), ProblemKind::StructureDoesNotLoad, 1,
       12},
      {"structure-shorter-than-S", afterASoundLegend(block(p, padded, kRecord)), ProblemKind::StructureSizeWrong, 1,
       static_cast<std::int64_t>(kStructure.size())},
      {"record-length-differs", afterASoundLegend(block(p, kStructure, Bytes(4, 0))), ProblemKind::RecordLengthMismatch,
       1, 10},
  };
  testcln::TempDir dir;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    testcln::write(dir / "f.CLN", row.file);
    const FileInspection report = inspectFile((dir / "f.CLN").string());
    EXPECT_EQ(report.legendFile, row.legend >= 0);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].kind, row.kind);
    EXPECT_EQ(report.problems[0].legend, row.legend);
    EXPECT_EQ(report.problems[0].value, row.value);
  }
  const FileInspection missing = inspectFile((dir / "missing.CLN").string());
  EXPECT_FALSE(missing.readable);
  ASSERT_EQ(missing.problems.size(), 1u);
  EXPECT_EQ(missing.problems[0].kind, ProblemKind::CannotOpen);
}

}  // namespace
}  // namespace legend
