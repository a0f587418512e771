// The pad's legend set: loading, the display list, the queries the host
// makes, the tip text and the save prompt.

#include "legendfile/legend_set.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/cln_builder.h"

#if defined(__SANITIZE_ADDRESS__)
#define LEGEND_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LEGEND_TEST_ASAN 1
#endif
#endif
#ifdef LEGEND_TEST_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace legend {
namespace {

using testcln::Bytes;
using testcln::block;
using testcln::params;

/// Ten-byte records: an int32 "code" and a six-byte text "label".
const Bytes kStructure = testcln::structure({{"code", 4, 4}, {"label", 1, 6}});
const Bytes kRecord{1, 0, 0, 0, 'r', 'o', 'a', 'd', 0, 0};

/// Region, point, line, point: file order differs from display order. The
/// second point legend has attributes.
std::vector<testcln::Legend> mixedLegends() {
  return {
      {.name = "region", .type = 2, .classCode = 10, .block = block(params(2, 10))},
      {.name = "point a", .type = 1, .classCode = 11, .block = block(params(1, 20))},
      {.name = "line", .type = 0, .classCode = 12, .block = block(params(0, 30))},
      {.name = "point b", .type = 1, .classCode = 13, .block = block(params(1, 40), kStructure, kRecord)},
  };
}

/// Whether @p p points into memory already given back (true) or still held
/// (false). Only ASan can tell, as it keeps freed memory poisoned for a
/// while; without it the checks below pass vacuously.
bool released([[maybe_unused]] const void* p, [[maybe_unused]] bool expected) {
#ifdef LEGEND_TEST_ASAN
  return __asan_address_is_poisoned(p) != 0;
#else
  return expected;
#endif
}
bool released(const void* p) { return released(p, true); }
bool held(const void* p) { return !released(p, false); }

class PadLegendSet : public ::testing::Test {
 protected:
  std::string put(const Bytes& bytes, const std::string& name = "set.CLN") {
    const std::string path = (dir_ / name).string();
    testcln::write(path, bytes);
    return path;
  }
  LegendStatus open(const Bytes& bytes, const std::string& name = "set.CLN") {
    return set_.setNewFile(put(bytes, name));
  }
  std::vector<std::int32_t> display() const { return {set_.displayList().begin(), set_.displayList().end()}; }

