// The pad's legend set: loading, the display list, the queries the host
// makes, the tip text, and what a load does to the edits made before it.

#include "legendfile/legend_set.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <filesystem>

#include "legendfile/gbk_codec.h"
#include "support/cln_builder.h"

namespace legend {
namespace {

using testcln::Bytes;
using testcln::block;
using testcln::params;
using Indices = std::vector<std::int32_t>;

/// Ten-byte records: an int32 "code" and a six-byte text "label".
const Bytes kStructure = testcln::structure({{"code", 4, 4}, {"label", 1, 6}});
const Bytes kRecord{1, 0, 0, 0, 'r', 'o', 'a', 'd', 0, 0};

/// Region, point, line, point: file order differs from display order. The
/// second point legend has attributes.
std::vector<testcln::Legend> mixedLegends() {
  return {{.type = 2, .block = block(params(2, 10))},
          {.type = 1, .block = block(params(1, 20))},
          {.name = "line", .type = 0, .block = block(params(0, 30))},
          {.type = 1, .block = block(params(1, 40), kStructure, kRecord)}};
}

class PadLegendSet : public ::testing::Test {
 protected:
  std::string put(const Bytes& bytes, const std::string& name = "set.CLN") {
    testcln::write(dir_ / name, bytes);
    return (dir_ / name).string();
  }
  LegendStatus open(const Bytes& bytes, const std::string& name = "set.CLN") {
    return set_.setNewFile(put(bytes, name));
  }
  Indices display() const { return {set_.displayList().begin(), set_.displayList().end()}; }

  testcln::TempDir dir_;
  LegendSet set_;
};

TEST_F(PadLegendSet, RefusesAnythingButASoundLegendFileAndEndsUpEmpty) {
  // Short files are the truncation test's; these are the header and count rules.
  const Bytes good = testcln::file({{.type = 1, .block = block(params(1, 1))}});
  const auto headsOnly = [](std::int32_t n) {  // n zeroed heads: line legends whose blocks lie past the end
    Bytes bytes = testcln::file({}, n);
    bytes.resize(16 + 333 * static_cast<std::size_t>(n), 0);
    return bytes;
  };
  struct Row {
    std::string name;
    Bytes bytes;
    LegendStatus status;
    std::int32_t count;
  };
  std::vector<Row> rows{
      {"odd-bytes-after-the-marks", good, LegendStatus::Ok, 1},
      {"no-legends", testcln::file({}), LegendStatus::Ok, 0},
      {"negative-count", testcln::file({}, -1), LegendStatus::IllegalLegendFile, 0},
      {"most-legends", headsOnly(32767), LegendStatus::Ok, 32767},
      {"count-above-limit", headsOnly(32768), LegendStatus::IllegalLegendFile, 0},
  };
  std::memcpy(rows[0].bytes.data() + 8, "\xAA\xBB\xCC\xDD", 4);
  for (std::size_t k = 0; k < 8; ++k) {
    rows.push_back({"header-byte-" + std::to_string(k), good, LegendStatus::IllegalLegendFile, 0});
    rows.back().bytes[k] ^= 0x01;
  }
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_EQ(open(good, "good.CLN"), LegendStatus::Ok);
    EXPECT_EQ(open(row.bytes), row.status);
    EXPECT_EQ(set_.count(), row.count);
    EXPECT_EQ(set_.displayCount(), row.count);
  }
  EXPECT_EQ(set_.setNewFile((dir_ / "missing.CLN").string()), LegendStatus::CannotOpenLegendFile);
  EXPECT_EQ(set_.setNewFile(dir_.path().string()), LegendStatus::CannotOpenLegendFile);
  EXPECT_TRUE(set_.empty());
}

TEST_F(PadLegendSet, ShowsPointsThenLinesThenRegionsAndKeepsAHiddenSelectionByIndex) {
  auto legends = mixedLegends();
  legends.push_back({.type = 3, .block = block({})});  // never shown
  ASSERT_EQ(open(testcln::file(legends)), LegendStatus::Ok);
  EXPECT_EQ(display(), (Indices{1, 3, 2, 0}));
  set_.selectPosition(1);  // index 3, a point legend
  struct Row {
    const char* name;
    bool points, lines, regions;
    Indices shown;
    std::int32_t position;
  };
  const Row rows[] = {{"points-hidden", false, true, true, {2, 0}, -1},
                      {"only-points-shown-again", true, false, false, {1, 3}, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    set_.setShowPoints(row.points);
    set_.setShowLines(row.lines);
    set_.setShowRegions(row.regions);
    set_.rebuildDisplayList();
    EXPECT_EQ(display(), row.shown);
    EXPECT_EQ(set_.selectedPosition(), row.position);
    EXPECT_EQ(set_.selectedIndex(), 3);
  }
  set_.setModified(true);
  ASSERT_EQ(set_.reload(), LegendStatus::Ok);
  EXPECT_EQ(display(), (Indices{1, 3}));  // the filters outlive a reload
  EXPECT_EQ(set_.selectedIndex(), -1);
  EXPECT_EQ(set_.selectedPosition(), -1);
  EXPECT_FALSE(set_.modified()) << "the flag describes the set just loaded";
}

TEST_F(PadLegendSet, ReadsRecordsFromFilesDominatedByAttributeDataToo) {
  // Attribute records far larger than the loader's window leave every
  // record in a piece of its own; blocks out of file order and a block past
  // the end must come out the same.
  const Bytes big(1536 * 1024, 0x5A);
  const Bytes bytes = testcln::file({{.type = 0, .block = block(params(0, 70), {}, big), .blockOffset = 1600 * 1024},
                                     {.type = 1, .block = block(params(1, 80), {}, big), .blockOffset = 0},
                                     {.type = 2, .block = block(params(2, 90)), .blockOffset = 4u << 20}});
  Bytes cut = bytes;
  cut.resize(16 + 3 * 333 + (4u << 20) + 20);  // the region's record ends past the end of the file
  ASSERT_EQ(open(cut), LegendStatus::Ok);
  std::array<std::uint8_t, 94> out{};
  ASSERT_EQ(set_.getLineInfo(out.data(), 0), 1);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 67, params(0, 70).begin()));
  ASSERT_EQ(set_.getPointInfo(out.data(), 1), 1);
  EXPECT_TRUE(std::equal(out.begin(), out.end(), params(1, 80).begin()));
  ASSERT_EQ(set_.getRegionInfo(out.data(), 2), 1);
  const Bytes region = params(2, 90);
  EXPECT_TRUE(std::equal(out.begin(), out.begin() + 20, region.begin()));
  EXPECT_TRUE(std::all_of(out.begin() + 20, out.begin() + 63, [](std::uint8_t b) { return b == 0; }));
  AttributeInfo info;
  EXPECT_EQ(set_.getAttributeInfo(1, info), LegendStatus::AttributeSizeMismatch);  // no structure, big record
}

