// Every prefix of a sound legend file, loaded and inspected: the outcome is
// exact for each length, and nothing is read from beyond the real end.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "legendfile/file_check.h"
#include "legendfile/legend_set.h"
#include "support/cln_builder.h"

namespace legend {
namespace {

using testcln::Bytes;

TEST(LegendFilePrefixes, EveryPrefixLoadsWithTheExactOutcomeForItsLength) {
  const Bytes pointStructure = testcln::structure({{"code", 4, 4}, {"label", 1, 6}});
  const Bytes regionStructure = testcln::structure({{"id", 3, 2}});
  const Bytes flagStructure = testcln::structure({{"flag", 2, 1}});
  const std::vector<testcln::Legend> legends{
      {.name = "point", .type = 1, .block = testcln::block(testcln::params(1, 1), pointStructure,
                                                           {7, 0, 0, 0, 'a', 'b', 0, 0, 0, 0})},
      {.name = "line", .type = 0, .block = testcln::block(testcln::params(0, 101))},
      {.name = "region", .type = 2, .block = testcln::block(testcln::params(2, 171), regionStructure, {9, 0})},
      {.name = "unknown", .type = 3, .block = testcln::block({}, flagStructure, {0xAB})},
  };
  const std::int16_t fieldCounts[] = {2, 0, 1, 1};
  const Bytes full = testcln::file(legends);
  constexpr std::size_t kDataArea = 16 + 4 * 333;

  // Where each legend's block and the parts of it lie in the full file.
  struct Part { std::size_t start, size, param; Bytes record; };
  std::vector<Part> parts;
  for (std::size_t at = kDataArea; const testcln::Legend& l : legends) {
    const std::size_t p = testcln::paramBytes(l.type);
    const std::size_t recordAt = p + 8 + testcln::get32At(l.block, p);
    parts.push_back({at, l.block.size(), p, Bytes(l.block.begin() + static_cast<std::ptrdiff_t>(recordAt),
                                                   l.block.end())});
    at += l.block.size();
  }
  ASSERT_EQ(parts.back().start + parts.back().size, full.size());

  // Where the prefix ends decides the outcome of the load and the first
  // problem an inspection reports.
  struct Span { const char* name; std::size_t below; LegendStatus status; ProblemKind firstProblem; };
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
    const Bytes prefix(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(length));
    testcln::write(path, prefix);

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
    std::vector<std::int32_t> cutBlocks;
    for (std::int32_t i = 0; i < 4; ++i) {
      SCOPED_TRACE("legend " + std::to_string(i));
      const Part& part = parts[static_cast<std::size_t>(i)];
      if (part.start + part.size > length) cutBlocks.push_back(i);

      // The parameter record holds what the prefix has of it, zeros after.
      Bytes expected(part.param, 0);
      for (std::size_t k = 0; k < part.param && part.start + k < length; ++k) expected[k] = full[part.start + k];
      Bytes got(part.param, 0xCC);
      const std::int16_t copied = i == 0 ? set.getPointInfo(got.data(), i)
                                  : i == 1 ? set.getLineInfo(got.data(), i)
                                  : i == 2 ? set.getRegionInfo(got.data(), i)
                                           : 0;
      EXPECT_EQ(copied, part.param > 0 ? 1 : 0);
      if (part.param > 0) {
        EXPECT_EQ(got, expected);
      }

      // The attribute part is there only when the prefix holds all of it.
      AttributeInfo info;
      const LegendStatus status = set.getAttributeInfo(i, info);
      if (part.start + part.size > length) {
        EXPECT_EQ(status, LegendStatus::AttributeDataDamaged);
        EXPECT_EQ(info.structure, nullptr);
        continue;
      }
      ASSERT_EQ(status, LegendStatus::Ok);
      EXPECT_EQ(info.structure->FieldCount(), fieldCounts[i]);
      EXPECT_EQ(Bytes(info.record, info.record + info.length), part.record);
    }
    std::vector<std::int32_t> reported;
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