  testcln::TempDir dir_;
  LegendSet set_;
};

TEST_F(PadLegendSet, RefusesAnythingButASoundLegendFileAndEndsUpEmpty) {
  const Bytes good = testcln::file({{.name = "p", .type = 1, .block = block(params(1, 1))}});
  const auto headsOnly = [](std::int32_t n) {  // n zeroed heads: line legends whose blocks lie past the end
    Bytes bytes = testcln::file({}, n);
    bytes.resize(16 + 333 * static_cast<std::size_t>(n), 0);
    return bytes;
  };
  struct Row { std::string name; Bytes bytes; LegendStatus status; std::int32_t count; };
  std::vector<Row> rows{
      {"odd-bytes-after-the-marks", good, LegendStatus::Ok, 1},
      {"no-legends", testcln::file({}), LegendStatus::Ok, 0},
      {"cut-inside-the-count", Bytes(good.begin(), good.begin() + 15), LegendStatus::IllegalLegendFile, 0},
      {"negative-count", testcln::file({}, -1), LegendStatus::IllegalLegendFile, 0},
      {"most-legends", headsOnly(32767), LegendStatus::Ok, 32767},
      {"count-above-limit", headsOnly(32768), LegendStatus::IllegalLegendFile, 0},
      {"count-at-limit-without-heads", testcln::file({}, 32767), LegendStatus::IllegalLegendFile, 0},
      {"most-negative-count", testcln::file({}, INT32_MIN + 1), LegendStatus::IllegalLegendFile, 0},
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
    EXPECT_EQ(set_.getType(0), row.count > 0 ? static_cast<std::int8_t>(row.bytes[16 + 256]) : -1);
  }
  EXPECT_EQ(set_.setNewFile((dir_ / "missing.CLN").string()), LegendStatus::CannotOpenLegendFile);
  EXPECT_EQ(set_.setNewFile(dir_.path().string()), LegendStatus::CannotOpenLegendFile);
  EXPECT_TRUE(set_.empty());
}

TEST_F(PadLegendSet, ShowsPointsThenLinesThenRegionsAndKeepsAHiddenSelectionByIndex) {
  auto legends = mixedLegends();
  legends.push_back({.name = "unknown", .type = 3, .block = block({})});  // never shown
  ASSERT_EQ(open(testcln::file(legends)), LegendStatus::Ok);
  EXPECT_EQ(display(), (std::vector<std::int32_t>{1, 3, 2, 0}));
  set_.selectPosition(1);  // index 3, a point legend
  ASSERT_EQ(set_.selectedIndex(), 3);
  struct Row { const char* name; bool points, lines, regions; std::vector<std::int32_t> shown; std::int32_t position; };
  const Row rows[] = {
      {"points-hidden", false, true, true, {2, 0}, -1},
      {"all-hidden", false, false, false, {}, -1},
      {"points-shown-again", true, true, true, {1, 3, 2, 0}, 1},
      {"lines-hidden", true, false, true, {1, 3, 0}, 1},
      {"only-points", true, false, false, {1, 3}, 1},
  };
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
  EXPECT_EQ(display(), (std::vector<std::int32_t>{1, 3}));  // the filters outlive a reload
  EXPECT_EQ(set_.selectedIndex(), -1);
  EXPECT_EQ(set_.selectedPosition(), -1);
  EXPECT_TRUE(set_.modified());
}

TEST_F(PadLegendSet, RecordQueriesUseThePerTypePositionWhateverTheLegendsType) {
  auto legends = mixedLegends();
  legends.push_back({.name = "unknown", .type = 3, .block = block({})});
  legends.push_back({.name = "negative", .type = -2, .block = block({})});
  legends[1].reserved = Bytes(64, 0x5C);
  const Bytes file = testcln::file(legends);
  ASSERT_EQ(open(file), LegendStatus::Ok);
  const std::int16_t types[] = {2, 1, 0, 1, 3, -2, -1};  // sign-extended; -1 past the end
  for (std::int32_t i = -1; i < 7; ++i) EXPECT_EQ(set_.getType(i), i < 0 ? -1 : types[i]) << i;
  using Query = std::int16_t (LegendSet::*)(std::uint8_t*, std::int32_t) const noexcept;
  struct Row { const char* name; Query query; std::int32_t index; Bytes expected; };
  const Row rows[] = {
      {"point", &LegendSet::getPointInfo, 3, params(1, 40)},
      {"line", &LegendSet::getLineInfo, 2, params(0, 30)},
      {"region", &LegendSet::getRegionInfo, 0, params(2, 10)},
      {"line-asks-points", &LegendSet::getPointInfo, 2, params(1, 20)},
      {"point-asks-regions", &LegendSet::getRegionInfo, 1, params(2, 10)},
      {"second-point-asks-lines", &LegendSet::getLineInfo, 3, {}},
      {"unknown-type", &LegendSet::getPointInfo, 4, {}},
      {"negative-type", &LegendSet::getLineInfo, 5, {}},
      {"negative-index", &LegendSet::getPointInfo, -1, {}},
      {"index-past-end", &LegendSet::getPointInfo, 6, {}},
      {"index-max", &LegendSet::getRegionInfo, INT32_MAX, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Bytes out(100, 0xAA);
    EXPECT_EQ((set_.*row.query)(out.data(), row.index), row.expected.empty() ? 0 : 1);
    Bytes want = row.expected;
    want.resize(100, 0xAA);
    EXPECT_EQ(out, want);
    EXPECT_EQ((set_.*row.query)(nullptr, row.index), 0);
  }
  Bytes head(333);
  ASSERT_EQ(set_.getHeadInfo(head.data(), 1), 1);
  EXPECT_EQ(head, Bytes(file.begin() + 16 + 333, file.begin() + 16 + 666));
  EXPECT_EQ(set_.getHeadInfo(head.data(), 6), 0);
  EXPECT_EQ(set_.getHeadInfo(nullptr, 1), 0);

  set_.free();
  Bytes out(100);
  EXPECT_EQ(set_.getPointInfo(out.data(), 0), 0);
  EXPECT_EQ(set_.getHeadInfo(out.data(), 0), 0);
  EXPECT_EQ(set_.getType(0), -1);
}

TEST_F(PadLegendSet, AttributeQueryFindsEachPartThroughTheHeadAndChecksItAgainstTheFile) {
  const Bytes p = params(1, 7);
  const auto sized = [](Bytes b, std::int32_t s, std::int32_t r) {  // S at 94, R after S bytes
    testcln::put32At(b, 94, static_cast<std::uint32_t>(s));
    if (r != INT32_MIN) testcln::put32At(b, 98 + static_cast<std::size_t>(s), static_cast<std::uint32_t>(r));
    return b;
  };
  Bytes padded = kStructure;
  padded.insert(padded.end(), {0xEE, 0xEE, 0xEE});
  Bytes recordCut = block(p, kStructure, kRecord);
  recordCut.pop_back();
  Bytes cutInsideR = p;
  cutInsideR.resize(94 + 4 + 2, 0);  // S = 0, then half of R
  const Bytes garbage(12, 'X');
  struct Row {
    const char* name; std::int8_t type; Bytes block; std::int64_t blockOffset;
    LegendStatus status; std::int16_t fields; Bytes record;
  };
  const Row rows[] = {
      {"structure-and-record", 1, block(p, kStructure, kRecord), -1, LegendStatus::Ok, 2, kRecord},
      {"no-attributes", 1, block(p), -1, LegendStatus::Ok, 0, {}},
      {"line-legend", 0, block(params(0, 1), kStructure, kRecord), -1, LegendStatus::Ok, 2, kRecord},
      {"unknown-type-has-no-parameters", 3, block({}, kStructure, kRecord), -1, LegendStatus::Ok, 2, kRecord},
      {"structure-shorter-than-S", 1, block(p, padded, kRecord), -1, LegendStatus::Ok, 2, kRecord},
      {"structure-does-not-load", 1, block(p, garbage), -1, LegendStatus::Ok, 0, {}},
      {"record-length-differs", 1, block(p, kStructure, Bytes(4, 1)), -1, LegendStatus::AttributeSizeMismatch, 0, {}},
      {"negative-S", 1, sized(block(p), -1, INT32_MIN), -1, LegendStatus::AttributeDataDamaged, 0, {}},
      {"S-past-end", 1, sized(block(p), 5, INT32_MIN), -1, LegendStatus::AttributeDataDamaged, 0, {}},
      {"huge-S", 1, sized(block(p), INT32_MAX, INT32_MIN), -1, LegendStatus::AttributeDataDamaged, 0, {}},
      {"negative-R", 1, sized(block(p), 0, -1), -1, LegendStatus::AttributeDataDamaged, 0, {}},
      {"R-past-end", 1, recordCut, -1, LegendStatus::AttributeDataDamaged, 0, {}},
      {"huge-R", 1, sized(block(p), 0, INT32_MAX), -1, LegendStatus::AttributeDataDamaged, 0, {}},
      {"cut-inside-R", 1, cutInsideR, -1, LegendStatus::AttributeDataDamaged, 0, {}},
      {"block-at-end", 1, {}, static_cast<std::int64_t>(63 + 8 + kStructure.size() + kRecord.size()),
       LegendStatus::AttributeDataDamaged, 0, {}},
      {"block-offset-max", 1, {}, UINT32_MAX, LegendStatus::AttributeDataDamaged, 0, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    // The legend asked about follows another, and its block ends the file.
    Bytes file = testcln::file({{.name = "first", .type = 2, .block = block(params(2, 3), kStructure, kRecord)},
                                {.name = "asked", .type = row.type, .block = row.block, .blockSize = 200}});
    if (row.blockOffset >= 0) testcln::put32At(file, 16 + 333 + 257, static_cast<std::uint32_t>(row.blockOffset));
    ASSERT_EQ(open(file), LegendStatus::Ok);
    CATT_STRU stale;
    AttributeInfo info{&stale, padded.data(), 77};
    EXPECT_EQ(set_.getAttributeInfo(1, info), row.status);
    if (row.status != LegendStatus::Ok) {
      EXPECT_EQ(info.structure, nullptr);
      EXPECT_EQ(info.record, nullptr);
      EXPECT_EQ(info.length, 0);
      continue;
    }
    ASSERT_NE(info.structure, nullptr);
    EXPECT_EQ(info.structure->FieldCount(), row.fields);
    EXPECT_EQ(info.length, static_cast<std::int32_t>(row.record.size()));
    if (row.record.empty()) {
      EXPECT_EQ(info.record, nullptr);
    } else {
      EXPECT_EQ(Bytes(info.record, info.record + info.length), row.record);
    }
  }
}

TEST_F(PadLegendSet, HeldAttributeDataLiveUntilTheNextQueryReloadOrNewFile) {
  const std::string first = put(testcln::file(mixedLegends()));
  ASSERT_EQ(set_.setNewFile(first), LegendStatus::Ok);
  AttributeInfo info;
  EXPECT_EQ(set_.getAttributeInfo(-1, info), LegendStatus::NoSuchLegend);
  EXPECT_EQ(set_.getAttributeInfo(4, info), LegendStatus::NoSuchLegend);
  ASSERT_EQ(set_.getAttributeInfo(3, info), LegendStatus::Ok);
  AttributeInfo again;
  ASSERT_EQ(set_.getAttributeInfo(3, again), LegendStatus::Ok);
  EXPECT_TRUE(held(again.structure) && held(again.record));
  EXPECT_TRUE(released(info.structure));
  EXPECT_TRUE(released(info.record));

  // A path that does not fit is refused and changes nothing at all.
  set_.selectPosition(1);
  EXPECT_EQ(set_.setNewFile(std::string(260, 'x')), LegendStatus::PathTooLong);
  EXPECT_EQ(set_.setPath(std::string(260, 'x')), LegendStatus::PathTooLong);
  EXPECT_EQ(set_.path(), first);
  EXPECT_EQ(set_.count(), 4);
  EXPECT_EQ(set_.selectedIndex(), 3);
  ASSERT_TRUE(held(again.structure) && held(again.record));
  EXPECT_EQ(again.structure->FieldCount(), 2);

  set_.setModified(true);
  ASSERT_EQ(set_.reload(), LegendStatus::Ok);
  EXPECT_TRUE(released(again.structure));
  EXPECT_TRUE(released(again.record));
  ASSERT_EQ(set_.getAttributeInfo(3, info), LegendStatus::Ok);
  const Bytes other = testcln::file({{.name = "only", .type = 0, .block = block(params(0, 0))}});
  ASSERT_EQ(set_.setNewFile(put(other, "other.CLN")), LegendStatus::Ok);
  EXPECT_TRUE(released(info.structure));
  EXPECT_TRUE(released(info.record));
  EXPECT_EQ(set_.count(), 1);
  EXPECT_TRUE(set_.modified());
  ASSERT_EQ(set_.getAttributeInfo(0, info), LegendStatus::Ok);
  EXPECT_EQ(info.record, nullptr);

  std::filesystem::remove(set_.path());
  EXPECT_EQ(set_.getAttributeInfo(0, info), LegendStatus::CannotOpenForAttributes);
  EXPECT_EQ(info.structure, nullptr);
  EXPECT_EQ(set_.setPath(std::string(259, 'x')), LegendStatus::Ok);
}

TEST_F(PadLegendSet, TipTextIsSixGbkLinesForTheDisplayPosition) {
  // 道路 and 国道 in GBK.
  const std::string road = "\xb5\xc0\xc2\xb7", highway = "\xb9\xfa\xb5\xc0";
  std::vector<testcln::Legend> legends{
      {.name = "r0", .type = 2, .classCode = 1, .block = block(params(2, 0))},
      {.name = road, .description = highway, .type = 1, .classCode = -7, .block = block(params(1, 0)),
       .blockSize = 1234},
      {.name = "r2", .description = "d", .type = 2, .classCode = 2, .block = block(params(2, 0))},
      {.name = "p3", .type = 1, .block = block(params(1, 0))},
      {.name = "l4", .type = 0, .block = block(params(0, 0))},
  };
  Bytes file = testcln::file(legends);
  std::memset(file.data() + 16 + 4 * 333, 'N', 128);  // a name filling its whole field, no NUL
  ASSERT_EQ(open(file), LegendStatus::Ok);
  ASSERT_EQ(display(), (std::vector<std::int32_t>{1, 3, 4, 0, 2}));

  // 序号: 类型: 名称: 描述: 分类码: 大小: ... 字节, and 点图例 线图例 区图例
  EXPECT_EQ(set_.tipText(0),
            "\xd0\xf2\xba\xc5:0\n"
            "\xc0\xe0\xd0\xcd:\xb5\xe3\xcd\xbc\xc0\xfd\n"
            "\xc3\xfb\xb3\xc6:\xb5\xc0\xc2\xb7\n"
            "\xc3\xe8\xca\xf6:\xb9\xfa\xb5\xc0\n"
            "\xb7\xd6\xc0\xe0\xc2\xeb:-7\n"
            "\xb4\xf3\xd0\xa1:1234\xd7\xd6\xbd\xda");
  EXPECT_EQ(set_.tipText(2),
            "\xd0\xf2\xba\xc5:2\n"
            "\xc0\xe0\xd0\xcd:\xcf\xdf\xcd\xbc\xc0\xfd\n"
            "\xc3\xfb\xb3\xc6:" + std::string(127, 'N') + "\n"
            "\xc3\xe8\xca\xf6:\n"
            "\xb7\xd6\xc0\xe0\xc2\xeb:0\n"
            "\xb4\xf3\xd0\xa1:75\xd7\xd6\xbd\xda");
  EXPECT_EQ(set_.tipText(4),
            "\xd0\xf2\xba\xc5:4\n"
            "\xc0\xe0\xd0\xcd:\xc7\xf8\xcd\xbc\xc0\xfd\n"
            "\xc3\xfb\xb3\xc6:r2\n"
            "\xc3\xe8\xca\xf6:d\n"
            "\xb7\xd6\xc0\xe0\xc2\xeb:2\n"
            "\xb4\xf3\xd0\xa1:71\xd7\xd6\xbd\xda");
  EXPECT_EQ(set_.tipText(-1), "");
  EXPECT_EQ(set_.tipText(5), "");
  set_.setShowRegions(false);
  set_.rebuildDisplayList();
  EXPECT_EQ(set_.tipText(4), "");
}

class ScriptedPrompter : public Prompter {
 public:
  explicit ScriptedPrompter(bool answer) : answer_(answer) {}
  void inform(std::string_view text) override { informed.emplace_back(text); }
  bool askYesNo(std::string_view text, bool) override {
    asked.emplace_back(text);
    return answer_;
  }
  std::vector<std::string> asked, informed;

 private:
  bool answer_;
};

TEST_F(PadLegendSet, SavePromptAsksOnlyForAModifiedSetWithMessagesAndSavesOnYes) {
  struct Row { const char* name; bool modified, showMessages, answer, asks, saves; };
  const Row rows[] = {
      {"modified-yes", true, true, true, true, true},
      {"modified-no", true, true, false, true, false},
      {"modified-silent", true, false, true, false, false},
      {"unmodified", false, true, true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Bytes original = testcln::file(mixedLegends());
    ASSERT_EQ(open(original), LegendStatus::Ok);
    ASSERT_TRUE(set_.headRef(2).setName("renamed"));
    set_.setModified(row.modified);
    ScriptedPrompter prompter(row.answer);
    set_.runSavePrompt(row.showMessages, prompter);
    const std::vector<std::string> question{"图例文件已修改,是否保存?"};
    EXPECT_EQ(prompter.asked, row.asks ? question : std::vector<std::string>{});
    EXPECT_TRUE(prompter.informed.empty());
    EXPECT_FALSE(set_.modified());
    const Bytes now = testcln::read(set_.path());
    EXPECT_EQ(now != original, row.saves);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&now[16 + 2 * 333])), row.saves ? "renamed" : "line");
  }
  // A save that fails is reported, not taken for success.
  set_.setModified(true);
  ASSERT_EQ(set_.setPath((dir_ / "gone" / "set.CLN").string()), LegendStatus::Ok);
  ScriptedPrompter yes(true);
  set_.runSavePrompt(true, yes);
  EXPECT_EQ(yes.informed, std::vector<std::string>{"保存图例,打开可写的文件失败!"});
  EXPECT_FALSE(std::filesystem::exists(dir_ / "gone"));
}

}  // namespace
}  // namespace legend