TEST_F(PadLegendSet, RecordQueriesUseThePerTypePositionWhateverTheLegendsType) {
  auto legends = mixedLegends();
  legends.push_back({.type = -2, .block = block({})});
  legends[1].reserved = Bytes(64, 0x5C);
  const Bytes file = testcln::file(legends);
  ASSERT_EQ(open(file), LegendStatus::Ok);
  const std::int16_t types[] = {-1, 2, 1, 0, 1, -2, -1};  // sign-extended; -1 outside
  for (std::int32_t i = -1; i < 6; ++i) EXPECT_EQ(set_.getType(i), types[i + 1]) << i;
  // The line legend asking for points gets the first point record; the
  // second point legend asking for lines gets nothing, as there is one line.
  Bytes out(100, 0xAA), want = params(1, 20), head(333);
  want.resize(100, 0xAA);
  EXPECT_EQ(set_.getPointInfo(out.data(), 2), 1);
  EXPECT_EQ(out, want);
  EXPECT_EQ(set_.getLineInfo(out.data(), 3), 0);
  EXPECT_EQ(set_.getRegionInfo(out.data(), 4), 0);  // an unknown type
  EXPECT_EQ(set_.getPointInfo(out.data(), -1), 0);
  EXPECT_EQ(set_.getRegionInfo(nullptr, 0), 0);
  ASSERT_EQ(set_.getHeadInfo(head.data(), 1), 1);
  EXPECT_EQ(head, Bytes(file.begin() + 16 + 333, file.begin() + 16 + 666));
  EXPECT_EQ(set_.getHeadInfo(head.data(), 5), 0);
}

