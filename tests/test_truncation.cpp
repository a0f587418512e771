// Every prefix of a sound legend file, loaded and inspected: the outcome is
// exact for each length, and nothing is read from beyond the real end.

#include <gtest/gtest.h>

#include <algorithm>

#include "legendfile/file_check.h"
#include "legendfile/legend_set.h"
#include "support/cln_builder.h"

namespace legend {
namespace {

using testcln::Bytes;
using testcln::block;
using testcln::params;

TEST(LegendFilePrefixes, EveryPrefixLoadsWithTheExactOutcomeForItsLength) {
  const Bytes pointRecord{7, 0, 0, 0, 'a', 'b', 0, 0, 0, 0};
  const std::vector<testcln::Legend> legends{
      {.type = 1, .block = block(params(1, 1), testcln::structure({{"code", 4, 4}, {"label", 1, 6}}), pointRecord)},
      {.type = 0, .block = block(params(0, 101))},
      {.type = 2, .block = block(params(2, 171), testcln::structure({{"id", 3, 2}}), {9, 0})},
      {.type = 3, .block = block({}, testcln::structure({{"flag", 2, 1}}), {0xAB})},
  };
  const std::int16_t fieldCounts[] = {2, 0, 1, 1};
  const Bytes records[] = {pointRecord, {}, {9, 0}, {0xAB}};
  constexpr std::size_t kDataArea = 16 + 4 * 333;
  std::size_t starts[4], ends[4];  // of each block in the file
  for (std::size_t i = 0, at = kDataArea; i < 4; at = ends[i++]) ends[i] = (starts[i] = at) + legends[i].block.size();
  const Bytes full = testcln::file(legends);
  ASSERT_EQ(ends[3], full.size());
  // Where the prefix ends decides the outcome of the load and the first
  // problem an inspection reports.
  struct Span {
    const char* name;
    std::size_t below;
    LegendStatus status;
    ProblemKind firstProblem;
  };
  const Span spans[] = {
      {"inside-the-marks", 8, LegendStatus::IllegalLegendFile, ProblemKind::BadHeader},
      {"inside-the-count", 16, LegendStatus::IllegalLegendFile, ProblemKind::CountMissing},
      {"inside-the-heads", kDataArea, LegendStatus::IllegalLegendFile, ProblemKind::HeadsPastEnd},
      {"inside-the-data-area", full.size() + 1, LegendStatus::Ok, ProblemKind::BlockPastEnd},
  };
  testcln::TempDir dir;
  const std::string path = (dir / "prefix.CLN").string();
  LegendSet set;
  for (std::size_t length = 0; length <= full.size(); ++length) {
    const Span& span =
        *std::find_if(std::begin(spans), std::end(spans), [&](const Span& s) { return length < s.below; });
    SCOPED_TRACE(std::string(span.name) + ", prefix of " + std::to_string(length) + " bytes");
    testcln::write(path, Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length)));
    ASSERT_EQ(set.setNewFile(path), span.status);
    const FileInspection report = inspectFile(path);
    if (span.status != LegendStatus::Ok) {
      EXPECT_TRUE(set.empty());
      EXPECT_FALSE(report.legendFile);
      ASSERT_EQ(report.problems.size(), 1u);
      EXPECT_EQ(report.problems[0].kind, span.firstProblem);
      continue;
    }
    ASSERT_EQ(set.count(), 4);
    EXPECT_TRUE(report.legendFile);
    std::vector<std::int32_t> cutBlocks, reported;
    for (std::int32_t i = 0; i < 4; ++i) {
      SCOPED_TRACE("legend " + std::to_string(i));
      const auto at = static_cast<std::size_t>(i);
      const bool cut = ends[at] > length;
      if (cut) cutBlocks.push_back(i);
      // The parameter record holds what the prefix has of it, zeros after.
      const std::size_t p = testcln::paramBytes(legends[at].type);
      Bytes expected(p, 0);
      for (std::size_t k = 0; k < p && starts[at] + k < length; ++k) expected[k] = full[starts[at] + k];
      Bytes got(p, 0xCC);
      const std::int16_t copied = i == 0   ? set.getPointInfo(got.data(), i)
                                  : i == 1 ? set.getLineInfo(got.data(), i)
                                  : i == 2 ? set.getRegionInfo(got.data(), i)
                                           : 0;
      EXPECT_EQ(copied, p > 0 ? 1 : 0);
      EXPECT_EQ(got, expected);
      // The attribute data are there only when the prefix holds all of the block.
      AttributeInfo info;
      const LegendStatus status = set.getAttributeInfo(i, info);
      if (cut) {
        EXPECT_EQ(status, LegendStatus::AttributeDataDamaged);
        EXPECT_EQ(info.structure, nullptr);
        continue;
      }
      ASSERT_EQ(status, LegendStatus::Ok);
      EXPECT_EQ(info.structure->FieldCount(), fieldCounts[at]);
      EXPECT_EQ(Bytes(info.record, info.record + info.length), records[at]);
    }
    for (const Problem& problem : report.problems) {
      EXPECT_EQ(problem.kind, ProblemKind::BlockPastEnd);
      reported.push_back(problem.legend);
    }
    EXPECT_EQ(reported, cutBlocks);
    if (HasFailure()) break;  // one failing length says enough
  }
}

}  // namespace
}  // namespace legend