TEST_F(PadLegendSet, AttributeQueryFindsStructureAndRecordThroughTheHeadAndChecksThemAgainstTheFile) {
  const Bytes p = params(1, 7);
  Bytes negativeS = block(p);
  testcln::put32At(negativeS, 94, UINT32_MAX);
  Bytes padded = kStructure;
  padded.insert(padded.end(), {0xEE, 0xEE, 0xEE});
  const LegendStatus ok = LegendStatus::Ok, damaged = LegendStatus::AttributeDataDamaged;
  // The legend asked about follows another; its block ends the file unless
  // the offset is overridden. Blocks cut by the end of the file are the
  // truncation test's.
  struct Row {
    const char* name;
    Bytes block;
    LegendStatus status;
    Bytes record;
    std::int64_t offset = -1;
  };
  const Row rows[] = {
      {"structure-shorter-than-S", block(p, padded, kRecord), ok, kRecord},
      {"structure-does-not-load", block(p, Bytes(12, 'X')), ok, {}},
      {"record-length-differs", block(p, kStructure, Bytes(4, 1)), LegendStatus::AttributeSizeMismatch, {}},
      {"negative-S", negativeS, damaged, {}},
      {"block-offset-max", {}, damaged, {}, UINT32_MAX},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Bytes file = testcln::file(
        {{.type = 2, .block = block(params(2, 3), kStructure, kRecord)}, {.block = row.block, .blockSize = 200}});
    if (row.offset >= 0) testcln::put32At(file, 16 + 333 + 257, static_cast<std::uint32_t>(row.offset));
    ASSERT_EQ(open(file), LegendStatus::Ok);
    CATT_STRU stale;
    AttributeInfo info{&stale, padded.data(), 77};
    EXPECT_EQ(set_.getAttributeInfo(1, info), row.status);
    if (row.status != ok) {
      EXPECT_TRUE(info.structure == nullptr && info.record == nullptr && info.length == 0);
      continue;
    }
    ASSERT_NE(info.structure, nullptr);
    EXPECT_EQ(info.structure->FieldCount(), row.record.empty() ? 0 : 2);
    EXPECT_EQ(info.record == nullptr, row.record.empty());
    EXPECT_EQ(info.record ? Bytes(info.record, info.record + info.length) : Bytes(), row.record);
  }
}

TEST_F(PadLegendSet, ATooLongPathChangesNothingNotEvenTheHeldAttributeData) {
  const std::string first = put(testcln::file(mixedLegends()));
  ASSERT_EQ(set_.setNewFile(first), LegendStatus::Ok);
  AttributeInfo info;
  EXPECT_EQ(set_.getAttributeInfo(4, info), LegendStatus::NoSuchLegend);
  ASSERT_EQ(set_.getAttributeInfo(3, info), LegendStatus::Ok);
  set_.selectPosition(1);
  EXPECT_EQ(set_.setNewFile(std::string(260, 'x')), LegendStatus::PathTooLong);
  EXPECT_EQ(set_.setPath(std::string(260, 'x')), LegendStatus::PathTooLong);
  EXPECT_EQ(set_.path(), first);
  EXPECT_EQ(set_.count(), 4);
  EXPECT_EQ(set_.selectedIndex(), 3);
  // Still valid, as it stays until the next query, reload or new file; the
  // address sanitizer would report a use after free.
  EXPECT_EQ(info.structure->FieldCount(), 2);
  EXPECT_EQ(Bytes(info.record, info.record + info.length), kRecord);
  std::filesystem::remove(first);
  EXPECT_EQ(set_.getAttributeInfo(3, info), LegendStatus::CannotOpenForAttributes);
  EXPECT_EQ(set_.setPath(std::string(259, 'x')), LegendStatus::Ok);
}

TEST_F(PadLegendSet, TipTextIsSixGbkLinesForTheDisplayPosition) {
  const auto gbk = [](std::string_view utf8) { return gbk::fromUtf8(utf8).value(); };
  std::vector<testcln::Legend> legends{
      {.type = 2, .block = block(params(2, 0))},
      {.name = gbk("道路"),
       .description = gbk("国道"),
       .type = 1,
       .classCode = -7,
       .block = block(params(1, 0)),
       .blockSize = 1234},
      {.type = 0, .block = block(params(0, 0))},
  };
  Bytes file = testcln::file(legends);
  std::memset(file.data() + 16 + 2 * 333, 'N', 128);  // a name filling its whole field, no NUL
  ASSERT_EQ(open(file), LegendStatus::Ok);
  EXPECT_EQ(set_.tipText(0), gbk("序号:0\n类型:点图例\n名称:道路\n描述:国道\n分类码:-7\n大小:1234字节"));
  // A name without its NUL is cut to 127 bytes.
  EXPECT_NE(set_.tipText(1).find(gbk("类型:线图例\n名称:") + std::string(127, 'N') + "\n"), std::string::npos);
  EXPECT_EQ(set_.tipText(3), "");
  set_.setShowRegions(false);
  set_.rebuildDisplayList();
  EXPECT_EQ(set_.tipText(2), "");
}

}  // namespace
}  // namespace legend
